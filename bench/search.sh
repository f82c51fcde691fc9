#!/usr/bin/env bash
# Search figures from the window beside grep and sed, on the shared corpus (bench/make-corpus.sh):
# the pane's find through the 64 MiB file shown whole (first hit and not found) against grep -c,
# replace all of a common word against sed -i, and Grep over 10,000 files cut from the 1 MiB text
# against grep -rn, with the first result painted, the largest event-loop gap and the stop.
#   bench/search.sh [BUILD_DIR] [CORPUS_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" && pwd)
corpus=${2:-$HOME/.cache/sorabu-corpus}
bench="$build/bin/search_bench"
[ -x "$bench" ] || { echo "build $bench first (cmake --build $build --target search_bench)"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
word=ファイル
sjis_word=$(printf '%s' "$word" | iconv -f UTF-8 -t CP932)
big="$corpus/sjis-crlf-64m.txt"

median_ms() {  # command...
  local t=()
  for i in 1 2 3 4 5; do
    local s e
    # Not /dev/null: GNU grep stops at the first match when its output goes nowhere.
    s=$(date +%s%N); "$@" > "$work/out" 2>&1 || true; e=$(date +%s%N)
    t+=($(( (e - s) / 1000000 )))
  done
  printf '%s\n' "${t[@]}" | sort -n | sed -n 3p
}

echo "== find in the 64 MiB file shown whole"
"$bench" find "$big" "$word" 5 2>/dev/null
echo "LC_ALL=C grep -c -F: $(median_ms env LC_ALL=C grep -c -F "$sjis_word" "$big") ms (all matches counted)"

echo "== replace all of $word in the 64 MiB pane"
cp "$big" "$work/big.txt"
"$bench" replace "$work/big.txt" "$word" 3 2>/dev/null
sed_ms() { cp "$big" "$work/sed.txt"; local s e; s=$(date +%s%N); LC_ALL=C sed -i "s/$sjis_word/########/g" "$work/sed.txt"; e=$(date +%s%N); echo $(( (e - s) / 1000000 )); }
echo "LC_ALL=C sed -i s/…/…/g: $(for i in 1 2 3; do sed_ms; done | sort -n | sed -n 2p) ms"

echo "== Grep over 10,000 files (the 1 MiB text cut into pieces)"
mkdir -p "$work/tree"
(cd "$work/tree" && split -n l/10000 -a 5 --additional-suffix=.txt "$corpus/sjis-lf-1m.txt" part)
"$bench" grep "$work/tree" "$word" 3 2>/dev/null
echo "LC_ALL=C grep -rn -F: $(median_ms env LC_ALL=C grep -rn -F "$sjis_word" "$work/tree") ms"
