#!/usr/bin/env bash
# rastrex-convert run as a file manager runs it from "Open With": GIO
# launches its desktop entry with several dumps for %F. The answers come
# from RASTREX_CONVERT_ANSWER (the program's test answers), so no one need
# press a button; the program's end is awaited on a pipe, never by time.
# Every bitmap is compared with xwd2bmp's of the same dump (the library's),
# an existing bitmap is kept ("no"), and the summary counts the cut dump.
# Exits 77 (skipped) without gio.
# Usage: open_with_test.sh DESKTOP_ENTRY PROGRAM XWD2BMP SAMPLE_DUMP
set -uo pipefail
entry=$1 program=$2 xwd2bmp=$3 sample=$4
command -v gio >/dev/null || { echo "SKIP: gio is not installed (Debian package libglib2.0-bin)"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }
mkdir -p "$work/data/applications" "$work/bin" "$work/shots/フォルダー" "$work/ref"
cp "$entry" "$work/data/applications/"
mkfifo "$work/ended"
# The program under the name the entry runs, telling its exit status on the pipe.
cat >"$work/bin/rastrex-convert" <<WRAPPER
#!/bin/sh
"$program" "\$@" >"$work/summary.txt" 2>"$work/errors.txt"
echo \$? >"$work/ended"
WRAPPER
chmod +x "$work/bin/rastrex-convert"

files=()
for i in $(seq 1 20); do
  cp "$sample" "$work/shots/shot $i.xwd"
  files+=("$work/shots/shot $i.xwd")
done
cp "$sample" "$work/shots/フォルダー/画面.xwd"
files+=("$work/shots/フォルダー/画面.xwd")
head -c 2000 "$sample" >"$work/shots/cut.xwd"
files+=("$work/shots/cut.xwd")
printf 'old' >"$work/shots/shot 3.bmp"

env PATH="$work/bin:$PATH" HOME="$work" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" \
  RASTREX_CONVERT_ANSWER=no QT_QPA_PLATFORM=offscreen \
  gio launch "$work/data/applications/rastrex-convert.desktop" "${files[@]}" || fail "gio launch failed"
status=$(cat "$work/ended")
cat "$work/summary.txt"
[ "$status" = 1 ] || fail "exit status $status, not 1 (a dump was cut short)"

for dump in "${files[@]}"; do
  bitmap=${dump%.xwd}.bmp
  [ "$dump" != "$work/shots/shot 3.xwd" ] || continue
  rm -rf "$work/ref" && mkdir "$work/ref"
  "$xwd2bmp" -q -o "$work/ref" "$dump"
  expected=$(basename "$bitmap")
  cmp -s "$bitmap" "$work/ref/$expected" || fail "$bitmap is not the library's bitmap of $dump"
done
[ "$(cat "$work/shots/shot 3.bmp")" = old ] || fail "the existing bitmap was replaced after 'no'"
grep -qx '変換した: 20 個' "$work/summary.txt" || fail "the summary does not count 20 converted"
grep -qx '途中で切れていた (黒で埋めて変換した): 1 個' "$work/summary.txt" || fail "the summary does not count the cut dump"
grep -qx '上書きせずに残した BMP ファイル: 1 個' "$work/summary.txt" || fail "the summary does not count the kept bitmap"
grep -q "^$work/shots/cut.xwd は途中で切れているぞ。" "$work/summary.txt" || fail "the summary does not name the cut dump"
exit $failed
