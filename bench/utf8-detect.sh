#!/usr/bin/env bash
# The UTF-8 test against Japanese text in the older codes: how often Shift-JIS, EUC-JP and JIS
# copies of the corpus (blocks of 4 KiB, single lines) and random CP932 text are taken for UTF-8,
# what one test costs over the first 16 KiB, and the quick display beside it. Given a build of the
# program from before the test (BEFORE_BUILD_DIR), the quick display of both, alternated seven
# times (101 runs each), median of the medians.
#   bench/utf8-detect.sh [BUILD_DIR] [CORPUS_DIR] [BEFORE_BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" && pwd)
corpus=${2:-$HOME/.cache/sorabu-corpus}
[ -x "$build/bin/utf8_detect_bench" ] || { echo "build $build/bin/utf8_detect_bench first"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null
"$build/bin/utf8_detect_bench" "$corpus/sjis-crlf-64m.txt" "$corpus/euc-64m.txt" "$corpus/jis-64m.txt"
"$build/bin/utf8_detect_bench" "$corpus/utf8-1m.txt" | tail -1
export QT_QPA_PLATFORM=offscreen
quick() { "$1/bin/display_bench" quick "$2" 101 2>&1 | tail -1 | sed 's/.*median \([0-9.]*\) ms.*/\1/'; }
mid() { sort -n | sed -n 4p; }
if [ -x "$build/bin/display_bench" ]; then
  before=${3:-}
  for f in sjis-crlf-64m euc-64m utf8-64m; do
    now=(); then=()
    for r in 1 2 3 4 5 6 7; do
      [ -n "$before" ] && then+=("$(quick "$before" "$corpus/$f.txt")")
      now+=("$(quick "$build" "$corpus/$f.txt")")
    done
    line="quick display of $f: $(printf '%s\n' "${now[@]}" | mid) ms"
    [ -n "$before" ] && line+=", before the UTF-8 test $(printf '%s\n' "${then[@]}" | mid) ms"
    echo "$line"
  done
fi
