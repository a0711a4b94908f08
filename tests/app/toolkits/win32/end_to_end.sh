#!/bin/bash
# rastrex.exe end to end under Wine: started in a folder of dumps, Enter
# pressed on the keyboard, and every bitmap beside its dump compared byte for
# byte with what the Linux build of the library writes for the same dump.
# With a screenshot folder it also takes a picture of each window. Enter in
# the version window closes it; a long batch answers the system, drops the
# clicks and keys given meanwhile and stops on Escape; Ctrl+Q ends the
# program.
#
# usage: end_to_end.sh BIN_DIR PROBE_EXE HOST_XWD2BMP DUMPS_DIR WORK_DIR [SHOT_DIR]
# (SHOT_DIR may come from the environment as RASTREX_SHOT_DIR.)
# With RASTREX_E2E_SHORTCUT naming a shortcut (.lnk) the program is started
# through it, in the folder of dumps, as from the Start menu; the picture of
# its window is then windows-installed-window.png.
# Run it through wine-gui-run.sh --script: a private Xvfb and Wine prefix.
set -euo pipefail

bin=$1 probe=$2 ref=$3 data=$4 work=$5 shots=${6:-${RASTREX_SHOT_DIR:-}}
# A generous cap on every wait for the program; the waits poll conditions.
readonly kWaitSeconds=120
readonly kPollSeconds=0.2
readonly kMainTitle=' rastrex -- XWD Image Format Converter'
readonly kAboutTitle=' rastrex のバージョン情報'

# On failure the screen is kept for a look: WORK_DIR/failure.png.
fail() {
  echo "end_to_end: $*" >&2
  import -window root "$work/failure.png" 2>/dev/null || true
  exit 1
}

# Runs the rest of the arguments at each poll while they succeed; fails
# with the first after kWaitSeconds.
wait_while() {
  local message=$1 deadline=$((SECONDS + kWaitSeconds))
  shift
  while "$@"; do
    [ $SECONDS -lt $deadline ] || fail "$message"
    sleep "$kPollSeconds"
  done
}
window_open() { wine "$probe" "$1" 0 >/dev/null; }
process_running() { kill -0 "$app" 2>/dev/null; }

