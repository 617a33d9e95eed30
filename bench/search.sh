#!/usr/bin/env bash
# Times the search on a collected UTF-8 text file of at least 1 GB, warm cache, in one
# hyperfine run per word: `vespira search`, the search window's run (searchwindow_bench:
# the same run with the window's event pump, offscreen) and `rg -F -i -c` on the same
# file. Three words: one in at most 100 documents, one in about 1,000, one in at least
# 10,000. Prints the times, the ratios against the targets and the peak memory of each
# side (/usr/bin/time -v).
#
#   bench/search.sh                          # builds the release preset's programs first
#   WORK=build-release/bench-work RUNS=10 bench/search.sh
#   WORDS="Großbritannien Veränderungen Dictionary" bench/search.sh
#
# The collected file is made once under $WORK (never in the source tree) by bench/bigfile.sh:
# Debian's German and English HTML documentation (the packages of bench/index.sh) is
# indexed, and its collected file is replicated, every copy under document paths of its
# own, until it holds SIZE_MB. An existing $WORK/prog is taken as it is. Delete $WORK when
# done. A trigram index there is removed first: this measures the scan (bench/index-search.sh
# the search with the index).
#
# Targets: vespira search at most 0.8 x rg's time for the first two words and 1.5 x for
# the third; the window's run at most 1.1 x vespira search (both without their process
# start-up, measured on a database of one tiny document); peak memory at most 64 MB.
# Cores: vespira searches on one thread; rg runs with its defaults (it may start a thread
# per core, but searches a single file on one).
#
# Then the search options, each in one hyperfine run beside a plain `vespira search` for the
# rarer word: "Alle Wörter" with two words (ALL_WORDS, default "Veränderungen Paket": about
# 1,000 and 7,500 documents, 900 with both) against the word of the two found in fewer
# documents, and "Umlaute gleichwertig" with one word (UMLAUT_WORD, default Veränderungen)
# against the same word searched plainly. Target: at most 1.5 x the plain search.
#
#   SECTIONS=options bench/search.sh         # only the options (default: "words options")
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
RUNS=${RUNS:-10}
read -r -a words <<<"${WORDS:-Großbritannien Veränderungen Dictionary}"
SECTIONS=${SECTIONS:-words options}
[[ " $SECTIONS " == *" words "* ]] || words=()

. "$here/release.sh"
. "$here/bigfile.sh"
release_build vespira searchwindow_bench
need rg ripgrep
need hyperfine hyperfine
need /usr/bin/time time
need jq jq
need awk gawk
VESPIRA=$root/build-release/src/cli/vespira
WINDOW=$root/build-release/bench/searchwindow_bench

# The program's settings stay out of the user's.
export XDG_CONFIG_HOME="$WORK/config"
mkdir -p "$XDG_CONFIG_HOME"
make_big_file
rm -f "$prog/Datenbank/Big_UTF8Trigramme.idx" # the scan is measured here
echo "collected file: $(($(stat -c %s "$big") / 1024 / 1024)) MB, $documents documents; $(nproc) cores"
cat "$big" >/dev/null # warm the cache

# Process start-up of both sides, on a database of one tiny document: the window's run is
# compared without it, as the window's program is already running when a search starts.
tiny="$WORK/tiny"
mkdir -p "$tiny/Datenbank"
printf 'PFAD_UND_ENDUNGEN=Z:\\x\r\n' >"$tiny/Datenbank/T.dat"
printf '#Z:\\x\\a.htm\r\nHaus\r\n' >"$tiny/Datenbank/T_UTF8Dokument.txt"
hyperfine -N --warmup 3 --runs 20 --style none --export-json "$WORK/startup.json" \
    "$VESPIRA search -C $tiny T Haus" "$WINDOW $tiny T Haus" >/dev/null 2>&1
startV=$(jq '.results[0].mean' "$WORK/startup.json")
startW=$(jq '.results[1].mean' "$WORK/startup.json")
echo "process start-up: vespira search $(jq '.results[0].mean * 1000 | floor' "$WORK/startup.json") ms, window run $(jq '.results[1].mean * 1000 | floor' "$WORK/startup.json") ms"

