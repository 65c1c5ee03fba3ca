#!/usr/bin/env bash
# run-with-tray.sh PREFIX LOADER PROGRAM [ARGS...]: runs a test program that needs a
# notification area. Starts an Xvfb of its own on a free display and, in the Wine prefix
# PREFIX (made on first use by scripts/wine-desktop-prefix, with the X11 driver), a
# desktop named "shell", which has a taskbar. Afterwards it stops that prefix's Wine
# server and its own Xvfb only.
set -uo pipefail
prefix=$1 loader=$2; shift 2
export WINEPREFIX=$prefix WINELOADER=$loader WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

display=
for n in $(seq 150 250); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "run-with-tray: no free X display"; exit 1; }
Xvfb ":$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:$display
cleanup() {
  WINEPREFIX=$prefix wineserver -k 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

"$(dirname "$0")/../../scripts/wine-desktop-prefix" "$prefix" "$loader" shell 800x600 || exit 1
"$loader" explorer /desktop=shell,800x600 >/dev/null 2>&1 &
sleep 2
"$loader" "$@"
