#!/usr/bin/env bash
# Peak memory (maximum resident set size, from /usr/bin/time -v) of `sorabu-cli detect` and
# `sorabu-cli grep` on 2 GB files: a sparse one (NUL bytes, no line end, no disk space) and, for
# a detection that walks to the end, 2 GB of ASCII lines written for the run (removed after).
# Wall time beside it; GNU grep's figures on the same files for scale.
#   bench/memory.sh [BUILD_DIR] [CLI]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build=$(cd "${1:-$here/build/release}" 2>/dev/null && pwd || echo "${1:-$here/build/release}")
cli=${2:-$build/bin/sorabu-cli}
[ -x "$cli" ] || { echo "build $cli first (cmake --build $build --target sorabu-cli)"; exit 2; }
[ -x /usr/bin/time ] || { echo "install the package time (apt-get install time)"; exit 2; }
export LC_ALL=C

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
truncate -s 2G "$work/sparse.bin"

# measure NAME COMMAND...: peak RSS in MB and wall seconds
measure() {
  local name=$1; shift
  /usr/bin/time -v -o "$work/time.txt" "$@" > /dev/null 2>&1 || true
  awk -v n="$name" '
    /Maximum resident set size/ { rss = $NF }
    /Elapsed \(wall clock\)/ { t = $NF }
    END { printf "%-44s peak RSS %8.1f MB   wall %s\n", n, rss / 1024, t }' "$work/time.txt"
}

measure "detect, 2 GB sparse" "$cli" detect "$work/sparse.bin"
measure "grep x, 2 GB without a line end" "$cli" grep --count x "$work/sparse.bin"
measure "GNU grep -c x, same file" grep -c x "$work/sparse.bin"
{ yes 'plain ASCII text line' | head -c 2G || true; } > "$work/ascii.txt"
measure "detect, 2 GB of ASCII lines" "$cli" detect "$work/ascii.txt"
measure "grep -c, 2 GB of ASCII lines" "$cli" grep --count zzz "$work/ascii.txt"
measure "GNU grep -c, same file" grep -c zzz "$work/ascii.txt"
