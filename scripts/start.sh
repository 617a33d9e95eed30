#!/usr/bin/env bash
# Starts the program from the build folder. Its program folder is build/programm/: the
# databases live in build/programm/Datenbank. When there is no database yet, the bundled
# sample collection becomes the database "Beispiel".
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${VESPIRA_BUILD:-$here/build}"
prog="$build/programm"
mkdir -p "$prog/Datenbank"

if ! ls "$prog/Datenbank/"*.dat >/dev/null 2>&1 && ! ls "$prog/Datenbank/"*.DAT >/dev/null 2>&1; then
    "$build/src/cli/vespira" index -C "$prog" Beispiel "$here/samples" || \
        echo "start: die Beispieldatenbank konnte nicht gebaut werden" >&2
fi
if [ ! -f "$prog/Adressen_Webseiten.txt" ] && [ -f "$here/resources/Adressen_Webseiten.txt" ]; then
    cp "$here/resources/Adressen_Webseiten.txt" "$prog/"
fi
if [ -f "$build/Vespira_HTML_Light.pdf" ]; then
    cp "$build/Vespira_HTML_Light.pdf" "$prog/"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
    echo "Vespira-HTML-Dodad braucht eine grafische Oberfläche: kein Bildschirm gefunden (DISPLAY ist nicht gesetzt)." >&2
    exit 1
fi
cd "$prog"
exec "$build/src/vespira-html"
