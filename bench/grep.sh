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

# Beside ripgrep, every line printed to a file: ours without --count (the pane's text), rg -n and
# grep -n; the Japanese word also to rg reading Shift-JIS (-E shift_jis, which prints UTF-8).
# tree DIR: the corpus cut into 10,000 files of whole lines, in 100 folders; the mixed tree holds
# the same lines with every fourth file in each of Shift-JIS, EUC-JP, ISO-2022-JP and UTF-8.
if command -v rg >/dev/null; then
  tree=$corpus/tree-10000
  mixed=$corpus/tree-mixed
  if [ ! -f "$tree/.done" ]; then
    rm -rf "$tree" "$mixed"
    mkdir -p "$tree" "$mixed"
    (cd "$tree" && split -d -a 4 -n l/10000 "$file" part-)
    for f in "$tree"/part-*; do
      n=${f##*-}; d=$((10#$n / 100)); mkdir -p "$tree/$d" "$mixed/$d"
      case $((10#$n % 4)) in
        0) cp "$f" "$mixed/$d/${f##*/}.txt" ;;
        1) nkf -m0 -x -S -e "$f" > "$mixed/$d/${f##*/}.txt" ;;
        2) nkf -m0 -x -S -j "$f" > "$mixed/$d/${f##*/}.txt" ;;
        3) nkf -m0 -x --ic=CP932 --oc=UTF-8 "$f" > "$mixed/$d/${f##*/}.txt" ;;
      esac
      mv "$f" "$tree/$d/${f##*/}.txt"
    done
    touch "$tree/.done"
  fi
  # peer LABEL OUR_PATTERN RG_ARGS... -- TARGET: ours and rg on TARGET (a file, or a folder with --recursive)
  peer() {
    local label=$1 ours=$2 target=${*: -1} rec=""
    shift 2
    local rg_args=("${@:1:$#-1}")
    [ -d "$target" ] && rec=--recursive
    local t_ours t_one t_rg t_grep
    # shellcheck disable=SC2086
    t_ours=$(median_us "$cli" --raw grep $rec "$ours" "$target")
    # shellcheck disable=SC2086
    t_one=$(median_us "$cli" --raw grep --jobs 1 $rec "$ours" "$target")
    t_rg=$(median_us rg -n "${rg_args[@]}" "$target")
    if [ -d "$target" ]; then t_grep=$(median_us grep -rn -e "$ours" "$target"); else t_grep=$(median_us grep -n -e "$ours" "$target"); fi
    printf '%-34s %8s %8s %8s %8s %6s\n' "$label" "$(ms "$t_ours")" "$(ms "$t_one")" "$(ms "$t_rg")" "$(ms "$t_grep")" \
      "$(awk -v a="$t_ours" -v b="$t_rg" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
  }
  echo "== beside ripgrep $(rg --version | awk 'NR == 1 { print $2 }'), lines printed to a file, median of $runs runs"
  printf '%-34s %8s %8s %8s %8s %6s\n' work "ours ms" "1 thread" "rg ms" "grep ms" "ours/rg"
  peer "one file: mkfifo" mkfifo mkfifo "$file"
  peer "one file: 求 (rg -E shift_jis)" "$(sj 求)" -E shift_jis 求 "$file"
  peer "10,000 files: mkfifo" mkfifo mkfifo "$tree"
  peer "10,000 files: 求 (rg -E shift_jis)" "$(sj 求)" -E shift_jis 求 "$tree"
  n_mixed=$("$cli" --raw grep --count --recursive "$(sj 求)" "$mixed")
  n_tree=$("$cli" --raw grep --count --recursive "$(sj 求)" "$tree")
  t_mixed=$(median_us "$cli" --raw grep --recursive "$(sj 求)" "$mixed")
  echo "mixed-code tree (SJIS, EUC, JIS, UTF-8): 求 in $n_mixed lines (Shift-JIS tree: $n_tree) in $(ms "$t_mixed") ms"
fi
