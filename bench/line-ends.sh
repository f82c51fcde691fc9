#!/usr/bin/env bash
# Line commands on the 64 MiB Shift-JIS corpus, CR LF and LF copies of the same lines, through
# sorabu-cli run: this build (LF ends lines, the default), this build with the option off, and a
# reference build (an older sorabu-cli, e.g. from before LF line ends) on the CR LF copy. Medians
# of 3 runs, wall clock, ms; MB/s per byte of input.
#   bench/line-ends.sh BUILD_DIR [REFERENCE_BUILD_DIR] [CORPUS_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cli="$(cd "${1:-$here/build/release}" && pwd)/bin/sorabu-cli"
ref="${2:+$(cd "$2" && pwd)/bin/sorabu-cli}"
corpus=${3:-$HOME/.cache/sorabu-corpus}
[ -x "$cli" ] || { echo "build sorabu-cli first"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[Menu]\r\nMlfline=0\r\n' > "$work/off.ini"

median_ms() {  # INPUT PROGRAM ARGS...
  local input=$1; shift
  local t=()
  for _ in 1 2 3; do
    cp "$input" "$work/f.txt"
    local s e
    s=$(date +%s%N); "$@" "$work/f.txt" > /dev/null 2>&1; e=$(date +%s%N)
    t+=($(( (e - s) / 1000000 )))
  done
  printf '%s\n' "${t[@]}" | sort -n | sed -n 2p
}
mbps() { awk -v b="$(stat -c %s "$1")" -v ms="$2" 'BEGIN { printf "%.0f", b / 1048576 / (ms / 1000) }'; }

crlf="$corpus/sjis-crlf-64m.txt"
lf="$corpus/sjis-lf-64m.txt"
printf '%-22s %12s %12s %12s %12s %10s\n' command crlf-ref-ms crlf-ms crlf-off-ms lf-ms lf-MB/s
for handler in MlinenoaddLeft1Click Mtrim1Click MtrimR1Click Msameline1Click Msjistojis1Click Mhanktozen1Click; do
  r=-
  [ -n "$ref" ] && r=$(median_ms "$crlf" "$ref" run --no-backup "$handler")
  a=$(median_ms "$crlf" "$cli" run --no-backup "$handler")
  o=$(median_ms "$crlf" "$cli" run --no-backup --ini "$work/off.ini" "$handler")
  l=$(median_ms "$lf" "$cli" run --no-backup "$handler")
  printf '%-22s %12s %12s %12s %12s %10s\n' "$handler" "$r" "$a" "$o" "$l" "$(mbps "$lf" "$l")"
done
