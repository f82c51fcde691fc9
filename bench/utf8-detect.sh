#!/usr/bin/env bash
# The UTF-8 test against Japanese text in the older codes: how often Shift-JIS, EUC-JP and JIS
# copies of the corpus (blocks of 4 KiB, single lines) and random CP932 text are taken for UTF-8,
# what one test costs over the first 16 KiB, and the quick display beside it.
#   bench/utf8-detect.sh [BUILD_DIR] [CORPUS_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" && pwd)
corpus=${2:-$HOME/.cache/sorabu-corpus}
[ -x "$build/bin/utf8_detect_bench" ] || { echo "build $build/bin/utf8_detect_bench first"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null
"$build/bin/utf8_detect_bench" "$corpus/sjis-crlf-64m.txt" "$corpus/euc-64m.txt" "$corpus/jis-64m.txt"
"$build/bin/utf8_detect_bench" "$corpus/utf8-1m.txt" | tail -1
if [ -x "$build/bin/display_bench" ]; then
  for f in sjis-crlf-64m utf8-64m; do QT_QPA_PLATFORM=offscreen "$build/bin/display_bench" quick "$corpus/$f.txt" 21; done
fi
