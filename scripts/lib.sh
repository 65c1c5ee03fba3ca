# lib.sh: what the scripts share. Sourced, never run; the caller has `set -euo pipefail`.
#
#   top, build                 the project's folder, and the build folder relative to it
#                              (BUILD_DIR, default build)
#   wine_env PREFIX LOADER     exports the Wine environment every script runs programs in
#   wine_loader ARCH           Wine's loader for i686 or x64 programs
#   wine_arch LOADER           the kind of Windows a prefix of that loader is: win32 or win64
#   renew_wrong_prefix PREFIX LOADER  removes PREFIX when it is not of that kind
#   configure_tree ARCH TESTS  configures $build/ARCH (product, and tests when TESTS=ON)
#   build_tree ARCH TESTS      configures and builds $build/ARCH
#   runs_32bit                 true where Wine runs 32-bit programs here; sets why_not_32bit
#   start_xvfb WxH             an Xvfb on a display that is really free; sets DISPLAY, xvfb_pid
#   start_wine_desktop NAME WxH  a Wine desktop with a taskbar in $WINEPREFIX, waited for
#   winpath PATH               the Windows name of a Unix path (Wine's drive Z: is /)
#   serve_screenshots DIR [trim]  captures the screen for every DIR/NAME.request (tools/shots);
#                              sets shots_pid
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-build}

# Quiet, without the Mono and Gecko prompts; winedbg off, so that a crashing program
# ends at once instead of waiting in the debugger; Wine's menu builder off, so that
# nothing lands in the Linux desktop's menus. A caller's own WINEDEBUG and
# WINEDLLOVERRIDES stand (a test may need a DLL of its own).
wine_env() {
  export WINEPREFIX=$1 WINELOADER=$2
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winedbg.exe,winemenubuilder.exe=d"}
  # Wine writes file names in the character set of the Unix locale: in one that is not
  # UTF-8 (the plain C locale of a bare system, or of a CI job) a name in Greek or
  # Japanese cannot be made at all. glibc always carries C.UTF-8.
  [ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
}

# Wine's loaders are named directly: where the 32-bit one is installed but the kernel
# cannot run 32-bit code, the plain "wine" command would pick the broken one.
wine_loader() {
  case $1 in
    i686) echo /usr/lib/wine/wine ;;
    x64) echo /usr/lib/wine/wine64 ;;
  esac
}

# The 32-bit tree models a 32-bit Windows (95 to 10), the kind its setup is for; the
# 64-bit tree a 64-bit Windows, whose 32-bit programs run beside the 64-bit ones.
# Wine's 32-bit loader makes a 64-bit Windows too unless WINEARCH=win32 is set when
# the prefix is made; a prefix's kind never changes afterwards. WINEARCH is set only
# for making one: a program started later in a prefix of the other kind would refuse.
wine_arch() {
  if [ "$1" = "$(wine_loader i686)" ]; then echo win32; else echo win64; fi
}

# A prefix of the wrong kind (made before WINEARCH was set, or by the other loader)
# is removed, its server stopped first, so that it is made again of the right kind.
renew_wrong_prefix() {
  local prefix=$1 arch
  arch=$(wine_arch "$2")
  [ -f "$prefix/system.reg" ] || return 0
  grep -qx "#arch=$arch" "$prefix/system.reg" && return 0
  echo "$prefix is not a $arch Windows: made again" >&2
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
}

# The trees: build/i686 is the 32-bit build, whose binaries and setup land in
# build/dist; build/x64 the 64-bit build, in build/x64/dist, whose setup also carries
# the 32-bit binaries. Each holds its test tree in tests/ when configured with TESTS=ON.
configure_tree() {
  local arch=$1 tests=$2 toolchain dist dist32=
  case $arch in
    i686) toolchain=mingw-i686.cmake dist=$top/$build/dist ;;
    x64) toolchain=mingw-x86_64.cmake dist=$top/$build/x64/dist dist32=$top/$build/dist ;;
  esac
  # The 64-bit setup carries the 32-bit binaries too: build the i686 tree first.
  cmake -S "$top" -B "$build/$arch" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DTOLVANE_TESTS="$tests" -DDIST_DIR="$dist" \
        ${dist32:+-DTOLVANE_DIST32="$dist32"} >/dev/null
}

