#!/usr/bin/env bash
# Archives from the window beside sorabu-cli: the preview of a 10,000-entry LHA archive on
# selection (it replaces the quick display), and extracting the -lh5- archive of a 16 MiB slice
# of the corpus through the 書庫 menu against sorabu-cli archive extract.
#   bench/archive-window.sh [BUILD_DIR] [CORPUS_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" && pwd)
corpus=${2:-$HOME/.cache/sorabu-corpus}
cli="$build/bin/sorabu-cli"
bench="$build/bin/archive_window_bench"
[ -x "$cli" ] && [ -x "$bench" ] || { echo "build sorabu-cli and archive_window_bench in $build first"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

mkdir many
for i in $(seq -w 1 10000); do echo "$i" > "many/f$i.txt"; done
(cd many && "$cli" lha a ../many.lzh f*.txt > /dev/null)
rm -rf many
"$bench" preview "$work/many.lzh" 9 2>/dev/null

head -c 16777216 "$corpus/sjis-lf-64m.txt" > slice.txt
"$cli" archive create slice.lzh slice.txt > /dev/null
rm slice.txt
"$bench" extract "$work/slice.lzh" "$work/out" 5 2>/dev/null
t=()
for i in 1 2 3 4 5; do
  rm -rf cli-out; mkdir cli-out
  s=$(date +%s%N); "$cli" archive extract slice.lzh cli-out > /dev/null; e=$(date +%s%N)
  t+=($(( (e - s) / 1000000 )))
done
echo "sorabu-cli archive extract: median $(printf '%s\n' "${t[@]}" | sort -n | sed -n 3p) ms"
