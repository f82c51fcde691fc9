#!/usr/bin/env bash
# Builds the benchmark corpus from Debian's manpages-ja pages.
#
# Every page under /usr/share/man/ja is rendered once (man -l, col -b, 80 columns, at most two
# pages at a time, a page taking over 30 s is skipped). The text is narrowed to ASCII and
# JIS X 0208: it goes to EUC-JP with unconvertible characters dropped, and then, byte by byte,
# half-width kana (0x8E xx), JIS X 0212 (0x8F xx xx) and control bytes other than TAB and LF are
# dropped too, so that Shift-JIS, EUC-JP, ISO-2022-JP and UTF-8 can all hold exactly the same
# characters. That text is repeated, and the largest whole-line prefix whose Shift-JIS (LF) form
# is at most 64 MiB (1 MiB) fixes the lines of every copy of that size; the other encodings hold
# the same lines and may therefore be somewhat larger or smaller.
#
# Each copy is converted back to Shift-JIS and compared byte for byte with the Shift-JIS file, and
# the Shift-JIS file must convert cleanly as code page 932, so a copy that lost or changed a
# character is never left behind. Outputs are written under temporary names and renamed at the
# end; when all of them exist already the script does nothing.
#
# Usage: bench/make-corpus.sh [OUTPUT-FOLDER]   (default: $HOME/.cache/sorabu-corpus)
set -euo pipefail

readonly MAN_DIR=/usr/share/man/ja
readonly OUT=${1:-${HOME}/.cache/sorabu-corpus}
readonly JOBS=2
readonly PAGE_TIMEOUT=30
readonly SIZES=("64m:67108864" "1m:1048576")

die() { echo "make-corpus: $*" >&2; exit 1; }

outputs_for() {  # the five file names of one size
  local tag=$1
  echo "sjis-lf-${tag}.txt sjis-crlf-${tag}.txt euc-${tag}.txt jis-${tag}.txt utf8-${tag}.txt"
}

all_outputs_exist() {
  local entry tag name
  for entry in "${SIZES[@]}"; do
    tag=${entry%%:*}
    for name in $(outputs_for "$tag"); do
      [[ -s "$OUT/$name" ]] || return 1
    done
  done
}

check_tools() {
  local tool
  for tool in man col iconv perl timeout xargs cmp; do
    command -v "$tool" >/dev/null || die "missing tool: $tool"
  done
  [[ -d "$MAN_DIR" ]] || die "$MAN_DIR not found; install the Debian package manpages-ja"
}

# Renders one page to $2; a page that fails or times out leaves an empty file, which adds nothing.
# Without pipefail a timed-out page would keep whatever part of it was written before the kill,
# and that part differs from run to run.
render_page() {
  set -o pipefail
  local page=$1 target=$2
  if ! LC_ALL=C.UTF-8 MANWIDTH=80 timeout "$PAGE_TIMEOUT" \
      man -l "$page" 2>/dev/null | col -b >"$target.tmp" 2>/dev/null; then
    : >"$target.tmp"
  fi
  mv -f "$target.tmp" "$target"
}
export -f render_page
export PAGE_TIMEOUT

