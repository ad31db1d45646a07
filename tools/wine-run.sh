#!/usr/bin/env bash
# Runs a Windows program under Wine with a private prefix and X display that belong to one build tree.
#
#   wine-run.sh [options] PROGRAM.exe [ARGS...]   run it; its exit code is passed through
#   wine-run.sh [options] --start                 prepare display, prefix and wineserver (ctest setup fixture)
#   wine-run.sh [options] --stop                  stop wineserver and our Xvfb (ctest cleanup fixture)
#   wine-run.sh [options] --shell                 print the environment (eval "$(tools/wine-run.sh --shell)")
#
# Options:
#   --build DIR       the build tree (default: $TARVISK_BUILD_DIR, else the nearest folder above PROGRAM, or the
#                     current folder, that holds CMakeCache.txt)
#   --instance NAME   "test" (default; prefix DIR/wineprefix, unmanaged windows) or another name (prefix
#                     DIR/wineprefix-NAME, windows managed as usual: for running the program by hand)
#   --display D       use X display D instead of our own Xvfb (default: $TARVISK_DISPLAY, if set)
#   --screen WxHxD    size of our Xvfb screen (default 1280x1024x24)
#   --cwd DIR         working directory of the program
#   --desktop WxH     run inside a Wine virtual desktop named Tarvisk (draws captions, a taskbar and the tray)
#   --background      start the program and return at once; prints the Wine process id
#
# Why it is built this way (measured on Debian 12 with Wine 8):
# - Without a window manager every hide or destroy of a managed top-level window waits 2 s, so test prefixes set
#   HKCU\Software\Wine\X11 Driver\Managed=N.
# - Wine's helper processes inherit the starter's stdio; if they hold ctest's pipe, a passing test hangs until its
#   timeout. System processes are started with /dev/null, and the program's own output goes to files that are
#   copied out when it ends.
# - Several build trees (several people) run tests on one machine at once: every build tree has its own Xvfb (a free
#   display picked by -displayfd) and prefix, and setting them up happens under flock.
set -euo pipefail


build=${TARVISK_BUILD_DIR:-}
instance=test
display=${TARVISK_DISPLAY:-}
screen=1280x1024x24
cwd=
desktop=
background=0
action=run

while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=$2; shift 2 ;;
        --instance) instance=$2; shift 2 ;;
        --display) display=$2; shift 2 ;;
        --screen) screen=$2; shift 2 ;;
        --cwd) cwd=$2; shift 2 ;;
        --desktop) desktop=$2; shift 2 ;;
        --background) background=1; shift ;;
        --start) action=start; shift ;;
        --stop) action=stop; shift ;;
        --shell) action=shell; shift ;;
        --) shift; break ;;
        -*) echo "wine-run.sh: unknown option $1" >&2; exit 2 ;;
        *) break ;;
    esac
done

