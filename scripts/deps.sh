#!/usr/bin/env bash
# Installs, from Debian's packages, whatever this project needs and the
# machine lacks. Usage: deps.sh build|test|bench|package
set -euo pipefail
# To build, and to run the window: GIO for the trash, libpng for the
# thumbnails, a font with the
# Japanese texts, Qt's Japanese button texts, and a virtual display for
# machines without one.
build=(cmake g++ make pkg-config libgtest-dev qt6-base-dev libgl-dev libcli11-dev libglib2.0-dev libpng-dev
  fonts-ipafont-gothic qt6-translations-l10n xvfb xauth)
# To build the Debian package.
package=(dpkg-dev file gzip)
# To test: the sanitizers and fuzzer, what checks the package, GNU parallel
# for the README's runs over several machines, and a desktop's thumbnail
# service (tumbler, on a private session bus) that runs the thumbnailer.
test=(clang libclang-rt-14-dev binutils "${package[@]}" lintian desktop-file-utils appstream
  bash-completion man-db parallel tumbler dbus-daemon dbus-bin libglib2.0-bin)
# To benchmark against the peers: ImageMagick, GraphicsMagick, ffmpeg and
# netpbm read the same dumps.
bench=(imagemagick graphicsmagick ffmpeg netpbm)
case "${1:-build}" in
  build) want=("${build[@]}") ;;
  test) want=("${build[@]}" "${test[@]}") ;;
  bench) want=("${build[@]}" "${bench[@]}") ;;
  package) want=("${build[@]}" "${package[@]}" lintian) ;;
  *) echo "usage: $0 build|test|bench|package" >&2; exit 2 ;;
esac
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
