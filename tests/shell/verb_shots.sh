#!/bin/bash
# The pictures of rastrex-convert.exe under Wine for the README: the
# overwrite question, the progress window (the program held still by
# SIGSTOP while it is taken) and the summary, of a selection of 1500 dumps,
# three of whose bitmaps are there already, with a dump cut short and a
# file that is no dump among them.
# usage: verb_shots.sh BIN_DIR PROBE_EXE SAMPLES_DIR OUT_DIR
# Run it through wine-gui-run.sh --script (scripts/screenshots.sh does).
set -euo pipefail
bin=$1 probe=$2 samples=$3 out=$4
readonly kTitle="BMP に変換" kWaitSeconds=120 kPollSeconds=0.2
fail() {
  echo "verb_shots: $*" >&2
  exit 1
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
wine "$probe" --ui-font "IPAPGothic" || echo "verb_shots: no Japanese font for the message boxes" >&2

dumps="$work/スクリーン ダンプ"
mkdir -p "$dumps"
for i in $(seq -w 1 1500); do ln "$samples/desktop-xvfb24.xwd" "$dumps/画面-$i.xwd"; done
head -c 100000 "$samples/desktop-xvfb24.xwd" >"$dumps/画面-途中まで.xwd"
echo "not a dump" >"$dumps/メモ.xwd"
for i in 0001 0002 0003; do echo "an older bitmap" >"$dumps/画面-$i.bmp"; done
# (Wine's drive Z: is the root: no winepath for each of them.)
(printf '\xff\xfe'; for f in "$dumps"/*.xwd; do f=$(realpath "$f"); echo "Z:${f//\//\\}"; done |
  iconv -f utf-8 -t utf-16le) >"$work/list.txt"

# A picture of the window at `rect` once two captures in a row agree.
shoot() {
  local left top width height a="$work/a.png" b="$work/b.png" deadline=$((SECONDS + kWaitSeconds))
  read -r left top width height <<<"$1"
  import -window root -crop "${width}x${height}+${left}+${top}" +repage "$a"
  while :; do
    sleep "$kPollSeconds"
    import -window root -crop "${width}x${height}+${left}+${top}" +repage "$b"
    cmp -s "$a" "$b" && break
    [ $SECONDS -lt $deadline ] || fail "the window never stopped changing"
    mv "$b" "$a"
  done
  mv "$b" "$2"
  echo "verb_shots: $2"
}
# The place of the window titled kTitle once it is other than `$1`.
next_rect() {
  local rect deadline=$((SECONDS + kWaitSeconds))
  while :; do
    rect=$(wine "$probe" "$kTitle" "$kWaitSeconds" | tr -d '\r')
    [ "$rect" = "$1" ] || { echo "$rect"; return; }
    [ $SECONDS -lt $deadline ] || fail "the window stayed as it was"
    sleep "$kPollSeconds"
  done
}
focus_desktop() {
  local desktop
  desktop=$(xdotool search --onlyvisible --name 'Wine desktop' | head -1)
  xdotool windowfocus --sync "$desktop"
}

wine "$bin/rastrex-convert.exe" --files-from=- <"$work/list.txt" &
program=$!
question=$(next_rect "")
shoot "$question" "$out/windows-convert-question.png"
focus_desktop
xdotool key Return  # No, the default: the three bitmaps are kept
progress=$(next_rect "$question")
kill -STOP "$program"
shoot "$progress" "$out/windows-convert-progress.png"
kill -CONT "$program"
summary=$(next_rect "$progress")
shoot "$summary" "$out/windows-convert-summary.png"
focus_desktop
xdotool key Return
wait "$program" || true
