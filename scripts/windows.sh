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
#
# Installs what the machine lacks first, a group at a time
# (scripts/lib/packages.sh): the mingw-w64 compilers, Wine, the tools of the
# tests, the 32-bit Linux compiler, and where the kernel runs 32-bit code,
# 32-bit Wine (which needs the i386 architecture in dpkg); where it does not,
# qemu-i386, which as root it registers with binfmt_misc for this run only
# (scripts/lib/i386.sh). A suite whose packages could not be installed is
# told NOT RUN with apt's reason; the others run all the same.
# Ends with one summary line a suite (unless scripts/test.sh called it,
# which gives the summary of every suite); exits 1 when a test failed.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
# shellcheck source=scripts/lib/packages.sh
. scripts/lib/packages.sh
# shellcheck source=scripts/lib/suites.sh
. scripts/lib/suites.sh
# shellcheck source=scripts/lib/i386.sh
. scripts/lib/i386.sh
suite_begin
jobs=$(nproc)
mkdir -p build-windows
i386_probe_dir=$PWD/build-windows

small_mounted=0
cleanup() {
  if command -v wineserver >/dev/null 2>&1; then
    wineserver -k 2>/dev/null || true
  fi
  if [ "$small_mounted" = 1 ]; then
    rm -f "$WINEPREFIX/dosdevices/r:"
    umount "$small_drive" 2>/dev/null || true
  fi
  i386_release
  suite_end
}
trap cleanup EXIT

pkg_install_group mingw "the mingw-w64 compilers" cmake make g++ googletest libcli11-dev \
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 ||
  true
pkg_install_group wine64 "Wine" wine wine64 || true
pkg_install_group wintools "the tools of the Windows tests" xvfb xauth xdotool imagemagick \
  fonts-ipafont-gothic msitools wixl locales || true
# The 32-bit Linux build builds GoogleTest from its source, as the mingw ones do.
pkg_install_group linux32 "the 32-bit Linux compiler" g++-multilib googletest || true

i386_probe_kernel
if [ "$cpu32" = none ]; then
  # Debian's package may register a handler of its own.
  pkg_install_group qemu "qemu-i386" qemu-user-static && i386_probe_kernel
  i386_register_qemu
elif [ "$cpu32" = native ] && ! pkg_installed wine32:i386; then
  # 32-bit Wine is of use only where the kernel runs its programs.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo=$(pkg_sudo) && $sudo dpkg --add-architecture i386 && pkg_update_needed
  fi
  pkg_install_group wine32 "32-bit Wine" wine32:i386 || true
fi

# Why the Windows suites cannot run here, if they cannot.
windows_missing=""
for group in mingw wine64 wintools; do
  windows_missing=$(pkg_group_missing "$group") && break
done

# The library, xwd2bmp and the window's logic as 32-bit x86 code (the SSSE3
# row paths, sizes with a 32-bit size_t) in a plain Linux build: natively or
# through qemu-i386, which runs such a program steadily, unlike Wine's
# 32-bit programs, which crash now and then under it. It needs no Wine.
if why=$(pkg_group_missing linux32); then
  suite_not_run "Linux i686" "$why"
elif [ "$cpu32" = none ]; then
  suite_not_run "Linux i686" "$cpu32_reason"
elif suite_build "Linux i686" build-linux-i686 -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-linux-i686.cmake" -DRASTREX_I686_EMULATOR= \
  -DRASTREX_BUILD_APP=OFF -DRASTREX_BUILD_BENCH=OFF -DRASTREX_BUILD_THUMBNAILS=OFF \
  -DRASTREX_STRICT_WARNINGS=ON; then
  note=""
  [ "$cpu32" = native ] || note="through qemu-i386"
  suite_ctest "Linux i686" build-linux-i686 "$note"
fi

