#!/usr/bin/env bash
# Peak memory (maximum resident set size, /usr/bin/time -v) and wall time of sorabu-cli lha a, u
# and f with a 300 MB text file (made from the Shift-JIS corpus) and a 2 GB sparse file, with
# the system lha (jlha-utils) on the text file for scale. Files are removed after.
#   bench/lha-memory.sh [BUILD_DIR] [CORPUS_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cli="$(cd "${1:-$here/build/release}" && pwd)/bin/sorabu-cli"
corpus=${2:-$HOME/.cache/sorabu-corpus}
[ -x "$cli" ] || { echo "build sorabu-cli first"; exit 2; }
[ -x /usr/bin/time ] || { echo "install the package time (apt-get install time)"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
{ for i in 1 2 3 4 5; do cat "$corpus/sjis-crlf-64m.txt"; done | head -c 300000000 > big.txt; } || true
truncate -s 2G sparse.bin

measure() {  # NAME COMMAND...
  local name=$1; shift
  /usr/bin/time -v -o time.txt "$@" > /dev/null 2>&1 || echo "  ($name failed)"
  awk -v n="$name" '
    /Maximum resident set size/ { rss = $NF }
    /Elapsed \(wall clock\)/ { t = $NF }
    END { printf "%-36s peak RSS %8.1f MB   wall %s\n", n, rss / 1024, t }' time.txt
}
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
