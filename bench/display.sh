#!/usr/bin/env bash
# Display pipeline figures beside cat, on the shared corpus (bench/make-corpus.sh).
#   bench/display.sh [BUILD_DIR] [CORPUS_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" 2>/dev/null && pwd || echo "${1:-$here/build/release}")
corpus=${2:-$HOME/.cache/sorabu-corpus}
bench="$build/bin/display_bench"
[ -x "$bench" ] || { echo "build $bench first (cmake --build $build --target display_bench)"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A 1 GiB file of real text with CR LF line ends: the corpus repeated.
big="$work/big-crlf.txt"
while [ "$(stat -c %s "$big" 2>/dev/null || echo 0)" -lt 1073741824 ]; do cat "$corpus/sjis-crlf-64m.txt" >> "$big"; done
truncate -s 1073741824 "$big"

export QT_QPA_PLATFORM=offscreen
echo "== quick display of a 1 GiB file (CR LF)"
"$bench" quick "$big" 21
echo "== quick display of a 1 GiB file without CR (one endless line)"
tr -d '\r' < "$big" | head -c 1073741824 > "$work/big-lf.txt"
"$bench" quick "$work/big-lf.txt" 21
rm -f "$work/big-lf.txt"

echo "== whole-file load of a 1 GiB file (CR LF) to the pane painted; jumping to its end and back"
"$bench" whole "$big" 3
"$bench" jump "$big" 9

echo "== whole-file load of the 64 MiB Shift-JIS corpus to the pane painted (peak RSS of one load)"
"$bench" whole "$corpus/sjis-crlf-64m.txt" 1
"$bench" whole "$corpus/sjis-crlf-64m.txt" 5
echo "== one page down in the 64 MiB corpus, painted"
"$bench" scroll "$corpus/sjis-crlf-64m.txt" 200
times=()
for i in 1 2 3 4 5; do
  s=$(date +%s%N); cat "$corpus/sjis-crlf-64m.txt" > /dev/null; e=$(date +%s%N)
  times+=($(( (e - s) / 1000 )))
done
echo "cat sjis-crlf-64m.txt > /dev/null: median $(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p) us"
/usr/bin/time -f "cat peak RSS %M KiB" cat "$corpus/sjis-crlf-64m.txt" > /dev/null

echo "== start-up to the window painted (Xvfb), 9 runs"
for i in $(seq 1 9); do QT_QPA_PLATFORM=xcb xvfb-run -a "$bench" startup 2>/dev/null; done | sort -t: -k2 -n | sed -n 5p | sed 's/^/median /'
