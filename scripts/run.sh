#!/usr/bin/env bash
# Installs what is missing, builds the programs (not the tests or the
# benchmarks): the library, the window rastrex, xwd2bmp and the thumbnailer,
# says where they are, and opens the window on a scratch copy of samples/
# in a new private folder, so the checkout stays as it is (or, without the
# window program, converts that copy with xwd2bmp).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh build
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=(RASTREX)
option() { grep -q "^RASTREX_BUILD_$1:BOOL=ON" build/CMakeCache.txt; }
option APP && targets+=(rastrex)
option CLI && targets+=(xwd2bmp)
option THUMBNAILS && targets+=(rastrex-thumbnailer)
cmake --build build -j"$(nproc)" --target "${targets[@]}"

root=$PWD
echo "Built in $root/build/bin:"
for program in rastrex xwd2bmp rastrex-thumbnailer libRASTREX.so; do
  [ ! -e "build/bin/$program" ] || echo "  $root/build/bin/$program"
done
# A new folder of this user's own: never a fixed name in a shared /tmp,
# which another user could have made first.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/rastrex-samples.XXXXXX")
cp -R samples/. "$scratch/"
if [ -x build/bin/rastrex ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No graphical display here (neither DISPLAY nor WAYLAND_DISPLAY is set): from a desktop" \
      "session, or under a virtual display, open the window on the copy of samples/ with:" >&2
    printf '  cd %q && xvfb-run -a %q\n' "$scratch" "$root/build/bin/rastrex" >&2
    exit 1
  fi
  echo "Opening the window on $scratch (a copy of samples/; its bitmaps are written there)."
  cd "$scratch" && exec "$root/build/bin/rastrex"
elif [ -x build/bin/xwd2bmp ]; then
  echo "Converting $scratch (a copy of samples/) with xwd2bmp."
  exec build/bin/xwd2bmp -v "$scratch"
else
  echo "Nothing to run yet: neither build/bin/rastrex nor build/bin/xwd2bmp was built." >&2
  exit 1
fi
