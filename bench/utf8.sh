#!/usr/bin/env bash
# UTF-8 to Shift-JIS of the 64 MiB UTF-8 corpus copy through the command (working copy included)
# beside iconv and nkf, and whether the result is byte-identical to iconv's. Medians of 3 runs.
#   bench/utf8.sh [BUILD_DIR] [CORPUS_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" && pwd)
corpus=${2:-$HOME/.cache/sorabu-corpus}
cli="$build/bin/sorabu-cli"
[ -x "$cli" ] || { echo "build $cli first"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input="$corpus/utf8-64m.txt"
median() { sort -n | sed -n 2p; }
ours=$(for i in 1 2 3; do cp "$input" "$work/u.txt"; s=$(date +%s%N); "$cli" run --no-backup Mutf8tosjis1Click "$work/u.txt"; e=$(date +%s%N); echo $(( (e - s) / 1000000 )); done | median)
iconv_ms=$(for i in 1 2 3; do s=$(date +%s%N); iconv -f UTF-8 -t CP932 "$input" > "$work/i.txt"; e=$(date +%s%N); echo $(( (e - s) / 1000000 )); done | median)
echo "ours (sorabu-cli run Mutf8tosjis1Click): $ours ms"
echo "iconv -f UTF-8 -t CP932: $iconv_ms ms"
if command -v nkf > /dev/null; then
  nkf_ms=$(for i in 1 2 3; do s=$(date +%s%N); nkf -s "$input" > "$work/n.txt"; e=$(date +%s%N); echo $(( (e - s) / 1000000 )); done | median)
  echo "nkf -s: $nkf_ms ms"
fi
cmp -s "$work/u.txt" "$work/i.txt" && echo "byte-identical to iconv" || echo "differs from iconv"
