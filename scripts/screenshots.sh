#!/usr/bin/env bash
# Renders the windows for the README and the manual, without a screen, into docs/images/
# (or the folder given as the first argument):
#   main-window.png    the main window with a few databases listed
#   search-window.png  the search window with a database in the view and its title shown
#   search-options.png the search window with three of its search options ticked
#   settings.png       the settings dialog
#   web-panel.png      the search window with the web search panel
#   database-window.png  the window "Datenbank erstellen" during a build
# A filter of test names may follow the folder (default: all six), as gtest takes it.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${VESPIRA_BUILD:-$here/build}"
out="$(mkdir -p "${1:-$here/docs/images}" && cd "${1:-$here/docs/images}" && pwd)"
filter="${2:-*}"
cmake --build "$build" --target vespira_screenshots -j2
QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 VESPIRA_SCREENSHOTS="$out" \
    "$build/tests/screenshots/vespira_screenshots" --gtest_filter="Screenshots.$filter"
echo "geschrieben: $out"
