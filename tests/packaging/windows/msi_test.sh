#!/bin/bash
# The Windows Installer package under Wine, in a prefix of its own: its
# summary in Japanese, an older release installed with the folder on the
# PATH, this release over it keeping the desktop shortcut the other
# architecture's package had, the same release again, the older one refused,
# the installed programs at work (xwd2bmp.exe converting a dump, the window
# started from its Start menu shortcut, in the user's Documents, by the
# end-to-end script), and a removal that leaves nothing of ours.
#
# usage: msi_test.sh MSI OLDER_MSI END_TO_END PROBE_EXE HOST_XWD2BMP DUMPS_DIR WORK_DIR
# Run it through wine-gui-run.sh --script with RASTREX_GUI_PREFIX naming a
# fresh prefix (a 64-bit one: the 32-bit package goes to Program Files (x86)).
set -euo pipefail

msi=$1 older=$2 e2e=$3 probe=$4 ref=$5 data=$6 work=$7
# No menu entries of the Linux desktop for the shortcuts made here.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"

fail() {
  echo "msi_test: $*" >&2
  exit 1
}

case $msi in
  *-win64.msi) folder="Program Files" ;;
  *) folder="Program Files (x86)" ;;
esac
drive="$WINEPREFIX/drive_c"
dir="$drive/$folder/rastrex"
# Windows puts the shortcuts of a per-machine install in the folders of all
# users, Wine in those of the installing one: either will do.
user=""
for d in "$drive"/users/*; do [ "$(basename "$d")" = Public ] || user=$d; done
[ -n "$user" ] || fail "no user folder in the prefix"
start_menus=("$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/rastrex.lnk"
  "$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/rastrex.lnk")
desktops=("$drive/users/Public/Desktop/rastrex.lnk" "$user/Desktop/rastrex.lnk")
# The first of these paths that exists, or nothing.
first_file() { for f in "$@"; do [ -e "$f" ] && { echo "$f"; return; }; done; true; }
# Wine links the user's Desktop and other folders to the Linux home folder:
# the test's shortcuts go into folders of the prefix instead.
for link in "$user"/*; do
  if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
done
readonly kUninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
readonly kEnvironment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
readonly kFiles="rastrex.exe RASTREX.DLL RASTREXVerb.dll rastrex-convert.exe xwd2bmp.exe rastrex.h README-windows.txt LICENSE.txt"

rm -rf "$work"
mkdir -p "$work"
product_code() { msiinfo export "$1" Property | sed -n 's/^ProductCode\t//p' | tr -d '\r'; }
new_code=$(product_code "$msi")
old_code=$(product_code "$older")
[ -n "$new_code" ] && [ "$new_code" != "$old_code" ] || fail "product codes '$new_code' and '$old_code'"

# msiexec ACTION MSI NAME [PROPERTY=VALUE...]: its status; a log in WORK_DIR/NAME.log.
msiexec() {
  local action=$1 package=$2 name=$3
  shift 3
  local status=0
  wine msiexec "$action" "$(winepath -w "$package")" /qn /l*v "$(winepath -w "$work/$name.log")" "$@" \
    </dev/null >/dev/null 2>&1 || status=$?
  echo "$status"
}
# The values of the program's entry in the installed programs, or nothing.
# (reg tells a missing key on its standard output, and by its status.)
reg_query() {
  local out
  out=$(wine reg query "$@" 2>/dev/null) && tr -d '\r' <<<"$out" || true
}
# The installed programs, whose entries Wine keeps in the registry view of
# the package's architecture.
arp_entry() { reg_query "$kUninstall\\$1" /reg:64; reg_query "$kUninstall\\$1" /reg:32; }
arp_names() { (reg_query "$kUninstall" /s /reg:64; reg_query "$kUninstall" /s /reg:32) | grep -Eci 'DisplayName[[:space:]]+REG_SZ[[:space:]]+rastrex' || true; }
system_path() { reg_query "$kEnvironment" /v PATH; }
expect_installed() {
  for f in $kFiles; do
    [ -f "$dir/$f" ] || fail "$1: no $folder/rastrex/$f"
  done
  [ -n "$(first_file "${start_menus[@]}")" ] || fail "$1: no Start menu shortcut"
}

echo "== the packages' summary"
# The summary's template names the package's language, Japanese.
for package in "$msi" "$older"; do
  msiinfo suminfo "$package" | grep -Eq '^Template: (x64|Intel);1041\r?$' ||
    fail "the summary of $(basename "$package") names another language: $(msiinfo suminfo "$package" | grep Template)"
done

echo "== the older release, with the folder on the PATH"
[ "$(msiexec /i "$older" install-older ADDTOPATH=1)" = 0 ] || fail "the older package did not install"
expect_installed "older release"
[ -z "$(first_file "${desktops[@]}")" ] || fail "a desktop shortcut nobody asked for"
[ "$(grep -ci 'rastrex' <<<"$(system_path)")" = 1 ] || fail "ADDTOPATH=1 put the folder on the PATH not once: $(system_path)"

echo "== this release over it, keeping the desktop shortcut of the other architecture's package; the PATH entry kept"
# A package of the other architecture keeps its options in the other
# registry view: as one installed with DESKTOPSHORTCUT=1 leaves them.
case $msi in
  *-win64.msi) other_view=32 ;;
  *) other_view=64 ;;
esac
wine reg add 'HKLM\Software\rastrex' /v DesktopShortcut /t REG_DWORD /d 1 /f /reg:$other_view >/dev/null
[ "$(msiexec /i "$msi" upgrade)" = 0 ] || fail "the upgrade failed"
wine reg delete 'HKLM\Software\rastrex' /f /reg:$other_view >/dev/null 2>&1 || true
expect_installed "upgrade"
[ -n "$(first_file "${desktops[@]}")" ] || fail "the other architecture's desktop shortcut was dropped"
[ -z "$(arp_entry "$old_code")" ] || fail "the older release is still registered"
entry=$(arp_entry "$new_code")
for want in "DisplayName[[:space:]]+REG_SZ[[:space:]]+rastrex$" \
  "Publisher[[:space:]]+REG_SZ[[:space:]]+the rastrex project$" \
  "DisplayVersion[[:space:]]+REG_SZ[[:space:]]+[0-9]+\.[0-9]+\.[0-9]+$" \
  "UninstallString[[:space:]]+REG_(EXPAND_)?SZ[[:space:]]+.*MsiExec.exe /X\{"; do
  grep -Eqi "$want" <<<"$entry" || fail "the installed programs' entry lacks $want: $entry"
done
# Its icon: Windows names it in the entry too, Wine only in the product's
# registration.
reg_query 'HKLM\Software\Classes\Installer\Products' /s | grep -Eqi 'ProductIcon.*rastrex\.ico' ||
  fail "the product has no icon"
[ "$(grep -ci 'rastrex' <<<"$(system_path)")" = 1 ] || fail "after the upgrade the PATH holds the folder not once: $(system_path)"

echo "== the same release again repairs and adds nothing"
rm "$dir/xwd2bmp.exe"
[ "$(msiexec /i "$msi" reinstall)" = 0 ] || fail "installing again failed"
expect_installed "repair"
[ "$(arp_names)" = 1 ] ||
  fail "more than one rastrex among the installed programs"

echo "== the older release refuses to replace this one"
[ "$(msiexec /i "$older" downgrade)" != 0 ] || fail "the older package installed over the newer"
[ -n "$(arp_entry "$new_code")" ] && [ -z "$(arp_entry "$old_code")" ] || fail "the refused downgrade changed the registration"
expect_installed "refused downgrade"

echo "== the installed xwd2bmp.exe converts a dump"
mkdir -p "$work/cli" "$work/expected"
cp "$data/xwd-root-d24.xwd" "$work/cli/shot.xwd"
"$ref" -q -o "$work/expected" "$work/cli/shot.xwd"
# (Not through cmd's search of the PATH: Wine's removal of the older
# release's entry leaves an empty one, at which Wine's cmd stops looking.)
(cd "$work/cli" && wine "C:\\$folder\\rastrex\\xwd2bmp.exe" shot.xwd </dev/null) || fail "the installed xwd2bmp failed"
cmp "$work/expected/shot.bmp" "$work/cli/shot.bmp" || fail "the installed xwd2bmp's bitmap differs from the Linux library's"

echo "== the shortcuts name no user's folder"
# Every user starts in their own Documents: a shortcut of a per-machine
# install names the program's folder, never the installing user's.
for lnk in "$(first_file "${start_menus[@]}")" "$(first_file "${desktops[@]}")"; do
  texts=$( (strings -a "$lnk"; strings -a -el "$lnk") | tr -d '\r')
  ! grep -qi 'users\\' <<<"$texts" || fail "$(basename "$lnk") names a user's folder: $(grep -i 'users\\' <<<"$texts")"
  grep -qi "$folder\\\\rastrex" <<<"$texts" || fail "$(basename "$lnk") does not start in the program's folder"
done

echo "== the window from its Start menu shortcut, in the user's Documents"
# The shortcut starts the window in the program's folder, where it turns
# to the Documents folder of the user, whatever folder it is started from:
# there the end-to-end run's dumps are.
rm -rf "$user/Documents"
ln -s "$work/end_to_end/dumps" "$user/Documents"
RASTREX_E2E_SHORTCUT="$(first_file "${start_menus[@]}")" bash "$e2e" "$dir" "$probe" "$ref" "$data" "$work/end_to_end"

echo "== removal"
[ "$(msiexec /x "$msi" remove)" = 0 ] || fail "the removal failed"
[ ! -e "$dir" ] || fail "the removal left $(ls -A "$dir" | tr '\n' ' ') in $folder/rastrex"
[ -z "$(first_file "${start_menus[@]}" "${desktops[@]}")" ] || fail "the removal left a shortcut"
[ -z "$(arp_entry "$new_code")" ] || fail "the removal left the entry among the installed programs"
! system_path | grep -qi rastrex || fail "the removal left the folder on the PATH: $(system_path)"
for view in 32 64; do
  ! wine reg query 'HKLM\Software\rastrex' /reg:$view >/dev/null 2>&1 || fail "the removal left HKLM\\Software\\rastrex"
done
# Nothing else either: no file and no registry entry of the prefix names
# rastrex once the server has written the registry out.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
left=$( (find "$WINEPREFIX" -iname '*rastrex*'; grep -il rastrex "$WINEPREFIX"/*.reg) 2>/dev/null || true)
[ -z "$left" ] || fail "the removal left what names rastrex: $left"
echo "msi_test: installed, upgraded, repaired, refused the downgrade, ran and removed"
