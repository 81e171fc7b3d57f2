#!/usr/bin/env bash
# Installs the Debian packages that are missing. Uses sudo when not run as
# root.
#   scripts/install-deps.sh core   the Linux build, its tests and the demo
#   scripts/install-deps.sh        all of that, plus the Windows cross
#                                  compilers, Wine and the checking tools
set -euo pipefail

packages=(
  build-essential cmake pkg-config python3
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcairo2-dev
)
if [ "${1:-all}" != "core" ]; then
  packages+=(
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 llvm clang lld
    valgrind
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
