#!/usr/bin/env bash
# Everything CI runs, after ./setup.sh: the warnings-as-errors build and its tests, the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of every fuzz
# target over its corpus. Build folders: build-test, build-asan, build-fuzz.
#   scripts/test-all.sh                 # fuzz targets 8 s each, about a minute in all
#   VESPIRA_FUZZ_SECONDS=600 scripts/test-all.sh
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake -S . -B build-test -G Ninja -DVESPIRA_WERROR=ON
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure -j"$jobs"

cmake -S . -B build-asan -G Ninja -DVESPIRA_WERROR=ON -DVESPIRA_SANITIZE=ON
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 600

cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVESPIRA_WERROR=ON \
    -DVESPIRA_BUILD_FUZZ=ON -DVESPIRA_SANITIZE=ON -DVESPIRA_BUILD_TESTS=OFF
cmake --build build-fuzz -j"$jobs" --target vespira_fuzzers
scripts/fuzz.sh build-fuzz "${VESPIRA_FUZZ_SECONDS:-8}"
