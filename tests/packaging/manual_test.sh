#!/usr/bin/env bash
# The manual page of xwd2bmp says what --help says: every option and exit
# status of the help is in the page, and the page renders without warnings.
# Usage: manual_test.sh XWD2BMP MANUAL_PAGE
set -euo pipefail
program=$1 page=$2
help=$("$program" --help)
# The page as text, with roff's escaped hyphens plain.
text=$(sed 's/\\-/-/g' "$page")
failed=0
for option in $(grep -oE '(^|[ ,])--?[a-z][a-z-]*' <<<"$help" | tr -d ' ,' | sort -u); do
  grep -qe "$option" <<<"$text" || { echo "FAIL: $option is in --help, not in $page"; failed=1; }
done
for status in 0 1 2; do
  grep -qE "^ $status  " <<<"$help" || { echo "FAIL: --help names no exit status $status"; failed=1; }
  grep -qxF ".B $status" <<<"$text" || { echo "FAIL: $page names no exit status $status"; failed=1; }
done
if command -v man >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || { echo "FAIL: $page: $warnings"; failed=1; }
fi
exit $failed
