#!/usr/bin/env bash
# Writes the seed corpus of every fuzz target into tests/fuzz/corpus/TARGET/ (small, hand-made
# inputs that reach each target's roads; kept in the repository). Needs a built sorabu-cli.
#   tests/fuzz/make-seeds.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cli="$(cd "${1:-$root/build/test}" && pwd)/bin/sorabu-cli"
corpus="$root/tests/fuzz/corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

seed() {  # TARGET NAME: stdin becomes the seed
  mkdir -p "$corpus/$1"
  cat > "$corpus/$1/$2"
}
sjis() { iconv -f UTF-8 -t CP932; }

printf 'こんにちは\r\n世界\r\n' | sjis > t.txt
printf '日本語のテキスト、ソ表\r\n%.0s' {1..60} | sjis > s.txt
mkdir -p d && printf 'x\n' > d/x.txt
"$cli" lha a a5.lzh t.txt s.txt > /dev/null
"$cli" lha a -r dir.lzh d > /dev/null
lzh=("$root"/tests/data/lha/jlha-lh5-level1.lzh "$root"/tests/data/lha/jlha-lh6-level2.lzh
     "$root"/tests/data/lha/jlha-lh7-level0.lzh a5.lzh dir.lzh)

# LHA: byte 0 picks the road (archive, raw stream, round trip).
for f in "${lzh[@]}"; do { printf '\x00'; cat "$f"; } | seed fuzz_lha "archive-$(basename "$f")"; done
{ printf '\x82\x00\x10\x00'; tail -c +40 a5.lzh | head -c 600; } | seed fuzz_lha raw-lh5
{ printf '\x80\x00\x04\x00'; head -c 300 /dev/zero | tr '\0' 'A'; } | seed fuzz_lha raw-lh1
{ printf '\xE0'; cat s.txt; } | seed fuzz_lha round-trip-text

# LHA rewrite: byte 0 the command, byte 1 the entry, bytes 2..3 the archive's length.
for f in a5.lzh dir.lzh "$root"/tests/data/lha/jlha-lh5-level1.lzh; do
  n=$(stat -c %s "$f")
  for cmd in 0 1 2; do
    { printf "\\x$(printf %02x $cmd)\\x01\\x$(printf %02x $((n & 255)))\\x$(printf %02x $((n >> 8)))"; cat "$f"; printf 'new file\r\n'; } |
      seed fuzz_lha_rewrite "$cmd-$(basename "$f")"
  done
done
cat t.txt t.txt > two.txt
cat a5.lzh dir.lzh > both.lzh
n=$(stat -c %s both.lzh)
{ printf "\\x00\\x00\\x$(printf %02x $((n & 255)))\\x$(printf %02x $((n >> 8)))"; cat both.lzh; } | seed fuzz_lha_rewrite 0-concatenated

# The entry record of the listing: name, then sizes and fields as the plug-in fills them.
{ printf 'dir/%s' "$(printf '表.txt' | sjis)"; head -c 600 /dev/zero; } | head -c 560 | seed fuzz_listing record-name
head -c 560 /dev/zero | tr '\0' '\377' | seed fuzz_listing record-ones

# Command lines: archive, folder and names separated by NUL.
printf '\x00a.lzh\x00out/\x00x.txt\x00dir/y.txt' | seed fuzz_command_line extract
printf '\x01%s\x00\x00-r\x00@list\x00"q".txt' "$(printf '書庫.lzh' | sjis)" | seed fuzz_command_line pack-hostile

# Regular expressions: flags, pattern, \xFF, replacement, \xFF, text.
printf '\x00[a-z]+\xFF<\\0>\xFFabc def' | seed fuzz_regex_parse class
{ printf '\x02'; printf '(日本|ニホン)語?' | sjis; printf '\xFF$1\xFF'; cat t.txt; } | seed fuzz_regex_parse fuzzy
printf '\x01^(a|b)*c{2,5}\\d$\xFF\xFFaabcc1\n' | seed fuzz_regex_parse anchors

# Per-line editing: two numbers, then the line.
{ printf '\x03\x05'; head -c 200 s.txt; } | seed fuzz_textcmd sjis-line
printf '\x00\x00  tabs\tand  blanks  ' | seed fuzz_textcmd blanks

# Converters and code-page services: text in each code.
cat s.txt | seed fuzz_converters sjis
iconv -f CP932 -t EUC-JP < s.txt | seed fuzz_converters euc
iconv -f CP932 -t ISO-2022-JP < s.txt | seed fuzz_converters jis
printf 'Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\r\nbegin 644 x\r\n' | seed fuzz_converters mail

# Display: byte 0 is where the text is cut.
{ printf '\x20'; cat s.txt; } | seed fuzz_display sjis-crlf
{ printf '\x11'; iconv -f CP932 -t UTF-8 < s.txt | tr -d '\r'; } | seed fuzz_display utf8-lf
{ printf '\x05'; iconv -f CP932 -t EUC-JP < s.txt | tr '\n' '\r'; } | seed fuzz_display euc-cr
{ printf '\x07'; iconv -f CP932 -t ISO-2022-JP < s.txt; printf '\x1Aafter'; } | seed fuzz_display jis-eof
{ printf '\x03\xFF\xFE'; iconv -f CP932 -t UTF-16LE < t.txt; } | seed fuzz_display utf16le

# Unicode decoders.
iconv -f CP932 -t UTF-8 < t.txt | seed fuzz_unicode utf8
{ printf '\xFE\xFF'; iconv -f CP932 -t UTF-16BE < t.txt; } | seed fuzz_unicode utf16be
printf '\xED\xA0\x80 \xC0\xAF \xF4\x90\x80\x80 \xF0\x9F\x98\x80' | seed fuzz_unicode ill-formed

# dir arguments: byte 0 picks the dialog's choices.
printf '\x00/A:-D /O:GN /S /B *.txt' | seed fuzz_dir_switches switches
printf '\x37"my folder/a b.txt" /V /L' | seed fuzz_dir_switches quoted
printf '\x12-- D/a[1].txt' | seed fuzz_dir_switches literal

# Settings file.
{ printf '[Menu]\r\nMlfline=1\r\nReadRichEditLine=20\r\n\r\n[%s]\r\nkey = value \r\n' "$(printf '検索' | sjis)";
  printf '[menu]\r\nMlfline=0\r\n; comment\r\nnoequals\r\n=empty key\r\n'; } | seed fuzz_settings sample

echo "seeds written to $corpus"
