#!/usr/bin/env bash
# Installs what is missing, builds the programs (not the tests or the
# benchmarks), and opens the converter window on a scratch copy of samples/,
# so the checkout stays as it is (or, without the window program, converts
# that copy with xwd2bmp).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=(RASTREX)
grep -q '^RASTREX_BUILD_APP:BOOL=ON' build/CMakeCache.txt && targets+=(rastrex)
grep -q '^RASTREX_BUILD_CLI:BOOL=ON' build/CMakeCache.txt && targets+=(xwd2bmp)
cmake --build build -j"$(nproc)" --target "${targets[@]}"

root=$PWD
scratch="${XDG_RUNTIME_DIR:-/tmp}/rastrex-samples"
rm -rf "$scratch"
mkdir -p "$scratch"
cp -R samples/. "$scratch/"
if [ -x build/bin/rastrex ]; then
  echo "Opening the window on $scratch (a copy of samples/; its bitmaps are written there)."
  cd "$scratch" && exec "$root/build/bin/rastrex"
elif [ -x build/bin/xwd2bmp ]; then
  echo "Converting $scratch (a copy of samples/) with xwd2bmp."
  exec build/bin/xwd2bmp -v "$scratch"
else
  echo "Nothing to run yet: neither build/bin/rastrex nor build/bin/xwd2bmp was built." >&2
  exit 1
fi
