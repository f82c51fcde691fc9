#!/usr/bin/env bash
# Long patterns on long lines, beside GNU grep -E -c (C locale).
#   bench/regex-long.sh [BUILD_DIR] [RUNS] [OTHER_CLI]
#
# Every start of these patterns walks the whole pattern before it fails, so trying the starts one
# by one costs the text's length times the pattern's. Rows:
#  - "[ab]" 1,000 times then "aaa", on one 10 MB line of "abab..." that ends in "aaa";
#  - the longest pattern allowed, "[ab]" 16,383 times then "aaa" (65,535 bytes), on a 1 MB line and
#    on a 20 MB line, which Grep reads in pieces of 1 MiB (the walks begin again after every cut).
# Ours is `sorabu-cli grep --count` (Grep) and `sorabu-cli match` (TAWKStr.Match on the line);
# each figure is the median of RUNS runs (default 5) in milliseconds, process start included, and
# the ratio is ours over GNU grep's. OTHER_CLI, another build's sorabu-cli (an earlier one, say),
# is timed once per row beside ours.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" 2>/dev/null && pwd || echo "${1:-$here/build/release}")
runs=${2:-5}
other=${3:-}
cli="$build/bin/sorabu-cli"
[ -x "$cli" ] || { echo "build $cli first (cmake --build $build --target sorabu-cli)"; exit 2; }
export LC_ALL=C

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# line FILE BYTES: "abab..." then "aaa" and LF, BYTES in all.
line() {
  awk -v n="$2" 'BEGIN { s = "ab"; while (length(s) < n) s = s s; printf "%saaa\n", substr(s, 1, n - 4) }' > "$1"
}
line "$work/10m.txt" 10485760
line "$work/1m.txt" 1048576
line "$work/20m.txt" 20000000
repeat() { awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) printf "[ab]"; printf "aaa" }'; }
p1000=$(repeat 1000)
plongest=$(repeat 16383)

out="$work/out"
# median_us N COMMAND...: the median of N runs in microseconds; standard input from $input.
median_us() {
  local n=$1 times=() s e
  shift
  for _ in $(seq 1 "$n"); do
    s=$(date +%s%N); "$@" > "$out" < "$input"; e=$(date +%s%N)
    times+=($(( (e - s) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (n + 1) / 2 ))p"
}
ms() { awk -v u="$1" 'BEGIN { printf "%.1f", u / 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# row LABEL PATTERN FILE
row() {
  local label=$1 pattern=$2 file=$3
  input=/dev/null
  local n_ours n_grep t_grep t_grep_ours t_match other_grep="-" other_match="-"
  n_ours=$("$cli" --raw grep --count "$pattern" "$file")
  n_grep=$(grep -c -E -e "$pattern" "$file" || true)
  t_grep=$(median_us "$runs" grep -c -E -e "$pattern" "$file")
  t_grep_ours=$(median_us "$runs" "$cli" --raw grep --count "$pattern" "$file")
  input=$file
  t_match=$(median_us "$runs" "$cli" match "$pattern")
  local where
  where=$(cat "$out")
  if [ -n "$other" ]; then
    input=/dev/null
    other_grep=$(ms "$(median_us 1 "$other" --raw grep --count "$pattern" "$file")")
    input=$file
    other_match=$(ms "$(median_us 1 "$other" match "$pattern")")
  fi
  printf '%-28s %5s %5s %9s %9s %6s %9s %6s %10s %10s  match at %s\n' "$label" "$n_ours" "$n_grep" \
    "$(ms "$t_grep_ours")" "$(ms "$t_grep")" "$(ratio "$t_grep_ours" "$t_grep")" \
    "$(ms "$t_match")" "$(ratio "$t_match" "$t_grep")" "$other_grep" "$other_match" "$where"
}

echo "== long patterns on one long line, median of $runs runs (ms); ratios over GNU grep -E -c"
printf '%-28s %5s %5s %9s %9s %6s %9s %6s %10s %10s\n' pattern ours grep "grep ms" "GNU ms" ratio \
  "match ms" ratio "other grep" "other match"
row "[ab]x1000 aaa, 10 MB" "$p1000" "$work/10m.txt"
row "[ab]x16383 aaa, 1 MB" "$plongest" "$work/1m.txt"
row "[ab]x16383 aaa, 20 MB" "$plongest" "$work/20m.txt"