# Both Windows builds, tested under Wine.
windows_suites() {
  export WINEPREFIX="$PWD/build-windows/wineprefix"
  export WINEDEBUG=-all
  unset DISPLAY WAYLAND_DISPLAY
  # shellcheck source=scripts/wine-loader.sh
  . scripts/wine-loader.sh "$PWD/build-windows/wine64-loader"
  # The prefix is made once; its server is kept running while the tests
  # run, which spares each test program the start of Wine's services, and
  # is stopped at the end. A prefix made where 32-bit programs could not run
  # natively lacks their half: made again once they can.
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
      suite_broken "Windows i686" "wineboot did not make $WINEPREFIX"
      suite_broken "Windows x86_64" "wineboot did not make $WINEPREFIX"
      return
    fi
    [ "$wine_32bit" != native ] || touch "$WINEPREFIX/.made-with-32-bit"
  fi
  wineserver -p
  # As root, drive R: is a tmpfs of 1 MiB, which the library's tests fill to
  # see a failed write leave no file (RASTREX_TEST_SMALL_DRIVE names it; the
  # tests that need it are skipped without it).
  small_drive="$PWD/build-windows/small-drive"
  if [ "${RASTREX_UID:-$(id -u)}" -eq 0 ]; then
    mkdir -p "$small_drive"
    if mount -t tmpfs -o size=1048576 tmpfs "$small_drive" 2>/dev/null; then
      small_mounted=1
      ln -sfn "$small_drive" "$WINEPREFIX/dosdevices/r:"
      export RASTREX_TEST_SMALL_DRIVE=R:
    fi
  fi
  # Wine's own services start here, not inside ctest: started by a test they
  # would keep ctest's pipes open, and ctest would wait on them for ever.
  wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true

  # The Linux library and xwd2bmp, whose bitmaps the window's must equal.
  echo "== Linux converter for the comparison"
  if ! { cmake -S . -B build-windows/host -DCMAKE_BUILD_TYPE=Release -DRASTREX_BUILD_APP=OFF \
    -DRASTREX_BUILD_TESTS=OFF -DRASTREX_BUILD_BENCH=OFF >/dev/null &&
    cmake --build build-windows/host -j"$jobs" --target xwd2bmp RASTREX; }; then
    suite_broken "Windows i686" "the Linux xwd2bmp for the comparison did not build"
    suite_broken "Windows x86_64" "the Linux xwd2bmp for the comparison did not build"
    return
  fi

  local arch dir name discovery
  for arch in i686 x86_64; do
    dir="build-windows/$arch"
    name="Windows $arch"
    # Test programs list their cases when ctest starts, not when they are
    # built, where Wine may not run them.
    discovery=()
    [ "$arch" != i686 ] || [ "$wine_32bit" = native ] ||
      discovery=(-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST)
    # Built and packed even where its tests cannot run.
    suite_build "$name" "$dir" -DCMAKE_BUILD_TYPE=Release "${discovery[@]}" \
      -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw-$arch.cmake" \
      -DRASTREX_BUILD_APP=ON -DRASTREX_WINEPREFIX="$WINEPREFIX" -DRASTREX_STRICT_WARNINGS=ON \
      -DRASTREX_HOST_XWD2BMP="$PWD/build-windows/host/bin/xwd2bmp" || continue
    if ! (cd "$dir" && cpack -G ZIP >/dev/null && ls -1 "$PWD"/rastrex-*.zip && { ls -1 "$PWD"/rastrex-*.msi 2>/dev/null || true; }); then
      suite_broken "$name" "cpack could not pack $dir"
      continue
    fi
    if [ "$arch" = x86_64 ] || [ "$wine_32bit" = native ]; then
      suite_ctest "$name" "$dir"
    elif [ "$cpu32" = emulated ]; then
      # Wine's 32-bit programs through qemu-i386 crash now and then, or fail
      # to start (README.md): only the checks of the files themselves run.
      # The library's and xwd2bmp's 32-bit code is tested by the Linux i686
      # build. They are run from tests/conv: from the top, ctest would first
      # have every test program list its cases under Wine, which fails here.
      suite_ctest "$name" "$dir/tests/conv" "only the checks of its files: 32-bit code is emulated here" \
        -L pe_only -R '_needs_only_system_dlls$'
    elif why=$(pkg_group_missing wine32); then
      suite_not_run "$name" "$why"
    else
      suite_not_run "$name" "$wine32_reason"
    fi
  done
}

if [ -n "$windows_missing" ]; then
  suite_not_run "Windows i686" "$windows_missing"
  suite_not_run "Windows x86_64" "$windows_missing"
else
  windows_suites
fi
[ "$suite_owner" = 0 ] || suite_summary "Linux i686" "Windows i686" "Windows x86_64"
