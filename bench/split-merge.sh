#!/usr/bin/env bash
# Splitting a 1 GiB file into 100,000,000-byte parts and joining them again, beside split and cat.
#   bench/split-merge.sh [BUILD_DIR] [RUNS]
#
# The input is 1 GiB from /dev/urandom, written once into a temporary folder (TMPDIR, else /tmp).
# Each round runs ours (split_merge_bench: SplitFile, then MergeFiles into a new file) and then
# `split -b 100000000` and `cat` of the pieces into a new file; the outputs of a round are removed
# and written back with sync before the next command, so no command pays for another's writes.
# Figures are medians of RUNS rounds (default 5) in milliseconds, wall clock with process start;
# the ratio is ours over split + cat.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" 2>/dev/null && pwd || echo "${1:-$here/build/release}")
runs=${2:-5}
bench="$build/bin/split_merge_bench"
[ -x "$bench" ] || { echo "build $bench first (cmake --build $build --target split_merge_bench)"; exit 2; }
size=100000000

work=$(mktemp -d "${TMPDIR:-/tmp}/sorabu-split-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
head -c 1073741824 /dev/urandom > in.bin
sync

now() { date +%s%N; }
ms() { echo $(( ($2 - $1) / 1000000 )); }
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
tidy() { rm -f in.[0-9][0-9][0-9] in.bat in.sh in.bin.joined in.bin.bat in.bin.sh piece.* joined.bin; sync; }

ours=() ours_split=() ours_join=() std=() std_split=() std_join=()
for round in $(seq 1 "$runs"); do
  tidy
  s=$(now); read -r _ t_split _ t_join _ parts < <("$bench" in.bin "$size"); e=$(now)
  ours+=($(ms "$s" "$e")) ours_split+=("$t_split") ours_join+=("$t_join")
  [ "$round" = 1 ] && { cmp -s in.bin in.bin.joined || { echo "our join differs from the input"; exit 1; }; }
  tidy
  s=$(now); split -b "$size" in.bin piece.; m=$(now); cat piece.* > joined.bin; e=$(now)
  std+=($(ms "$s" "$e")) std_split+=($(ms "$s" "$m")) std_join+=($(ms "$m" "$e"))
  [ "$round" = 1 ] && { cmp -s in.bin joined.bin || { echo "split + cat differs from the input"; exit 1; }; }
done
tidy

t_ours=$(median "${ours[@]}") t_std=$(median "${std[@]}")
echo "== 1 GiB of random bytes in $parts parts of $size bytes, split then joined; median of $runs runs (ms)"
echo "ours (SplitFile + MergeFiles): $t_ours (split $(median "${ours_split[@]}"), join $(median "${ours_join[@]}"), inside the program)"
echo "split -b + cat               : $t_std (split $(median "${std_split[@]}"), cat $(median "${std_join[@]}"))"
echo "ratio ours / split+cat       : $(awk -v a="$t_ours" -v b="$t_std" 'BEGIN { printf "%.2f", a / b }')"
echo "all runs: ours ${ours[*]}; split+cat ${std[*]}"
