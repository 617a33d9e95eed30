#!/usr/bin/env bash
# Everything CI runs, after ./setup.sh, in two builds of CMakePresets.json:
#   release   g++, what the package ships, warnings as errors: every test, the multi-gigabyte
#             ones (label "large") included, the benchmark programs compiled, then the Debian
#             package made and checked (scripts/check-package.sh)
#   sanitize  clang, AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors:
#             every test but the large ones, then every fuzz target over its corpus
#   scripts/test-all.sh                       # fuzz targets 8 s each, two at a time
#   VESPIRA_FUZZ_SECONDS=600 scripts/test-all.sh
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
SECONDS=0
# Each step shows the time so far and the processor time (user + system) spent so far, which
# tells the cost of the run apart from the load other work puts on the machine.
times_file=$(mktemp)
trap 'rm -f "$times_file"' EXIT
step() {
    times >"$times_file" # in this shell: a subshell would count only its own children
    local cpu
    cpu=$(awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); printf "%d", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$times_file")
    echo "== $* (${SECONDS} s, processor ${cpu} s)"
}

step "release: build"
cmake --preset release
cmake --build --preset release -j"$jobs"
step "release: tests"
ctest --preset release -j"$jobs"
step "release: package"
scripts/check-package.sh build-release

step "sanitize: build"
cmake --preset sanitize
cmake --build --preset sanitize -j"$jobs"
step "sanitize: tests"
ctest --preset sanitize -j"$jobs"
step "sanitize: fuzz"
scripts/fuzz.sh build-sanitize "${VESPIRA_FUZZ_SECONDS:-8}"
step "done"
