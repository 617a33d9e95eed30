#!/bin/sh
# Update speed against a full build: about 2,000 HTML documents of Debian's documentation
# (Python's library manual, the Debian Reference, the Debian Administrator's Handbook in
# eleven languages, the Debian Edu manual) are built into a database; then 1 % of the files
# change, 1 % go and 1 % come, and `vespira index --update` is timed against the full build.
# Both run on the same two cores. It checks that the update gives the files a rebuild gives
# (the index files apart from the time stamp in their header).
# Usage: bench/update.sh [VESPIRA_BINARY]   (run as root on Debian 12 so packages can be installed)
#   RUNS=3   runs of each command, the best time counts
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-}
runs=${RUNS:-3}
if [ -z "$bin" ]; then
    cmake -S "$here" -B "$here/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESPIRA_BUILD_TESTS=OFF >/dev/null
    cmake --build "$here/build-bench" --target vespira -j2 >/dev/null
    bin="$here/build-bench/src/cli/vespira"
fi
for p in python3-doc debian-reference-de debian-reference-en debian-handbook debian-edu-doc-de time; do
    dpkg -s "$p" >/dev/null 2>&1 || apt-get install -y -qq --no-install-recommends "$p" >/dev/null
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A copy the benchmark may change, symbolic links resolved.
mkdir "$work/docs"
i=0
for d in "$(ls -d /usr/share/doc/python3.[0-9]*/html | head -n 1)" /usr/share/debian-reference \
    /usr/share/doc/debian-edu-doc-de /usr/share/doc/debian-edu-doc-en; do
    i=$((i + 1))
    [ -d "$d" ] && cp -rL "$d" "$work/docs/$i"
done
for lang in de-DE en-US fr-FR es-ES it-IT nl-NL pt-BR da-DK nb-NO sv-SE pl-PL; do
    cp -rL "/usr/share/doc/debian-handbook/html/$lang" "$work/docs/handbook-$lang"
done
find "$work/docs" -name '.*' -prune -o -type f \( -name '*.html' -o -name '*.htm' \) -print | sort >"$work/files"
files=$(wc -l <"$work/files")
bytes=$(tr '\n' '\0' <"$work/files" | xargs -0 cat | wc -c)
cat "$work/files" | tr '\n' '\0' | xargs -0 cat >/dev/null # warm the page cache

# Best of $runs: "wall user+system" in seconds; $1 names a setup step run before each timed
# command. Processor times keep the comparison fair when other work shares the machine.
best() {
    setup=$1
    shift
    : >"$work/times"
    n=0
    while [ "$n" -lt "$runs" ]; do
        $setup
        /usr/bin/time -f '%e %U %S' -o "$work/t" "$@" >/dev/null 2>&1
        awk '{ print $1, $2 + $3 }' "$work/t" >>"$work/times"
        n=$((n + 1))
    done
    sort -n "$work/times" | head -n 1
}
fresh() { rm -rf "$work/prog" && mkdir "$work/prog"; }
full=$(best fresh taskset -c 0,1 "$bin" index -C "$work/prog" Bench "$work/docs")
cp -a "$work/prog" "$work/before"

# 1 % changed, 1 % removed, 1 % added (copies of other documents under new names).
mkdir "$work/docs/neu"
awk 'NR % 100 == 1' "$work/files" | while IFS= read -r f; do printf '<p>Nachtrag %s</p>\n' "$f" >>"$f"; done
awk 'NR % 100 == 2' "$work/files" | while IFS= read -r f; do rm "$f"; done
awk 'NR % 100 == 3' "$work/files" | while IFS= read -r f; do
    cp "$f" "$work/docs/neu/$(printf '%s' "$f" | md5sum | cut -c1-12).html"
done
changed=$(awk 'NR % 100 == 1' "$work/files" | wc -l)

again() { rm -rf "$work/prog" && cp -a "$work/before" "$work/prog"; }
update=$(best again taskset -c 0,1 "$bin" index --update -C "$work/prog" Bench)

# The update must give what a rebuild gives.
mkdir "$work/rebuilt"
"$bin" index -C "$work/rebuilt" Bench "$work/docs" >/dev/null 2>&1
same=ja
for f in "$work/rebuilt/Datenbank/"*; do
    g="$work/prog/Datenbank/$(basename "$f")"
    case "$f" in
    *.idx) tail -c +65 "$f" | cmp -s - "$(printf '%s' "$g")" --ignore-initial=0:64 || same=nein ;;
    *) cmp -s "$f" "$g" || same=nein ;;
    esac
done

awk -v f="$files" -v b="$bytes" -v c="$changed" -v full="$full" -v upd="$update" -v runs="$runs" -v same="$same" 'BEGIN {
    split(full, F, " "); split(upd, U, " ");
    printf "HTML: %d files, %.1f MB of Debian documentation; %d changed, %d removed, %d added; best of %d runs\n", f, b / 1e6, c, c, c, runs;
    printf "full build:  %.2f s  (processor %.2f s)\n", F[1], F[2];
    printf "update:      %.2f s  (processor %.2f s)\n", U[1], U[2];
    printf "ratio:       %.1f x  (by processor time %.1f x)   target: 10 x\n", F[1] / U[1], F[2] / U[2];
    printf "update gives the rebuilt files: %s\n", same }'
[ "$same" = ja ]
