# Sourced by end_to_end.sh once the program has ended: rastrex.exe at 96 and
# 144 dots per inch (the prefix's LogPixels, read by each program as it
# starts) on the 1024x768 screen. Both windows must open wholly inside the
# work area; with a screenshot folder, a picture of the whole screen with
# the main window at each size and of the version window at 144 dpi.

# The prefixes of these tests run at 96 dpi, Wine's own size.
desktop_key='HKCU\Control Panel\Desktop'
restore_logpixels() { wine reg add "$desktop_key" /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 || true; }

# Whether the rectangle $1 ("left top width height") lies inside $2.
inside() {
  local l t w h wl wt ww wh
  read -r l t w h <<<"${1//$'\r'/}"
  read -r wl wt ww wh <<<"${2//$'\r'/}"
  [ "$l" -ge "$wl" ] && [ "$t" -ge "$wt" ] && [ $((l + w)) -le $((wl + ww)) ] && [ $((t + h)) -le $((wt + wh)) ]
}

work_area=$(wine "$probe" --work-area) || fail "no work area"
for dpi in 96 144; do
  wine reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null || fail "cannot set $dpi dpi"
  trap 'restore_logpixels; kill "$app" 2>/dev/null || true' EXIT
  wine "$bin/rastrex.exe" &
  app=$!
  main=$(wine "$probe" "$kMainTitle" "$kWaitSeconds") || fail "at $dpi dpi the main window did not appear"
  inside "$main" "$work_area" || fail "at $dpi dpi the main window ($main) is not inside the work area ($work_area)"
  xdotool windowfocus --sync "$desktop"
  # A click on the caption makes the new window the one the keys reach.
  read -r l t w _ <<<"${main//$'\r'/}"
  xdotool mousemove $((l + w / 2)) $((t + 12)) click 1
  [ -z "$shots" ] || shoot "0 0 1024 768" "$shots/windows-screen-${dpi}dpi.png"
  xdotool key ctrl+v
  about=$(wine "$probe" "$kAboutTitle" "$kWaitSeconds") || fail "at $dpi dpi Ctrl+V opened no version window"
  inside "$about" "$work_area" || fail "at $dpi dpi the version window ($about) is not inside the work area ($work_area)"
  [ -z "$shots" ] || [ "$dpi" != 144 ] || shoot "$about" "$shots/windows-version-window-144dpi.png"
  echo "end_to_end: at $dpi dpi the main window ($main) and the version window ($about) lie inside the work area ($work_area)"
  xdotool key Return
  wait_while "at $dpi dpi Enter did not close the version window" window_open "$kAboutTitle"
  xdotool key ctrl+q
  wait_while "at $dpi dpi Ctrl+Q did not end the program" process_running
  trap - EXIT
  wait "$app" || fail "at $dpi dpi the program ended with status $?"
  restore_logpixels
done
