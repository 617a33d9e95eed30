#!/usr/bin/env bash
# Renders only the main window with a few databases listed to the PNG file given (default
# docs/images/main-window.png); scripts/screenshots.sh renders all the windows.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$here/docs/images/main-window.png}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
"$here/scripts/screenshots.sh" "$tmp" 'MainWindowWithDatabases'
mkdir -p "$(dirname "$out")"
cp "$tmp/main-window.png" "$out"
echo "geschrieben: $out"
