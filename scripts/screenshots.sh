#!/usr/bin/env bash
# Takes the pictures of docs/ again. The Qt window's, on a private 1024x768
# Xvfb in a scratch copy of samples/: at scale 1 (main-window.png,
# version-window.png, question-box.png) and at QT_SCALE_FACTOR=2 (the whole
# screen, screen-scale2.png, and screen-scale2-version.png). Then, when
# scripts/windows.sh has made the Windows build, rastrex.exe's under Wine:
# the end-to-end test with RASTREX_SHOT_DIR=docs takes windows-*.png, the
# whole screen at 96 and 144 dpi among them, and verb_shots.sh those of
# rastrex-convert.exe (windows-convert-*.png).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test
root=$PWD
docs=$root/docs
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target ui_screenshots verb_screenshots

# A folder of the same name each time, so that the pictures show the same.
scratch="${TMPDIR:-/tmp}/rastrex-screenshots/samples"
rm -rf "$scratch"
mkdir -p "$scratch"
trap 'rm -rf "$(dirname "$scratch")"' EXIT
cp -R samples/. "$scratch/"
display=(xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp")
(cd "$scratch" && "${display[@]}" "$root/build/bin/ui_screenshots" "$docs")
(cd "$scratch" && QT_SCALE_FACTOR=2 "${display[@]}" "$root/build/bin/ui_screenshots" "$docs" screen-scale2)
(cd "$scratch" && "${display[@]}" "$root/build/bin/verb_screenshots" "$docs")
echo "screenshots.sh: the Qt window's pictures are in $docs"

if [ -d build-windows/x86_64 ]; then
  export WINEDEBUG=-all
  unset DISPLAY WAYLAND_DISPLAY
  # shellcheck source=scripts/wine-loader.sh
  . scripts/wine-loader.sh "$root/build-windows/wine64-loader"
  RASTREX_SHOT_DIR="$docs" ctest --test-dir build-windows/x86_64 -R 'app_win32\.end_to_end' --output-on-failure
  cmake --build build-windows/x86_64 --target rastrex-convert window_probe
  build-windows/x86_64/wine-gui-run.sh --script tests/shell/verb_shots.sh "$root/build-windows/x86_64/bin" \
    "$root/build-windows/x86_64/bin/window_probe.exe" "$root/samples" "$docs"
else
  echo "screenshots.sh: no Windows build yet (bash scripts/windows.sh makes it);" \
    "the pictures of rastrex.exe are left as they are" >&2
fi
