#!/bin/bash
# The Explorer verb "BMP に変換" under Wine, in a prefix of its own: the
# installer writes its class and verb key; the verb is created by the class
# the key names and invoked as Explorer invokes it (verb_handler_check),
# once for a selection of 24 dumps with Japanese names; the one
# rastrex-convert.exe it starts converts them all, each bitmap the Linux
# library's byte for byte. The program runs with a transcript in place of
# its boxes (RASTREX_CONVERT_TRANSCRIPT); it reads a name longer than
# MAX_PATH from its list. The removal leaves none of the keys.
#
# usage: verb_test.sh MSI CHECK_EXE HOST_XWD2BMP DUMPS_DIR WORK_DIR
# Run it through wine-gui-run.sh --script with RASTREX_GUI_PREFIX naming a
# fresh 64-bit prefix.
set -euo pipefail

msi=$1 check=$2 ref=$3 data=$4 work=$5
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"
fail() {
  echo "verb_test: $*" >&2
  exit 1
}
case $msi in
  *-win64.msi) view=64 ;;
  *) view=32 ;;
esac
readonly clsid='{CCBA71C9-DDBA-4A5C-82EB-E832BC883386}'
readonly verb_key='HKLM\Software\Classes\SystemFileAssociations\.xwd\shell\rastrex.convert'
readonly class_key="HKLM\\Software\\Classes\\CLSID\\$clsid"
rm -rf "$work"
mkdir -p "$work"

# The values the installer writes, as "KEY|VALUE NAME (- for the default)|TEXT IT HOLDS".
rows=(
  "$verb_key|ExplorerCommandHandler|$clsid"
  "$verb_key|MUIVerb|BMP"
  "$class_key\\InprocServer32|-|RASTREXVerb.dll"
  "$class_key\\InprocServer32|ThreadingModel|Apartment"
)
value_of() {
  local which=(/v "$2")
  [ "$2" != - ] || which=(/ve)
  wine reg query "$1" "${which[@]}" /reg:$view 2>/dev/null | tr -d '\r' || true
}
msiexec() {
  wine msiexec "$1" "$(winepath -w "$msi")" /qn /l*v "$(winepath -w "$work/$2.log")" </dev/null >/dev/null 2>&1
}

echo "== installed: the verb's keys"
msiexec /i install || fail "the package did not install"
for row in "${rows[@]}"; do
  IFS='|' read -r key name text <<<"$row"
  grep -qF "$text" <<<"$(value_of "$key" "$name")" || fail "after the install $key $name does not hold $text"
done

