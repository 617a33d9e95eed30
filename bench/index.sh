#!/bin/sh
# Indexing speed against a peer text extractor over the same HTML files.
# Usage: bench/index.sh [VESPIRA_BINARY]   (run as root on Debian 12 so packages can be installed)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/release.sh"
bin=${1:-}
if [ -z "$bin" ]; then
    release_build vespira
    bin="$root/build-release/src/cli/vespira"
fi
dpkg -s python3-doc >/dev/null 2>&1 || apt-get install -y -qq python3-doc >/dev/null
need html2text html2text
docs=$(ls -d /usr/share/doc/python3.[0-9]*/html | head -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bytes=$(find "$docs" -type f \( -name '*.html' -o -name '*.htm' \) -printf '%s\n' | awk '{s+=$1} END {print s}')
cores=$(nproc)
t0=$(date +%s.%N)
"$bin" index -C "$work" Bench "$docs" >/dev/null 2>&1
t1=$(date +%s.%N)
# One peer process over all files at once, so neither side pays for process starts.
find "$docs" -type f \( -name '*.html' -o -name '*.htm' \) -print0 | xargs -0 cat | html2text -utf8 >/dev/null 2>&1 || true
t2=$(date +%s.%N)
awk -v d="$docs" -v b="$bytes" -v a="$t0" -v m="$t1" -v e="$t2" -v c="$cores" 'BEGIN {
    ours = b / (m - a) / 1e6; peer = b / (e - m) / 1e6;
    printf "HTML: %.1f MB in %s\n", b / 1e6, d;
    printf "vespira index: %.2f s, %.1f MB/s (%.1f MB/s per core, %d cores)\n", m - a, ours, ours / c, c;
    printf "html2text (one process over all files, one core): %.2f s, %.1f MB/s\n", e - m, peer;
    printf "ratio: %.1f x\n", ours / peer }'
