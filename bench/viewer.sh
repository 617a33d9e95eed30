#!/usr/bin/env bash
# Times the document view on a generated collected text file (default 4096 MB): opening and
# painting the first page, jumping to the end and to a bookmark, the viewer's resident memory
# above the program's baseline, and the find in the view beside `grep -c -i -F`, warm cache.
#
#   bench/viewer.sh                          # builds the release preset (build-release) first
#   SIZE_MB=8192 PATTERN=trampoline bench/viewer.sh
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
BUILD=$root/build-release
SIZE_MB=${SIZE_MB:-4096}
PATTERN=${PATTERN:-trampoline}
WORK=${WORK:-$(mktemp -d)}

. "$root/bench/release.sh"
release_build viewer_bench
file="$WORK/bench_UTF8Dokument.txt"
[ -f "$file" ] || "$BUILD/bench/viewer_bench" --generate "$file" "$SIZE_MB"
cat "$file" > /dev/null # warm cache

echo "== viewer_bench on $(du -h --apparent-size "$file" | cut -f1) ($PATTERN)"
"$BUILD/bench/viewer_bench" "$file" "$PATTERN"
echo "== grep -c -i -F $PATTERN"
start=$(date +%s.%N)
count=$(LC_ALL=C grep -c -i -F "$PATTERN" "$file" || true)
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" -v c="$count" -v size="$(stat -c %s "$file")" \
    'BEGIN { t = e - s; printf "grep_lines %s\ngrep_scan %.2f s\ngrep_throughput %.2f GB/s\n", c, t, size / t / 1e9 }'
echo "work folder: $WORK (remove when done)"