if [ "$action" = run ] && [ $# -eq 0 ]; then
    echo "usage: wine-run.sh [--build DIR] [--instance NAME] [--display D] [--cwd DIR] [--desktop WxH] [--background] PROGRAM.exe [ARGS...]" >&2
    echo "       wine-run.sh [--build DIR] --start | --stop | --shell" >&2
    exit 2
fi

find_build_tree() {
    local dir=$1
    while [ "$dir" != / ] && [ -n "$dir" ]; do
        if [ -f "$dir/CMakeCache.txt" ]; then
            echo "$dir"
            return 0
        fi
        dir=$(dirname "$dir")
    done
    return 1
}

if [ -z "$build" ]; then
    if [ $# -gt 0 ] && [ -e "$1" ]; then
        build=$(find_build_tree "$(cd "$(dirname "$1")" && pwd)") || true
    fi
    [ -n "$build" ] || build=$(find_build_tree "$PWD") || true
    if [ -z "$build" ]; then
        echo "wine-run.sh: no build tree found; pass --build DIR" >&2
        exit 2
    fi
fi
mkdir -p "$build"
build=$(cd "$build" && pwd)

if [ "$instance" = test ]; then
    export WINEPREFIX="$build/wineprefix"
else
    export WINEPREFIX="$build/wineprefix-$instance"
fi
state="$build/wine-state/$instance"
mkdir -p "$state/logs"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINELOADER WINESERVER

# --- X display ---------------------------------------------------------------------------------------------------
xvfb_alive() {
    local pid
    [ -f "$state/xvfb.pid" ] && [ -f "$state/display" ] || return 1
    pid=$(cat "$state/xvfb.pid")
    [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q Xvfb || return 1
    xdpyinfo -display "$(cat "$state/display")" >/dev/null 2>&1
}

start_xvfb() {
    local fifo number
    rm -f "$state/display" "$state/xvfb.pid"
    fifo="$state/displayfd"
    rm -f "$fifo"
    mkfifo "$fifo"
    # -displayfd picks a free display number and writes it once the server accepts connections.
    # The shell notes its own pid, then becomes Xvfb (setsid may fork, so $! is not always the server).
    setsid sh -c 'echo $$ >"$1"; shift; exec "$@"' sh "$state/xvfb.pid" \
        Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$fifo" </dev/null >/dev/null 2>&1 9>&- &
    if ! read -r -t 30 number <"$fifo"; then
        rm -f "$fifo" "$state/xvfb.pid"
        echo "wine-run.sh: Xvfb did not start" >&2
        return 1
    fi
    rm -f "$fifo"
    echo ":$number" >"$state/display"
}

# --- Wine prefix -------------------------------------------------------------------------------------------------
# The prefix's set-up, noted in it when it is ready; a prefix set up differently before (other fonts) is made again.
prefix_setup=2
prefix_ready() { [ "$(cat "$WINEPREFIX/.tarvisk-ready" 2>/dev/null)" = "$prefix_setup" ]; }

create_prefix() {
    # A half-made prefix may still have a server running; stop it before starting over.
    [ -d "$WINEPREFIX" ] && wineserver -k >/dev/null 2>&1 9>&- || true
    rm -rf "$WINEPREFIX"
    wineboot -i </dev/null >"$state/logs/wineboot.log" 2>&1 9>&-
    if [ "$instance" = test ]; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1 9>&-
    fi
    install_fonts
    # A virtual desktop named Tarvisk (--desktop) gets Wine's taskbar, with the notification area.
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops\Tarvisk' /v EnableShell /t REG_DWORD /d 1 /f \
        </dev/null >/dev/null 2>&1 9>&-
    wineserver -w 9>&-
    echo "$prefix_setup" >"$WINEPREFIX/.tarvisk-ready"
}

# Fonts, measured under Wine 8 with Debian's packages:
# - Debian's Wine looks for its own fonts (package fonts-wine: Tahoma, Marlett, ...) in /usr/share/fonts instead of
#   /usr/share/wine/fonts, so they are linked into the prefix.
# - The dialogs ask for "Fixedsys" and "System". Wine's raster versions have no Chinese glyphs, and GDI font linking
#   never reaches past a raster font, so they are left out and the two names are substituted by TrueType fonts linked
#   to WenQuanYi Micro Hei for Chinese: Fixedsys by DejaVu Sans Mono, System by DejaVu Sans. Both DejaVu faces draw
#   every pinyin tone letter (WenQuanYi's faces, Mono included, draw no third-tone vowel: "我w" for "我wǒ"). At 10
#   points both give dialog base units of 8 x 15, at 12 points 10 x 19 (a Chinese Windows gives 8 x 16 for both fonts
#   at any size; no installable font with Chinese glyphs matches that exactly; Noto Sans Mono CJK SC, which has
#   both, gives 7 x 19 and 8 x 24, a main window half as tall again as on Windows).
# - The UI fonts (captions, menus, message boxes, tooltips) link to DejaVu Sans for the tone letters they lack, then
#   to WenQuanYi Micro Hei for Chinese.
cjk_link='wqy-microhei.ttc,WenQuanYi Micro Hei'
tone_link='DejaVuSans.ttf,DejaVu Sans'
install_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" font face
    local nt='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*; do
        case "$font" in */vgafix.fon|*/vgasys.fon) continue ;; esac
        [ -e "$font" ] && ln -sf "$font" "$fonts/"
    done
    wine reg add "$nt\FontSubstitutes" /v Fixedsys /t REG_SZ /d "DejaVu Sans Mono" /f </dev/null >/dev/null 2>&1 9>&-
    wine reg add "$nt\FontSubstitutes" /v System /t REG_SZ /d "DejaVu Sans" /f </dev/null >/dev/null 2>&1 9>&-
    for face in SimSun NSimSun "宋体"; do
        wine reg add "$nt\FontSubstitutes" /v "$face" /t REG_SZ /d "WenQuanYi Micro Hei" /f </dev/null >/dev/null 2>&1 9>&-
    done
    for face in "DejaVu Sans Mono" "DejaVu Sans" "DejaVu Sans Bold"; do
        wine reg add "$nt\FontLink\SystemLink" /v "$face" /t REG_MULTI_SZ /d "$cjk_link" /f </dev/null >/dev/null 2>&1 9>&-
    done
    for face in Tahoma "Tahoma Bold" "Microsoft Sans Serif" "Lucida Sans Unicode"; do
        wine reg add "$nt\FontLink\SystemLink" /v "$face" /t REG_MULTI_SZ /d "$tone_link\\0$cjk_link" /f \
            </dev/null >/dev/null 2>&1 9>&-
    done
}

wineserver_running() {
    # wineserver works in a folder named after the prefix's device and inode: /tmp/.wine-UID/server-DEV-INODE
    # upstream; Debian puts it in a random /tmp/wine-XXXXXX that the prefix's file "wineserver" names.
    local name pid cwd dirs=()
    name="server-$(printf '%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))"
    [ -r "$WINEPREFIX/wineserver" ] && dirs+=("/tmp/$(cat "$WINEPREFIX/wineserver")/$name")
    dirs+=("/tmp/.wine-$(id -u)/$name")
    for pid in $(pgrep -x wineserver64; pgrep -x wineserver); do
        cwd=$(readlink "/proc/$pid/cwd" 2>/dev/null) || continue
        for dir in "${dirs[@]}"; do
            [ "$cwd" = "$dir" ] && return 0
        done
    done
    return 1
}

ensure_session() {
    if [ -z "$display" ]; then
        xvfb_alive || start_xvfb
        display=$(cat "$state/display")
    fi
    export DISPLAY="$display"
    prefix_ready || create_prefix
    # A persistent server keeps Wine's system processes (services, explorer) alive between test programs; the first
    # program after it starts them, so that one runs with stdio on /dev/null.
    if ! wineserver_running; then
        setsid wineserver -p </dev/null >/dev/null 2>&1 9>&- || true
        wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 9>&- || true
    fi
}

# Everything started while the lock is held gets "9>&-": a daemon that inherited the lock's descriptor would keep
# the lock after this script is gone.
with_lock() {
    exec 9>"$state/lock"
    flock 9
    "$@"
    flock -u 9
    exec 9>&-
}

stop_session() {
    wineserver -k >/dev/null 2>&1 9>&- || true
    if [ -f "$state/xvfb.pid" ]; then
        local pid
        pid=$(cat "$state/xvfb.pid")
        if [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q Xvfb; then
            kill "$pid" 2>/dev/null || true
        fi
        rm -f "$state/xvfb.pid" "$state/display"
    fi
}

case "$action" in
    start)
        with_lock ensure_session
        echo "wine-run.sh: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX"
        exit 0
        ;;
    stop)
        with_lock stop_session
        exit 0
        ;;
    shell)
        with_lock ensure_session
        printf 'export DISPLAY=%q WINEPREFIX=%q WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES=%q\n' \
            "$DISPLAY" "$WINEPREFIX" "$WINEDLLOVERRIDES"
        exit 0
        ;;
esac

with_lock ensure_session

program=$1
shift
[ -z "$cwd" ] || cd "$cwd"
command=(wine "$program" "$@")
if [ -n "$desktop" ]; then
    command=(wine explorer "/desktop=Tarvisk,$desktop" "$program" "$@")
fi

if [ "$background" = 1 ]; then
    setsid "${command[@]}" </dev/null >"$state/logs/background.out" 2>"$state/logs/background.err" &
    echo $!
    exit 0
fi

out="$state/logs/$$.out"
err="$state/logs/$$.err"
status=0
"${command[@]}" </dev/null >"$out" 2>"$err" || status=$?
cat "$out"
cat "$err" >&2
rm -f "$out" "$err"
exit "$status"
