#!/usr/bin/env bash
# The search with the trigram index against the scan and against ripgrep, on the collected
# UTF-8 file of at least 1 GB that bench/search.sh uses (made by bench/bigfile.sh under
# $WORK), warm cache. It builds the index (`vespira trigrams`), then times in one hyperfine
# run per word `vespira search` with the index, `vespira search --scan` and `rg -F -i -c`,
# for a word in at most 100 documents, one in about 1,000 and one in at least 10,000. Prints
# the index size against the text, the build's time and speed per core, each side's times and
# peak memory (/usr/bin/time -v), and whether the index changed any hit.
#
#   bench/index-search.sh                    # builds the release preset's vespira first
#   WORK=build-release/bench-work RUNS=10 WORDS="Großbritannien Veränderungen Dictionary" bench/index-search.sh
#
# Targets: the rare word (at most 1 % of the documents) at least 10 x faster than the scan
# and than rg; no word slower than 1.1 x the scan; the index at most 30 % of the text; the
# build at least 100 MB of text per second per core (processor time); the search's peak
# memory at most 64 MB.
# Cores: vespira searches on one thread (a helper maps the scan's next window); the build
# runs as `vespira trigrams` does; rg runs with its defaults. The index is removed at the end,
# so bench/search.sh on the same folder measures the scan.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
RUNS=${RUNS:-10}
read -r -a words <<<"${WORDS:-Großbritannien Veränderungen Dictionary}"

. "$here/release.sh"
. "$here/bigfile.sh"
release_build vespira
need rg ripgrep
need hyperfine hyperfine
need /usr/bin/time time
need jq jq
need awk gawk
VESPIRA=$root/build-release/src/cli/vespira

export XDG_CONFIG_HOME="$WORK/config" # the program's settings stay out of the user's
mkdir -p "$XDG_CONFIG_HOME"
make_big_file
idx="$prog/Datenbank/Big_UTF8Trigramme.idx"
trap 'rm -f "$idx"' EXIT
text_bytes=$(stat -c %s "$big")
echo "collected file: $((text_bytes / 1024 / 1024)) MB, $documents documents; $(nproc) cores"
cat "$big" >/dev/null # warm the cache

echo
echo "== index build (vespira trigrams)"
rm -f "$idx"
/usr/bin/time -f '%e %U %S %M' -o "$WORK/build.time" "$VESPIRA" trigrams -C "$prog" Big >/dev/null
read -r wall user sys rss <"$WORK/build.time"
index_bytes=$(stat -c %s "$idx")
awk -v t="$text_bytes" -v i="$index_bytes" -v w="$wall" -v u="$user" -v s="$sys" -v m="$rss" 'BEGIN {
    mb = t / 1e6; cpu = u + s;
    printf "index: %.1f MB for %.1f MB of text = %.1f %% (target <= 30 %%: %s)\n", i / 1e6, mb, 100 * i / t,
        (i <= 0.3 * t ? "met" : "NOT met");
    printf "build: %.2f s wall, %.2f s processor (%.2f user, %.2f system), peak memory %.0f MB\n", w, cpu, u, s, m / 1024;
    printf "build speed: %.0f MB/s of text per core by processor time, %.0f MB/s wall (target >= 100 MB/s per core: %s)\n",
        mb / cpu, mb / w, (mb / cpu >= 100 ? "met" : "NOT met") }'

index=0
for word in "${words[@]}"; do
    "$VESPIRA" search -C "$prog" Big "$word" >"$WORK/indexed.txt" 2>"$WORK/indexed.err" || true
    "$VESPIRA" search --scan -C "$prog" Big "$word" >"$WORK/scanned.txt" 2>/dev/null || true
    hits=$(wc -l <"$WORK/scanned.txt")
    same=$(cmp -s "$WORK/indexed.txt" "$WORK/scanned.txt" && echo "the same" || echo "DIFFERENT")
    echo
    echo "== $word: $hits documents with a hit ($(awk -v h="$hits" -v d="$documents" 'BEGIN { printf "%.2f", 100 * h / d }') %); hits with the index $same as the scan's"
    grep -h "Index veraltet" "$WORK/indexed.err" || true
    hyperfine --warmup 2 --runs "$RUNS" --style basic --export-json "$WORK/run.json" \
        -n "vespira search" "'$VESPIRA' search -C '$prog' Big '$word' >/dev/null 2>&1 || true" \
        -n "vespira search --scan" "'$VESPIRA' search --scan -C '$prog' Big '$word' >/dev/null 2>&1 || true" \
        -n "rg -F -i -c" "rg -F -i -c '$word' '$big' >/dev/null || true"
    print_means "$WORK/run.json"
    v=$(jq '.results[0].mean' "$WORK/run.json")
    s=$(jq '.results[1].mean' "$WORK/run.json")
    r=$(jq '.results[2].mean' "$WORK/run.json")
    # Processor time (user + system) too: on a machine that other work shares, the wall time
    # of a short command is mostly its wait for a core.
    cv=$(jq '.results[0].user + .results[0].system' "$WORK/run.json")
    cs=$(jq '.results[1].user + .results[1].system' "$WORK/run.json")
    cr=$(jq '.results[2].user + .results[2].system' "$WORK/run.json")
    mv=$(peak "$VESPIRA" search -C "$prog" Big "$word")
    ms=$(peak "$VESPIRA" search --scan -C "$prog" Big "$word")
    awk -v v="$v" -v s="$s" -v r="$r" -v cv="$cv" -v cs="$cs" -v cr="$cr" -v mv="$mv" -v ms="$ms" \
        -v hits="$hits" -v d="$documents" 'BEGIN {
        rare = hits <= 0.01 * d;
        printf "with the index: %.1f x faster than the scan, %.1f x faster than rg", s / v, r / v;
        if (rare)
            printf " (rare word, target >= 10 x both: %s)", (s / v >= 10 && r / v >= 10 ? "met" : "NOT met");
        printf "\n";
        printf "by processor time: %.1f x the scan, %.1f x rg", cs / cv, cr / cv;
        if (rare)
            printf " (%s)", (cs / cv >= 10 && cr / cv >= 10 ? "met" : "NOT met");
        printf "\n";
        printf "with the index / scan: %.2f x, by processor time %.2f x (target <= 1.10 x: %s)\n", v / s, cv / cs,
            (v / s <= 1.10 ? "met" : "NOT met");
        printf "peak memory: with the index %s MB, scan %s MB (target <= 64 MB: %s)\n", mv, ms, (mv <= 64 ? "met" : "NOT met") }'
    index=$((index + 1))
done
echo
echo "work folder: $WORK (remove it when done; the index was removed)"
