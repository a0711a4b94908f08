#!/usr/bin/env bash
# Installs, from Debian's packages, whatever this project needs and the
# machine lacks. Usage: deps.sh build|test|bench
set -euo pipefail
build=(cmake g++ make pkg-config libgtest-dev qt6-base-dev libgl-dev libcli11-dev)
test=(clang libclang-rt-14-dev binutils)
bench=(imagemagick netpbm)
case "${1:-build}" in
  build) want=("${build[@]}") ;;
  test) want=("${build[@]}" "${test[@]}") ;;
  bench) want=("${build[@]}" "${bench[@]}") ;;
  *) echo "usage: $0 build|test|bench" >&2; exit 2 ;;
esac
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
