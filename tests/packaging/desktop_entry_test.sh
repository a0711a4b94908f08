#!/usr/bin/env bash
# rastrex-convert's desktop entry: valid, offered for dumps in "Open With",
# hidden from the menu; and once installed in a private data folder, listed
# by GIO (as the file managers ask it) for the dumps' type.
# Exits 77 (skipped) when a tool it needs is missing, saying which.
# Usage: desktop_entry_test.sh validate|gio DESKTOP_ENTRY PROGRAM
set -uo pipefail
mode=$1 entry=$2 program=$3
skip=77
failed=0
fail() { echo "FAIL: $*"; failed=1; }
need() {
  command -v "$1" >/dev/null ||
    { echo "SKIP: $1 is not installed (Debian package $2, in scripts/deps.sh's tools)"; exit $skip; }
}

case $mode in
validate)
  need desktop-file-validate desktop-file-utils
  desktop-file-validate "$entry" || fail "desktop-file-validate"
  # What the file managers go by, each key as the program expects it.
  for line in 'Type=Application' 'Exec=rastrex-convert %F' 'NoDisplay=true' 'Terminal=false' \
    'MimeType=image/x-xwindowdump;'; do
    grep -qxF "$line" "$entry" || fail "no line '$line'"
  done
  grep -q '^Name\[ja\]=.*変換' "$entry" || fail "no Japanese name"
  ;;
gio)
  need gio libglib2.0-bin
  need update-desktop-database desktop-file-utils
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/data/applications" "$work/bin" "$work/config"
  # Installed as the package installs it; GLib lists only entries whose
  # program is found on PATH, and reads the types from the folder's cache,
  # which the package's trigger writes.
  cp "$entry" "$work/data/applications/"
  ln -s "$program" "$work/bin/rastrex-convert"
  update-desktop-database "$work/data/applications"
  run() {
    env PATH="$work/bin:$PATH" HOME="$work" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" "$@"
  }
  listed=$(run gio mime image/x-xwindowdump) || fail "gio mime failed"
  echo "$listed"
  grep -qx $'\t'"rastrex-convert.desktop" <<<"$listed" || fail "gio mime image/x-xwindowdump does not list rastrex-convert.desktop"
  # Without the entry it is not listed: the listing above is the entry's doing.
  rm "$work/data/applications/rastrex-convert.desktop"
  update-desktop-database "$work/data/applications"
  ! run gio mime image/x-xwindowdump | grep -q rastrex-convert || fail "listed without its entry"
  ;;
*)
  echo "usage: $0 validate|gio DESKTOP_ENTRY PROGRAM" >&2
  exit 2
  ;;
esac
exit $failed
