#!/usr/bin/env bash
# 1,000 searches and 50 list builds, headless, in one process (bench/soak.cpp), over a
# database of Python's library documentation; prints the resident memory after the first
# round and at the end. Exit 1 when it grew by more than 10 % or a command failed.
#
#   bench/soak.sh                      # builds build-bench in Release when needed
#   SEARCHES=200 BUILDS=10 bench/soak.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
SEARCHES=${SEARCHES:-1000}
BUILDS=${BUILDS:-50}
if [ ! -x "$root/build-bench/bench/soak" ] || [ ! -x "$root/build-bench/src/cli/vespira" ]; then
    cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESPIRA_BUILD_BENCH=ON \
        -DVESPIRA_BUILD_TESTS=OFF >/dev/null
    cmake --build "$root/build-bench" --target soak vespira >/dev/null
fi
dpkg -s python3-doc >/dev/null 2>&1 || apt-get install -y -qq python3-doc >/dev/null
docs=$(ls -d /usr/share/doc/python3.[0-9]*/html/library | head -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program's settings stay out of the user's.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"

"$root/build-bench/src/cli/vespira" index -C "$work" Soak "$docs" >/dev/null 2>&1
echo "database: $(du -sh "$work/Datenbank" | cut -f1) from $docs"
"$root/build-bench/bench/soak" "$work" Soak "$SEARCHES" "$BUILDS"
