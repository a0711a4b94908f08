#!/usr/bin/env bash
# Cross-builds RASTREX.DLL, xwd2bmp.exe and the window rastrex.exe for 32-bit
# and 64-bit Windows (build-windows/i686/ and build-windows/x86_64/, each with
# bin/RASTREX.DLL, bin/xwd2bmp.exe, bin/rastrex.exe, and for Windows users
# a zip and an installer, rastrex-VERSION-win32.msi or -win64.msi, made
# with wixl) and runs their tests under Wine in a Wine prefix of its own
# (build-windows/wineprefix): headless, except the window's, which get a
# private Xvfb each (build-windows/wineprefix-gui). The window's end-to-end
# test compares its bitmaps with those of a Linux build of the library
# (build-windows/host); the installer's test installs, upgrades, runs and
# removes it in a prefix of its own. The library and xwd2bmp are also built
# for 32-bit Linux (build-linux-i686/) and their tests run there.
# 32-bit programs run natively where the kernel runs 32-bit code, otherwise
# through qemu-i386 (see scripts/wine-loader.sh), which runs the Linux i686
# build steadily but not Wine's 32-bit programs (README.md, Windows).
# Installs what the machine lacks first: the mingw-w64 compilers, Wine with
# its 32-bit part (which needs the i386 architecture in dpkg), the 32-bit
# Linux compiler, qemu-user and the Japanese locale's source.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
want=(cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64 googletest libcli11-dev wine wine64 wine32:i386
  g++ xvfb xauth xdotool imagemagick fonts-ipafont-gothic msitools wixl g++-multilib
  qemu-user-static locales)
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc)
export WINEPREFIX="$PWD/build-windows/wineprefix"
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
# shellcheck source=scripts/wine-loader.sh
. scripts/wine-loader.sh "$PWD/build-windows/wine64-loader"
case "$wine_32bit" in
  native) echo "windows.sh: 32-bit programs run natively" ;;
  emulated) echo "windows.sh: 32-bit programs run through qemu-i386, 64-bit ones natively" ;;
esac

# The prefix is made once; its server is kept running while the tests run,
# which spares each test program the start of Wine's services, and is
# stopped at the end.
mkdir -p build-windows
# A prefix made where 32-bit programs could not run natively lacks their
# half: made again once they can.
if [ "$wine_32bit" = native ] && [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$WINEPREFIX/.made-with-32-bit" ]; then
  echo "The Wine prefix was made without 32-bit programs: making it again"
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$WINEPREFIX-gui"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix $WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "windows.sh: wineboot did not make $WINEPREFIX" >&2
    exit 1
  fi
  [ "$wine_32bit" != native ] || touch "$WINEPREFIX/.made-with-32-bit"
fi
wineserver -p
# As root, drive R: is a tmpfs of 1 MiB, which the library's tests fill to
# see a failed write leave no file (RASTREX_TEST_SMALL_DRIVE names it; the
# tests that need it are skipped without it).
small_drive="$PWD/build-windows/small-drive"
small_mounted=0
if [ "$(id -u)" -eq 0 ]; then
  mkdir -p "$small_drive"
  if mount -t tmpfs -o size=1048576 tmpfs "$small_drive" 2>/dev/null; then
    small_mounted=1
    ln -sfn "$small_drive" "$WINEPREFIX/dosdevices/r:"
    export RASTREX_TEST_SMALL_DRIVE=R:
  fi
fi
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ "$small_mounted" = 1 ]; then
    rm -f "$WINEPREFIX/dosdevices/r:"
    umount "$small_drive" 2>/dev/null || true
  fi
}
trap cleanup EXIT
# Wine's own services start here, not inside ctest: started by a test they
# would keep ctest's pipes open, and ctest would wait on them for ever.
wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true

# The Linux library and xwd2bmp, whose bitmaps the window's must equal.
echo "== Linux converter for the comparison"
cmake -S . -B build-windows/host -DCMAKE_BUILD_TYPE=Release -DRASTREX_BUILD_APP=OFF \
  -DRASTREX_BUILD_TESTS=OFF -DRASTREX_BUILD_BENCH=OFF >/dev/null
cmake --build build-windows/host -j"$jobs" --target xwd2bmp RASTREX

# The library, xwd2bmp and the window's logic as 32-bit x86 code (the SSSE3
# row paths, sizes with a 32-bit size_t) in a plain Linux build: natively or through
# qemu-i386, which runs such a program steadily, unlike Wine's 32-bit
# programs, which crash now and then under it.
if [ "$wine_runs_32bit" = 1 ]; then
  echo "== Linux i686"
  emulator=""
  [ "$wine_32bit" = native ] || emulator=/usr/bin/qemu-i386-static
  cmake -S . -B build-linux-i686 -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-linux-i686.cmake" -DRASTREX_I686_EMULATOR="$emulator" \
    -DRASTREX_BUILD_APP=OFF -DRASTREX_BUILD_BENCH=OFF -DRASTREX_BUILD_THUMBNAILS=OFF \
    -DRASTREX_STRICT_WARNINGS=ON >/dev/null
  cmake --build build-linux-i686 -j"$jobs"
  ctest --test-dir build-linux-i686 --output-on-failure -j"$jobs"
fi

for arch in i686 x86_64; do
  dir="build-windows/$arch"
  echo "== Windows $arch"
  # Test programs list their cases when ctest starts, not when they are
  # built, where Wine cannot run them.
  discovery=()
  [ "$arch" != i686 ] || [ "$wine_runs_32bit" = 1 ] ||
    discovery=(-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST)
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "${discovery[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw-$arch.cmake" \
    -DRASTREX_BUILD_APP=ON -DRASTREX_WINEPREFIX="$WINEPREFIX" -DRASTREX_STRICT_WARNINGS=ON \
    -DRASTREX_HOST_XWD2BMP="$PWD/build-windows/host/bin/xwd2bmp"
  cmake --build "$dir" -j"$jobs"
  if [ "$arch" = i686 ] && [ "$wine_runs_32bit" = 0 ]; then
    echo "windows.sh: this kernel cannot run 32-bit programs, so Wine cannot run the" \
      "i686 build; it is built and packed, and its tests are not run here" >&2
  elif [ "$arch" = i686 ] && [ "$wine_32bit" = emulated ]; then
    # Wine's 32-bit programs through qemu-i386 crash now and then, or fail
    # to start (README.md): only the checks of the files themselves run.
    # The library's and xwd2bmp's 32-bit code was tested by the Linux i686
    # build.
    echo "windows.sh: 32-bit programs are emulated here, which Wine's do not survive" \
      "steadily: of the i686 build only its export and import checks run" >&2
    ctest --test-dir "$dir" --output-on-failure -j"$jobs" -L pe_only -R '_needs_only_system_dlls$'
  else
    ctest --test-dir "$dir" --output-on-failure -j"$jobs"
  fi
  (cd "$dir" && cpack -G ZIP >/dev/null && ls -1 "$PWD"/rastrex-*.zip "$PWD"/rastrex-*.msi)
done
