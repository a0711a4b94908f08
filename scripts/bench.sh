#!/usr/bin/env bash
# Builds the benchmarks and runs them; ImageMagick and netpbm are installed
# so that they are timed on the same dumps.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh bench
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
for b in bench_convert bench_batch; do
  if [ -x "build/bin/$b" ]; then
    echo "== $b"
    "build/bin/$b"
  fi
done
