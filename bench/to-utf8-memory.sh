#!/usr/bin/env bash
# Peak memory (maximum resident set size, /usr/bin/time -v) of the conversions to UTF-8 through
# sorabu-cli run on a 200 MB file of each code made from the Shift-JIS corpus (removed after), with
# the wall time, and iconv's figures on the same files for scale.
#   bench/to-utf8-memory.sh [BUILD_DIR] [CORPUS_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cli="$(cd "${1:-$here/build/release}" && pwd)/bin/sorabu-cli"
corpus=${2:-$HOME/.cache/sorabu-corpus}
[ -x "$cli" ] || { echo "build sorabu-cli first"; exit 2; }
[ -x /usr/bin/time ] || { echo "install the package time (apt-get install time)"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{ for i in 1 2 3 4; do cat "$corpus/sjis-crlf-64m.txt"; done | head -c 200000000 > "$work/sjis.txt"; } || true
iconv -f CP932 -t EUC-JP -c < "$work/sjis.txt" > "$work/euc.txt" || true
iconv -f CP932 -t ISO-2022-JP -c < "$work/sjis.txt" > "$work/jis.txt" || true

measure() {  # NAME COMMAND...
  local name=$1; shift
  /usr/bin/time -v -o "$work/time.txt" "$@" > /dev/null 2>&1 || true
  awk -v n="$name" '
    /Maximum resident set size/ { rss = $NF }
    /Elapsed \(wall clock\)/ { t = $NF }
    END { printf "%-40s peak RSS %8.1f MB   wall %s\n", n, rss / 1024, t }' "$work/time.txt"
}
for pair in sjis:Msjistoutf81Click:CP932 euc:Meuctoutf81Click:EUC-JP jis:Mjistoutf81Click:ISO-2022-JP; do
  IFS=: read -r code handler from <<< "$pair"
  cp "$work/$code.txt" "$work/f.txt"
  measure "$handler, 200 MB" "$cli" run --no-backup "$handler" "$work/f.txt"
  measure "iconv -f $from -t UTF-8" sh -c "iconv -f $from -t UTF-8 -c < '$work/$code.txt' > '$work/i.txt'"
done
