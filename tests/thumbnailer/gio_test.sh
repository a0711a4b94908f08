#!/bin/bash
# A file manager's view of a dump: the desktop's thumbnail service (tumbler)
# is asked for its thumbnail over D-Bus, runs rastrex-thumbnailer through
# rastrex.thumbnailer, and GIO then names the thumbnail of the dump
# (thumbnail::path), a PNG of the size expected (the dump's own below 128
# pixels, the normal thumbnails' size). All in a private
# session bus and private home, cache and data folders. Exits 77 (skipped)
# where the machine has no thumbnail service or D-Bus tools.
# usage: gio_test.sh PROGRAM_DIR THUMBNAILER_ENTRY DUMP "WIDTH x HEIGHT"
set -euo pipefail
program_dir=$(cd "$1" && pwd) entry=$2 dump=$3
export SIZE=$4
skip=77
for tool in gio gdbus dbus-run-session dbus-monitor file; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit $skip; }
done
[ -n "$(ls /usr/share/dbus-1/services/*umbler* 2>/dev/null)" ] ||
  { echo "SKIP: no thumbnail service (tumbler) is installed"; exit $skip; }

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export PATH="$program_dir:$PATH"
mkdir -p "$HOME" "$XDG_DATA_HOME/thumbnailers"
cp "$entry" "$XDG_DATA_HOME/thumbnailers/"
cp "$dump" "$work/shot.xwd"
export WORK=$work

dbus-run-session -- bash -euo pipefail -c '
  uri="file://$WORK/shot.xwd"
  # The service says Finished once it has tried every file of a request:
  # the monitor is listening before the request goes out.
  # (The file exists before tail follows it, whenever the monitor starts.)
  : >"$WORK/signals"
  dbus-monitor --session "type=signal,interface=org.freedesktop.thumbnails.Thumbnailer1" >>"$WORK/signals" 2>&1 &
  timeout 60 grep -q -m1 NameAcquired <(tail -f "$WORK/signals")
  # The last argument typed: gdbus guesses a bare 0 to be an int32 when the
  # service has not yet answered its introspection, and the call is refused.
  gdbus call --session --dest org.freedesktop.thumbnails.Thumbnailer1 \
    --object-path /org/freedesktop/thumbnails/Thumbnailer1 \
    --method org.freedesktop.thumbnails.Thumbnailer1.Queue \
    "[\"$uri\"]" "[\"image/x-xwindowdump\"]" normal default "uint32 0" >/dev/null
  timeout 60 grep -q -m1 "member=Finished" <(tail -f "$WORK/signals")
  grep -q "member=Error" "$WORK/signals" && { echo "the service reported an error:"; cat "$WORK/signals"; exit 1; }
  thumb=$(gio info -a thumbnail::path "$uri" | sed -n "s/^ *thumbnail::path: //p")
  [ -n "$thumb" ] || { echo "GIO names no thumbnail of $uri"; gio info -a "thumbnail::*" "$uri"; exit 1; }
  echo "thumbnail: $thumb: $(file -b "$thumb")"
  file -b "$thumb" | grep -q "^PNG image data, $SIZE," || { echo "not a PNG of $SIZE"; exit 1; }
'
