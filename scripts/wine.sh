# Sourced by the scripts that run Windows programs under Wine: finds Wine's
# loaders (wine64 for x86_64 programs, wine for i386 ones) and its server,
# and starts and stops one private prefix at a time, 64-bit (win64) or
# 32-bit (win32), and a private X server with two monitors. The EXIT trap
# stops only what was started here and removes it, with the scratch
# directory wine_tmp.
#
#   wine_prefix_start win64|win32   a fresh prefix (WINEPREFIX), set up and
#                                   its session kept alive (wineserver -p)
#   wine_prefix_stop                stops that prefix's wineserver, removes it
#   wine_run SECONDS DIR PROGRAM ARGS...
#                                   runs PROGRAM in DIR with the loader for
#                                   its processor, bounded in time
#   wine_two_monitors_start         Xorg with the dummy video driver on a
#                                   free display: two 1280x1024 monitors side
#                                   by side, the left one primary (DISPLAY)
#   wine_two_monitors_stop          stops it; Wine is headless again
wine64=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine
wineserver=/usr/lib/wine/wineserver
[ -x "$wine64" ] || wine64=$(dpkg -L wine64 | grep -E '/wine64$' | head -n 1)
[ -x "$wine32" ] || wine32=$(dpkg -L wine32:i386 2>/dev/null | grep -E '/wine$' | head -n 1)
[ -x "$wineserver" ] || wineserver=$(dpkg -L wine64 libwine 2>/dev/null | grep -E '/wineserver(64)?$' | head -n 1)

wine_prefix=""
wine_x_pid=""
wine_x_dir=""
wine_x_socket_dir=""
wine_tmp=$(mktemp -d)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

wine_cleanup() {
  wine_prefix_stop
  wine_two_monitors_stop
  rm -rf "$wine_tmp"
}
trap wine_cleanup EXIT

# The loader for PROGRAM's processor, from its PE header's machine field.
wine_loader() {  # PROGRAM
  local header machine
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' ')
  if [ "$machine" = 014c ]; then echo "$wine32"; else echo "$wine64"; fi
}

wine_run() {  # seconds dir program args...
  local seconds=$1 dir=$2 program=$3 loader
  shift 3
  case $program in
    /*) loader=$(wine_loader "$program") ;;
    *) loader=$(wine_loader "$dir/$program") ;;
  esac
  (cd "$dir" && timeout "$seconds" "$loader" "$program" "$@")
}

wine_prefix_start() {  # win64|win32
  local loader=$wine64
  [ "$1" = win32 ] && loader=$wine32
  [ -x "$loader" ] || { echo "FAIL: no Wine loader for a $1 prefix (scripts/install-deps.sh)" >&2; exit 1; }
  wine_prefix_stop
  wine_prefix=$(mktemp -d)
  export WINEPREFIX=$wine_prefix WINEARCH=$1
  # The first session of a fresh prefix sets it up and keeps the service
  # database locked for long; the next one, the caller's, lasts until the
  # prefix is stopped.
  timeout 300 "$loader" wineboot --init >/dev/null 2>&1 || true
  timeout 60 "$wineserver" -w || true
  "$wineserver" -p
}

wine_prefix_stop() {
  [ -n "$wine_prefix" ] || return 0
  WINEPREFIX=$wine_prefix timeout 30 "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$wine_prefix"
  wine_prefix=""
  unset WINEPREFIX WINEARCH
}

wine_two_monitors_start() {
  local display=10
  while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
  wine_x_dir=$(mktemp -d)
  # The server makes the sockets' directory when there is none: then it
  # goes again with the server.
  [ -d /tmp/.X11-unix ] || wine_x_socket_dir=/tmp/.X11-unix
  # One screen of 2560x1024 from the dummy driver, whose two outputs
  # become the monitors; no input devices, nothing from the system's
  # configuration, and the machine's consoles stay as they are.
  cat >"$wine_x_dir/xorg.conf" <<'EOF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoAddGPU" "false"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2560 1024
  EndSubSection
EndSection
EOF
  Xorg ":$display" -config "$wine_x_dir/xorg.conf" -configdir "$wine_x_dir" -logfile "$wine_x_dir/xorg.log" \
    -nolisten tcp -noreset -novtswitch -sharevts >/dev/null 2>&1 &
  wine_x_pid=$!
  export DISPLAY=":$display"
  local tries=0
  until xrandr >/dev/null 2>&1; do
    tries=$((tries + 1))
    kill -0 "$wine_x_pid" 2>/dev/null && [ $tries -lt 100 ] ||
      { tail -n 20 "$wine_x_dir/xorg.log" >&2; echo "FAIL: the X server did not start" >&2; exit 1; }
    sleep 0.1
  done
  xrandr --addmode DUMMY1 1280x1024 &&
    xrandr --output DUMMY0 --mode 1280x1024 --pos 0x0 --primary --output DUMMY1 --mode 1280x1024 --pos 1280x0 ||
    { echo "FAIL: xrandr could not set up two monitors" >&2; exit 1; }
  # Wine asks for the current configuration without a probe of the
  # outputs, and sees only the first monitor until a client has probed
  # them once (xrandr's query does), and then a moment.
  xrandr >/dev/null
  sleep 2
}

wine_two_monitors_stop() {
  [ -n "$wine_x_pid" ] || return 0
  kill "$wine_x_pid" 2>/dev/null || true
  wait "$wine_x_pid" 2>/dev/null || true
  rm -rf "$wine_x_dir"
  [ -z "$wine_x_socket_dir" ] || rmdir "$wine_x_socket_dir" 2>/dev/null || true
  wine_x_pid="" wine_x_socket_dir=""
  unset DISPLAY
}
