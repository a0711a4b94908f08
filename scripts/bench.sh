#!/usr/bin/env bash
# Builds the benchmarks and runs them; ImageMagick and netpbm are installed
# so that they are timed on the same dumps.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh bench
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
for b in bench_convert bench_batch bench_one_call; do
  if [ -x "build/bin/$b" ]; then
    echo "== $b"
    "build/bin/$b"
  fi
done

# The Windows build of fnRastrex under Wine on the same dump, when
# scripts/windows.sh has made it.
if [ -x build-windows/x86_64/wine-run.sh ]; then
  . scripts/wine-loader.sh "$PWD/build-windows/wine64-loader"
  arches=(x86_64)
  [ "$wine_runs_32bit" = 0 ] || arches+=(i686)
  for arch in "${arches[@]}"; do
    cmake --build "build-windows/$arch" --target bench_one_call -j"$(nproc)"
    echo "== bench_one_call, Windows $arch under Wine"
    "build-windows/$arch/wine-run.sh" "build-windows/$arch/bin/bench_one_call.exe"
  done
fi
