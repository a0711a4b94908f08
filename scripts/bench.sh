#!/usr/bin/env bash
# Builds the benchmarks and runs them; ImageMagick, GraphicsMagick, ffmpeg
# and netpbm are installed so that they are timed on the same dumps.
#   bench_convert   every kind of dump at 1920x1080 and 3840x2160: fnRastrex
#                   against the floor (the same reads and writes, no decoding)
#                   and the peers; then replacing a bitmap against writing a
#                   new one on the build folder's disk
#   bench_batch     files per second of xwd2bmp -j1 and -jN on 500 VGA and 50
#                   4K dumps, against mogrify and gm mogrify
#   bench_verb      rastrex-convert (its logic, and the Qt program) against
#                   xwd2bmp -jN on the same 1000 VGA dumps
#   bench_one_call  fnRastrex alone, also under Wine when Windows builds exist
#   bench_thumbnail the 256-pixel thumbnail of every kind of dump at 1920x1080
#                   and 3840x2160: its time and a process's peak memory
# The machine may be busy: each table says its load average, and the
# figures are medians of interleaved runs (bench_batch: the best of three).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh bench
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build --target bench_convert bench_batch bench_verb bench_one_call bench_thumbnail -j"$(nproc)"
echo "== $(nproc) cores; load average: $(cut -d' ' -f1-3 /proc/loadavg)"
for b in bench_convert bench_batch bench_verb bench_one_call bench_thumbnail; do
  if [ -x "build/bin/$b" ]; then
    echo "== $b"
    RASTREX_BENCH_DISK_DIR="${RASTREX_BENCH_DISK_DIR:-$PWD/build}" "build/bin/$b"
  fi
done

# The Windows build of fnRastrex under Wine on the same dump, when
# scripts/windows.sh has made it.
if [ -x build-windows/x86_64/wine-run.sh ]; then
  . scripts/wine-loader.sh "$PWD/build-windows/wine64-loader"
  arches=(x86_64)
  # Times through an emulator would say nothing of the converter's.
  [ "$wine_32bit" != native ] || arches+=(i686)
  for arch in "${arches[@]}"; do
    cmake --build "build-windows/$arch" --target bench_one_call -j"$(nproc)"
    echo "== bench_one_call, Windows $arch under Wine"
    "build-windows/$arch/wine-run.sh" "build-windows/$arch/bin/bench_one_call.exe"
  done
fi