limits=(0.8 0.8 1.5)
index=0
for word in "${words[@]}"; do
    hits=$("$VESPIRA" search -C "$prog" Big "$word" 2>/dev/null | wc -l || true)
    lines=$(rg -F -i -c "$word" "$big" || echo 0)
    echo
    echo "== $word: $hits documents with a hit (rg: $lines matching lines)"
    hyperfine --warmup 2 --runs "$RUNS" --style basic --export-json "$WORK/run.json" \
        -n "vespira search" "'$VESPIRA' search -C '$prog' Big '$word' >'$WORK/hits.txt' 2>&1 || true" \
        -n "window run" "'$WINDOW' '$prog' Big '$word' >/dev/null 2>&1 || true" \
        -n "rg -F -i -c" "rg -F -i -c '$word' '$big' >'$WORK/count.txt' || true"
    print_means "$WORK/run.json"
    v=$(jq '.results[0].mean' "$WORK/run.json")
    w=$(jq '.results[1].mean' "$WORK/run.json")
    r=$(jq '.results[2].mean' "$WORK/run.json")
    mv=$(peak "$VESPIRA" search -C "$prog" Big "$word")
    mw=$(peak "$WINDOW" "$prog" Big "$word")
    mr=$(peak rg -F -i -c "$word" "$big")
    awk -v v="$v" -v w="$w" -v r="$r" -v lim="${limits[$index]}" -v mv="$mv" -v mw="$mw" -v mr="$mr" \
        -v sv="$startV" -v sw="$startW" 'BEGIN {
        printf "vespira / rg: %.2f x (target <= %s x: %s)\n", v / r, lim, (v / r <= lim ? "met" : "NOT met");
        ratio = (w - sw) / (v - sv);
        printf "window / vespira: %.2f x whole processes, %.2f x runs without start-up (target <= 1.10 x: %s)\n",
            w / v, ratio, (ratio <= 1.10 ? "met" : "NOT met");
        printf "peak memory: vespira %s MB, window run %s MB, rg %s MB (target <= 64 MB: %s)\n", mv, mw, mr,
            (mv <= 64 && mw <= 64 ? "met" : "NOT met") }'
    index=$((index + 1))
done

if [[ " $SECTIONS " == *" options "* ]]; then
    # ratio NAME JSON: the second command's mean against the first's, with the target.
    ratio() {
        jq -r '.results[] | "\(.command): mean \(.mean * 1000 | floor) ms, user \(.user * 1000 | floor) ms, system \(.system * 1000 | floor) ms"' "$2"
        awk -v p="$(jq '.results[0].mean' "$2")" -v o="$(jq '.results[1].mean' "$2")" -v name="$1" 'BEGIN {
            printf "%s / plain: %.2f x (target <= 1.50 x: %s)\n", name, o / p, (o / p <= 1.5 ? "met" : "NOT met") }'
    }
    read -r -a pair <<<"${ALL_WORDS:-Veränderungen Paket}"
    count() { "$VESPIRA" search -C "$prog" "$@" 2>/dev/null | wc -l || true; }
    h0=$(count Big "${pair[0]}")
    h1=$(count Big "${pair[1]}")
    rarer=${pair[0]}
    [ "$h1" -lt "$h0" ] && rarer=${pair[1]}
    both=$(count --all-words Big "${pair[*]}")
    echo
    echo "== Alle Wörter \"${pair[*]}\": $both documents with both (${pair[0]}: $h0, ${pair[1]}: $h1)"
    hyperfine --warmup 2 --runs "$RUNS" --style basic --export-json "$WORK/allwords.json" \
        -n "vespira search $rarer" "'$VESPIRA' search -C '$prog' Big '$rarer' >/dev/null 2>&1 || true" \
        -n "vespira search --all-words" "'$VESPIRA' search -C '$prog' --all-words Big '${pair[*]}' >/dev/null 2>&1 || true"
    ratio "Alle Wörter" "$WORK/allwords.json"

    umlaut=${UMLAUT_WORD:-Veränderungen}
    echo
    echo "== Umlaute gleichwertig \"$umlaut\": $(count --umlauts Big "$umlaut") documents (plain: $(count Big "$umlaut"))"
    hyperfine --warmup 2 --runs "$RUNS" --style basic --export-json "$WORK/umlauts.json" \
        -n "vespira search $umlaut" "'$VESPIRA' search -C '$prog' Big '$umlaut' >/dev/null 2>&1 || true" \
        -n "vespira search --umlauts" "'$VESPIRA' search -C '$prog' --umlauts Big '$umlaut' >/dev/null 2>&1 || true"
    ratio "Umlaute gleichwertig" "$WORK/umlauts.json"
fi
echo
echo "work folder: $WORK (remove it when done)"
