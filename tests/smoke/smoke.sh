#!/usr/bin/env bash
# Starts sorabu under Xvfb on a Shift-JIS file, waits for its window, takes a screenshot, moves
# the file list down to the next file with the arrow key and checks that the pane changed, moves on
# to a JIS file and converts it with 変換 → "* 文字コード自動変換(&A)" from the keyboard, copies a
# large file with C into another folder (photographing the progress window), shows a 1 MiB text
# whole with V and goes to its end with Ctrl+End in the pane (photographing both), Greps the
# selected text for "1234" from the 検索 menu (photographing the results), clicks an LHA archive
# and turns the archive preview on with ; (photographing the listing), opens the drive information
# and the manual (photographing both), asks a password ZIP for its password and opens the split
# dialog (photographing both, cancelling both), asks it
# to close the ordinary way (SIGTERM closes the window like its close box) and checks the settings
# file it writes beside itself and the converted file. On the way a named pipe made meanwhile
# appears in the list by itself and is clicked without the window waiting on it.
set -euo pipefail
# --first-look: a first start (no settings file) on a large screen, photographed and closed.
if [ "${1:-}" = "--first-look" ]; then
  out=$2
  export QT_QPA_PLATFORM=xcb
  for _ in $(seq 1 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.2; done
  xdotool getdisplaygeometry >/dev/null 2>&1 || exit 3
  "$out/bin/sorabu" "$out/data" 2>>"$out/stderr-first-look.txt" &
  pid=$!
  win=""
  for _ in $(seq 1 100); do
    win=$(xdotool search --onlyvisible --name 'ソラブ' 2>/dev/null | tail -n 1 || true)
    [ -n "$win" ] && break
    # As in the main run: a server that turned the program away is tried again on a new display.
    if ! kill -0 "$pid" 2>/dev/null; then
      grep -q 'could not connect to display' "$out/stderr-first-look.txt" 2>/dev/null && exit 3
      break
    fi
    sleep 0.2
  done
  [ -n "$win" ] || { echo "no window at the first look"; kill "$pid" 2>/dev/null; exit 1; }
  sleep 1.5
  if command -v import >/dev/null; then import -window root "$out/screenshot-1920.png"; fi
  kill -TERM "$pid"
  wait "$pid"
  exit 0
fi
if [ "${1:-}" = "--inner" ]; then
  out=$2
  export QT_QPA_PLATFORM=xcb
  # xvfb-run may hand over before the server takes connections on a busy machine: wait for it.
  display_up=""
  for _ in $(seq 1 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && { display_up=1; break; }
    sleep 0.2
  done
  [ -n "$display_up" ] || { echo "the virtual display never came up"; exit 3; }
  "$out/bin/sorabu" "$out/data/sample" "file.txt" 2> >(tee "$out/stderr.txt" >&2) &
  pid=$!
  win=""
  for _ in $(seq 1 100); do
    win=$(xdotool search --onlyvisible --name 'ソラブ' 2>/dev/null | tail -n 1 || true)
    [ -n "$win" ] && break
    # A server that answered xdotool and then turned the program away (another run's server going
    # down on the same number) is the machine's trouble too: the outer loop tries a new display.
    if ! kill -0 "$pid" 2>/dev/null; then
      grep -q 'could not connect to display' "$out/stderr.txt" 2>/dev/null && exit 3
      break
    fi
    sleep 0.2
  done
  [ -n "$win" ] || { echo "no window"; kill "$pid" 2>/dev/null; exit 1; }
  sleep 1.5
  if command -v import >/dev/null; then import -window root "$out/screenshot.png"; fi
  # The arrow key moves the list to the next file, whose dark block fills the pane.
  xdotool key --window "$win" Down
  sleep 1
  if command -v import >/dev/null; then import -window root "$out/screenshot-down.png"; fi
  # The JIS file, then the 変換 menu and its automatic code conversion.
  xdotool key --window "$win" Down
  sleep 1
  xdotool key --window "$win" alt+c
  sleep 1
  if command -v import >/dev/null; then import -window root "$out/screenshot-menu.png"; fi
  xdotool key --window "$win" a
  sleep 2
  if command -v import >/dev/null; then import -window root "$out/screenshot-converted.png"; fi
  # The large file, copied with C into another folder through the file-operation dialog; the
  # progress window is photographed while the copy runs.
  xdotool key --window "$win" Down
  sleep 1
  xdotool key --window "$win" c
  sleep 1
  # The dialog opened while C was going down: let it come up before typing the destination (with
  # a C held, the next "c" typed would be lost).
  xdotool keyup c
  if command -v import >/dev/null; then import -window root "$out/screenshot-form2.png"; fi
  xdotool key ctrl+a BackSpace
  xdotool type --delay 20 "$out/dest"
  sleep 0.3
  xdotool key Return
  for _ in $(seq 1 100); do
    if xdotool search --onlyvisible --name 'ファイル　コピー' >/dev/null 2>&1; then
      if command -v import >/dev/null; then import -window root "$out/screenshot-progress.png"; fi
      break
    fi
    sleep 0.1
  done
  # The copy ends with its message; Return closes it.
  for _ in $(seq 1 300); do
    [ "$(stat -c %s "$out/dest/sample zzzz big.bin" 2>/dev/null || echo 0)" = "$big" ] && break
    sleep 0.2
  done
  sleep 1
  # Return closes the message of a finished copy; anything else on screen is cancelled.
  if [ "$(stat -c %s "$out/dest/sample zzzz big.bin" 2>/dev/null || echo 0)" = "$big" ]; then
    xdotool key Return
  else
    xdotool key Escape
  fi
  sleep 0.5
  # The 1 MiB text whole, then its end: the last lines are a dark block.
  xdotool key --window "$win" Down
  sleep 1
  xdotool key --window "$win" v
  sleep 1.5
  if command -v import >/dev/null; then import -window root "$out/screenshot-whole.png"; fi
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + WIDTH * 3 / 4)) $((Y + HEIGHT * 3 / 4)) click 1
  sleep 0.3
  xdotool key ctrl+End
  sleep 1
  if command -v import >/dev/null; then import -window root "$out/screenshot-end.png"; fi
  # Grep from the 検索 menu: the dialog opens on its pattern, Return runs it.
  xdotool key --window "$win" alt+s
  sleep 0.5
  xdotool key g
  sleep 1
  xdotool type --delay 20 "1234"
  sleep 0.3
  xdotool key Return
  sleep 2
  if command -v import >/dev/null; then import -window root "$out/screenshot-grep.png"; fi
  # The archive is the last row of the list; ; turns the preview on and lists it.
  xdotool mousemove 230 171 click 1
  sleep 1
  xdotool key semicolon
  sleep 1.5
  if command -v import >/dev/null; then import -window root "$out/screenshot-archive.png"; fi
  # The drive information from the 情報 menu, closed again.
  xdotool key alt+i
  sleep 0.5
  xdotool key i
  sleep 1.5
  if command -v import >/dev/null; then import -window root "$out/screenshot-drive.png"; fi
  xdotool key Escape
  sleep 0.5
  xdotool mousemove 230 171 click 1
  sleep 0.5
  # A named pipe made meanwhile by another program: the list shows it by itself, and End selects
  # a click selects it (the row under the archive's). Opening it would wait for a writer; the
  # window names it instead and goes on (a block here would leave the close below waiting for ever).
  mkfifo "$out/data/sample zzzzzzz fifo.pipe"
  sleep 2
  xdotool mousemove 230 189 click 1
  sleep 1
  if command -v import >/dev/null; then import -window root "$out/screenshot-fifo.png"; fi
  # A password ZIP as mail brings it, the row under the pipe: 解凍 into the folder shown asks for
  # the password (photographed); Escape answers nothing, and nothing is written.
  xdotool mousemove 230 207 click 1
  sleep 1
  xdotool key alt+l
  sleep 0.5
  xdotool key u
  sleep 1
  xdotool key Return
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name '^解凍$' >/dev/null 2>&1 && { touch "$out/seen-password"; break; }
    sleep 0.1
  done
  sleep 0.5
  if command -v import >/dev/null; then import -window root "$out/screenshot-password.png"; fi
  xdotool key Escape
  sleep 1
  # ファイル → "ファイル　分割(&S)" on the same file; the dialog is photographed and cancelled (one
  # Escape only: in the list, Escape closes the window).
  xdotool mousemove 230 207 click 1
  sleep 1
  xdotool key alt+f
  sleep 0.5
  xdotool key s
  sleep 1.5
  xdotool search --onlyvisible --name '^ﾌｧｲﾙの分割$' >/dev/null 2>&1 && touch "$out/seen-split"
  if command -v import >/dev/null; then import -window root "$out/screenshot-split.png"; fi
  xdotool key Escape
  sleep 0.5
  # The converted file's .org working copy, third in the list: R asks for its new name, which
  # would put the original back (photographed, cancelled with one Escape).
  xdotool mousemove 230 99 click 1
  sleep 1
  xdotool key r
  sleep 1.5
  if command -v import >/dev/null; then import -window root "$out/screenshot-undo.png"; fi
  xdotool key Escape
  sleep 0.5
  # The manual, last: its window takes the focus.
  xdotool key h
  sleep 1.5
  if command -v import >/dev/null; then import -window root "$out/screenshot-help.png"; fi
  kill -TERM "$pid"
  wait "$pid"
  exit 0
