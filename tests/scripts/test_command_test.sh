#!/usr/bin/env bash
# The test command's decisions, on a copy of scripts/ with stub commands
# first on PATH: apt-get, dpkg-query and dpkg answer from files; cmake,
# ctest and cpack build nothing (ctest writes a JUnit file of made-up
# counts); the 32-bit probe, 32-bit Wine and binfmt_misc are stand-ins
# named by RASTREX_I386_PROBE, RASTREX_WINE32 and RASTREX_BINFMT.
# Each row sets up a machine, runs scripts/test.sh, and checks its exit
# status and what its output holds and lacks.
# Usage: test_command_test.sh SOURCE_DIR [K/N]: with K/N, the rows whose
# index is K modulo N, so that parts run side by side.
set -uo pipefail
source_dir=$1
part=${2:-0/1}
part_k=${part%/*} part_n=${part#*/}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}

# The stubs. $STUB is the folder of the current machine's state:
#   installed/PKG       installed packages;
#   uninstallable/PKG   apt-get install of PKG fails, the file its output;
#   update-fails        apt-get update fails this many more times;
#   kernel32            the kernel runs 32-bit code;
#   ctest/DIR           "TESTS FAILURES SKIPPED" of build folder DIR (/ as _);
#   build-fails/DIR     cmake --build DIR fails.
mkdir -p "$work/bin"
cat >"$work/bin/dpkg-query" <<'EOF'
#!/bin/bash
pkg=${!#}
[ -e "$STUB/installed/$pkg" ] && printf 'install ok installed'
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/bin/bash
case "$1" in
  --print-foreign-architectures) cat "$STUB/arches" 2>/dev/null ;;
  --add-architecture) echo "$2" >>"$STUB/arches" ;;
esac
EOF
cat >"$work/bin/apt-get" <<'EOF'
#!/bin/bash
echo "apt-get $*" >>"$STUB/apt.log"
if [ "$1" = update ]; then
  n=$(cat "$STUB/update-fails" 2>/dev/null || echo 0)
  if [ "$n" -gt 0 ]; then
    echo $((n - 1)) >"$STUB/update-fails"
    echo "E: Failed to fetch http://mirror/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    exit 100
  fi
  # The architectures whose lists apt has.
  cat "$STUB/arches" >"$STUB/listed-arches" 2>/dev/null
  exit 0
fi
pkgs=()
for a in "$@"; do case "$a" in -* | install) ;; *) pkgs+=("$a") ;; esac; done
for p in "${pkgs[@]}"; do
  if [ -e "$STUB/uninstallable/$p" ]; then cat "$STUB/uninstallable/$p"; exit 100; fi
  if [[ $p == *:i386 ]] && ! grep -qsx i386 "$STUB/listed-arches"; then
    echo "E: Unable to locate package $p"
    exit 100
  fi
done
for p in "${pkgs[@]}"; do touch "$STUB/installed/$p"; done
# Debian's qemu-user-static may register a handler as it is installed.
if [ -e "$STUB/installed/qemu-user-static" ] && [ -e "$STUB/qemu-registers" ]; then
  printf 'enabled\ninterpreter /usr/bin/qemu-i386-static\nmagic 7f454c4601010100000000000000000002000300\n' \
    >"$RASTREX_BINFMT/qemu-i386"
fi
# Wine's 32-bit loader comes with wine32.
[ ! -e "$STUB/installed/wine32:i386" ] || cp "$STUB/wine32" "$STUB/wine32-loader"
EOF
cat >"$work/bin/sudo" <<'EOF'
#!/bin/bash
echo "sudo $1" >>"$STUB/sudo.log"
exec "$@"
EOF
cat >"$work/bin/cmake" <<'EOF'
#!/bin/bash
if [ "$1" = --build ]; then
  [ ! -e "$STUB/build-fails/${2//\//_}" ] || exit 2
  exit 0
fi
while [ $# -gt 0 ]; do [ "$1" != -B ] || mkdir -p "$2"; shift; done
EOF
cat >"$work/bin/ctest" <<'EOF'
#!/bin/bash
while [ $# -gt 0 ]; do
  case "$1" in --test-dir) dir=$2 ;; --output-junit) junit=$2 ;; esac
  shift
done
tests=10 failures=0 skipped=1
[ ! -f "$STUB/ctest/${dir//\//_}" ] || read -r tests failures skipped <"$STUB/ctest/${dir//\//_}"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<testsuite name="x"\n\ttests="%s"\n\tfailures="%s"\n\tdisabled="0"\n\tskipped="%s"\n\thostname=""\n\t>\n</testsuite>\n' \
  "$tests" "$failures" "$skipped" >"$junit"
