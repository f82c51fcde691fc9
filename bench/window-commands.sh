#!/usr/bin/env bash
# File-rewriting commands on the 64 MiB Shift-JIS corpus: from the window's menu item against
# sorabu-cli run of the same command, with the largest gap in the window's event loop while the
# command runs (the window repaints within that); and our sort against LC_ALL=C sort -f.
# Medians of 3 runs (wall clock, ms).
#   bench/window-commands.sh [BUILD_DIR] [CORPUS_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" && pwd)
corpus=${2:-$HOME/.cache/sorabu-corpus}
cli="$build/bin/sorabu-cli"
window="$build/bin/command_window_bench"
[ -x "$cli" ] && [ -x "$window" ] || { echo "build sorabu-cli and command_window_bench in $build first"; exit 2; }
"$here/bench/make-corpus.sh" "$corpus" >/dev/null
input="$corpus/sjis-lf-64m.txt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median_ms() {
  local t=()
  for i in 1 2 3; do
    cp "$input" "$work/f.txt"
    local s e
    s=$(date +%s%N); "$@" > /dev/null 2>&1; e=$(date +%s%N)
    t+=($(( (e - s) / 1000000 )))
  done
  printf '%s\n' "${t[@]}" | sort -n | sed -n 2p
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

printf '%-20s %10s %10s %8s %14s\n' command window-ms cli-ms ratio largest-gap-ms
for handler in MLineSortU1Click Msjistojis1Click Malltabdelete1Click; do
  read -r win gap < <(QT_QPA_PLATFORM=offscreen "$window" "$handler" "$input" 3 2>/dev/null)
  cli_ms=$(median_ms "$cli" run --backup "$handler" "$work/f.txt")   # the window keeps the backup too
  printf '%-20s %10s %10s %8s %14s\n' "$handler" "$win" "$cli_ms" "$(ratio "$win" "$cli_ms")" "$gap"
done

ours=$(median_ms "$cli" run --no-backup MLineSortU1Click "$work/f.txt")
peer=$(median_ms env LC_ALL=C sort -f "$input" -o "$work/sorted.txt")
echo "LineSort: ours $ours ms, LC_ALL=C sort -f $peer ms, ratio $(ratio "$ours" "$peer")"