fi
program=$1
out=$2
cli=$3
rm -rf "$out"
mkdir -p "$out/bin" "$out/data"
cp "$program" "$out/bin/sorabu"   # the settings file is written beside the program
cp "$(dirname "$program")"/lib*.so "$out/bin/"   # the archiver plug-ins
[ -d "$(dirname "$program")/help" ] && cp -r "$(dirname "$program")/help" "$out/bin/"   # the manual
for i in $(seq 1 30); do printf 'line %d ＳＪＩＳ テキスト\r\n' "$i"; done | iconv -f UTF-8 -t CP932 > "$out/data/sample file.txt"
for i in $(seq 1 40); do printf '■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■\r\n'; done |
  iconv -f UTF-8 -t CP932 > "$out/data/sample zz.txt"
for i in $(seq 1 10); do printf 'JIS の行 %d\r\n' "$i"; done > "$out/jis-source.txt"
iconv -f UTF-8 -t ISO-2022-JP < "$out/jis-source.txt" > "$out/data/sample zzz jis.txt"
big=$((1536 * 1024 * 1024))
head -c "$big" /dev/zero > "$out/data/sample zzzz big.bin"
# A megabyte of text whose last 40 lines are full-width squares.
awk 'BEGIN { for (i = 1; i <= 23000; i++) printf "%05d 行目：ＳＪＩＳ のテキスト、半角ｶﾅ も。\r\n", i }' |
  iconv -f UTF-8 -t CP932 > "$out/corpus.txt"
