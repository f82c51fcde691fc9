#!/usr/bin/env bash
# File browser figures beside ls -l and find, on folders made for the run under /tmp and removed
# afterwards: list fill for 10,000 and 100,000 files (and 1,000,000 with MILLION=1), counts of a 100,000-file tree, and the time
# per arrow-key move through 1,000 text files.
#   bench/browser.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" 2>/dev/null && pwd || echo "${1:-$here/build/release}")
bench="$build/bin/browser_bench"
[ -x "$bench" ] || { echo "build $bench first (cmake --build $build --target browser_bench)"; exit 2; }
work=$(mktemp -d /tmp/sorabu-browser-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

make_flat() {  # DIR COUNT
  mkdir -p "$1"
  (cd "$1" && seq -f 'file%06g.txt' 1 "$2" | xargs touch)
}
median_ls() {  # DIR
  local times=()
  for _ in 1 2 3 4 5; do
    local s e
    s=$(date +%s%N); ls -l "$1" > /dev/null; e=$(date +%s%N)
    times+=($(( (e - s) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 3p | awk '{ printf "%.1f", $1 / 1000 }'
}

for n in 10000 100000; do
  make_flat "$work/flat$n" "$n"
  echo "== list fill, $n files"
  "$bench" fill "$work/flat$n" 5
  echo "ls -l: $(median_ls "$work/flat$n") ms"
done
if [ "${MILLION:-0}" = 1 ]; then  # MILLION=1 bench/browser.sh: a folder of 1,000,000 files too
  make_flat "$work/flat1000000" 1000000
  echo "== list fill, 1000000 files (peak memory of one fill, then of ls -l)"
  /usr/bin/time -f 'peak %M KiB' "$bench" fill "$work/flat1000000" 1
  "$bench" fill "$work/flat1000000" 3
  /usr/bin/time -f 'ls -l peak %M KiB, %e s' ls -l "$work/flat1000000" > /dev/null
  rm -rf "$work/flat1000000"
fi
rm -rf "$work/flat10000"

echo "== counts of a tree of 100,000 files (100 folders of 1,000)"
for d in $(seq 1 100); do mkdir -p "$work/tree/d$d"; done
mv "$work/flat100000"/* "$work/tree/" 2>/dev/null || true
rm -rf "$work/flat100000" "$work/tree"/*.txt
for d in $(seq 1 100); do (cd "$work/tree/d$d" && seq -f 'f%04g' 1 1000 | xargs touch); done
"$bench" count "$work/tree" 5
s=$(date +%s%N); n=$(find "$work/tree" -type f | wc -l); e=$(date +%s%N)
echo "find -type f | wc -l: $n files, $(( (e - s) / 1000000 )) ms"
rm -rf "$work/tree"

echo "== moving through 1,000 text files"
mkdir -p "$work/text"
for i in $(seq -w 1 1000); do printf 'line one of %s\r\nline two\r\n' "$i" > "$work/text/t$i.txt"; done
"$bench" move "$work/text" 999
