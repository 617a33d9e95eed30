#!/usr/bin/env bash
# Renders only the search window to the PNG file given (default docs/images/search-window.png);
# scripts/screenshots.sh renders all the windows.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$here/docs/images/search-window.png}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
"$here/scripts/screenshots.sh" "$tmp" 'SearchWindowWithADatabaseInTheView'
mkdir -p "$(dirname "$out")"
cp "$tmp/search-window.png" "$out"
echo "geschrieben: $out"
