#!/usr/bin/env bash
# Times `vespira search` on a collected text file of at least 1 GB against `rg -F -i -c`
# and `grep -F -i -c`, warm cache, for a common word, a rare word and a word with an
# umlaut; measures the peak memory of the search and the time to write the result pages
# of 10,000 hits.
#
#   bench/search.sh                       # builds and uses the release preset's vespira
#   VESPIRA=path/to/vespira SIZE_MB=2048 bench/search.sh
#
# The database is indexed once from Debian's HTML documentation (plus one generated
# German page, so there is an umlaut to look for) and its collected file is replicated,
# every copy under its own document paths, until it reaches SIZE_MB.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
VESPIRA_GIVEN=${VESPIRA:-}
VESPIRA=${VESPIRA:-$root/build-release/src/cli/vespira}
SIZE_MB=${SIZE_MB:-1100}
DOCS=${DOCS:-/usr/share/doc}
WORK=${WORK:-$(mktemp -d)}
RUNS=${RUNS:-3}
COMMON=${COMMON:-the}
RARE=${RARE:-trampoline}
UMLAUT=${UMLAUT:-größenänderung}

. "$here/release.sh"
[ -n "${VESPIRA_GIVEN:-}" ] || release_build vespira
need rg ripgrep
need hyperfine hyperfine
need /usr/bin/time time
for tool in rg grep hyperfine /usr/bin/time awk; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 2; }
done
[ -x "$VESPIRA" ] || { echo "missing: $VESPIRA" >&2; exit 2; }

# The program's settings stay out of the user's.
export XDG_CONFIG_HOME="$WORK/config"
mkdir -p "$XDG_CONFIG_HOME"

echo "== seed database from $DOCS" >&2
mkdir -p "$WORK/input" "$WORK/seed"
cat > "$WORK/input/deutsch.html" <<'EOF'
<html><head><meta charset="utf-8"><title>Fenster</title></head><body>
<p>Die Größenänderung eines Fensters übernimmt der Fenstermanager.</p>
<p>ÄRGER MIT DER GRÖSSENÄNDERUNG? Ein Neustart hilft selten.</p>
</body></html>
EOF
"$VESPIRA" index -C "$WORK/seed" Seed "$DOCS" "$WORK/input" >/dev/null 2>&1
seed="$WORK/seed/Datenbank/Seed_UTF8Dokument.txt"

echo "== replicating to ${SIZE_MB} MB" >&2
prog="$WORK/prog"
mkdir -p "$prog/Datenbank/Temp"
head -n 1 "$WORK/seed/Datenbank/Seed.dat" > "$prog/Datenbank/Big.dat"
seed_bytes=$(stat -c %s "$seed")
copies=$(( (SIZE_MB * 1024 * 1024 + seed_bytes - 1) / seed_bytes ))
LC_ALL=C awk -v copies="$copies" -v titles="$prog/Datenbank/Big_Utf8_TitelPositionen.txt" '
    { lines[NR] = $0 }
    END {
        offset = 0
        for (c = 1; c <= copies; c++) {
            for (i = 1; i <= NR; i++) {
                line = lines[i]
                if (substr(line, 1, 4) == "#Z:\\") {
                    line = "#Z:\\copy" c substr(line, 4)
                    path = line; sub(/\r$/, "", path)
                    printf "%d %s\r\n", offset, path > titles
                }
                print line
                offset += length(line) + 1
            }
        }
    }' "$seed" > "$prog/Datenbank/Big_UTF8Dokument.txt"
big="$prog/Datenbank/Big_UTF8Dokument.txt"
echo "collected file: $(( $(stat -c %s "$big") / 1024 / 1024 )) MB, $(wc -l < "$prog/Datenbank/Big_Utf8_TitelPositionen.txt") documents" >&2

cat "$big" > /dev/null # warm the cache

for word in "$COMMON" "$RARE" "$UMLAUT"; do
    echo "== $word" >&2
    hits=$("$VESPIRA" search -C "$prog" Big "$word" 2>/dev/null | wc -l || true)
    echo "vespira hit entries: $hits; rg matching lines: $(rg -F -i -c "$word" "$big" || echo 0)"
    # Output goes to a file: GNU grep stops at the first match when it writes to /dev/null.
    hyperfine --warmup 1 --runs "$RUNS" --style basic \
        -n "vespira search" "'$VESPIRA' search -C '$prog' Big '$word' > '$WORK/hits.txt' 2>&1 || true" \
        -n "rg -F -i -c" "rg -F -i -c '$word' '$big' > '$WORK/count.txt' || true" \
        -n "grep -F -i -c" "grep -F -i -c '$word' '$big' > '$WORK/count.txt' || true"
    /usr/bin/time -v "$VESPIRA" search -C "$prog" Big "$word" 2>&1 >/dev/null \
        | grep -E "Maximum resident set size" | sed "s/^/peak memory ($word): /"
done

echo "== 10,000 hits, 400 result pages" >&2
pages="$WORK/pages"
mkdir -p "$pages/Datenbank/Temp"
printf 'PFAD_UND_ENDUNGEN=Z:\\pages\r\n' > "$pages/Datenbank/Pages.dat"
LC_ALL=C awk -v titles="$pages/Datenbank/Pages_Utf8_TitelPositionen.txt" 'BEGIN {
    offset = 0
    for (i = 1; i <= 10000; i++) {
        marker = sprintf("#Z:\\pages\\dokument%05d.htm", i)
        text = sprintf("Ein Haus mit der Nummer %d steht am Ende einer langen Strasse.", i)
        printf "%d %s\r\n", offset, marker > titles
        printf "%s\r\n%s\r\n", marker, text
        offset += length(marker) + length(text) + 4
    }
}' > "$pages/Datenbank/Pages_UTF8Dokument.txt"
hyperfine --warmup 1 --runs "$RUNS" --style basic \
    -n "vespira search, 10000 hits" "'$VESPIRA' search -C '$pages' Pages Haus > /dev/null 2>&1"
echo "pages written: $(ls "$pages/Datenbank/Temp" | wc -l)"
echo "work folder: $WORK (remove it when done)"
