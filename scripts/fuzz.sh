#!/usr/bin/env bash
# Runs every fuzz target (or the ones named) for a number of seconds each, on the seed
# corpus in fuzz/corpus plus whatever earlier runs found (kept in <build>/fuzz-corpus).
#   scripts/fuzz.sh build-fuzz 600                  # ten minutes each
#   scripts/fuzz.sh build-fuzz 30 fuzz_html fuzz_mime
# Stops at the first finding; the crashing input lands in <build>/fuzz-artifacts.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:?build folder of a -DVESPIRA_BUILD_FUZZ=ON configuration}
seconds=${2:-20}
shift 2 || shift $#
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_db fuzz_profilefile fuzz_streamsearch fuzz_html fuzz_mime fuzz_lists fuzz_settings fuzz_viewer fuzz_trigramindex)

max_len() {
    case "$1" in
        fuzz_settings) echo 256 ;;
        fuzz_streamsearch) echo 2048 ;;
        fuzz_html | fuzz_mime) echo 16384 ;;
        *) echo 4096 ;;
    esac
}

mkdir -p "$build/fuzz-artifacts"
for t in "${targets[@]}"; do
    exe="$build/fuzz/$t"
    [ -x "$exe" ] || { echo "fuzz: $exe is missing (cmake --build $build --target vespira_fuzzers)" >&2; exit 1; }
    mkdir -p "$build/fuzz-corpus/$t"
    echo "fuzz: $t for ${seconds}s"
    # Qt must not look for a display, and leaks in the driver's own buffers are not ours.
    QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 "$exe" \
        -max_total_time="$seconds" -max_len="$(max_len "$t")" -rss_limit_mb=2048 -timeout=25 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$t-" \
        "$build/fuzz-corpus/$t" "fuzz/corpus/$t" 2>"$build/fuzz-artifacts/$t.log" \
        || { tail -n 60 "$build/fuzz-artifacts/$t.log" >&2; echo "fuzz: $t found a fault" >&2; exit 1; }
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/fuzz-artifacts/$t.log" | tr '\n' ' '
    echo
done