rm -rf "$work"
mkdir -p "$work/dumps" "$work/expected"
cp "$data"/*.xwd "$work/dumps/"
# Names the file system holds in other spellings: Japanese with a blank, upper case.
cp "$data/xwd-root-d24.xwd" "$work/dumps/画面 1.xwd"
cp "$data/pnmtoxwd-gray.xwd" "$work/dumps/UPPER.XWD"
"$ref" -q -o "$work/expected" "$work"/dumps/*
count=$(find "$work/expected" -type f | wc -l)
[ "$count" -ge 2 ] || fail "the Linux converter wrote $count bitmaps"

# The menus, captions and message boxes get a Japanese font, as on a
# Japanese Windows; Wine's own has no Japanese glyphs.
wine "$probe" --ui-font "IPAPGothic" || echo "end_to_end: no Japanese font for the menus" >&2
cd "$work/dumps"
shortcut=${RASTREX_E2E_SHORTCUT:-}
if [ -n "$shortcut" ]; then
  wine start /wait /d "$(winepath -w "$work/dumps")" "$(winepath -w "$shortcut")" &
else
  wine "$bin/rastrex.exe" &
fi
app=$!
trap 'kill "$app" 2>/dev/null || true' EXIT

wine "$probe" "$kMainTitle" "$kWaitSeconds" >/dev/null || fail "the main window did not appear"
desktop=""
deadline=$((SECONDS + kWaitSeconds))
while [ -z "$desktop" ]; do
  desktop=$(xdotool search --onlyvisible --name 'Wine desktop' 2>/dev/null | head -1 || true)
  [ -n "$desktop" ] || { [ $SECONDS -lt $deadline ] || fail "no Wine desktop"; sleep "$kPollSeconds"; }
done
xdotool windowfocus --sync "$desktop"

# Every source is selected at start and the focus is on the convert button.
xdotool key Return
pending=$count
deadline=$((SECONDS + kWaitSeconds))
while :; do
  pending=0
  for want in "$work"/expected/*; do
    cmp -s "$want" "$work/dumps/$(basename "$want")" || pending=$((pending + 1))
  done
  [ $pending -eq 0 ] && break
  [ $SECONDS -lt $deadline ] || break
  sleep "$kPollSeconds"
done
for want in "$work"/expected/*; do
  got="$work/dumps/$(basename "$want")"
  [ -f "$got" ] || fail "no bitmap $(basename "$got")"
  cmp "$want" "$got" || fail "$(basename "$got") differs from the Linux library's bitmap"
done
echo "end_to_end: $count bitmaps identical to the Linux library's"

# A picture of the window at `rect` once two captures in a row agree.
shoot() {
  local rect=$1 out=$2 left top width height
  read -r left top width height <<<"$rect"
  local a="$work/shot-a.png" b="$work/shot-b.png"
  import -window root -crop "${width}x${height}+${left}+${top}" +repage "$a"
  deadline=$((SECONDS + kWaitSeconds))
  while :; do
    sleep "$kPollSeconds"
    import -window root -crop "${width}x${height}+${left}+${top}" +repage "$b"
    cmp -s "$a" "$b" && break
    [ $SECONDS -lt $deadline ] || fail "the window never stopped changing"
    mv "$b" "$a"
  done
  mv "$b" "$out"
}

if [ -n "$shots" ]; then
  mkdir -p "$shots"
  main_shot=windows-main-window.png
  [ -z "$shortcut" ] || main_shot=windows-installed-window.png
  shoot "$(wine "$probe" "$kMainTitle" "$kWaitSeconds")" "$shots/$main_shot"
fi

# The version window: Ctrl+V opens it, Enter on its default button closes it.
xdotool key ctrl+v
about=$(wine "$probe" "$kAboutTitle" "$kWaitSeconds") || fail "Ctrl+V opened no version window"
[ -z "$shots" ] || [ -n "$shortcut" ] || shoot "$about" "$shots/windows-version-window.png"
xdotool key Return

# A long batch, followed and stopped. Some hundreds of small dumps (links
# to one) sort after the others; Ctrl+A re-reads and selects every dump,
# Ctrl+C converts them from the bottom up. While the bar shows, the test
# double-clicks the first folder of the directory list, clicks the source
# list and the quit button, and presses Enter and Ctrl+Q: the window must
# drop all of it, and answer the system meanwhile. Escape then stops the
# batch after the dump in hand.
readonly kBatchDumps=${RASTREX_E2E_BATCH_DUMPS:-1000}
batch_one="$work/dumps/xwd-root-d24.xwd"
batch_bmp="$work/expected/xwd-root-d24.bmp"
[ -f "$batch_one" ] && [ -f "$batch_bmp" ] || fail "no dump xwd-root-d24.xwd for the long batch"
for i in $(seq -w 1 "$kBatchDumps"); do ln "$batch_one" "$work/dumps/zz-$i.xwd"; done
dumps=$(find "$work/dumps" -maxdepth 1 -iname '*.xwd' | wc -l)
# The probe's report of the main window; `value KEY` reads one line of it.
state() { wine "$probe" --state "$kMainTitle" | tr -d '\r' >"$work/state.txt"; }
value() { sed -n "s/^$1 //p" "$work/state.txt"; }
point() { wine "$probe" --point "$kMainTitle" "$1" | tr -d '\r'; }
read -r dir_x dir_y <<<"$(point dir)"
read -r file1_x file1_y <<<"$(point file1)"
read -r file2_x file2_y <<<"$(point file2)"
read -r quit_x quit_y <<<"$(point quit)"
[ -n "$quit_y" ] || fail "the probe found no quit button"

xdotool key ctrl+a ctrl+c
deadline=$((SECONDS + kWaitSeconds))
until state && [ "$(value bar)" = 1 ]; do
  [ $SECONDS -lt $deadline ] || fail "the long batch did not start"
done
xdotool mousemove "$dir_x" "$dir_y" click --repeat 2 1 mousemove "$file1_x" "$file1_y" click 1 \
  mousemove "$quit_x" "$quit_y" click 1
xdotool key Return ctrl+q
state || fail "no main window to probe during the batch"
[ "$(value answered)" = 1 ] || fail "the window did not answer the system during the batch"
[ "$(value bar)" = 1 ] || fail "the batch ended before the probe: raise RASTREX_E2E_BATCH_DUMPS"
xdotool key Escape
deadline=$((SECONDS + kWaitSeconds))
until state && [ "$(value bar)" = 0 ]; do
  [ $SECONDS -lt $deadline ] || fail "Escape did not stop the batch"
done
# A click on the bitmap list names its first file in panel 2; once it does,
# everything given before it has been read, and the window is still there
# (the program is watched through its window: started through a shortcut,
# `wine start` does not wait for it).
xdotool mousemove "$file2_x" "$file2_y" click 1
deadline=$((SECONDS + kWaitSeconds))
until wine "$probe" "$kMainTitle" 0 >/dev/null && state && [ -n "$(value panel2)" ]; do
  wine "$probe" "$kMainTitle" 0 >/dev/null || fail "the program ended: a click or a key of the batch was carried out"
  [ $SECONDS -lt $deadline ] || fail "a click after the batch was not taken"
done
[ "$(value panel1)" = "中断" ] || fail "panel 1 reads '$(value panel1)' after Escape, not 中断"
[ "$(value file1)" = "$dumps" ] || fail "the source list holds $(value file1) files, not the folder's $dumps"
[ "$(value selected1)" = 0 ] || fail "$(value selected1) sources selected after the batch: a click was carried out"
written=0
for got in "$work"/dumps/zz-*.bmp; do
  [ -e "$got" ] || continue
  cmp -s "$batch_bmp" "$got" || fail "$(basename "$got") is not the whole bitmap"
  written=$((written + 1))
done
[ "$written" -gt 0 ] && [ "$written" -lt "$kBatchDumps" ] ||
  fail "$written of $kBatchDumps bitmaps written: the batch was not stopped midway"
echo "end_to_end: a batch of $kBatchDumps dumps answered the system, dropped the clicks and keys" \
  "given to it and stopped on Escape after $written whole bitmaps"

# Ctrl+Q ends the program.
wait_while "Enter did not close the version window" window_open "$kAboutTitle"
xdotool key ctrl+q
program_running() { window_open "$kMainTitle" || process_running; }
wait_while "Ctrl+Q did not end the program" program_running
trap - EXIT
wait "$app" || fail "the program ended with status $?"
echo "end_to_end: the version window closed on Enter, the program ended on Ctrl+Q"

[ -n "$shortcut" ] || . "$(dirname "${BASH_SOURCE[0]}")/end_to_end_dpi.sh"
