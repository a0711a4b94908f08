#!/usr/bin/env bash
# Installs, from Debian's packages, whatever this project needs and the
# machine lacks, a group at a time (scripts/lib/packages.sh): a group that
# cannot be installed is told in one line with apt's reason, and the rest
# are installed all the same. Never fails for an install problem.
# Usage: deps.sh build|test|bench|package
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/lib/packages.sh
. scripts/lib/packages.sh
# To build, and to run the window: GIO for the trash, libpng for the
# thumbnails, a font with the Japanese texts, Qt's Japanese button texts,
# and a virtual display for machines without one.
build=(cmake g++ make pkg-config libgtest-dev qt6-base-dev libgl-dev libcli11-dev libglib2.0-dev libpng-dev
  fonts-ipafont-gothic qt6-translations-l10n xvfb xauth)
# To build the Debian package.
package=(dpkg-dev file gzip lintian)
# To test: what checks the package, GNU parallel for the README's runs over
# several machines, and a desktop's thumbnail service (tumbler, on a private
# session bus) that runs the thumbnailer.
tools=(binutils "${package[@]}" desktop-file-utils appstream bash-completion man-db parallel tumbler
  dbus-daemon dbus-bin libglib2.0-bin)
# The fuzz target: clang's libFuzzer.
fuzz=(clang libclang-rt-14-dev)
# To benchmark against the peers: ImageMagick, GraphicsMagick, ffmpeg and
# netpbm read the same dumps.
bench=(imagemagick graphicsmagick ffmpeg netpbm)
case "${1:-build}" in
  build | test | bench | package) ;;
  *) echo "usage: $0 build|test|bench|package" >&2; exit 2 ;;
esac
pkg_install_group build "the compilers and libraries" "${build[@]}" || true
case "${1:-build}" in
  test)
    pkg_install_group tools "the test tools" "${tools[@]}" || true
    pkg_install_group fuzz "clang's fuzzer" "${fuzz[@]}" || true
    ;;
  bench) pkg_install_group bench "the peers of the benchmarks" "${bench[@]}" || true ;;
  package) pkg_install_group package "the packaging tools" "${package[@]}" || true ;;
esac
