# shellcheck shell=bash disable=SC2034,SC2012
# Sourced by the search benchmarks (bash). make_big_file: makes, once, a UTF-8 collected file
# of at least SIZE_MB under $WORK/prog (database "Big"), from Debian's German and English HTML
# documentation (the packages of bench/index.sh) indexed by $VESPIRA and replicated, every
# copy under document paths of its own. An existing file of about that size is taken as it
# is. Sets prog (the program folder), big (the collected file) and documents (its count).
# WORK defaults to build-release/bench-work (git ignores it), SIZE_MB to 1100.
WORK=${WORK:-$root/build-release/bench-work}
SIZE_MB=${SIZE_MB:-1100}
make_big_file() {
    prog="$WORK/prog"
    big="$prog/Datenbank/Big_UTF8Dokument.txt"
    if [ ! -f "$big" ] || [ "$(stat -c %s "$big")" -lt $((SIZE_MB * 1024 * 1024 * 9 / 10)) ]; then
        for p in python3-doc debian-reference-de debian-reference-en debian-handbook debian-edu-doc-de debian-edu-doc-en; do
            dpkg -s "$p" >/dev/null 2>&1 || apt-get install -y -qq --no-install-recommends "$p" >/dev/null
        done
        local docs seed seed_bytes copies
        docs="$(ls -d /usr/share/doc/python3.[0-9]*/html | head -n 1) /usr/share/debian-reference
              /usr/share/doc/debian-handbook/html/de-DE /usr/share/doc/debian-handbook/html/en-US
              /usr/share/doc/debian-edu-doc-de /usr/share/doc/debian-edu-doc-en"
        echo "== seed database from Debian's documentation" >&2
        rm -rf "$WORK/seed" "$prog"
        # shellcheck disable=SC2086
        "$VESPIRA" index -C "$WORK/seed" Seed $docs >/dev/null 2>&1
        seed="$WORK/seed/Datenbank/Seed_UTF8Dokument.txt"
        echo "== replicating to ${SIZE_MB} MB" >&2
        mkdir -p "$prog/Datenbank/Temp"
        head -n 1 "$WORK/seed/Datenbank/Seed.dat" >"$prog/Datenbank/Big.dat"
        seed_bytes=$(stat -c %s "$seed")
        copies=$(((SIZE_MB * 1024 * 1024 + seed_bytes - 1) / seed_bytes))
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
            }' "$seed" >"$big"
    fi
    documents=$(wc -l <"$prog/Datenbank/Big_Utf8_TitelPositionen.txt")
}
