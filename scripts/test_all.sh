#!/usr/bin/env bash
# Builds the program and runs every test. Used as it stands by CI.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2
