# Sourced by the scripts that need the software board driver under wine64:
# driver_prefix_start OUT makes a prefix of its own (an installed driver
# would change the "no device" checks of the other Windows tests), installs
# the driver built in OUT/x64/drivers and keeps the session, with the
# driver's device host, alive; the EXIT trap stops that prefix's
# wineserver only and removes the prefix. Sets wine, wineserver,
# driver_tmp (a scratch directory removed with the prefix).
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
[ -x "$wine" ] || wine=$(dpkg -L wine64 | grep -E '/wine64$' | head -n 1)
[ -x "$wineserver" ] || wineserver=$(dpkg -L wine64 libwine 2>/dev/null | grep -E '/wineserver(64)?$' | head -n 1)

driver_prefix=""
driver_tmp=$(mktemp -d)
driver_prefix_stop() {
  if [ -n "$driver_prefix" ]; then
    WINEPREFIX=$driver_prefix timeout 30 "$wineserver" -k >/dev/null 2>&1 || true
    rm -rf "$driver_prefix"
  fi
  rm -rf "$driver_tmp"
}
trap driver_prefix_stop EXIT

driver_prefix_start() {  # OUT
  local drivers=$1/x64/drivers
  driver_prefix=$(mktemp -d)
  export WINEPREFIX=$driver_prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  unset DISPLAY WAYLAND_DISPLAY
  # The first session of a fresh prefix sets it up and keeps the service
  # database locked for long; the driver goes in at the next one, which
  # lasts until the EXIT trap.
  timeout 300 "$wine" wineboot --init >/dev/null 2>&1 || true
  timeout 60 "$wineserver" -w || true
  "$wineserver" -p
  (cd "$drivers" && timeout 120 "$wine" radovl_driver_install.exe install radovl_driver.sys radovl_board.dll) \
    >"$driver_tmp/install.txt" 2>&1 || { cat "$driver_tmp/install.txt"; echo "FAIL: installing the driver" >&2; exit 1; }
  cat "$driver_tmp/install.txt"
}

driver_prefix_remove() {  # OUT
  (cd "$1/x64/drivers" && timeout 120 "$wine" radovl_driver_install.exe remove) >"$driver_tmp/remove.txt" 2>&1 ||
    { cat "$driver_tmp/remove.txt"; echo "FAIL: removing the driver" >&2; exit 1; }
  cat "$driver_tmp/remove.txt"
}
