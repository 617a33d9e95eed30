#!/usr/bin/env bash
# Everything CI runs, after ./setup.sh, in the two builds of CMakePresets.json:
#   dev       g++, warnings as errors: every test, the multi-gigabyte ones (label "large")
#             included, then the Debian package made and checked (scripts/check-package.sh)
#   sanitize  clang, AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors:
#             every test but the large ones, then every fuzz target over its corpus
#   scripts/test-all.sh                       # fuzz targets 8 s each, two at a time
#   VESPIRA_FUZZ_SECONDS=600 scripts/test-all.sh
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
SECONDS=0
step() { echo "== $* (${SECONDS} s)"; }

step "dev: build"
cmake --preset dev
cmake --build --preset dev -j"$jobs"
step "dev: tests"
ctest --preset dev -j"$jobs"
step "dev: package"
scripts/check-package.sh build

step "sanitize: build"
cmake --preset sanitize
cmake --build --preset sanitize -j"$jobs"
step "sanitize: tests"
ctest --preset sanitize -j"$jobs"
step "sanitize: fuzz"
scripts/fuzz.sh build-sanitize "${VESPIRA_FUZZ_SECONDS:-8}"
step "done"
