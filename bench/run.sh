#!/usr/bin/env bash
# The program's performance figures in one run, printed as one Markdown table (the README's Benchmark section):
# - a keystroke's lookup in each dictionary, the shipped scan against the token-by-token fscanf reading
#   (bench/lookup_bench.cpp, natively, in the Release tree build/bench without sanitizers);
# - tarvisk.exe's start-up to its visible window against a bare dialog program, its working set and GDI objects
#   after start-up and after many lookups (bench/startup/, under Wine through tools/wine-run.sh, in build/cross);
# - the size of tarvisk.exe as built and as the release zip holds it.
#
#   bench/run.sh [--runs N] [--lookups N] [--repetitions N]
#
# Build trees: build/bench and build/cross (TARVISK_BUILD_ROOT moves them, as for tools/dev.sh). The cross tree's
# Wine server and Xvfb are stopped at the end.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root=${TARVISK_BUILD_ROOT:-$repo/build}
bench="$build_root/bench"
cross="$build_root/cross"
runs=15
lookups=10000
repetitions=5
while [ $# -gt 0 ]; do
    case "$1" in
        --runs) runs=$2; shift 2 ;;
        --lookups) lookups=$2; shift 2 ;;
        --repetitions) repetitions=$2; shift 2 ;;
        *) echo "usage: bench/run.sh [--runs N] [--lookups N] [--repetitions N]" >&2; exit 2 ;;
    esac
done

log() { printf '==> %s\n' "$*" >&2; }

log "building the lookup benchmark in $bench"
cmake -S "$repo" -B "$bench" -DCMAKE_BUILD_TYPE=Release -DTARVISK_SANITIZE=OFF >/dev/null
cmake --build "$bench" --target tarvisk_lookup_bench >/dev/null
log "building tarvisk.exe, the release zip and the program benchmark in $cross"
cmake -S "$repo" -B "$cross" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.toolchain.cmake" >/dev/null
cmake --build "$cross" --target tarvisk_release_zip tarvisk_program_bench >/dev/null

log "timing the lookups ($repetitions repetitions)"
lookup_out=$("$bench/bench/tarvisk_lookup_bench" --benchmark_repetitions="$repetitions")
log "starting the programs under Wine ($runs runs each, then $lookups lookups)"
program_out=$("$repo/tools/wine-run.sh" --build "$cross" "$cross/bench/startup/tarvisk_program_bench.exe" \
    --tarvisk="$cross/bin/tarvisk.exe" --bare="$cross/bench/startup/bare_dialog.exe" --data="$repo/data" \
    --runs="$runs" --lookups="$lookups")
"$repo/tools/wine-run.sh" --build "$cross" --stop

echo "| figure | Tarvisk | yardstick | ratio | goal |"
echo "|---|---|---|---|---|"
# The lookup benchmark ends with rows "86.dll/weighted  shipped-us  fscanf-us  share  faster"; the files are ordered
# by how often a character is looked up, so the weighted stream is the common case and the last entry the rare one.
for kind in weighted:"common characters (weighted stream)" end:"a rare character (the file's last entry)"; do
    awk -v kind="${kind%%:*}" -v label="${kind#*:}" '
        $1 ~ "/" kind "$" { split($1, name, "/"); files = files sep name[1]; shipped = shipped sep $2
                             reference = reference sep $3; faster = faster sep sprintf("%.1f", $3 / $2); sep = " / " }
        END { printf "| lookup of %s in %s: CPU µs, fscanf ÷ shipped | %s | %s (fscanf) | %s | |\n",
                     label, files, shipped, reference, faster }' <<<"$lookup_out"
done
printf '%s\n' "$program_out" | tr -d '\r'
zip=$(ls "$cross"/release/tarvisk-*-win64.zip)
python3 - "$cross/bin/tarvisk.exe" "$zip" <<'EOF'
import os, sys, zipfile
exe, archive = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive) as z:
    entry = next(i for i in z.infolist() if i.filename.endswith("/tarvisk.exe"))
mb = lambda n: f"{n / 1048576:.2f}"
print(f"| size of tarvisk.exe in MB: build/cross/bin, in the release zip (packed) | {mb(os.path.getsize(exe))} | "
      f"{mb(entry.file_size)} ({mb(entry.compress_size)}) | | ≤ 1.5 |")
EOF
