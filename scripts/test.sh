#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. the whole project with its tests;
#   2. the library and the command-line converter under AddressSanitizer and
#      UndefinedBehaviorSanitizer;
#   3. the fuzz target (clang's libFuzzer): replay of the fixtures, then a
#      short fuzzing run;
#   4. the library and the command-line converter cross-built for 32-bit and
#      64-bit Windows, their tests run under Wine (scripts/windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DRASTREX_STRICT_WARNINGS=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DRASTREX_SANITIZE=ON -DRASTREX_STRICT_WARNINGS=ON \
  -DRASTREX_BUILD_APP=OFF -DRASTREX_BUILD_BENCH=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

if [ -d tests/fuzz ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRASTREX_FUZZ=ON -DRASTREX_STRICT_WARNINGS=ON \
    -DRASTREX_BUILD_APP=OFF -DRASTREX_BUILD_CLI=OFF -DRASTREX_BUILD_BENCH=OFF -DRASTREX_BUILD_TESTS=OFF
  cmake --build build-fuzz -j"$jobs"
  ctest --test-dir build-fuzz --output-on-failure
fi

bash scripts/windows.sh