# The selection: dumps under a Japanese folder name, with Japanese names.
dumps="$work/選んだ ダンプ"
mkdir -p "$dumps" "$work/expected"
names=()
i=0
for f in "$data"/*.xwd; do
  [ "$i" -lt 24 ] || break
  # Whole dumps only: each must give its bitmap.
  "$ref" -q -o "$work/expected" "$f" 2>/dev/null || continue
  name="$(printf '%02d' "$i")-画面-$(basename "$f")"
  cp "$f" "$dumps/$name"
  names+=("$dumps/$name")
  i=$((i + 1))
done
wnames=()
for n in "${names[@]}"; do wnames+=("$(winepath -w "$n")"); done
# The bitmap of each dump, by the Linux library.
expected() { echo "$work/expected/$(basename "${1%.xwd}").bmp"; }
for n in "${names[@]}"; do "$ref" -q -o "$work/expected" "$n"; done

# Each run: how many bitmaps are there before (left from an earlier run,
# holding other bytes), the answer to the question, and the question the
# transcript must then hold ("-" none). The one summary counts every dump
# converted but those kept at the answer no.
runs=(
  "0|no|-"
  "3|no|3 個の BMP ファイルがすでにある。上書きするか?"
  "3|yes|3 個の BMP ファイルがすでにある。上書きするか?"
)
for run in "${runs[@]}"; do
  IFS='|' read -r there answer question <<<"$run"
  converted=${#names[@]}
  [ "$answer" = yes ] || converted=$((converted - there))
  echo "== the verb on ${#names[@]} dumps, $there bitmaps there, answered $answer"
  for n in "${names[@]}"; do rm -f "${n%.xwd}.bmp"; done
  for n in "${names[@]:0:$there}"; do echo "an older bitmap" >"${n%.xwd}.bmp"; done
  transcript="$work/transcript-$there-$answer.txt"
  RASTREX_CONVERT_TRANSCRIPT=$(winepath -w "$transcript") RASTREX_CONVERT_ANSWER=$answer \
    wine "$check" "${wnames[@]}" </dev/null || fail "the verb failed"
  [ "$(grep -c '^summary: ' "$transcript")" = 1 ] || fail "not one summary: $(cat "$transcript")"
  if [ "$question" = - ]; then
    ! grep -q '^question: ' "$transcript" || fail "a question with no bitmap there: $(cat "$transcript")"
  else
    grep -qxF "question: $question" "$transcript" || fail "no question '$question': $(cat "$transcript")"
  fi
  grep -qxF "summary: 変換した: $converted 個" "$transcript" ||
    fail "the summary does not count $converted converted: $(cat "$transcript")"
  k=0
  for n in "${names[@]}"; do
    if [ "$k" -lt "$there" ] && [ "$answer" = no ]; then
      [ "$(cat "${n%.xwd}.bmp")" = "an older bitmap" ] || fail "$(basename "$n")'s bitmap was replaced against the answer"
    else
      cmp -s "${n%.xwd}.bmp" "$(expected "$n")" || fail "$(basename "$n")'s bitmap differs from the library's"
    fi
    k=$((k + 1))
  done
done

echo "== the program reads a name longer than MAX_PATH from the list"
# (Wine's shell makes no item of such a name, so the program is started as
# the verb starts it. winepath cuts names at MAX_PATH: Wine's Z: is the root.)
part=$(printf 'long%.0s' {1..40})
long="$work/$part/$part/長い名前の画面.xwd"
mkdir -p "$(dirname "$long")"
cp "$data/xwd-root-d24.xwd" "$long"
wlong="Z:$(realpath "$long" | tr / '\\')"
[ "$(wc -m <<<"$wlong")" -gt 261 ] || fail "the long name is not longer than MAX_PATH: $wlong"
transcript="$work/transcript-long.txt"
dll=$(value_of "$class_key\\InprocServer32" - | sed -n 's/.*REG_SZ *//p')
program="${dll%\\*}\\rastrex-convert.exe"
(printf '\xff\xfe'; printf '%s\n' "$wlong" | iconv -f utf-8 -t utf-16le) >"$work/list.txt"
RASTREX_CONVERT_TRANSCRIPT=$(winepath -w "$transcript") wine "$program" --files-from=- \
  <"$work/list.txt" >/dev/null 2>&1 || fail "rastrex-convert.exe failed on the long name: $(cat "$transcript")"
"$ref" -q -o "$work/expected" "$long"
cmp -s "${long%.xwd}.bmp" "$(expected "$long")" || fail "the long name's bitmap differs from the library's"

echo "== a selection without a dump is told so"
printf 'not a dump' >"$work/メモ.xwd.txt"
transcript="$work/transcript-none.txt"
RASTREX_CONVERT_TRANSCRIPT=$(winepath -w "$transcript") wine "$check" "$(winepath -w "$work/メモ.xwd.txt")" </dev/null ||
  fail "the verb failed on a file that is no dump"
grep -q '^tell: .*XWD ファイルがない' "$transcript" || fail "no dump was not told: $(cat "$transcript")"
[ ! -e "$work/メモ.xwd.bmp" ] && [ ! -e "$work/メモ.bmp" ] || fail "a bitmap of what is no dump"

echo "== removed: none of the verb's keys"
msiexec /x remove || fail "the removal failed"
for row in "${rows[@]}"; do
  IFS='|' read -r key name text <<<"$row"
  ! wine reg query "$key" /reg:$view >/dev/null 2>&1 || fail "the removal left $key"
done
! wine reg query 'HKLM\Software\Classes\SystemFileAssociations\.xwd\shell' /reg:$view >/dev/null 2>&1 ||
  fail "the removal left the emptied shell key of .xwd"
echo "verb_test: registered, invoked once for ${#names[@]} dumps, converted as the library does, removed"
