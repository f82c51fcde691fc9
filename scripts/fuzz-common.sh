# Shared by scripts/fuzz-short and scripts/fuzz-campaign (sourced, not run): checks for clang's
# libFuzzer runtime, configures the clang build with -DSORABU_FUZZ=ON in build/fuzz and builds
# every fuzzer registered with sorabu_add_fuzzer. Afterwards $build holds the build folder and
# ${fuzzers[@]} the targets; `fuzz_args NAME` prints the corpus folders and the dictionary option
# of one target. FUZZ_JOBS sets the build parallelism (default 2). Returns 1 (with a message)
# when clang++ or its runtime is missing, so the callers can skip fuzzing on such machines.

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/fuzz"

fuzz_prepare() {
  local who=$1
  if ! command -v clang++ >/dev/null 2>&1; then
    echo "$who: clang++ not found; fuzzing skipped"
    return 1
  fi
  local probe_dir
  probe_dir="$(mktemp -d)"
  printf '%s\n' 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
    > "$probe_dir/probe.cpp"
  if ! clang++ -fsanitize=fuzzer,address,undefined "$probe_dir/probe.cpp" -o "$probe_dir/probe" >/dev/null 2>&1; then
    rm -rf "$probe_dir"
    echo "$who: clang++ has no libFuzzer runtime (Debian: libclang-rt-dev); fuzzing skipped"
    return 1
  fi
  rm -rf "$probe_dir"
  local generator=() launcher=()
  if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
  if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" "${generator[@]}" "${launcher[@]}" -DSORABU_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
      -DSORABU_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  else
    cmake "$build" >/dev/null
  fi
  mapfile -t fuzzers < <(grep -v '^$' "$build/fuzzers.txt")
  if [ "${#fuzzers[@]}" -eq 0 ]; then
    echo "$who: no fuzz targets"
    return 1
  fi
  cmake --build "$build" --target "${fuzzers[@]}" -j"${FUZZ_JOBS:-2}"
  mkdir -p "$build/artifacts" "$build/logs"
}

# The seed corpus in tests/fuzz/corpus/NAME is read but never written; new inputs collect in
# build/fuzz/corpus/NAME.
fuzz_args() {
  local name=$1 dict=""
  mkdir -p "$build/corpus/$name"
  case "$name" in
    fuzz_lha | fuzz_lha_rewrite) dict=lha ;;
    fuzz_zip_extract) dict=zip ;;
    fuzz_command_line) dict=command_line ;;
    fuzz_dir_switches) dict=dir_switches ;;
  esac
  [ -n "$dict" ] && printf '%s\n' "-dict=$root/tests/fuzz/dict/$dict.dict"
  printf '%s\n' "$build/corpus/$name"
  if [ -d "$root/tests/fuzz/corpus/$name" ]; then printf '%s\n' "$root/tests/fuzz/corpus/$name"; fi
}
