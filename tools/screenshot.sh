#!/usr/bin/env bash
# Takes a screenshot of a Windows program running in a Wine virtual desktop on a private Xvfb.
#
#   tools/screenshot.sh [options] [OUT.png] [-- PROGRAM.exe [ARGS...]]
#
# Without a program it starts the built tarvisk.exe with data/ as its working directory. It waits until a window with
# the given title exists (by default the main window, "Tarvisk  最终版"), lets it paint, saves the whole virtual
# desktop (captions, taskbar and notification area included) and prints the picture's path. Then it stops the
# program, its wineserver and the Xvfb, unless --keep is given.
#
# Options:
#   --build DIR     cross build tree (default: $TARVISK_BUILD_DIR, else build/cross)
#   --size WxH      desktop size (default 800x600)
#   --title TEXT    window title to wait for (default "Tarvisk  最终版")
#   --cwd DIR       working directory of the program (default data/ for tarvisk.exe, else the current folder)
#   --delay SEC     wait this long after the window appears (default 1)
#   --timeout SEC   give up waiting after this long (default 90; the first run creates a Wine prefix)
#   --click X,Y     once the window is there, click this point of the desktop (repeatable; each click is followed
#                   by the delay), e.g. to open a dialog from a button
#   --do 'ARGS'     once the window is there, run `xdotool ARGS` on the desktop, in order with the clicks and followed
#                   by the delay, e.g. --do 'mousemove 789 590 click 3' (a right click) or --do 'type 工'
#   --crop GEOM     save only this part of the desktop (ImageMagick geometry WxH+X+Y)
#   --keep          leave the program running (prints the display to look at or drive it)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TARVISK_BUILD_DIR:-$repo/build/cross}
size=800x600
title='Tarvisk  最终版'
cwd=
delay=1
timeout=90
keep=0
out=
steps=()   # xdotool argument lists, run in order once the window is there
crop=

while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=$2; shift 2 ;;
        --size) size=$2; shift 2 ;;
        --title) title=$2; shift 2 ;;
        --cwd) cwd=$2; shift 2 ;;
        --delay) delay=$2; shift 2 ;;
        --timeout) timeout=$2; shift 2 ;;
        --click) steps+=("mousemove ${2%,*} ${2#*,} click 1"); shift 2 ;;
        --do) steps+=("$2"); shift 2 ;;
        --crop) crop=$2; shift 2 ;;
        --keep) keep=1; shift ;;
        --) shift; break ;;
        -*) echo "screenshot.sh: unknown option $1" >&2; exit 2 ;;
        *) out=$1; shift ;;
    esac
done

mkdir -p "$build"
build=$(cd "$build" && pwd)   # the program starts in another folder: its path must not be relative

if [ $# -gt 0 ]; then
    program=("$@")
    [ -n "$cwd" ] || cwd=$PWD
else
    program=("$build/bin/tarvisk.exe")
    [ -n "$cwd" ] || cwd=$repo/data
fi
if [ ! -f "${program[0]}" ]; then
    echo "screenshot.sh: ${program[0]} not found (build it first: tools/dev.sh run builds it)" >&2
    exit 1
fi
[ -n "$out" ] || out="$build/screenshots/tarvisk-$(date +%Y%m%d-%H%M%S).png"
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")

wine_run=("$repo/tools/wine-run.sh" --build "$build" --instance shot)
"${wine_run[@]}" --screen "${size}x24" --desktop "$size" --cwd "$cwd" --background "${program[@]}" >/dev/null
display=$(cat "$build/wine-state/shot/display")

found=0
deadline=$((SECONDS + timeout))
while [ $SECONDS -lt $deadline ]; do
    # In a virtual desktop every top-level window is an X child window of the desktop, named by its title.
    if xwininfo -display "$display" -root -tree 2>/dev/null | grep -qF "\"$title\""; then
        found=1
        break
    fi
    sleep 0.5
done
sleep "$delay"
for step in "${steps[@]}"; do
    read -r -a arguments <<<"$step"
    DISPLAY=$display xdotool "${arguments[@]}"
    sleep "$delay"
done
import -display "$display" -window root ${crop:+-crop "$crop"} +repage "$out"

if [ "$keep" = 1 ]; then
    echo "screenshot.sh: still running on DISPLAY=$display (stop: tools/wine-run.sh --build $build --instance shot --stop)" >&2
else
    "${wine_run[@]}" --stop
fi
echo "$out"
if [ "$found" = 0 ]; then
    echo "screenshot.sh: no window titled \"$title\" appeared within ${timeout}s; the picture shows the desktop as it was" >&2
    exit 1
fi
