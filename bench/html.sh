#!/usr/bin/env bash
# HTML to text on one-line files beside `sed 's/<[^>]*>//g'`: medians of RUNS runs in
# milliseconds and the ratio ours / sed (below 1 is faster). The files are made here: 4.5 MB of
# "<b>x</b> " and 50 MB of it, and 50 MB of text with tags, entities and line-ending tags mixed.
#   bench/html.sh [BUILD_DIR] [RUNS] [CLI]
# A run of ours is stopped after LIMIT seconds (environment, default 600); its figure then reads
# as the limit.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" 2>/dev/null && pwd || echo "${1:-$here/build/release}")
runs=${2:-3}
cli=${3:-$build/bin/sorabu-cli}
[ -x "$cli" ] || { echo "build $cli first (cmake --build $build --target sorabu-cli)"; exit 2; }
export LC_ALL=C

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

{ yes '<b>x</b> ' | tr -d '\n' | head -c 4500000 || true; } > "$work/bold-4m.html"
{ yes '<b>x</b> ' | tr -d '\n' | head -c 50000000 || true; } > "$work/bold-50m.html"
{ yes 'Some <i>text</i> &amp; more<br>a &lt;b&gt; <a href="x.html">link</a><p>words words ' |
  tr -d '\n' | head -c 50000000 || true; } > "$work/mixed-50m.html"

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

row() {
  local handler=$1 in=$2
  local f="$work/file.html" ours theirs
  ours=$(median_ms "cp '$in' '$f'" "timeout ${LIMIT:-600} '$cli' run --no-backup $handler '$f' >/dev/null || true")
  theirs=$(median_ms ":" "sed 's/<[^>]*>//g' '$in' > '$work/sed.out'")
  awk -v n="$handler $(basename "$in")" -v o="$ours" -v t="$theirs" \
    'BEGIN { printf "%-36s ours %7d ms   sed %6d ms   ratio %6.2f\n", n, o, t, (t > 0 ? o / t : 0) }'
}

row MhtmlClick "$work/bold-4m.html"
for handler in MhtmlClick MhtmlallClick htmlTABA1Click html2Click htmlTAB1Click; do
  row "$handler" "$work/bold-50m.html"
done
row MhtmlClick "$work/mixed-50m.html"
row htmlTABA1Click "$work/mixed-50m.html"
