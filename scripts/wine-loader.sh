# Sourced by the scripts that run Windows programs under Wine. Debian's
# `wine` starts Wine's 32-bit loader whenever wine32 is installed, and that
# loader hands 64-bit programs on to the 64-bit one; a kernel built without
# 32-bit support cannot start it at all ("Exec format error"). There the
# 64-bit loader is put first on PATH under the names the Wine tools call
# (`wine`, and `wine-stable` for wineboot and its kin), and
# wine_runs_32bit=0 tells the caller that 32-bit programs cannot be run.
# Takes the folder for the two small scripts as its one argument.
wine_runs_32bit=1
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  wine_runs_32bit=0
  mkdir -p "$1"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$1/$name"
    chmod +x "$1/$name"
  done
  export PATH="$1:$PATH"
  export WINELOADER=/usr/lib/wine/wine64
fi