# The x64 tree needs the i686 tree's binaries: build_tree i686 OFF comes first.
build_tree() {
  configure_tree "$1" "$2" && cmake --build "$build/$1" -j"$(nproc)"
}

# Some machines run no 32-bit code: the kernel refuses Wine's 32-bit loader (execve
# fails with ENOEXEC). Others do. A tiny 32-bit program tells, in the i686 tree's prefix.
runs_32bit() {
  local loader probe=$top/$build/probe32
  loader=$(wine_loader i686)
  why_not_32bit=
  if [ ! -x "$loader" ]; then
    why_not_32bit="Wine's 32-bit loader $loader is not installed"; return 1
  fi
  if ! "$loader" --version >/dev/null 2>&1; then
    why_not_32bit="this machine's kernel does not run Wine's 32-bit loader (no 32-bit code runs here)"; return 1
  fi
  mkdir -p "$probe"
  printf '#include <stdio.h>\nint main(void) { puts("32-bit code runs"); return 0; }\n' >"$probe/probe.c"
  i686-w64-mingw32-gcc-win32 "$probe/probe.c" -o "$probe/probe.exe"
  scripts/wine-prefix "$top/$build/i686/wineprefix" "$loader"
  if ! (wine_env "$top/$build/i686/wineprefix" "$loader"; timeout 120 "$loader" "$probe/probe.exe" 2>/dev/null) |
       grep -q '32-bit code runs'; then
    why_not_32bit="Wine did not run a 32-bit test program here"; return 1
  fi
}

# Xvfb picks a free display itself (-displayfd), so two runs on one machine never meet
# on one display.
start_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  local number
  read -r -t 30 number <"$fifo" || number=
  rm -f "$fifo"
  [ -n "$number" ] || { echo "start_xvfb: Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$number
}

# The desktop NAME of the prefix made by scripts/wine-desktop-prefix; returns once its
# taskbar is there (up to a minute), so that the notification area can be used at once.
start_wine_desktop() {
  local name=$1 size=$2 waiter=$WINEPREFIX/wait-window.exe
  local compiler=x86_64-w64-mingw32-gcc-win32
  [ "$WINELOADER" = "$(wine_loader i686)" ] && compiler=i686-w64-mingw32-gcc-win32
  [ -f "$waiter" ] || "$compiler" -O2 "$top/tools/wait-window.c" -o "$waiter"
  "$WINELOADER" explorer /desktop="$name,$size" >/dev/null 2>&1 &
  "$WINELOADER" "$waiter" Shell_TrayWnd 60 || { echo "start_wine_desktop: no taskbar came" >&2; return 1; }
}

winpath() { local path=$1; echo "Z:${path//\//\\}"; }

# The screenshot handshake (tools/shots/ScreenShots.h): a program leaves DIR/NAME.request
# when what it shows is ready and waits until the request is gone. Each one is served
# with a capture of the whole X screen into DIR/NAME.png, with "trim" cut to what is not
# desktop background (and without time stamps, so an unchanged picture stays the same
# file). Runs in the background until shots_pid is killed.
serve_screenshots() {
  local folder=$1 trim=${2:-}
  (
    while :; do
      for request in "$folder"/*.request; do
        [ -e "$request" ] || continue
        local name shot
        name=$(basename "$request" .request)
        shot=$folder/$name.png
        [ "$trim" = trim ] && shot=$folder/$name.full.png
        import -display "$DISPLAY" -window root "$shot" 2>/dev/null ||
          echo "serve_screenshots: could not capture $name" >&2
        if [ "$trim" = trim ] && [ -f "$shot" ]; then
          convert "$shot" -trim +repage -define png:exclude-chunk=date,time "$folder/$name.png" ||
            echo "serve_screenshots: could not trim $name" >&2
          rm -f "$shot"
        fi
        rm -f "$request"
      done
      sleep 0.2
    done
  ) &
  shots_pid=$!
}
