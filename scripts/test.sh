#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test that this
# machine can run:
#   1. the whole project with its tests, with the strict warnings;
#   2. the library and the command-line converter under AddressSanitizer and
#      UndefinedBehaviorSanitizer;
#   3. the fuzz target (clang's libFuzzer): replay of the fixtures, then a
#      short fuzzing run;
#   4. the library and xwd2bmp for 32-bit Linux, and the Windows builds
#      under Wine (scripts/windows.sh).
# A suite that fails does not stop the others. The last lines are a summary,
# one line a suite: its tests passed, failed and skipped, or NOT RUN and why
# (a package that could not be installed, a kernel that cannot run 32-bit
# code); the very last gives the totals. Exits 1 when any test failed; a
# suite not run is no failure.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
# shellcheck source=scripts/lib/packages.sh
. scripts/lib/packages.sh
# shellcheck source=scripts/lib/suites.sh
. scripts/lib/suites.sh
suite_begin
trap suite_end EXIT
bash scripts/deps.sh test
jobs=$(nproc)
# Where ccache is installed, every build tree (the Windows ones too) keeps
# its objects there, so that a run after a small change rebuilds little;
# paths are taken from the checkout's top, so every clone shares them.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$PWD"
fi
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1

# Runs suite NAME unless one of the package groups it needs is missing.
suite_needing() {
  local name=$1 group why
  shift
  for group in "$@"; do
    if why=$(pkg_group_missing "$group"); then
      suite_not_run "$name" "$why"
      return 1
    fi
  done
}

if suite_needing "Linux strict build" build tools; then
  suite_cmake "Linux strict build" build -DCMAKE_BUILD_TYPE=Release -DRASTREX_STRICT_WARNINGS=ON
fi
if suite_needing "ASan/UBSan" build; then
  suite_cmake "ASan/UBSan" build-asan -DCMAKE_BUILD_TYPE=Debug -DRASTREX_SANITIZE=ON \
    -DRASTREX_STRICT_WARNINGS=ON -DRASTREX_BUILD_APP=OFF -DRASTREX_BUILD_BENCH=OFF
fi
if suite_needing "fuzz" build fuzz; then
  CC=clang CXX=clang++ suite_cmake "fuzz" build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRASTREX_FUZZ=ON \
    -DRASTREX_STRICT_WARNINGS=ON \
    -DRASTREX_BUILD_APP=OFF -DRASTREX_BUILD_CLI=OFF -DRASTREX_BUILD_BENCH=OFF -DRASTREX_BUILD_TESTS=OFF
fi

# Notes its own suites; a failure there is told in the summary.
bash scripts/windows.sh || true

suite_summary "Linux strict build" "ASan/UBSan" "fuzz" "Linux i686" "Windows i686" "Windows x86_64"
