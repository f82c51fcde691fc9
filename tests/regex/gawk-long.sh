#!/usr/bin/env bash
# The gawk differential test at length: tests/regex/gawk-long.sh [BUILD_DIR] [CASES] [SEEDS]
#
# The regular test run compares 3,000 generated patterns and texts with gawk's match() and
# gsub(); this runs the same test with CASES cases (default 100,000) for each of SEEDS seeds
# (default 5), so a rare disagreement has a chance to show. Needs gawk.
set -euo pipefail
here="$(cd "$(dirname "$0")/../.." && pwd)"
build=${1:-$here/build/test}
cases=${2:-100000}
seeds=${3:-5}
tests="$build/bin/regex_tests"
[ -x "$tests" ] || { echo "build $tests first (cmake --build $build --target regex_tests)"; exit 2; }
command -v gawk >/dev/null || { echo "gawk is not installed"; exit 2; }
for seed in $(seq 1 "$seeds"); do
  echo "gawk differential: seed $seed, $cases cases"
  SORABU_REGEX_GAWK_SEED=$((seed * 7919)) SORABU_REGEX_GAWK_CASES=$cases \
    "$tests" --gtest_filter='GawkDifferentialTest.*' --gtest_brief=1
done
