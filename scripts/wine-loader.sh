# Sourced by the scripts that run Windows programs under Wine. Debian's
# `wine` starts Wine's 32-bit loader whenever wine32 is installed, and that
# loader hands 64-bit programs on to the 64-bit one. How 32-bit programs run
# here is told to the caller in wine_32bit:
#   native    the kernel runs 32-bit code: Debian's `wine` as it is;
#   emulated  they run through qemu-i386 (Debian's qemu-user-static), which
#             binfmt_misc hands every 32-bit x86 program;
#   none      they cannot run at all (wine_runs_32bit=0).
# A kernel built without 32-bit support cannot start the 32-bit loader
# ("Exec format error"). There, as root, an i386 handler for
# /usr/bin/qemu-i386-static is registered with binfmt_misc (flag F: the
# emulator is opened once, so it serves in any mount namespace) unless one
# is registered already. Wherever 32-bit code is not native, the 64-bit
# loader is put first on PATH under the names the Wine tools call (`wine`,
# and `wine-stable` for wineboot and its kin): 64-bit programs then run
# natively (a 32-bit one that it hands to the 32-bit loader fails to start
# under qemu-i386; windows.sh runs none there).
# Takes the folder for the two small scripts as its one argument.
binfmt=/proc/sys/fs/binfmt_misc
# The handler binfmt_misc gives a 32-bit x86 program, if any: a file name.
i386_handler() {
  local f
  for f in "$binfmt"/*; do
    [ -f "$f" ] && [ "$(basename "$f")" != status ] && [ "$(basename "$f")" != register ] || continue
    grep -qx enabled "$f" && grep -q '^magic 7f454c4601010100000000000000000002000300' "$f" &&
      { echo "$f"; return; }
  done
}
wine_32bit=none
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  wine_32bit=native
  [ -z "$(i386_handler)" ] || wine_32bit=emulated
elif [ "$(id -u)" -eq 0 ] && [ -x /usr/bin/qemu-i386-static ]; then
  [ -f "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || true
  if [ -f "$binfmt/register" ] && [ -z "$(i386_handler)" ]; then
    echo "wine-loader.sh: this kernel cannot run 32-bit programs: registering" \
      "/usr/bin/qemu-i386-static with binfmt_misc ($binfmt/qemu-i386) to run them"
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
      >"$binfmt/register" || true
  fi
  ! /usr/lib/wine/wine --version >/dev/null 2>&1 || wine_32bit=emulated
fi
wine_runs_32bit=1
[ "$wine_32bit" != none ] || wine_runs_32bit=0
if [ "$wine_32bit" != native ]; then
  mkdir -p "$1"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$1/$name"
    chmod +x "$1/$name"
  done
  export PATH="$1:$PATH"
  export WINELOADER=/usr/lib/wine/wine64
fi
