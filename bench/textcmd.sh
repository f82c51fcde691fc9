#!/usr/bin/env bash
# File-rewriting commands through `sorabu-cli run` beside the standard tools, on the 64 MiB corpus
# (bench/make-corpus.sh): medians of RUNS runs each, the ratio ours / theirs (below 1 is faster),
# and the peak memory of the streaming commands on the 1 MiB and the 64 MiB file.
#   bench/textcmd.sh [BUILD_DIR] [CORPUS_DIR] [RUNS]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" 2>/dev/null && pwd || echo "${1:-$here/build/release}")
corpus=${2:-$HOME/.cache/sorabu-corpus}
runs=${3:-3}
cli="$build/bin/sorabu-cli"
[ -x "$cli" ] || { echo "build $cli first (cmake --build $build --target sorabu-cli)"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Median wall time in milliseconds of a command string run $runs times; $prepare runs untimed first.
median_ms() {
  local prepare=$1 command=$2 times=()
  for _ in $(seq 1 "$runs"); do
    eval "$prepare"
    local s e
    s=$(date +%s%N); eval "$command"; e=$(date +%s%N)
    times+=($(( (e - s) / 1000000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p"
}

# row NAME HANDLER INPUT PEER-COMMAND (the peer reads $in and writes $work/peer.out)
row() {
  local name=$1 handler=$2 in=$3 peer=$4
  local f="$work/file.txt"
  local ours theirs
  ours=$(median_ms "cp '$in' '$f'; rm -f '$work/file.org'" "'$cli' run --no-backup $handler '$f' >/dev/null")
  theirs=$(median_ms ":" "$peer > '$work/peer.out'")
  local tool
  tool=$(awk '{ for (i = 1; i <= NF; i++) if ($i !~ /=/) { print $i; exit } }' <<< "$peer")
  awk -v n="$name" -v o="$ours" -v t="$theirs" -v p="$tool" \
    'BEGIN { printf "%-28s ours %6d ms   %-7s %6d ms   ratio %5.2f\n", n, o, p, t, (t > 0 ? o / t : 0) }'
}

s64="$corpus/sjis-crlf-64m.txt"; l64="$corpus/sjis-lf-64m.txt"
e64="$corpus/euc-64m.txt"; j64="$corpus/jis-64m.txt"
# The EUC and JIS copies end lines in LF; with CR LF every line is a streaming line of its own.
sed 's/$/\r/' "$e64" > "$work/euc-crlf.txt"; sed 's/$/\r/' "$j64" > "$work/jis-crlf.txt"
ec="$work/euc-crlf.txt"; jc="$work/jis-crlf.txt"

echo "== code conversions (64 MiB, CR LF lines)"
row "Shift-JIS->JIS" Msjistojis1Click "$s64" "nkf -x -S -j < '$s64'"
row "JIS->Shift-JIS" MjistosjisClick "$jc" "nkf -x -J -s < '$jc'"
row "Shift-JIS->EUC" Msjistoeuc1Click "$s64" "nkf -x -S -e < '$s64'"
row "Shift-JIS->EUC" Msjistoeuc1Click "$s64" "iconv -f CP932 -t EUC-JP-MS < '$s64'"
row "EUC->Shift-JIS" MeuctosjisClick "$ec" "nkf -x -E -s < '$ec'"
row "EUC->Shift-JIS" MeuctosjisClick "$ec" "iconv -f EUC-JP -t CP932 < '$ec'"
row "EUC->JIS" Meuctojis1Click "$ec" "nkf -x -E -j < '$ec'"
row "JIS->EUC" Mjistoeuc1Click "$jc" "nkf -x -J -e < '$jc'"
row "automatic (EUC)" Mtojis1Click "$ec" "nkf -x -s < '$ec'"
row "Shift-JIS->JIS, LF lines" Msjistojis1Click "$l64" "nkf -x -S -j < '$l64'"
echo "== transfer encoding"
row "Base64 encode" Mbase641Click "$s64" "base64 -w0 < '$s64'"
base64 -w76 "$s64" | sed 's/$/\r/' > "$work/b64.txt"
row "Base64 decode (76-char lines)" Mbase64D1Click "$work/b64.txt" "base64 -d -i < '$work/b64.txt'"
echo "== newlines"
row "CR LF->LF" MCRLFtoLF1Click "$s64" "tr -d '\r' < '$s64'"
row "LF->CR LF" MLFtoCRLF1Click "$l64" "sed 's/\$/\r/' < '$l64'"
row "automatic (LF file)" Mcrauto1Click "$l64" "sed 's/\$/\r/' < '$l64'"
echo "== sort"
row "sort ascending" MLineSortU1Click "$s64" "LC_ALL=C sort -f < '$s64'"

echo "== peak memory (KiB) of the streaming commands, 1 MiB and 64 MiB"
for spec in "Msjistojis1Click sjis-crlf" "Msjistojis1Click sjis-lf" "MeuctosjisClick euc" \
            "Mbase641Click sjis-crlf" "MCRLFtoLF1Click sjis-crlf" "Mcrauto1Click sjis-lf" "Mtrim1Click sjis-crlf"; do
  set -- $spec
  line="$1 ($2)"
  for size in 1m 64m; do
    cp "$corpus/$2-$size.txt" "$work/file.txt"; rm -f "$work/file.org"
    kib=$( { /usr/bin/time -f %M "$cli" run --no-backup "$1" "$work/file.txt" >/dev/null; } 2>&1 | tail -1)
    line="$line  $size: $kib"
  done
  echo "$line"
done
