#!/usr/bin/env bash
# Builds the program and runs every test: the Linux build with GCC, the same
# suite built with Clang under the sanitizers, clang-tidy, the fuzz targets,
# then the native Windows build under Wine. Compiler warnings are errors in
# every build. Installs what is missing first. CI runs this.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install_deps.sh

echo "== Linux build (GCC) and tests"
cmake -S . -B build -DSTAMPWISE_REQUIRE_TESTS=ON -DSTAMPWISE_WERROR=ON
cmake --build build -j2
ctest --test-dir build --no-tests=error --output-on-failure -j2

echo "== The same tests built with Clang, AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DSTAMPWISE_REQUIRE_TESTS=ON \
  -DSTAMPWISE_WERROR=ON -DSTAMPWISE_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-asan -j2
ctest --test-dir build-asan --no-tests=error --output-on-failure -j2

echo "== Fuzzing"
bash scripts/fuzz.sh "${STAMPWISE_FUZZ_SECONDS:-20}"

echo "== Windows build, tests under Wine"
cmake -S . -B build-win -DSTAMPWISE_REQUIRE_TESTS=ON -DSTAMPWISE_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
cmake --build build-win -j2
export WINEDEBUG=-all WINEPREFIX="$root/build-win/wineprefix"
# Wine's background services inherit the output of whatever starts them and
# can keep ctest waiting: start them here, with all output elsewhere.
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
ctest --test-dir build-win --no-tests=error --output-on-failure -j2

echo "== clang-tidy"
bash scripts/tidy.sh build build-win

echo "== The two builds say the same, byte for byte"
bash scripts/same_output.sh "$root/build/stampwise" "wine $root/build-win/stampwise.exe"
