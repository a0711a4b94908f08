#!/bin/bash
# The thumbnail handler under Wine, in a prefix of its own: registered for
# the user by regsvr32 as the zip's README says, then for every user by the
# installer, where it is created by its CLSID as Explorer creates it and its
# thumbnails compared with the library's bitmaps (thumb_handler_check);
# each time removed again, leaving no key of its own. (Wine 8 looks up COM
# classes in HKLM only, not in the user's HKCU\Software\Classes: the keys
# regsvr32 writes are checked, not used.)
# usage: handler_test.sh WINEPREFIX DLL MSI CHECK_EXE DUMPS_DIR
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
dll=$2 msi=$3 check=$4 data=$5
unset DISPLAY WAYLAND_DISPLAY
fail() { echo "handler_test: $*" >&2; exit 1; }
rm -rf "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT

dumps=()
for f in xwd-root-d24 xwd-root-xy-d16 gm-mono xwd-window-d8 ffmpeg-rgb565be; do
  dumps+=("$(winepath -w "$data/$f.xwd")")
done
head -c 4000 "$data/xwd-root-d24.xwd" | tail -c 3000 >"$WINEPREFIX/not-a-dump.xwd"
notdump=$(winepath -w "$WINEPREFIX/not-a-dump.xwd")
# The keys the handler owns, in both registry views.
clsid='{D7839819-2297-4521-88F6-4CB5F93F1337}'
keys=("HKCU\\Software\\Classes\\CLSID\\$clsid" "HKLM\\Software\\Classes\\CLSID\\$clsid"
  'HKCU\Software\Classes\.xwd' 'HKLM\Software\Classes\.xwd')
left_keys() {
  for key in "${keys[@]}"; do
    for view in 32 64; do
      if wine reg query "$key" /reg:$view >/dev/null 2>&1; then echo "$key"; fi
    done
  done
}
check() { wine "$check" 256 "${dumps[@]}" --not-a-dump "$notdump" </dev/null || fail "$1: thumbnails differ"; }

echo "== regsvr32, for this user"
wine regsvr32 /s "$(winepath -w "$dll")" </dev/null || fail "regsvr32 failed"
wine reg query "HKCU\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /v ThreadingModel | grep -q Apartment ||
  fail "regsvr32 wrote no apartment threading model"
wine reg query "HKCU\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /ve | grep -qi 'RASTREXThumb.dll' ||
  fail "regsvr32 wrote no path of the DLL"
wine reg query "HKCU\\Software\\Classes\\.xwd\\ShellEx\\{e357fccd-a995-4576-b01f-234630154e96}" /ve | grep -qi "$clsid" ||
  fail "regsvr32 wrote no thumbnail handler for .xwd"
wine regsvr32 /s /u "$(winepath -w "$dll")" </dev/null || fail "regsvr32 /u failed"
[ -z "$(left_keys)" ] || fail "regsvr32 /u left $(left_keys)"

echo "== the installer, for every user"
log=$(winepath -w "$WINEPREFIX/install.log")
wine msiexec /i "$(winepath -w "$msi")" /qn /l*v "$log" </dev/null >/dev/null 2>&1 || fail "the installer failed"
for value in "PerceivedType.*image" "Content Type.*image/x-xwindowdump"; do
  wine reg query 'HKLM\Software\Classes\.xwd' /reg:64 | grep -q "$value" || fail "no $value for .xwd"
done
wine reg query "HKLM\\Software\\Classes\\.xwd\\ShellEx\\{e357fccd-a995-4576-b01f-234630154e96}" /reg:64 |
  grep -qi "$clsid" || fail "no thumbnail handler for .xwd"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 |
  grep -qi 'InstallLocation.*rastrex' || fail "no InstallLocation in the installed programs' entry"
check installer
wine msiexec /x "$(winepath -w "$msi")" /qn </dev/null >/dev/null 2>&1 || fail "the removal failed"
[ -z "$(left_keys)" ] || fail "the removal left $(left_keys)"
echo "handler_test: registered, compared and removed twice"
