#!/usr/bin/env bash
# Installs what is missing, builds everything, and opens the converter window
# in samples/ (or, without the window program, converts samples/ with xwd2bmp).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
root=$PWD
if [ -x build/bin/rastrex ]; then
  cd samples && exec "$root/build/bin/rastrex"
elif [ -x build/bin/xwd2bmp ]; then
  exec build/bin/xwd2bmp -v samples
else
  echo "Nothing to run yet: neither build/bin/rastrex nor build/bin/xwd2bmp was built." >&2
  exit 1
fi
