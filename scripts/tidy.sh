#!/usr/bin/env bash
# clang-tidy over every source file of src/, tests/ and fuzz/ with the
# checks in .clang-tidy; any finding fails. The Linux files are checked as the Linux build compiles
# them, the Windows files as the MinGW build does, with MinGW's own headers.
# Usage: tidy.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
linux=$1
windows=$2

# A file named *_<system>.cpp (in src/ or tests/) belongs to that system's
# build only; the others to every build, checked as Linux compiles them. POSIX files are
# Linux's here. A port that cannot be built here is left out, and said so.
ports='windows|linux|posix|darwin|freebsd|openbsd|netbsd'
mapfile -t windows_files < <(ls src/*/*_windows.cpp tests/*_windows.cpp)
mapfile -t linux_files < <(ls src/main.cpp src/*/*.cpp | grep -vE "_($ports)\.cpp$";
                           ls src/*/*_linux.cpp src/*/*_posix.cpp;
                           ls tests/*.cpp | grep -vE "_($ports)\.cpp$")
# The fuzz targets have a build of their own (scripts/fuzz.sh): checked with
# the flags they need.
mapfile -t fuzz_files < <(ls fuzz/*.cpp)
mapfile -t left_out < <(ls src/*/*.cpp | grep -E "_($ports)\.cpp$" |
                        grep -vE '_(windows|linux|posix)\.cpp$' || true)

# MinGW's C++ and Windows headers; clang brings its own compiler headers.
mingw_includes=()
while read -r dir; do
  mingw_includes+=("--extra-arg=-isystem$dir")
done < <(x86_64-w64-mingw32-g++-posix -E -x c++ - -v </dev/null 2>&1 |
         sed -n '/#include <...> search starts here/,/End of search list/p' | grep '^ ' |
         grep -v 'gcc/x86_64-w64-mingw32/[^/]*/include\(-fixed\)\?$')

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
printf '%s\n' "${linux_files[@]}" |
  xargs -P2 -n4 clang-tidy -p "$linux" --quiet >"$log" 2>&1 || status=1
printf '%s\n' "${windows_files[@]}" |
  xargs -P2 -n4 clang-tidy -p "$windows" --quiet --extra-arg=--target=x86_64-w64-mingw32 \
    "${mingw_includes[@]}" >>"$log" 2>&1 || status=1
clang-tidy --quiet "${fuzz_files[@]}" -- -std=c++17 -Isrc -Itests >>"$log" 2>&1 || status=1
if [ "$status" -ne 0 ] || grep -q 'warning:\|error:' "$log"; then
  grep -v 'warnings generated' "$log"
  echo "clang-tidy: findings above"
  exit 1
fi
echo "clang-tidy: nothing found in $(( ${#linux_files[@]} + ${#windows_files[@]} + ${#fuzz_files[@]} )) files"
[ ${#left_out[@]} -eq 0 ] || echo "clang-tidy: no build here for ${left_out[*]}"