[ "$failures" -eq 0 ] || exit 8
EOF
cat >"$work/bin/cpack" <<'EOF'
#!/bin/bash
touch rastrex-0.1.0-win.zip
EOF
cat >"$work/bin/wineboot" <<'EOF'
#!/bin/bash
mkdir -p "$WINEPREFIX/dosdevices" && touch "$WINEPREFIX/system.reg"
EOF
# The 32-bit probe: `native` runs where the kernel runs 32-bit code; `any`
# also where a handler was registered and not taken away again (the stand-in
# of binfmt_misc makes the handler's file as the kernel would).
cat >"$work/bin/probe32" <<'EOF'
#!/bin/bash
echo "probe $1" >>"$STUB/probe.log"
[ ! -e "$STUB/kernel32" ] || exit 0
[ "$1" = any ] || exit 1
b=$RASTREX_BINFMT
if [ -s "$b/register" ] && [ ! -e "$b/rastrex-qemu-i386" ]; then
  printf 'enabled\ninterpreter /usr/bin/qemu-i386-static\nmagic 7f454c4601010100000000000000000002000300\n' \
    >"$b/rastrex-qemu-i386"
fi
for h in "$b"/*; do grep -qx enabled "$h" 2>/dev/null && exit 0; done
exit 1
EOF
printf '#!/bin/sh\necho "(stub) sleep $1"\n' >"$work/bin/sleep"
for cmd in wineserver wine mount umount; do printf '#!/bin/sh\nexit 0\n' >"$work/bin/$cmd"; done
chmod +x "$work/bin"/*

# The scripts, in a tree of their own where they make their build folders.
mkdir -p "$work/tree"
cp -R "$source_dir/scripts" "$work/tree/"

everything=(cmake g++ make pkg-config libgtest-dev qt6-base-dev libgl-dev libcli11-dev libglib2.0-dev libpng-dev
  fonts-ipafont-gothic qt6-translations-l10n xvfb xauth dpkg-dev file gzip lintian binutils desktop-file-utils
  appstream bash-completion man-db parallel tumbler dbus-daemon dbus-bin libglib2.0-bin clang libclang-rt-14-dev
  googletest g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
  binutils-mingw-w64-x86-64 wine wine64 xdotool imagemagick msitools wixl locales g++-multilib)
wine32_fails='The following packages have unmet dependencies:
 libwine:i386 : Depends: libgstreamer-plugins-base1.0-0:i386 (>= 1.0.0) but it is not installable
E: Unable to correct problems, you have held broken packages.'

# A fresh machine for one row: packages (all but the 32-bit ones installed
# unless "bare"), a kernel that runs 32-bit code unless "no32".
machine() {
  STUB=$work/machine-$1
  export STUB
  rm -rf "$STUB" "$work/tree/build"* "$work/tree/build-"*
  mkdir -p "$STUB/installed" "$STUB/uninstallable" "$STUB/ctest" "$STUB/build-fails" "$STUB/binfmt"
  touch "$STUB/binfmt/register" "$STUB/apt.log"
  [[ " $2 " == *" bare "* ]] || (cd "$STUB/installed" && touch -- "${everything[@]}")
  [[ " $2 " == *" no32 "* ]] || touch "$STUB/kernel32"
  # 32-bit Wine: a loader that starts, one that does not, or none.
  printf '#!/bin/sh\necho wine-8.0\n' >"$STUB/wine32"
  [[ " $2 " != *" wine32-broken "* ]] || printf '#!/bin/sh\necho "wine: could not load kernel32.dll, status c0000135"\nexit 1\n' >"$STUB/wine32"
  chmod +x "$STUB/wine32"
  [[ " $2 " != *" wine32-installed "* ]] || touch "$STUB/installed/wine32:i386"
  [[ " $2 " != *" wine32-uninstallable "* ]] || printf '%s\n' "$wine32_fails" >"$STUB/uninstallable/wine32:i386"
  [[ " $2 " != *" mingw-uninstallable "* ]] ||
    printf 'E: Unable to locate package g++-mingw-w64-i686-posix\n' >"$STUB/uninstallable/g++-mingw-w64-i686-posix"
  [[ " $2 " != *" mingw-uninstallable "* ]] || rm -f "$STUB/installed/g++-mingw-w64-i686-posix"
  [[ " $2 " != *" qemu-registers "* ]] || touch "$STUB/qemu-registers"
  [[ " $2 " != *" update-fails-twice "* ]] || echo 2 >"$STUB/update-fails"
  [[ " $2 " != *" update-fails-always "* ]] || echo 99 >"$STUB/update-fails"
  [[ " $2 " != *" asan-fails "* ]] || echo "40 2 0" >"$STUB/ctest/build-asan"
  [[ " $2 " != *" fuzz-does-not-build "* ]] || touch "$STUB/build-fails/build-fuzz"
  # Debian's qemu-user-static registers handlers of other machines too.
  if [[ " $2 " == *" arm-handler "* ]]; then
    printf 'enabled\ninterpreter /usr/bin/qemu-arm-static\nmagic 7f454c4601010100000000000000000002002800\n' \
      >"$STUB/binfmt/qemu-arm"
  fi
  if [[ " $2 " == *" foreign-handler "* ]]; then
    printf 'enabled\ninterpreter /usr/libexec/qemu-binfmt/i386-binfmt-P\nmagic 7f454c4601010100000000000000000002000300\n' \
      >"$STUB/binfmt/qemu-i386"
  fi
  [ ! -e "$STUB/installed/wine32:i386" ] || cp "$STUB/wine32" "$STUB/wine32-loader"
}

# run ROW MACHINE UID: runs scripts/test.sh on that machine as that user.
run() {
  machine "$1" "$2"
  (
    cd "$work/tree" || exit 1
    PATH="$work/bin:$PATH" RASTREX_UID=$3 RASTREX_WINE32="$STUB/wine32-loader" RASTREX_I386_PROBE="$work/bin/probe32" \
      RASTREX_BINFMT="$STUB/binfmt" RASTREX_QEMU_I386="$work/bin/wine" RASTREX_APT_RETRY_DELAY=0 \
      RASTREX_CI_STATE='' bash scripts/test.sh
  ) >"$STUB/out" 2>&1
  echo $? >"$STUB/status"
}

# ROW | MACHINE | UID | EXIT | OUTPUT HOLDS (;-separated) | OUTPUT LACKS | APT LOG HOLDS | APT LOG LACKS
index=-1
while IFS='|' read -r row setup uid want_status holds lacks apt_holds apt_lacks; do
  [ -n "$row" ] || continue
  index=$((index + 1))
  [ $((index % part_n)) = "$part_k" ] || continue
  # ROW=... runs that row alone.
  [ -z "${ROW:-}" ] || [ "$row" = "$ROW" ] || continue
  run "$row" "$setup" "$uid"
  failed_before=$failed
  failed=0
  status=$(cat "$STUB/status")
  [ "$status" = "$want_status" ] || fail "$row: exit status $status, not $want_status"
  last=$(tail -n1 "$STUB/out")
  [[ $last =~ ^[0-9]+\ passed,\ [0-9]+\ failed(,\ [0-9]+\ skipped)?$ ]] || fail "$row: last line '$last'"
  IFS=';' read -ra want <<<"$holds"
  for w in "${want[@]}"; do
    grep -qF -- "$w" "$STUB/out" || fail "$row: output lacks '$w'"
  done
  IFS=';' read -ra want <<<"$lacks"
  for w in "${want[@]}"; do
    [ -z "$w" ] || ! grep -qF -- "$w" "$STUB/out" || fail "$row: output holds '$w'"
  done
  IFS=';' read -ra want <<<"$apt_holds"
  for w in "${want[@]}"; do
    [ -z "$w" ] || grep -qF -- "$w" "$STUB/apt.log" || fail "$row: apt-get never ran '$w'"
  done
  IFS=';' read -ra want <<<"$apt_lacks"
  for w in "${want[@]}"; do
    [ -z "$w" ] || ! grep -qF -- "$w" "$STUB/apt.log" || fail "$row: apt-get ran '$w'"
  done
  # No handler registered here is left behind.
  for h in "$STUB/binfmt"/rastrex-*; do
    [ ! -e "$h" ] || [ "$(cat "$h")" = -1 ] || fail "$row: handler $h left registered"
  done
  [ "$failed" = 0 ] || { echo "--- output of $row:"; cat "$STUB/out"; }
  [ "$failed_before" = 0 ] || failed=1
done <<'ROWS'
all there|wine32-installed|0|0|Linux strict build   9 passed, 0 failed, 1 skipped;Linux i686           9 passed, 0 failed, 1 skipped;Windows i686         9 passed, 0 failed, 1 skipped;Windows x86_64       9 passed, 0 failed, 1 skipped;fuzz                 9 passed;ASan/UBSan           9 passed;54 passed, 0 failed, 6 skipped|NOT RUN;registering;through qemu;only the checks||apt-get update;qemu-user-static
wine32 fetched afresh|wine32-to-install|0|0|Windows i686         9 passed;Installing 32-bit Wine: wine32:i386|NOT RUN|apt-get update;wine32:i386|qemu-user-static
wine32 uninstallable|wine32-uninstallable update-fails-twice|0|0|MISSING 32-bit Wine (wine32:i386): libwine:i386 : Depends: libgstreamer-plugins-base1.0-0:i386 (>= 1.0.0) but it is not installable;Windows i686         NOT RUN: 32-bit Wine (wine32:i386) could not be installed: libwine:i386 : Depends;Linux i686           9 passed;Windows x86_64       9 passed;apt-get update failed (try 2 of 3);(stub) sleep 0;45 passed, 0 failed, 5 skipped|registering;try 3 of 3;Going on|wine32:i386|
index never fetched|wine32-uninstallable update-fails-always|0|0|try 3 of 3): Failed to fetch http://mirror/binary-i386/Packages.xz;Going on with the package lists apt has;(apt-get update: Failed to fetch;Windows i686         NOT RUN|try 4 of|wine32:i386|
wine32 broken|wine32-broken wine32-installed|0|0|Windows i686         NOT RUN: 32-bit Wine does not start: wine: could not load kernel32.dll;Linux i686           9 passed|registering||
kernel without 32-bit, root|no32|0|0|registering;Linux i686           9 passed, 0 failed, 1 skipped (through qemu-i386);Windows i686         9 passed, 0 failed, 1 skipped (only the checks of its files;Took the binfmt_misc handler|NOT RUN|qemu-user-static|wine32:i386
kernel without 32-bit, qemu's own handler|no32 qemu-registers|0|0|binfmt_misc runs them through /usr/bin/qemu-i386-static;Linux i686           9 passed, 0 failed, 1 skipped (through qemu-i386)|registering;Took the|qemu-user-static|wine32:i386
kernel without 32-bit, no root|no32|1000|0|Linux i686           NOT RUN: this kernel cannot run 32-bit x86 programs, and only root may register qemu-i386;Windows i686         NOT RUN: this kernel cannot run 32-bit x86 programs;Windows x86_64       9 passed|registering|qemu-user-static|wine32:i386
stale handler, native kernel|foreign-handler|0|0|runs 32-bit x86 programs natively, but binfmt_misc hands them to /usr/libexec/qemu-binfmt/i386-binfmt-P;(through qemu-i386);only the checks of its files|registering;NOT RUN||wine32:i386;qemu-user-static
arm handler, native kernel|arm-handler wine32-installed|0|0|32-bit x86 programs run natively;Windows i686         9 passed, 0 failed, 1 skipped|through qemu;only the checks||
no mingw|mingw-uninstallable wine32-installed|0|0|Windows i686         NOT RUN: the mingw-w64 compilers (g++-mingw-w64-i686-posix) could not be installed: Unable to locate package g++-mingw-w64-i686-posix;Windows x86_64       NOT RUN: the mingw-w64 compilers;Linux i686           9 passed|||
fresh machine, every package there|bare|0|0|Installing 32-bit Wine: wine32:i386;Windows i686         9 passed, 0 failed, 1 skipped;54 passed, 0 failed, 6 skipped|NOT RUN||
fresh machine|bare wine32-uninstallable|0|0|Installing the compilers and libraries;Installing clang's fuzzer;Installing the mingw-w64 compilers;Installing the 32-bit Linux compiler;Linux strict build   9 passed;Windows i686         NOT RUN: 32-bit Wine|FAILED|g++-multilib;libclang-rt-14-dev;wixl|
failing tests|asan-fails wine32-installed|0|1|ASan/UBSan           38 passed, 2 failed, 0 skipped;Windows x86_64       9 passed;83 passed, 2 failed, 5 skipped|||
suite not built|fuzz-does-not-build wine32-installed|0|1|fuzz                 FAILED: build-fuzz did not build (counted as 1 failed);Windows x86_64       9 passed;45 passed, 1 failed, 5 skipped|||
ROWS

# The probe itself: the 96-byte program runs where a program of the
# compiler's runs (where gcc can build one for 32-bit x86), and, with no
# handler of binfmt_misc in the way, the kernel's own way too.
if [ "$part_k" != 0 ]; then
  :
elif printf 'int main(void) { return 42; }\n' | gcc -m32 -x c - -o "$work/m32" 2>/dev/null; then
  "$work/m32" 2>/dev/null
  compiled=$(($? == 42))
  for how in any native; do
    (
      # shellcheck source=scripts/lib/i386.sh
      . "$source_dir/scripts/lib/i386.sh"
      [ "$how" = any ] || [ -z "$(i386_handlers)" ] || exit 2
      i386_probe_dir=$work
      i386_probe "$how"
    )
    probed=$?
    [ "$probed" = 2 ] || [ $((probed == 0)) = "$compiled" ] ||
      fail "the $how probe says $((probed == 0)) where a gcc -m32 program says $compiled"
  done
else
  echo "gcc -m32 builds nothing here: the probe is not compared with it"
fi

exit $((failed != 0))
