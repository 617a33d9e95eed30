#!/bin/sh
# Indexing speed against a peer text extractor over the same HTML files: Debian's German
# and English documentation (Python's library manual, the Debian Reference, the Debian
# Administrator's Handbook, the Debian Edu manual).
# Usage: bench/index.sh [VESPIRA_BINARY]   (run as root on Debian 12 so packages can be installed)
#   RUNS=3   runs of each command, the best time counts
# Both sides run pinned to one core (taskset), then `vespira index` again on two cores.
# Besides wall times it prints the processor time each side took, which stays fair
# when other work shares the machine.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/release.sh"
bin=${1:-}
runs=${RUNS:-3}
if [ -z "$bin" ]; then
    release_build vespira
    bin="$root/build-release/src/cli/vespira"
fi
for p in python3-doc debian-reference-de debian-reference-en debian-handbook debian-edu-doc-de html2text time; do
    dpkg -s "$p" >/dev/null 2>&1 || apt-get install -y -qq --no-install-recommends "$p" >/dev/null
done
[ "$(nproc)" -ge 2 ] || { echo "index bench: needs two cores" >&2; exit 1; }
docs="$(ls -d /usr/share/doc/python3.[0-9]*/html | head -n 1) /usr/share/debian-reference
      /usr/share/doc/debian-handbook/html/de-DE /usr/share/doc/debian-handbook/html/en-US
      /usr/share/doc/debian-edu-doc-de /usr/share/doc/debian-edu-doc-en"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The files the indexer takes: no hidden entries, no symbolic links.
# shellcheck disable=SC2086
find $docs -name '.*' -prune -o -type f \( -name '*.html' -o -name '*.htm' \) -print0 >"$work/files"
files=$(tr -cd '\0' <"$work/files" | wc -c)
bytes=$(xargs -0 cat <"$work/files" | wc -c)

# Best of $runs: "wall user+system" in seconds.
best() {
    out=$1
    shift
    : >"$out"
    i=0
    while [ "$i" -lt "$runs" ]; do
        rm -rf "$work/prog" && mkdir "$work/prog"
        /usr/bin/time -f '%e %U %S' -o "$work/t" "$@" >/dev/null 2>&1
        awk '{ print $1, $2 + $3 }' "$work/t" >>"$out"
        i=$((i + 1))
    done
    sort -n "$out" | head -n 1 >"$out.best"
}
xargs -0 cat <"$work/files" >/dev/null # warm the page cache
# shellcheck disable=SC2086
best "$work/one" taskset -c 0 "$bin" index -C "$work/prog" Bench $docs
# One peer process over all files at once, so neither side pays for process starts.
best "$work/peer" taskset -c 0 sh -c 'xargs -0 cat <"$1" | html2text -utf8; exit 0' sh "$work/files"
# shellcheck disable=SC2086
best "$work/two" taskset -c 0,1 "$bin" index -C "$work/prog" Bench $docs

awk -v b="$bytes" -v f="$files" -v one="$(cat "$work/one.best")" -v peer="$(cat "$work/peer.best")" \
    -v two="$(cat "$work/two.best")" -v runs="$runs" 'BEGIN {
    split(one, o, " "); split(peer, p, " "); split(two, t, " ");
    mb = b / 1e6;
    printf "HTML: %d files, %.1f MB of Debian documentation (German and English); best of %d runs\n", f, mb, runs;
    printf "vespira index, one core:  %.2f s, %.1f MB/s  (processor %.2f s, %.1f MB/s)\n", o[1], mb / o[1], o[2], mb / o[2];
    printf "html2text, one core:      %.2f s, %.1f MB/s  (processor %.2f s, %.1f MB/s)\n", p[1], mb / p[1], p[2], mb / p[2];
    printf "ratio, one core each:     %.1f x  (by processor time %.1f x)   target: 5 x and 50 MB/s\n", p[1] / o[1], p[2] / o[2];
    printf "vespira index, two cores: %.2f s, %.1f MB/s  (processor %.2f s); wall time scales by %.2f x   target: 1.7 x\n",
        t[1], mb / t[1], t[2], o[1] / t[1] }'
