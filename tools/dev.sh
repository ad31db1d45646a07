#!/usr/bin/env bash
# The project's two commands (see README.md), for Debian 12 or a recent Ubuntu, as root or through sudo.
#
#   tools/dev.sh run    install what is missing, build tarvisk.exe (Release) and start it under Wine with data/ as
#                       its working directory: a normal window with $DISPLAY; without one, a screenshot of it in a
#                       Wine virtual desktop on a private Xvfb (the path is printed; the program is then stopped)
#   tools/dev.sh test   install what is missing, build the native tree (sanitizers) and the Windows tree, run every
#                       test of both with ctest; exits non-zero on any failure
#   tools/dev.sh release  install what is missing, build the Windows programs and the help, and pack
#                       dist/tarvisk-VERSION-win64.zip (the same bytes every time for the same commit)
#
# Build trees: build/native and build/cross (TARVISK_BUILD_ROOT moves them).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root=${TARVISK_BUILD_ROOT:-$repo/build}
native="$build_root/native"
cross="$build_root/cross"
jobs=$(nproc 2>/dev/null || echo 2)

# Everything the build, the tests and the maintainer tools need, in one place.
PACKAGES=(
    cmake make g++                              # native tree
    clang libclang-rt-dev                       # fuzz targets (libFuzzer and the sanitizer runtimes)
    g++-mingw-w64-x86-64 mingw-w64-tools        # Windows tree (x86_64-w64-mingw32-g++-posix, windres)
    googletest libbenchmark-dev                 # tests (sources built by CMake), benchmarks
    wine wine64 fonts-wine                      # running the Windows programs
    xvfb xauth xdotool x11-utils imagemagick    # private X display, window lookup, screenshots
    fonts-wqy-microhei fonts-noto-cjk fonts-dejavu-core   # Chinese text and the dialog font substitutes
    fp-utils strace                             # chmcmd, the help file compiler (strace fixes its clock)
    python3 python3-pil unicode-data            # data and picture generators
    procps util-linux                           # pgrep, flock, setsid
)

log() { printf '==> %s\n' "$*" >&2; }

as_root() {
    if [ "$(id -u)" = 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "dev.sh: packages are missing and this is not root (and there is no sudo): run it as root" >&2
        exit 1
    fi
}

install_missing() {
    local missing=() package
    for package in "${PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null | grep -q '^ii'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    log "installing ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

configure_cross() {
    cmake -S "$repo" -B "$cross" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.toolchain.cmake" >/dev/null
}

configure_native() {
    cmake -S "$repo" -B "$native" -DCMAKE_BUILD_TYPE=Debug -DTARVISK_SANITIZE=ON >/dev/null
}

# The help beside the dictionaries, where the program looks for it: tarvisk.chm, and the HTML copy of its pages that
# the program opens in the host's browser under Wine.
copy_help() {
    if [ -f "$cross/help/tarvisk.chm" ]; then
        cp "$cross/help/tarvisk.chm" "$repo/data/tarvisk.chm"
    fi
    if [ -d "$cross/help/tarvisk-help" ]; then
        rm -rf "$repo/data/tarvisk-help"
        cp -r "$cross/help/tarvisk-help" "$repo/data/tarvisk-help"
    fi
}

cmd_run() {
    install_missing
    log "building tarvisk.exe in $cross"
    configure_cross
    local known targets=(--target tarvisk)
    known=$(cmake --build "$cross" --target help 2>/dev/null)
    if ! grep -qE '(^|[ .])tarvisk(:|$)' <<<"$known"; then
        echo "dev.sh: there is no tarvisk.exe to build yet (app/entry/ has no sources)" >&2
        exit 1
    fi
    if grep -qE '(^|[ .])tarvisk_help(:|$)' <<<"$known"; then
        targets+=(--target tarvisk_help)
    fi
    cmake --build "$cross" -j "$jobs" "${targets[@]}"
    copy_help

    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        log "starting tarvisk.exe on $DISPLAY (working directory data/)"
        local status=0
        "$repo/tools/wine-run.sh" --build "$cross" --instance desktop --display "$DISPLAY" --cwd "$repo/data" \
            "$cross/bin/tarvisk.exe" || status=$?
        "$repo/tools/wine-run.sh" --build "$cross" --instance desktop --stop
        return "$status"
    fi
    log "no X display: starting tarvisk.exe in a Wine virtual desktop on a private Xvfb"
    "$repo/tools/screenshot.sh" --build "$cross"
}

cmd_test() {
    install_missing
    local failed=0 started=$SECONDS

    log "native tree: $native"
    configure_native
    cmake --build "$native" -j "$jobs"
    log "Windows tree: $cross"
    configure_cross
    cmake --build "$cross" -j "$jobs"
    copy_help
    log "built in $((SECONDS - started)) s"

    local tests_started=$SECONDS
    log "native tests"
    ctest --test-dir "$native" --output-on-failure -j "$jobs" || failed=1
    log "Windows tests (under Wine)"
    ctest --test-dir "$cross" --output-on-failure -j "$jobs" || failed=1
    log "tests ran in $((SECONDS - tests_started)) s"

    if [ "$failed" != 0 ]; then
        log "FAILED"
        return 1
    fi
    log "all tests passed"
}

# The portable Windows zip. The cross tree packs it (tools/release/pack.py, target tarvisk_release_zip); it is packed
# afresh here, since its time is the checked-out commit's and the tree may have packed it at another commit.
cmd_release() {
    install_missing
    configure_cross
    rm -f "$cross"/release/tarvisk-*-win64.zip
    cmake --build "$cross" -j "$jobs" --target tarvisk_release_zip
    local zip
    zip=$(ls "$cross"/release/tarvisk-*-win64.zip)
    mkdir -p "$repo/dist"
    cp "$zip" "$repo/dist/"
    zip="$repo/dist/$(basename "$zip")"
    if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no 2>/dev/null)" ]; then
        log "note: the work tree has uncommitted changes; the zip holds them but carries the last commit's time"
    fi
    log "$(sha256sum "$zip" | cut -d' ' -f1)"
    echo "$zip"
}

case "${1:-}" in
    run) cmd_run ;;
    test) cmd_test ;;
    release) cmd_release ;;
    *)
        echo "usage: tools/dev.sh run | test | release" >&2
        exit 2
        ;;
esac
