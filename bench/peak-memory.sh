# Sourced by the memory benchmarks after setting $here (the source tree):
#   memory_bench_setup [BUILD_DIR] [CORPUS_DIR]  sets $cli and $corpus, makes the corpus if needed
#                                                and a scratch folder $work removed at exit;
#   measure NAME COMMAND...                      runs the command under /usr/bin/time -v and prints
#                                                its peak resident set size and wall time.
[ -x /usr/bin/time ] || { echo "install the package time (apt-get install time)"; exit 2; }

memory_bench_setup() {
  cli="$(cd "${1:-$here/build/release}" && pwd)/bin/sorabu-cli"
  corpus=${2:-$HOME/.cache/sorabu-corpus}
  [ -x "$cli" ] || { echo "build sorabu-cli first"; exit 2; }
  "$here/bench/make-corpus.sh" "$corpus" >/dev/null
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}

measure() {
  local name=$1; shift
  /usr/bin/time -v -o "$work/time.txt" "$@" > /dev/null 2>&1 || echo "  ($name failed)"
  awk -v n="$name" '
    /Maximum resident set size/ { rss = $NF }
    /Elapsed \(wall clock\)/ { t = $NF }
    END { printf "%-40s peak RSS %8.1f MB   wall %s\n", n, rss / 1024, t }' "$work/time.txt"
}
