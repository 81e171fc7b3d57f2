#!/usr/bin/env bash
# Installs the Debian packages that are missing. Uses sudo when not run as
# root.
#   scripts/install-deps.sh demo   what scripts/demo.sh builds: the library
#                                  and radovl-sim
#   scripts/install-deps.sh core   the Linux build, its tests and the demo
#                                  (with cpp-httplib for radovl-sim view)
#   scripts/install-deps.sh        all of that, plus the Windows cross
#                                  compilers, 64- and 32-bit Wine (the i386
#                                  architecture is added for it), an X
#                                  server with two dummy monitors (and
#                                  XRandR for both Wines, which see only
#                                  one monitor without it), the
#                                  32-bit Linux compiler, the checking
#                                  tools, and Chromium with its driver and
#                                  Selenium for the browser tests of view
# Set RADOVL_DEPS_LOG=FILE to send apt-get's output there instead.
set -euo pipefail

packages=(build-essential cmake pkg-config libcairo2-dev)
if [ "${1:-all}" != "demo" ]; then
  packages+=(python3 libgtest-dev libgmock-dev googletest libbenchmark-dev libcpp-httplib-dev)
fi
if [ "${1:-all}" = "all" ]; then
  packages+=(
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 wine32:i386 llvm clang lld
    valgrind g++-multilib
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
    libxrandr2 libxrandr2:i386
    chromium chromium-driver python3-selenium
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
# 32-bit Wine comes from the i386 architecture's packages (apt-get update
# below then reads its lists).
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture"
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
if [ -n "${RADOVL_DEPS_LOG:-}" ]; then
  if ! { $sudo apt-get update -q && $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"; } \
      >"$RADOVL_DEPS_LOG" 2>&1; then
    cat "$RADOVL_DEPS_LOG" >&2
    echo "Installing ${missing[*]} failed (above)." >&2
    exit 1
  fi
else
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
