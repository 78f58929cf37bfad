#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need
# and this machine lacks. Needs root (or sudo) only when something is missing.
set -euo pipefail

# command that must exist -> Debian package that brings it
declare -A needs=(
  [cmake]=cmake
  [g++]=g++
  [clang++]=clang
  [tmux]=tmux
  [groff]=groff
  [python3]=python3
  [dpkg-shlibdeps]=dpkg-dev
  [x86_64-w64-mingw32-g++-posix]=g++-mingw-w64-x86-64-posix
  [wine]="wine wine64"
  [lintian]=lintian
  [strace]=strace
  # The file-system matrix: a real mount of each file system pictures live on.
  [mkfs.xfs]=xfsprogs
  [mkfs.btrfs]=btrfs-progs
  [mkfs.exfat]=exfatprogs
  [mkfs.vfat]=dosfstools
  [mkntfs]=ntfs-3g
)
# fuse3 first: the FUSE drivers accept it, ntfs-3g needs it, and the older
# fuse package would conflict with it.
fuse_drivers=()
command -v fusermount3 >/dev/null 2>&1 || fuse_drivers+=(fuse3)
command -v mount.exfat-fuse >/dev/null 2>&1 || fuse_drivers+=(exfat-fuse)
command -v fusefat >/dev/null 2>&1 || fuse_drivers+=(fusefat)
missing=()
for cmd in "${!needs[@]}"; do
  if ! command -v "$cmd" >/dev/null 2>&1; then
    read -ra pkgs <<<"${needs[$cmd]}"
    missing+=("${pkgs[@]}")
  fi
done
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(libgtest-dev)
[ -f /usr/include/benchmark/benchmark.h ] || missing+=(libbenchmark-dev)
compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null ||
  missing+=(libclang-rt-dev)

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if [ ${#fuse_drivers[@]} -gt 0 ]; then
  echo "Installing: ${fuse_drivers[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  [ ${#missing[@]} -gt 0 ] || $sudo apt-get update -qq
  [[ " ${fuse_drivers[*]} " != *" fuse3 "* ]] || $sudo apt-get install -y -qq fuse3 >/dev/null
  rest=("${fuse_drivers[@]/fuse3}")
  rest=(${rest[@]})
  [ ${#rest[@]} -eq 0 ] || $sudo apt-get install -y -qq "${rest[@]}" >/dev/null
fi
