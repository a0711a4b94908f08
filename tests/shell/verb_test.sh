#!/bin/bash
# The Explorer verb "BMP に変換" under Wine, in a prefix of its own: the
# installer writes its class and verb key; the verb is created by the class
# the key names and invoked as Explorer invokes it (verb_handler_check),
# once for a selection of 24 dumps with Japanese and long names; the one
# rastrex-convert.exe it starts converts them all, each bitmap the Linux
# library's byte for byte. The program runs with a transcript in place of
# its boxes (RASTREX_CONVERT_TRANSCRIPT). The removal leaves none of the
# keys.
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

# The selection: dumps under a Japanese folder name, some with Japanese
# names, one with a path longer than MAX_PATH (260).
dumps="$work/選んだ ダンプ"
long="$dumps/$(printf 'long%.0s' {1..40})"
mkdir -p "$dumps" "$long" "$work/expected"
names=()
i=0
for f in "$data"/ffmpeg-*.xwd; do
  [ "$i" -lt 23 ] || break
  name="$(printf '%02d' "$i")-画面-$(basename "$f")"
  cp "$f" "$dumps/$name"
  names+=("$dumps/$name")
  i=$((i + 1))
done
cp "$data/xwd-root-d24.xwd" "$long/長い名前の画面.xwd"
names+=("$long/長い名前の画面.xwd")
[ "${#names[@]}" -ge 20 ] || fail "only ${#names[@]} dumps for the selection"
[ "$(winepath -w "${names[-1]}" | wc -c)" -gt 260 ] || fail "the long name is not longer than MAX_PATH"
wnames=()
for n in "${names[@]}"; do wnames+=("$(winepath -w "$n")"); done
# The bitmap of each dump, by the Linux library.
expected() { echo "$work/expected/$(basename "${1%.xwd}").bmp"; }
for n in "${names[@]}"; do "$ref" -q -o "$work/expected" "$n"; done

# Each run: the bitmaps there before ("" none, or how many are left there
# from an earlier run, holding other bytes), the answer to the question, and
# what the transcript must then hold: the question asked or none, and the
# one summary.
runs=(
  "0|no|-|${#names[@]} 個"
  "3|no|3 個の BMP ファイルがすでにある。上書きするか?|3 個"
  "3|yes|3 個の BMP ファイルがすでにある。上書きするか?|${#names[@]} 個"
)
for run in "${runs[@]}"; do
  IFS='|' read -r there answer question converted <<<"$run"
  echo "== the verb on ${#names[@]} dumps, $there bitmaps there, answered $answer"
  for n in "${names[@]}"; do rm -f "${n%.xwd}.bmp"; done
  for n in "${names[@]:0:$there}"; do echo "an older bitmap" >"${n%.xwd}.bmp"; done
  transcript="$work/transcript-$there-$answer.txt"
  RASTREX_CONVERT_TRANSCRIPT=$(winepath -w "$transcript") RASTREX_CONVERT_OVERWRITE=$answer \
    wine "$check" "${wnames[@]}" </dev/null || fail "the verb failed"
  [ "$(grep -c '^summary: ' "$transcript")" = 1 ] || fail "not one summary: $(cat "$transcript")"
  if [ "$question" = - ]; then
    ! grep -q '^question: ' "$transcript" || fail "a question with no bitmap there: $(cat "$transcript")"
  else
    grep -qxF "question: $question" "$transcript" || fail "no question '$question': $(cat "$transcript")"
  fi
  grep -qF "$converted" "$transcript" || fail "the summary does not say $converted: $(cat "$transcript")"
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
