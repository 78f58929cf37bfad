#!/usr/bin/env bash
# A machine with a compiler and CMake but no GoogleTest builds the program,
# with one configure message that says the tests are off and how to get them.
# The compiler here is the other one, Clang where the suite runs with GCC:
# its Release build must rename the sample as the tested build does. A
# system with no port fails at configure time, in one line.
# Usage: bare_build_test.sh SOURCE_DIR TESTED_EXE
set -euo pipefail
source=$1
tested=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

compiler=()
! command -v clang++ >/dev/null || compiler=(-DCMAKE_CXX_COMPILER=clang++)
cmake -S "$source" -B "$scratch" "${compiler[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DSTAMPWISE_GTEST_SOURCE="$scratch/none" \
  >"$scratch/configure.log"
grep -c "Tests are off: GoogleTest was not found.*scripts/install_deps.sh" "$scratch/configure.log" |
  grep -qx 1
cmake --build "$scratch" --target stampwise -j2 >/dev/null
bash "$source/scripts/same_output.sh" "$scratch/stampwise" "$tested"
# Asked to require them, the configure fails instead.
# (`! cmd` would not stop a `set -e` script.)
if cmake -S "$source" -B "$scratch/strict" -DSTAMPWISE_REQUIRE_TESTS=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DSTAMPWISE_GTEST_SOURCE="$scratch/none" >/dev/null 2>&1; then
  echo "the configure went on without the tests it was told to require" >&2
  exit 1
fi
# No port: one line names what is missing.
if cmake -S "$source" -B "$scratch/bsd" -DCMAKE_SYSTEM_NAME=FreeBSD >"$scratch/bsd.log" 2>&1; then
  echo "a system with no port was configured" >&2
  exit 1
fi
grep -qx "  No port to FreeBSD: no src/platform/disk_freebsd.cpp" "$scratch/bsd.log"
echo "built with ${compiler[*]:-the default compiler}, without GoogleTest; tests said to be off"
