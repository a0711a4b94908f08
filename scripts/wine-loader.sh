# shellcheck shell=bash disable=SC2034 # its variables are read by the scripts that source it
# Sourced by the scripts that run Windows programs under Wine. Debian's
# `wine` starts Wine's 32-bit loader whenever wine32 is installed, and that
# loader hands 64-bit programs on to the 64-bit one. How 32-bit x86 code
# runs here is asked of the kernel (scripts/lib/i386.sh, cpu32) unless the
# caller did; how Wine's 32-bit programs run is told in wine_32bit:
#   native    the kernel runs 32-bit code and 32-bit Wine is installed:
#             Debian's `wine` as it is;
#   emulated  32-bit code runs through qemu-i386 (a binfmt_misc handler),
#             and 32-bit Wine is installed;
#   none      they cannot run (wine32_reason says why).
# Wherever they do not run natively, the 64-bit loader is put first on PATH
# under the names the Wine tools call (`wine`, and `wine-stable` for
# wineboot and its kin): 64-bit programs then run natively (a 32-bit one
# that it hands to the 32-bit loader fails to start under qemu-i386).
# Takes the folder for the two small scripts as its one argument.
# For the tests: RASTREX_WINE32 names the 32-bit loader (/usr/lib/wine/wine).
if ! declare -F i386_probe_kernel >/dev/null; then
  # shellcheck source=scripts/lib/i386.sh
  . "$(dirname "${BASH_SOURCE[0]}")/lib/i386.sh"
fi
[ "${cpu32_probed:-0}" = 1 ] || i386_probe_kernel
wine32_loader=${RASTREX_WINE32:-/usr/lib/wine/wine}
wine_32bit=none
wine32_reason=""
if [ "$cpu32" = none ]; then
  wine32_reason=$cpu32_reason
elif [ ! -x "$wine32_loader" ]; then
  wine32_reason="32-bit Wine is not installed ($wine32_loader is missing)"
elif ! wine32_said=$("$wine32_loader" --version 2>&1); then
  wine32_reason="32-bit Wine does not start: $(printf '%s\n' "$wine32_said" | head -n1)"
else
  wine_32bit=$cpu32
fi
if [ "$wine_32bit" != native ]; then
  mkdir -p "$1"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$1/$name"
    chmod +x "$1/$name"
  done
  export PATH="$1:$PATH"
  export WINELOADER=/usr/lib/wine/wine64
fi
