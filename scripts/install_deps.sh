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
  # The kernel-driver tests: a small VM with Debian's cloud kernel.
  [qemu-system-x86_64]=qemu-system-x86
  [busybox]=busybox-static
  [cpio]=cpio
  [dmsetup]=dmsetup
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
compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null ||
  missing+=(libclang-rt-dev)

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
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

# Debian's 6.12 cloud kernel, which has the card and disk drivers (vfat,
# exfat, ntfs3) and dm-log-writes as modules: downloaded and unpacked for the
# tests' VM, never installed. The meta package names the versioned one.
kernel_dir=/var/cache/stampwise/kernel
modules=(virtio_blk fat vfat exfat ntfs3 nls_cp437 nls_ascii nls_iso8859-1 nls_utf8 dm-mod
         dm-log-writes dm-delay)
unpacked=yes
for m in vmlinuz "${modules[@]/%/.ko}"; do [ -f "$kernel_dir/$m" ] || unpacked=no; done
if [ $unpacked = no ]; then
  echo "Unpacking Debian's cloud kernel for the VM tests into $kernel_dir"
  meta=linux-image-6.12-cloud-amd64
  apt-cache show "$meta" >/dev/null 2>&1 || apt-get update -qq
  package=$(apt-cache show "$meta" | sed -n 's/^Depends: \(linux-image-[^ ,]*\).*/\1/p' | head -n 1)
  scratch=$(mktemp -d)
  chmod 755 "$scratch"  # apt's download user writes there
  (cd "$scratch" && apt-get download -qq "$package" 2>/dev/null)
  dpkg-deb -x "$scratch"/*.deb "$scratch/root"
  mkdir -p "$kernel_dir"
  for m in "${modules[@]}"; do
    xz -dc "$(find "$scratch/root/lib/modules" -name "$m.ko.xz")" >"$kernel_dir/$m.ko"
  done
  cp "$scratch"/root/boot/vmlinuz-* "$kernel_dir/vmlinuz.new"
  mv "$kernel_dir/vmlinuz.new" "$kernel_dir/vmlinuz"
  rm -rf "$scratch"
fi
