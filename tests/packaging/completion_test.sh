#!/usr/bin/env bash
# Bash completes xwd2bmp's options, their arguments and its dumps.
# Exits 77 (skipped) without the bash-completion package.
# Usage: completion_test.sh COMPLETION_FILE
set -uo pipefail
library=/usr/share/bash-completion/bash_completion
[ -r "$library" ] || { echo "SKIP: bash-completion is not installed"; exit 77; }
# shellcheck disable=SC1090
source "$library"
source "$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/runs" && touch "$work/a.xwd" "$work/B.XWD" "$work/notes.txt"
cd "$work" || exit 1

# What completing the last word of LINE offers, sorted, on one line.
complete_line() {
  local line=$1
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$line COMP_POINT=${#line}
  COMPREPLY=()
  _xwd2bmp 2>/dev/null
  [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

failed=0
while IFS='|' read -r line want; do
  got=$(complete_line "$line")
  [ "$got" = "$want" ] || { echo "FAIL: '$line' offers '$got', not '$want'"; failed=1; }
done <<'CASES'
xwd2bmp --ver|--verbose --version 
xwd2bmp --no|--no-clobber 
xwd2bmp --fi|--files-from= 
xwd2bmp --files-from |B.XWD a.xwd notes.txt runs 
xwd2bmp --output-d|--output-dir= 
xwd2bmp -o |runs 
xwd2bmp -j 1|1 
xwd2bmp |B.XWD a.xwd runs 
xwd2bmp -r n|
CASES
exit $failed
