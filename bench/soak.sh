#!/usr/bin/env bash
# 1,000 searches and 50 list builds, headless, in one process (bench/soak.cpp), over a
# database of Python's library documentation; prints the resident memory after the first
# round and at the end. Exit 1 when it grew by more than 10 % or a command failed.
#
#   bench/soak.sh                      # builds the release preset (build-release) first
#   SEARCHES=200 BUILDS=10 bench/soak.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
SEARCHES=${SEARCHES:-1000}
BUILDS=${BUILDS:-50}
. "$root/bench/release.sh"
release_build soak vespira
dpkg -s python3-doc >/dev/null 2>&1 || apt-get install -y -qq python3-doc >/dev/null
docs=$(ls -d /usr/share/doc/python3.[0-9]*/html/library | head -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program's settings stay out of the user's.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"

"$root/build-release/src/cli/vespira" index -C "$work" Soak "$docs" >/dev/null 2>&1
echo "database: $(du -sh "$work/Datenbank" | cut -f1) from $docs"
"$root/build-release/bench/soak" "$work" Soak "$SEARCHES" "$BUILDS"
