#!/usr/bin/env bash
# LHA figures on a 16 MiB slice of the Shift-JIS corpus, all in one run: our -lh5- (through
# sorabu-cli archive create) against jlha for size, gzip -6 for time, lhasa for decoding speed;
# and the time to list a 10,000-entry archive. Medians of 3 runs (wall clock).
#   bench/lha.sh [BUILD_DIR] [CORPUS_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" 2>/dev/null && pwd || echo "${1:-$here/build/release}")
corpus=${2:-$HOME/.cache/sorabu-corpus}
cli="$build/bin/sorabu-cli"
[ -x "$cli" ] || { echo "build $cli first (cmake --build $build --target sorabu-cli)"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
head -c 16777216 "$corpus/sjis-lf-64m.txt" > slice.txt
input=$(stat -c %s slice.txt)

# median_ms COMMAND...: runs it 3 times, prints the median in milliseconds.
median_ms() {
  local t=()
  for i in 1 2 3; do
    local s e
    s=$(date +%s%N); "$@" > /dev/null 2>&1; e=$(date +%s%N)
    t+=($(( (e - s) / 1000000 )))
  done
  printf '%s\n' "${t[@]}" | sort -n | sed -n 2p
}
pct() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f%%", a * 100 / b }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

ours_create() { rm -f ours.lzh; "$cli" archive create ours.lzh slice.txt; }
jlha_create() { rm -f jlha.lzh; jlha a jlha.lzh slice.txt; }
gzip_create() { gzip -6 -c slice.txt > slice.gz; }
ours_extract() { rm -rf o; mkdir o; "$cli" lha x ours.lzh o/; }
lhasa_extract() { rm -rf l; mkdir l; (cd l && lha xq ../ours.lzh); }

t_ours=$(median_ms ours_create)
t_gzip=$(median_ms gzip_create)
have_jlha=0
if command -v jlha > /dev/null; then have_jlha=1; t_jlha=$(median_ms jlha_create); fi
s_ours=$(stat -c %s ours.lzh)
s_gzip=$(stat -c %s slice.gz)
t_dec=$(median_ms ours_extract)
t_lhasa=$(median_ms lhasa_extract)
cmp -s slice.txt o/slice.txt && cmp -s slice.txt l/slice.txt || { echo "decoded files differ"; exit 1; }

echo "== -lh5- on 16 MiB of Shift-JIS text ($input bytes)"
echo "ours   : $s_ours bytes ($(pct "$s_ours" "$input")), ${t_ours} ms"
if [ $have_jlha = 1 ]; then
  s_jlha=$(stat -c %s jlha.lzh)
  echo "jlha   : $s_jlha bytes ($(pct "$s_jlha" "$input")), ${t_jlha} ms; ours/jlha size $(ratio "$s_ours" "$s_jlha")"
fi
echo "gzip -6: $s_gzip bytes ($(pct "$s_gzip" "$input")), ${t_gzip} ms; ours/gzip time $(ratio "$t_ours" "$t_gzip")"
echo "decode : ours ${t_dec} ms ($(awk -v b="$input" -v t="$t_dec" 'BEGIN { printf "%.0f", b / t / 1000 }') MB/s), lhasa ${t_lhasa} ms ($(awk -v b="$input" -v t="$t_lhasa" 'BEGIN { printf "%.0f", b / t / 1000 }') MB/s); speed ours/lhasa $(ratio "$t_lhasa" "$t_dec")"

echo "== listing a 10,000-entry archive"
mkdir many
for i in $(seq -w 1 10000); do echo "$i" > "many/f$i.txt"; done
(cd many && "$cli" lha a ../many.lzh f*.txt > /dev/null)
entries=$("$cli" archive list many.lzh | grep ' files ' | tr -d '\r')
echo "totals: $entries"
echo "sorabu-cli archive list: $(median_ms "$cli" archive list many.lzh) ms"
echo "sorabu-cli lha l       : $(median_ms "$cli" lha l many.lzh) ms"
echo "lhasa l                : $(median_ms lha l many.lzh) ms"
