#!/usr/bin/env bash
# Copying a 1 GiB file and a tree of 10,000 small files to another folder of the same file system,
# beside cp and cp -r.
#   bench/file-copy.sh [BUILD_DIR] [RUNS]
#
# Inputs are made once in a temporary folder (TMPDIR, else /tmp). Each round runs ours
# (file_copy_bench: TSHFOP through the window's progress runner, with a 10 ms timer on the window's
# event loop) and then cp; the copies are removed and written back with sync before the next
# command. Figures are medians of RUNS rounds (default 5) in milliseconds, wall clock with process
# start, after one round of each that is not counted; the ratio is ours over cp; "gap" is the
# longest the window's event loop stood still.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" 2>/dev/null && pwd || echo "${1:-$here/build/release}")
runs=${2:-5}
bench="$build/bin/file_copy_bench"
[ -x "$bench" ] || { echo "build $bench first (cmake --build $build --target file_copy_bench)"; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/sorabu-copy-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
head -c 1073741824 /dev/urandom > big.bin
mkdir tree
for d in $(seq 1 100); do
  mkdir "tree/d$d"
  for f in $(seq 1 100); do printf 'file %d %d\n' "$d" "$f" > "tree/d$d/f$f.txt"; done
done
sync

now() { date +%s%N; }
ms() { echo $(( ($2 - $1) / 1000000 )); }
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
tidy() { rm -rf out; mkdir out; sync; }

run() {  # name source
  local ours=() std=() gaps=()
  # A first round of each, not counted: it pays for the page cache and the write-back of the inputs.
  tidy; "$bench" "$work/out" "$work/$2" >/dev/null 2>&1; tidy; cp -r "$2" out/
  for round in $(seq 1 "$runs"); do
    tidy
    s=$(now); read -r _ _ _ gap _ ok < <("$bench" "$work/out" "$work/$2"); e=$(now)
    [ "$ok" = 1 ] || { echo "our copy failed"; exit 1; }
    ours+=($(ms "$s" "$e")) gaps+=("$gap")
    [ "$round" = 1 ] && { diff -r "$2" "out/$2" >/dev/null || { echo "our copy differs"; exit 1; }; }
    tidy
    s=$(now); cp -r "$2" out/; e=$(now)
    std+=($(ms "$s" "$e"))
  done
  local o c
  o=$(median "${ours[@]}"); c=$(median "${std[@]}")
  printf '%-22s ours %6d ms   cp %6d ms   ratio %s   longest window pause %d ms\n' "$1" "$o" "$c" \
    "$(awk -v a="$o" -v b="$c" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')" "$(median "${gaps[@]}")"
}

run "1 GiB file" big.bin
run "10,000 small files" tree
