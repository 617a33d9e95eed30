#!/usr/bin/env bash
# Makes the Debian package from a configured and built folder (cpack -G DEB) and checks it:
# the files the program needs are in it, dpkg-shlibdeps found its library dependencies, and
# its desktop entry and AppStream data pass desktop-file-validate and appstreamcli validate.
#   scripts/check-package.sh build-release
set -euo pipefail

build=$(cd "${1:?build folder}" && pwd)
fail() { echo "package: $*" >&2; exit 1; }

rm -f "$build"/vespira-html_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { tail -n 30 "$build/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$build"/vespira-html_*.deb)
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"

for f in bin/vespira-html bin/vespira libexec/vespira-html/vespira-html-start libexec/vespira-html/vespira-index \
    share/applications/vespira-html.desktop share/icons/hicolor/scalable/apps/vespira-html.svg \
    share/metainfo/de.korvane.vespira_html.metainfo.xml \
    share/vespira-html/Vespira_HTML_Light.pdf share/vespira-html/Adressen_Webseiten.txt; do
    [ -e "$tree/usr/$f" ] || fail "/usr/$f is missing"
done
grep -qx 'Exec=/usr/libexec/vespira-html/vespira-html-start' "$tree/usr/share/applications/vespira-html.desktop" \
    || fail "the desktop entry does not start the launcher"
"$tree/usr/bin/vespira" index --help | grep -q '^Aufruf: vespira index' \
    || fail "vespira index does not find the program it runs"
depends=$(dpkg-deb --field "$deb" Depends)
case "$depends" in
    *libqt6widgets6*libgmime* | *libgmime*libqt6widgets6*) ;;
    *) fail "Depends lacks the shared libraries: $depends" ;;
esac

desktop-file-validate "$tree/usr/share/applications/vespira-html.desktop"
appstreamcli validate --no-net "$tree/usr/share/metainfo/de.korvane.vespira_html.metainfo.xml" >/dev/null \
    || { appstreamcli validate --no-net "$tree/usr/share/metainfo/de.korvane.vespira_html.metainfo.xml"; fail "AppStream data"; }
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KB; Depends: $depends"
