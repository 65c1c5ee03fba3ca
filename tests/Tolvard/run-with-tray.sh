#!/usr/bin/env bash
# run-with-tray.sh PREFIX LOADER PROGRAM [ARGS...]: runs a test program that needs a
# notification area. Starts an Xvfb of its own on a free display and, in the Wine prefix
# PREFIX (made on first use by scripts/wine-desktop-prefix, with the X11 driver), a
# desktop named "shell", which has a taskbar, and waits for its taskbar. Afterwards it
# stops that prefix's Wine server and its own Xvfb only.
set -uo pipefail
prefix=$1 loader=$2; shift 2
source "$(dirname "$0")/../../scripts/lib.sh"
wine_env "$prefix" "$loader"
start_xvfb 800x600 || exit 1
cleanup() {
  wineserver -k 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
"$top/scripts/wine-desktop-prefix" "$prefix" "$loader" shell 800x600 || exit 1
start_wine_desktop shell 800x600 || exit 1
"$loader" "$@"
