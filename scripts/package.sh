#!/usr/bin/env bash
# Builds the Debian package build-pkg/rastrex_VERSION_ARCH.deb with Debian's
# hardening flags, and runs lintian on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh package
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=Release \
  -DRASTREX_BUILD_TESTS=OFF -DRASTREX_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
  -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)"
cmake --build build-pkg -j"$(nproc)"
rm -f build-pkg/rastrex_*.deb
(cd build-pkg && cpack -G DEB)
deb=$(ls build-pkg/rastrex_*.deb)
lintian --allow-root "$deb" || true
echo "Package: $deb"
if [ "$(id -u)" -eq 0 ]; then
  echo "Install it with: apt install ./$deb"
else
  echo "Install it as root with: apt install ./$deb (or: sudo apt install ./$deb)"
fi
