#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for a number of seconds each, on the seed
# corpus in fuzz/corpus plus whatever earlier runs found (kept in <build>/fuzz-corpus), as
# many at once as there are cores (VESPIRA_FUZZ_JOBS to change that).
#   scripts/fuzz.sh build-sanitize 600              # ten minutes each
#   scripts/fuzz.sh build-sanitize 30 fuzz_html fuzz_mime
# Starts no more targets after the first finding; the crashing input lands in
# <build>/fuzz-artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:?build folder of a -DVESPIRA_BUILD_FUZZ=ON configuration (preset sanitize)}
seconds=${2:-20}
shift 2 || shift $#
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_db fuzz_profilefile fuzz_streamsearch fuzz_html fuzz_mime fuzz_lists fuzz_settings fuzz_viewer fuzz_trigramindex fuzz_indexedsearch)

max_len() {
    case "$1" in
        fuzz_settings) echo 256 ;;
        fuzz_streamsearch) echo 2048 ;;
        fuzz_html | fuzz_mime) echo 16384 ;;
        *) echo 4096 ;;
    esac
}

mkdir -p "$build/fuzz-artifacts"
rm -f "$build/fuzz-artifacts/"*.failed

fuzz_one() {
    local t=$1
    local exe="$build/fuzz/$t"
    mkdir -p "$build/fuzz-corpus/$t"
    # Qt must not look for a display, and leaks in the driver's own buffers are not ours.
    if QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 "$exe" \
        -max_total_time="$seconds" -max_len="$(max_len "$t")" -rss_limit_mb=2048 -timeout=25 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$t-" \
        "$build/fuzz-corpus/$t" "fuzz/corpus/$t" 2>"$build/fuzz-artifacts/$t.log"; then
        echo "fuzz: $t for ${seconds}s: $(grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' \
            "$build/fuzz-artifacts/$t.log" | tr '\n' ' ')"
    else
        tail -n 60 "$build/fuzz-artifacts/$t.log" >&2
        echo "fuzz: $t found a fault" >&2
        touch "$build/fuzz-artifacts/$t.failed"
    fi
}

for t in "${targets[@]}"; do
    [ -x "$build/fuzz/$t" ] || { echo "fuzz: $build/fuzz/$t is missing (cmake --build $build --target vespira_fuzzers)" >&2; exit 1; }
done
parallel=${VESPIRA_FUZZ_JOBS:-$(nproc)}
for t in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do
        wait -n || true
    done
    ls "$build/fuzz-artifacts/"*.failed >/dev/null 2>&1 && break
    fuzz_one "$t" &
done
wait
if ls "$build/fuzz-artifacts/"*.failed >/dev/null 2>&1; then
    exit 1
fi
