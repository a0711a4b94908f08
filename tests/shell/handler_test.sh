#!/bin/bash
# The thumbnail handler under Wine, in a prefix of its own: registered for
# the user by regsvr32 as the zip's README says, and for every user by the
# installer, where it is created by its CLSID as Explorer creates it and its
# thumbnails compared with the library's bitmaps (thumb_handler_check);
# each time removed again, leaving no key of its own, and the kinds of .xwd
# files another program set before as they were. (Wine 8 looks up COM
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
  'HKCU\Software\Classes\.xwd' 'HKLM\Software\Classes\.xwd'
  'HKCU\Software\Classes\SystemFileAssociations\.xwd' 'HKLM\Software\Classes\SystemFileAssociations\.xwd'
  'HKLM\Software\rastrex')
left_keys() {
  for key in "${keys[@]}"; do
    for view in 32 64; do
      if wine reg query "$key" /reg:$view >/dev/null 2>&1; then echo "$key"; fi
    done
  done
}
check() { wine "$check" 256 "${dumps[@]}" --not-a-dump "$notdump" </dev/null || fail "$1: thumbnails differ"; }

# The .xwd kinds, PerceivedType and Content Type, as "PERCEIVED|CONTENT"
# ("-" for one not set) under KEY.
kinds() {
  local out perceived content
  out=$(wine reg query "$1" /reg:64 2>/dev/null | tr -d '\r' || true)
  perceived=$(sed -n 's/^ *PerceivedType *REG_SZ *//p' <<<"$out")
  content=$(sed -n 's/^ *Content Type *REG_SZ *//p' <<<"$out")
  echo "${perceived:--}|${content:--}"
}
# Sets the kinds "PERCEIVED|CONTENT" under KEY as another program would
# ("-" sets none), or deletes the key for "-|-".
set_kinds() {
  wine reg delete "$1" /f /reg:64 >/dev/null 2>&1 || true
  [ "$2" != "-|-" ] || return 0
  local perceived=${2%%|*} content=${2#*|}
  [ "$perceived" = - ] || wine reg add "$1" /v PerceivedType /d "$perceived" /f /reg:64 >/dev/null
  [ "$content" = - ] || wine reg add "$1" /v "Content Type" /d "$content" /f /reg:64 >/dev/null
}
readonly ours="image|image/x-xwindowdump"
readonly foreign="document|image/x-xwd"
readonly user_type='HKCU\Software\Classes\.xwd' machine_type='HKLM\Software\Classes\.xwd'
handler_key() { echo "$1\\SystemFileAssociations\\.xwd\\ShellEx\\{e357fccd-a995-4576-b01f-234630154e96}"; }

# Each row: the registration (regsvr32 for this user, or the installer for
# every user), the key where another program set the kinds beforehand and
# what it set, then the kinds of the key the registration writes, once
# registered and once removed. Another program's kinds are never replaced
# nor removed; ours are written only where none were, and removed again.
rows=(
  "regsvr32|$user_type|-|-|$ours|-|-"
  "regsvr32|$user_type|$foreign|$foreign|$foreign"
  "regsvr32|$user_type|-|image/x-xwd|image|image/x-xwd|-|image/x-xwd"
  "regsvr32|$machine_type|$foreign|-|-|-|-"
  "msiexec|$machine_type|-|-|$ours|-|-"
  "msiexec|$machine_type|$foreign|$foreign|$foreign"
  "msiexec|$machine_type|document|-|document|image/x-xwindowdump|document|-"
)
compared=0
for row in "${rows[@]}"; do
  IFS='|' read -r tool before_key before_p before_c reg_p reg_c unreg_p unreg_c <<<"$row"
  echo "== $tool with $before_key holding $before_p|$before_c"
  set_kinds "$user_type" "-|-"
  set_kinds "$machine_type" "-|-"
  set_kinds "$before_key" "$before_p|$before_c"
  if [ "$tool" = regsvr32 ]; then
    written=$user_type
    # Twice, as users do: the second registration keeps what the first set as ours.
    wine regsvr32 /s "$(winepath -w "$dll")" </dev/null || fail "regsvr32 failed"
    wine regsvr32 /s "$(winepath -w "$dll")" </dev/null || fail "regsvr32 again failed"
    wine reg query "HKCU\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /v ThreadingModel | grep -q Apartment ||
      fail "regsvr32 wrote no apartment threading model"
    wine reg query "HKCU\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /ve | grep -qi 'RASTREXThumb.dll' ||
      fail "regsvr32 wrote no path of the DLL"
    wine reg query "$(handler_key 'HKCU\Software\Classes')" /ve | grep -qi "$clsid" ||
      fail "regsvr32 wrote no thumbnail handler for .xwd"
  else
    written=$machine_type
    log=$(winepath -w "$WINEPREFIX/install.log")
    wine msiexec /i "$(winepath -w "$msi")" /qn /l*v "$log" </dev/null >/dev/null 2>&1 || fail "the installer failed"
    wine reg query "$(handler_key 'HKLM\Software\Classes')" /reg:64 | grep -qi "$clsid" ||
      fail "no thumbnail handler for .xwd"
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s /reg:64 |
      grep -qi 'InstallLocation.*rastrex' || fail "no InstallLocation in the installed programs' entry"
    if [ "$compared" = 0 ]; then
      check installer
      compared=1
    fi
  fi
  [ "$(kinds "$written")" = "$reg_p|$reg_c" ] ||
    fail "$tool over $before_p|$before_c: $written holds $(kinds "$written"), not $reg_p|$reg_c"
  if [ "$tool" = regsvr32 ]; then
    wine regsvr32 /s /u "$(winepath -w "$dll")" </dev/null || fail "regsvr32 /u failed"
  else
    wine msiexec /x "$(winepath -w "$msi")" /qn </dev/null >/dev/null 2>&1 || fail "the removal failed"
  fi
  [ "$(kinds "$written")" = "$unreg_p|$unreg_c" ] ||
    fail "$tool removed over $before_p|$before_c: $written holds $(kinds "$written"), not $unreg_p|$unreg_c"
  [ "$(kinds "$before_key")" = "$before_p|$before_c" ] || [ "$before_key" = "$written" ] ||
    fail "$tool changed $before_key"
  # Nothing else of ours is left: the class, the handler, an emptied key.
  set_kinds "$before_key" "-|-"
  [ -z "$(left_keys)" ] || fail "$tool's removal left $(left_keys)"
done
echo "handler_test: registered, compared and removed, keeping other programs' kinds of .xwd"
