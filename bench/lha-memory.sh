#!/usr/bin/env bash
# Peak memory (maximum resident set size, /usr/bin/time -v) and wall time of sorabu-cli lha a, u
# and f with a 300 MB text file (made from the Shift-JIS corpus) and a 2 GB sparse file, with
# the system lha (jlha-utils) on the text file for scale. Files are removed after.
#   bench/lha-memory.sh [BUILD_DIR] [CORPUS_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/bench/peak-memory.sh"
memory_bench_setup "$@"
cd "$work"
{ for i in 1 2 3 4 5; do cat "$corpus/sjis-crlf-64m.txt"; done | head -c 300000000 > big.txt; } || true
truncate -s 2G sparse.bin

for f in big.txt sparse.bin; do
  rm -f a.lzh
  measure "lha a  ($f)" "$cli" lha a a.lzh "$f"
  touch -d '+1 hour' "$f"
  measure "lha u  ($f, newer)" "$cli" lha u a.lzh "$f"
  touch -d '+2 hours' "$f"
  measure "lha f  ($f, newer)" "$cli" lha f a.lzh "$f"
done
if command -v lha >/dev/null; then
  rm -f p.lzh
  measure "jlha a (big.txt)" lha a p.lzh big.txt
fi
