#!/usr/bin/env bash
# The live file list on folders made for the run under /tmp and removed afterwards: a file made
# by another program in a folder of 100,000 files, 10,000 files copied in by another program
# (the longest event-loop gap meanwhile, and how soon after the copy all are listed), and the
# arrow-key walk through 1,000 files with and without the unsaved-edit question's guard.
#   bench/live-list.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" 2>/dev/null && pwd || echo "${1:-$here/build/release}")
bench="$build/bin/live_list_bench"
[ -x "$bench" ] || { echo "build $bench first (cmake --build $build --target live_list_bench)"; exit 2; }
work=$(mktemp -d /tmp/sorabu-live-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
mkdir -p "$work/big" "$work/empty" "$work/walk"
(cd "$work/big" && seq -f 'file%06g.txt' 1 100000 | xargs touch)
(cd "$work/walk" && for i in $(seq -w 1 1000); do printf 'line %s\r\n' "$i" > "t$i.txt"; done)
echo "one file in 100,000:   $("$bench" one "$work/big")"
echo "10,000 copied in:      $("$bench" burst "$work/empty" 10000)"
echo "walk through 1,000:    $("$bench" walk "$work/walk")"