# All pages, rendered once, concatenated in a fixed order so the corpus is the same on every run.
render_all() {
  local work=$1 target=$2
  local pages_dir=$work/pages
  mkdir -p "$pages_dir"
  local -a pages
  mapfile -d '' -t pages < <(find "$MAN_DIR" -type f -name '*.gz' -print0 | LC_ALL=C sort -z)
  (( ${#pages[@]} > 0 )) || die "no pages under $MAN_DIR"
  echo "make-corpus: rendering ${#pages[@]} pages with $JOBS jobs" >&2
  local i
  for i in "${!pages[@]}"; do
    printf '%s\0%s\0' "${pages[$i]}" "$pages_dir/$(printf '%05d' "$i").txt"
  done | xargs -0 -n 2 -P "$JOBS" bash -c 'render_page "$1" "$2"' _
  local empty=0 file
  for i in "${!pages[@]}"; do
    file=$pages_dir/$(printf '%05d' "$i").txt
    [[ -s "$file" ]] || empty=$((empty + 1))
    cat "$file"
  done >"$target.tmp"
  echo "make-corpus: $empty pages gave no text (failed or took over ${PAGE_TIMEOUT} s)" >&2
  mv -f "$target.tmp" "$target"
}

# UTF-8 text -> EUC-JP holding ASCII (TAB, LF, 0x20..0x7E) and JIS X 0208 only.
narrow_to_jis0208() {
  local source=$1 target=$2
  # iconv -c reports dropped characters with status 1; an empty result is caught below.
  iconv -c -f UTF-8 -t EUC-JP "$source" >"$target.iconv" || true
  # Each match consumes one whole EUC-JP character, so the scan never falls out of step.
  LC_ALL=C perl -ne '
    s/([\t\x20-\x7e]|[\xa1-\xfe][\xa1-\xfe])|\x8f[\xa1-\xfe]{0,2}|\x8e[\xa1-\xfe]?|[^\n]/
      defined $1 ? $1 : ""/gex;
    print;
  ' "$target.iconv" >"$target.tmp"
  rm -f "$target.iconv"
  [[ -s "$target.tmp" ]] || die "nothing left after narrowing to JIS X 0208"
  local before after
  before=$(LC_ALL=C.UTF-8 wc -m <"$source")
  after=$(iconv -f EUC-JP -t UTF-8 "$target.tmp" | LC_ALL=C.UTF-8 wc -m)
  echo "make-corpus: kept $after of $before characters" >&2
  # The repetition relies on the text ending with a line end.
  [[ $(tail -c 1 "$target.tmp" | od -An -tx1 | tr -d ' ') == 0a ]] || echo >>"$target.tmp"
  mv -f "$target.tmp" "$target"
}

endless() { while cat "$1" 2>/dev/null; do :; done; }

# Repeats $1 and keeps the largest whole-line prefix of at most $3 bytes.
repeat_to_size() {
  local source=$1 target=$2 limit=$3 lines
  # The endless cat loop stops on SIGPIPE once head has enough, so its status is not looked at.
  lines=$( (set +o pipefail; endless "$source" | head -c "$limit" | wc -l) )
  (( lines > 0 )) || die "a single line exceeds $limit bytes"
  (set +o pipefail; endless "$source" | head -n "$lines" >"$target")
  [[ $(wc -l <"$target") -eq $lines ]] || die "could not write $target"
}

# Writes the five copies of one size from the narrowed EUC-JP text and checks them.
make_size() {
  local work=$1 base_sjis=$2 tag=$3 limit=$4
  local tmp=$work/$tag
  mkdir -p "$tmp"
  repeat_to_size "$base_sjis" "$tmp/sjis-lf-${tag}.txt" "$limit"
  local sjis=$tmp/sjis-lf-${tag}.txt
  perl -pe 's/\n/\r\n/' "$sjis" >"$tmp/sjis-crlf-${tag}.txt"
  iconv -f SHIFT_JIS -t EUC-JP "$sjis" >"$tmp/euc-${tag}.txt"
  iconv -f SHIFT_JIS -t ISO-2022-JP "$sjis" >"$tmp/jis-${tag}.txt"
  iconv -f SHIFT_JIS -t UTF-8 "$sjis" >"$tmp/utf8-${tag}.txt"

  local back=$tmp/back.txt
  perl -pe 's/\r\n/\n/' "$tmp/sjis-crlf-${tag}.txt" >"$back"
  cmp -s "$back" "$sjis" || die "CR LF copy ($tag) does not hold the same lines"
  local pair
  for pair in "euc:EUC-JP" "jis:ISO-2022-JP" "utf8:UTF-8"; do
    iconv -f "${pair#*:}" -t SHIFT_JIS "$tmp/${pair%%:*}-${tag}.txt" >"$back" \
      || die "${pair#*:} copy ($tag) does not convert back"
    cmp -s "$back" "$sjis" || die "${pair#*:} copy ($tag) does not round-trip"
  done
  iconv -f CP932 -t EUC-JP-MS "$sjis" >"$back" \
    || die "Shift-JIS copy ($tag) does not convert cleanly as CP932"
  cmp -s "$back" "$tmp/euc-${tag}.txt" || die "CP932 reading of the Shift-JIS copy ($tag) differs"
  rm -f "$back"
}

main() {
  if all_outputs_exist; then
    echo "make-corpus: corpus already in $OUT" >&2
    return 0
  fi
  check_tools
  mkdir -p "$OUT"
  local work=$OUT/.work
  mkdir -p "$work"

  # Rendering is the slow step; its result is kept so an interrupted run does not repeat it.
  [[ -s "$work/pages.utf8" ]] || render_all "$work" "$work/pages.utf8"
  narrow_to_jis0208 "$work/pages.utf8" "$work/base.euc"
  iconv -f EUC-JP -t SHIFT_JIS "$work/base.euc" >"$work/base.sjis"

  local entry tag name
  for entry in "${SIZES[@]}"; do
    tag=${entry%%:*}
    make_size "$work" "$work/base.sjis" "$tag" "${entry#*:}"
  done
  for entry in "${SIZES[@]}"; do
    tag=${entry%%:*}
    for name in $(outputs_for "$tag"); do
      mv -f "$work/$tag/$name" "$OUT/$name"
    done
  done
  rm -rf "$work"
  ls -l "$OUT" >&2
}

main
