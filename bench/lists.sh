#!/usr/bin/env bash
# Times `vespira lists` building the word list of a collected UTF-8 file of about 200 MB
# against the pipeline `tr -cs '[:alnum:]' '\n' | LC_ALL=C.UTF-8 sort -u -f`, both in the
# same run and on the same file, warm cache; prints the times, MB/s, the ratio and the peak
# memory of both. A second, smaller file of the same text shows whether the command's
# memory follows the file size or the number of distinct words.
#
#   bench/lists.sh                        # builds and uses the release preset's vespira
#   VESPIRA=path/to/vespira SIZE_MB=400 RUNS=5 bench/lists.sh
#
# The text comes from indexing Debian's HTML documentation once (plus one generated German
# page, so there are umlaut words); its collected file is replicated, every copy under its
# own document paths, until it reaches SIZE_MB.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
VESPIRA_GIVEN=${VESPIRA:-}
VESPIRA=${VESPIRA:-$root/build-release/src/cli/vespira}
SIZE_MB=${SIZE_MB:-200}
DOCS=${DOCS:-/usr/share/doc}
WORK=${WORK:-$(mktemp -d)}
RUNS=${RUNS:-3}
# The locale whose collation orders the list (the pipeline sorts in C.UTF-8, as its form says).
LIST_LOCALE=${LIST_LOCALE:-de_DE.UTF-8}

. "$here/release.sh"
[ -n "$VESPIRA_GIVEN" ] || release_build vespira
need /usr/bin/time time
[ -x "$VESPIRA" ] || { echo "missing: $VESPIRA" >&2; exit 2; }

# The program's settings stay out of the user's.
export XDG_CONFIG_HOME="$WORK/config"
mkdir -p "$XDG_CONFIG_HOME"

echo "== seed text from $DOCS" >&2
mkdir -p "$WORK/input" "$WORK/seed"
cat > "$WORK/input/deutsch.html" <<'EOF'
<html><head><meta charset="utf-8"><title>Fenster</title></head><body>
<p>Die Größenänderung eines Fensters übernimmt der Fenstermanager; Ärger gibt es selten.</p>
<p>Über Öffnungszeiten, Übergrößen und Äpfel: ein Text, der nur die Umlaute liefert.</p>
</body></html>
EOF
"$VESPIRA" index -C "$WORK/seed" Seed "$DOCS" "$WORK/input" >/dev/null 2>&1
seed="$WORK/seed/Datenbank/Seed_UTF8Dokument.txt"
seed_bytes=$(stat -c %s "$seed")

# make_database FOLDER MEGABYTES: a database "Big" whose collected file repeats the seed.
make_database() {
    local prog=$1 megabytes=$2
    mkdir -p "$prog/Datenbank/Temp"
    head -n 2 "$WORK/seed/Datenbank/Seed.dat" > "$prog/Datenbank/Big.dat"
    local copies=$(( (megabytes * 1000 * 1000 + seed_bytes - 1) / seed_bytes ))
    LC_ALL=C awk -v copies="$copies" '
        { lines[NR] = $0 }
        END {
            for (c = 1; c <= copies; c++)
                for (i = 1; i <= NR; i++) {
                    line = lines[i]
                    if (substr(line, 1, 4) == "#Z:\\" && c > 1)
                        line = "#Z:\\copy" c substr(line, 4)
                    print line
                }
        }' "$seed" > "$prog/Datenbank/Big_UTF8Dokument.txt"
}

big="$WORK/big"
half="$WORK/half"
make_database "$big" "$SIZE_MB"
make_database "$half" $(( SIZE_MB / 2 ))
file="$big/Datenbank/Big_UTF8Dokument.txt"
bytes=$(stat -c %s "$file")
echo "collected file: $(( bytes / 1000000 )) MB, seed $(( seed_bytes / 1000000 )) MB" >&2
cat "$file" > /dev/null # warm the cache

# run_timed LABEL COMMAND...: elapsed seconds and peak memory (KB) of one run, as "s kb".
run_timed() {
    local report="$WORK/time.txt"
    /usr/bin/time -f '%e %M' -o "$report" "$@" > /dev/null 2> "$WORK/stderr.txt" \
        || { echo "failed: $*" >&2; cat "$WORK/stderr.txt" >&2; exit 1; }
    cat "$report"
}

peer() {
    tr -cs '[:alnum:]' '\n' < "$1" | LC_ALL=C.UTF-8 sort -u -f > "$WORK/peer.txt"
}
export -f peer
export WORK

echo "== $RUNS runs each, alternating" >&2
ours_times=()
peer_times=()
for run in $(seq "$RUNS"); do
    read -r s kb < <(run_timed env LC_ALL="$LIST_LOCALE" "$VESPIRA" lists -C "$big" --mode words Big)
    ours_times+=("$s"); ours_kb=$kb
    read -r s kb < <(run_timed bash -c 'peer "$0"' "$file")
    peer_times+=("$s"); peer_kb=$kb
    echo "run $run: vespira lists ${ours_times[-1]} s, pipeline ${peer_times[-1]} s" >&2
done
read -r half_s half_kb < <(run_timed env LC_ALL="$LIST_LOCALE" "$VESPIRA" lists -C "$half" --mode words Big)

list="$big/Datenbank/Big_Phrasen_Woerter_Utf8Liste.txt"
best() { printf '%s\n' "$@" | sort -g | head -n 1; }
awk -v b="$bytes" -v o="$(best "${ours_times[@]}")" -v p="$(best "${peer_times[@]}")" \
    -v ok="$ours_kb" -v pk="$peer_kb" -v hs="$half_s" -v hk="$half_kb" -v half_mb=$(( SIZE_MB / 2 )) \
    -v entries="$(wc -l < "$list")" -v peer_entries="$(wc -l < "$WORK/peer.txt")" -v cores="$(nproc)" -v locale="$LIST_LOCALE" 'BEGIN {
    printf "collected UTF-8 file: %.1f MB, %d cores\n", b / 1e6, cores
    printf "vespira lists --mode words (%s): %.2f s (best of runs), %.1f MB/s, peak memory %.0f MB, %d list lines\n", locale, o, b / o / 1e6, ok / 1024, entries
    printf "tr | sort -u -f (C.UTF-8):  %.2f s (best of runs), %.1f MB/s, peak memory %.0f MB, %d lines\n", p, b / p / 1e6, pk / 1024, peer_entries
    printf "ratio: vespira is %.2f x as fast as the pipeline (target: at least 2 x)\n", p / o
    printf "same text, %d MB: vespira lists %.2f s, peak memory %.0f MB\n", half_mb, hs, hk / 1024
}'
echo "work folder: $WORK (remove it when done)"
