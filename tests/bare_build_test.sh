#!/usr/bin/env bash
# A machine with a compiler and CMake but no GoogleTest builds the program,
# with one configure message that says the tests are off and how to get them.
# Usage: bare_build_test.sh SOURCE_DIR
set -euo pipefail
source=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake -S "$source" -B "$scratch" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DSTAMPWISE_GTEST_SOURCE="$scratch/none" >"$scratch/configure.log"
grep -c "Tests are off: GoogleTest was not found.*scripts/install_deps.sh" "$scratch/configure.log" |
  grep -qx 1
cmake --build "$scratch" --target stampwise -j2 >/dev/null
test -x "$scratch/stampwise"
# Asked to require them, the configure fails instead.
! cmake -S "$source" -B "$scratch/strict" -DSTAMPWISE_REQUIRE_TESTS=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DSTAMPWISE_GTEST_SOURCE="$scratch/none" >/dev/null 2>&1
echo "built without GoogleTest; tests said to be off"