for i in $(seq 1 40); do printf '\r\n■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■■'; done |
  iconv -f UTF-8 -t CP932 >> "$out/corpus.txt"
mv "$out/corpus.txt" "$out/data/sample zzzzz corpus.txt"
(cd "$out/data" && "$cli" lha a "sample zzzzzz arc.lzh" "sample file.txt" "sample zz.txt" > /dev/null)
mkdir -p "$out/secret"
printf '見積書の本文\r\n' | iconv -f UTF-8 -t CP932 > "$out/secret/mitsumori.txt"
zip -q -j -P himitsu "$out/data/sample zzzzzzzz secret.zip" "$out/secret/mitsumori.txt"
mkdir -p "$out/dest"
export big

# A virtual display that never comes up is the machine's trouble, not the program's: up to three tries.
status=3
for _ in 1 2 3; do
  [ "$status" -eq 3 ] || break
  status=0
  # A number of our own, away from the :99 every other xvfb-run starts at.
  xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x800x24" "$0" --inner "$out" || status=$?
done
[ "$status" -eq 0 ] || exit "$status"

ini="$out/bin/sorabu.ini"
[ -f "$ini" ] || { echo "no settings file written at close"; exit 1; }
tr -d '\r' < "$ini" > "$out/ini.txt"
fail=0
check() { grep -qx -- "$1" "$out/ini.txt" || { echo "missing in settings: $1"; fail=1; }; }
check "Program=SORABU"
check "Version=5.4"
check "Mdisp=1"
check "Mcloseinitview1=1"
check "Mbackup1=1"
check "Mrtf=0"
check "Width=1280"
check "Items_0=#1234#"   # the Grep pattern's history
check "Mlhashow=1"
grep -q '^Height=[0-9]' "$out/ini.txt" || { echo "no window height"; fail=1; }
[ -s "$out/screenshot.png" ] || { echo "no screenshot"; fail=1; }
# The second file's block of full-width squares darkens the screen: the pane shows it.
if [ -s "$out/screenshot-down.png" ]; then
  before=$(convert "$out/screenshot.png" -colorspace Gray -format '%[fx:mean]' info:)
  after=$(convert "$out/screenshot-down.png" -colorspace Gray -format '%[fx:mean]' info:)
  awk -v b="$before" -v a="$after" 'BEGIN { exit !(a < b - 0.02) }' ||
    { echo "the pane did not change to the second file (mean $before -> $after)"; fail=1; }
