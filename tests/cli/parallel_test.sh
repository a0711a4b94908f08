#!/usr/bin/env bash
# The README's way of sharing one list of dumps among several xwd2bmp runs
# (on as many machines as share the file system), run here on one machine:
# GNU parallel hands each run a part of the list on its standard input.
# Exits 77 (skipped) without GNU parallel.
# Usage: parallel_test.sh XWD2BMP DUMP
set -uo pipefail
command -v parallel >/dev/null || { echo "SKIP: GNU parallel is not installed"; exit 77; }
program=$1 dump=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/shots" "$work/shots/line
end"
for i in 1 2 3 4 5 6 7; do cp "$dump" "$work/shots/f$i.xwd"; done
cp "$dump" "$work/shots/line
end/g.xwd"
printf 'short' >"$work/shots/bad.xwd"
cd "$work" || exit 1

# Converts every dump under shots/ in batches of 3, two at once; echoes the
# exit status and leaves the listing and the failures in files.
convert() {
  find shots -name '*.xwd' -print0 |
    parallel --will-cite --pipe --recend '\0' -N 3 -j2 \
      "$program" -v -0 --files-from=- >converted.txt 2>failed.txt
  echo $?
}

failed=0
check() { [ "$1" = "$2" ] || { echo "FAIL: $3: '$1', not '$2'"; failed=1; }; }

check "$(convert)" 1 "exit status with a bad dump (the number of batches that failed)"
check "$(cat failed.txt)" "shots/bad.xwd: not an XWD dump: the file ends inside the 100-byte header" "failures"
check "$(grep -c ' -> ' converted.txt)" 8 "listed conversions (a name holds a line end)"
for f in shots/f{1..7}.bmp "shots/line
end/g.bmp"; do
  cmp -s "$f" shots/f1.bmp || { echo "FAIL: $f is not the bitmap of the dump"; failed=1; }
done
rm shots/bad.xwd
check "$(convert)" 0 "exit status once every dump converts"
check "$(cat failed.txt)" "" "failures"
exit $failed
