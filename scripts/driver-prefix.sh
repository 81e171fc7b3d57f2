# Sourced by the scripts that need the software board driver under Wine
# (scripts/wine.sh does the Wine part). driver_prefix_start win64|win32
# DRIVERS starts a prefix of its own (an installed driver would change the
# "no device" checks of the other Windows tests) and installs the driver
# built in DRIVERS (a drivers/ directory of a build); the session, with the
# driver's device host, lasts until the prefix is stopped.
# driver_install DRIVERS does the second half alone; driver_prefix_remove
# stops and deletes the driver again.
. "$(dirname "${BASH_SOURCE[0]}")/wine.sh"

driver_dir=""
driver_prefix_start() {  # win64|win32 DRIVERS
  wine_prefix_start "$1"
  driver_install "$2"
}

driver_install() {  # DRIVERS: into the prefix started last
  driver_dir=$1
  wine_run 120 "$driver_dir" radovl_driver_install.exe install radovl_driver.sys radovl_board.dll \
    >"$wine_tmp/install.txt" 2>&1 || { cat "$wine_tmp/install.txt"; echo "FAIL: installing the driver" >&2; exit 1; }
  cat "$wine_tmp/install.txt"
}

driver_prefix_remove() {
  wine_run 120 "$driver_dir" radovl_driver_install.exe remove >"$wine_tmp/remove.txt" 2>&1 ||
    { cat "$wine_tmp/remove.txt"; echo "FAIL: removing the driver" >&2; exit 1; }
  cat "$wine_tmp/remove.txt"
}
