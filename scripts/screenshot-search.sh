#!/usr/bin/env bash
# Renders the search window with a database in the document view and the title of the
# document under the view to docs/images/search-window.png, without a screen.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${VESPIRA_BUILD:-$here/build}"
out="${1:-$here/docs/images/search-window.png}"
mkdir -p "$(dirname "$out")"
cmake --build "$build" --target test_gui -j2
QT_QPA_PLATFORM=offscreen VESPIRA_SCREENSHOT="$out" \
    "$build/tests/gui/test_gui" --gtest_filter='SuchFormScreenshot.*'
echo "geschrieben: $out"
