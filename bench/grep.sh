#!/usr/bin/env bash
# Grep figures beside GNU grep -c (C locale) on the 64 MiB Shift-JIS corpus (bench/make-corpus.sh).
#   bench/grep.sh [BUILD_DIR] [CORPUS_DIR] [RUNS]
#
# Ours is the whole path of the Grep command: `sorabu-cli grep --count`, which scans exactly as
# the pane's Grep does and prints the number of reported lines instead of the lines. Each
# figure is the median of RUNS runs (default 5), in milliseconds, process start included; the
# ratio is ours over GNU grep's. Patterns go to both as the same Shift-JIS bytes; for the fuzzy
# pattern GNU grep gets the plain alternation of the variants the dictionary gives.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" 2>/dev/null && pwd || echo "${1:-$here/build/release}")
corpus=${2:-$HOME/.cache/sorabu-corpus}
runs=${3:-5}
cli="$build/bin/sorabu-cli"
[ -x "$cli" ] || { echo "build $cli first (cmake --build $build --target sorabu-cli)"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null
file="$corpus/sjis-lf-64m.txt"
export LC_ALL=C

sj() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }

out=$(mktemp)
empty=$(mktemp)
trap 'rm -f "$out" "$empty"' EXIT

# median_us COMMAND...: runs the command $runs times and prints the median in microseconds.
# Output goes to a file: GNU grep stops at the first match when it writes to /dev/null.
median_us() {
  local times=() s e
  for _ in $(seq 1 "$runs"); do
    s=$(date +%s%N); "$@" > "$out"; e=$(date +%s%N)
    times+=($(( (e - s) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p"
}
ms() { awk -v u="$1" 'BEGIN { printf "%.1f", u / 1000 }'; }

# row LABEL OUR_OPTIONS OUR_PATTERN GREP_PATTERN
row() {
  local label=$1 opts=$2 ours=$3 theirs=$4
  local n_ours n_grep t_ours t_grep
  # shellcheck disable=SC2086
  n_ours=$("$cli" --raw grep --count $opts "$ours" "$file")
  n_grep=$(grep -c -E -e "$theirs" "$file" || true)
  # shellcheck disable=SC2086
  t_ours=$(median_us "$cli" --raw grep --count $opts "$ours" "$file")
  t_grep=$(median_us grep -c -E -e "$theirs" "$file")
  printf '%-34s %9s %9s %8s %8s %6s\n' "$label" "$n_ours" "$n_grep" "$(ms "$t_ours")" "$(ms "$t_grep")" \
    "$(awk -v a="$t_ours" -v b="$t_grep" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
}

echo "== Grep on $(basename "$file") ($(stat -c %s "$file") bytes), median of $runs runs"
printf '%-34s %9s %9s %8s %8s %6s\n' pattern "ours" "grep -c" "ours ms" "grep ms" ratio
row "fixed ASCII: mkfifo" "" "mkfifo" "mkfifo"
row "fixed Shift-JIS: 検索" "" "$(sj 検索)" "$(sj 検索)"
row "ab[0-9]+c|xyz" "" "ab[0-9]+c|xyz" "ab[0-9]+c|xyz"
row "^[A-Z][A-Z]+" "" "^[A-Z][A-Z]+" "^[A-Z][A-Z]+"
row "fuzzy ｶﾞｲﾄﾞ (grep: alternation)" "--fuzzy" "$(sj ｶﾞｲﾄﾞ)" \
  "$(sj 'ｶﾞｲﾄﾞ|ガイド|がいど|ｶﾞｲﾄ|ガイト|がいと|か゛いと゛|カ゛イト゛')"
row "one character 求 (8B 81)" "" "$(sj 求)" "$(sj 求)"
echo "(grep counts 求 also inside ル、 = 83 8B 81 41; on the UTF-8 form of the corpus, where no" \
  "character can match inside another, grep -c gives $(grep -c 求 "$corpus/utf8-64m.txt" || true))"

echo "== compiling a 40-character fuzzy pattern"
long=$(sj 'ｶﾞｲﾄﾞﾌﾞｯｸﾃﾞｰﾀﾍﾞｰｽｻｰﾊﾞｰﾌｧｲﾙｼｽﾃﾑﾌﾟﾛｸﾞﾗﾑｱｲｳ')
printf 'pattern of %s bytes\n' "$(printf '%s' "$long" | wc -c)"
base=$(median_us "$cli" --raw grep --count x "$empty")
fuzzy=$(median_us "$cli" --raw grep --count --fuzzy "$long" "$empty")
echo "sorabu-cli grep on an empty file: plain 'x' $(ms "$base") ms, the fuzzy pattern $(ms "$fuzzy") ms:" \
  "compile about $(ms $(( fuzzy - base ))) ms"
