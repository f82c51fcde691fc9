#!/usr/bin/env bash
# Peak memory (maximum resident set size, /usr/bin/time -v) of the conversions to UTF-8 through
# sorabu-cli run on a 200 MB file of each code made from the Shift-JIS corpus (removed after), with
# the wall time, and iconv's figures on the same files for scale.
#   bench/to-utf8-memory.sh [BUILD_DIR] [CORPUS_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/bench/peak-memory.sh"
memory_bench_setup "$@"
{ for i in 1 2 3 4; do cat "$corpus/sjis-crlf-64m.txt"; done | head -c 200000000 > "$work/sjis.txt"; } || true
iconv -f CP932 -t EUC-JP -c < "$work/sjis.txt" > "$work/euc.txt" || true
iconv -f CP932 -t ISO-2022-JP -c < "$work/sjis.txt" > "$work/jis.txt" || true

for pair in sjis:Msjistoutf81Click:CP932 euc:Meuctoutf81Click:EUC-JP jis:Mjistoutf81Click:ISO-2022-JP; do
  IFS=: read -r code handler from <<< "$pair"
  cp "$work/$code.txt" "$work/f.txt"
  measure "$handler, 200 MB" "$cli" run --no-backup "$handler" "$work/f.txt"
  measure "iconv -f $from -t UTF-8" sh -c "iconv -f $from -t UTF-8 -c < '$work/$code.txt' > '$work/i.txt'"
done
