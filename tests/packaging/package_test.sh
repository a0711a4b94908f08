#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks it: the files it
# holds, its relations, its desktop entry and metainfo, and lintian's verdict.
# Exits 77 (skipped) when a tool that builds or reads packages is missing.
# Usage: package_test.sh BUILD_DIR EXPECTED_FILES MULTIARCH APPSTREAM_ID
set -euo pipefail
build=$1 expected=$2 multiarch=$3 appstream_id=$4
skip=77

for tool in cpack dpkg-deb dpkg-shlibdeps file; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit $skip; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
debs=("$work"/rastrex_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "no rastrex_*.deb was written"; exit 1; }
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Files and links, without the folders.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }' |
  sort >"$work/files"
sed -e "s/@MULTIARCH@/$multiarch/g" -e "s/@APPSTREAM_ID@/$appstream_id/g" "$expected" | sort >"$work/expected"
diff -u "$work/expected" "$work/files" || fail "the package's files differ from $expected"

depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
# The libraries as shlibdeps finds them (GLib's for the trash, libpng's for
# the thumbnails), and Qt's Japanese texts for the buttons.
for lib in libc6 libstdc++6 libqt6widgets6 libglib2.0-0 libpng16-16; do
  [[ $depends == *"$lib "* ]] || fail "Depends lacks $lib: $depends"
done
[[ ", $depends," == *", qt6-translations-l10n,"* ]] || fail "Depends lacks qt6-translations-l10n: $depends"
# A Japanese font, any of three: without one the window's texts are boxes.
[[ ", $depends," == *", fonts-ipafont-gothic | fonts-japanese-gothic | fonts-noto-cjk,"* ]] ||
  fail "Depends lacks a Japanese font: $depends"
[[ $depends != *rastrex* ]] || fail "the package depends on itself: $depends"
# Nothing of a desktop is needed, nor recommended.
[[ -z $recommends ]] || fail "the package recommends more than it needs: $recommends"
dpkg-deb -e "$deb" "$work/control"
[ ! -e "$work/control/postinst" ] || fail "the package has a postinst script"
grep -qx "activate-noawait ldconfig" "$work/control/triggers" || fail "no ldconfig trigger"

dpkg-deb -x "$deb" "$work/root"
grep -qx "License: Expat" "$work/root/usr/share/doc/rastrex/copyright" ||
  fail "the copyright file names no licence"
if command -v desktop-file-validate >/dev/null; then
  for desktop in rastrex.desktop rastrex-convert.desktop; do
    desktop-file-validate "$work/root/usr/share/applications/$desktop" ||
      fail "desktop-file-validate $desktop"
  done
else
  echo "desktop-file-validate is not installed: the desktop entry is not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$work/root/usr/share/metainfo/$appstream_id.metainfo.xml" ||
    fail "appstreamcli validate"
else
  echo "appstreamcli is not installed: the metainfo is not validated"
fi
if command -v lintian >/dev/null; then
  lintian --allow-root "$deb" >"$work/lintian.log" 2>&1 || true
  cat "$work/lintian.log"
  ! grep -q '^E: ' "$work/lintian.log" || fail "lintian reports errors"
else
  echo "lintian is not installed: the package is not linted"
fi
exit $failed