else
  echo "no screenshot after the arrow key"; fail=1
fi
# The JIS file now holds Shift-JIS, and its working copy the JIS bytes.
if ! cmp -s <(iconv -f UTF-8 -t CP932 < "$out/jis-source.txt") "$out/data/sample zzz jis.txt"; then
  echo "the JIS file was not converted to Shift-JIS from the 変換 menu"; fail=1
fi
[ -s "$out/screenshot-menu.png" ] || { echo "no screenshot of the 変換 menu"; fail=1; }
# The copy made with C is whole; the progress window was on screen while it ran.
cmp -s "$out/data/sample zzzz big.bin" "$out/dest/sample zzzz big.bin" ||
  { echo "the large file was not copied with C through the file-operation dialog"; fail=1; }
[ -s "$out/screenshot-progress.png" ] || { echo "no progress window seen during the copy"; fail=1; }
# The whole text shown with V, then its end after Ctrl+End: the block of squares darkens the screen.
if [ -s "$out/screenshot-whole.png" ] && [ -s "$out/screenshot-end.png" ]; then
  top=$(convert "$out/screenshot-whole.png" -colorspace Gray -format '%[fx:mean]' info:)
  end=$(convert "$out/screenshot-end.png" -colorspace Gray -format '%[fx:mean]' info:)
  awk -v t="$top" -v e="$end" 'BEGIN { exit !(e < t - 0.02) }' ||
    { echo "Ctrl+End did not bring the end of the whole text into view (mean $top -> $end)"; fail=1; }
else
  echo "no screenshots of the whole text"; fail=1
fi
[ -s "$out/screenshot-grep.png" ] || { echo "no screenshot of the Grep results"; fail=1; }
[ -s "$out/screenshot-archive.png" ] || { echo "no screenshot of the archive preview"; fail=1; }
[ -s "$out/screenshot-help.png" ] || { echo "no screenshot of the manual"; fail=1; }
[ -s "$out/screenshot-drive.png" ] || { echo "no screenshot of the drive information"; fail=1; }
[ -s "$out/screenshot-password.png" ] && [ -e "$out/seen-password" ] || { echo "no password question seen"; fail=1; }
[ -s "$out/screenshot-split.png" ] && [ -e "$out/seen-split" ] || { echo "no split dialog seen"; fail=1; }
[ -s "$out/screenshot-undo.png" ] || { echo "no screenshot of renaming the working copy"; fail=1; }
[ -e "$out/data/sample zzz jis.org" ] || { echo "the cancelled rename moved the working copy"; fail=1; }
# The cancelled password and the cancelled split leave the folder as it was.
[ ! -e "$out/data/mitsumori.txt" ] || { echo "a cancelled password still extracted"; fail=1; }
if ls "$out/data" | grep -q 'secret\.[0-9]'; then echo "a cancelled split still wrote parts"; fail=1; fi
rm -f "$out/data/sample zzzz big.bin" "$out/dest/sample zzzz big.bin"

# The first start on a 1920x1080 screen covers it, and is photographed.
mv "$ini" "$out/sorabu-1280.ini"
status=3
for _ in 1 2 3; do
  [ "$status" -eq 3 ] || break
  status=0
  xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1920x1080x24" "$0" --first-look "$out" || status=$?
done
if [ "$status" -ne 0 ]; then
  echo "the first start at 1920x1080 failed ($status)"; fail=1
else
  [ -s "$out/screenshot-1920.png" ] || { echo "no screenshot at 1920x1080"; fail=1; }
  grep -q '^Width=19[0-9][0-9]' <(tr -d '\r' < "$ini") || { echo "the first start did not take the large screen's width"; fail=1; }
fi
[ $fail -eq 0 ] && echo "smoke: window shown, screenshot at $out/screenshot.png, settings written"
exit $fail
