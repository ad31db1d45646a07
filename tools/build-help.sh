#!/usr/bin/env bash
# Builds the help document tarvisk.chm from help/ with chmcmd (Debian package fp-utils), and a copy of its pages as
# plain UTF-8 HTML in tarvisk-help/ beside it: under Wine the program opens that copy in the host's web browser, since
# Wine's help viewer shows the contents tree but no page.
#
#   tools/build-help.sh [OUTPUT_DIR]      default: build/help under the repository
#
# The sources are UTF-8 so that they read and diff like every other file here; the
# help viewer decodes titles, the contents tree and the index with the ANSI code
# page, so everything is converted to GBK (code page 936) on the way in, and the
# pages' charset declarations follow. The chart pictures are taken from
# resources/art, the same files the program shows.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/build/help}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

command -v chmcmd >/dev/null || { echo "build-help.sh: chmcmd not found (apt-get install fp-utils)" >&2; exit 1; }
command -v strace >/dev/null || { echo "build-help.sh: strace not found (apt-get install strace)" >&2; exit 1; }

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT

for source in "$root"/help/*.hhp "$root"/help/*.hhc "$root"/help/*.hhk "$root"/help/*.htm "$root"/help/*.css; do
    name="$(basename "$source")"
    # iconv stops on a character GBK cannot hold instead of writing a question mark.
    if ! iconv -f UTF-8 -t GBK "$source" > "$stage/$name"; then
        echo "build-help.sh: $name has text that GBK cannot hold" >&2
        exit 1
    fi
    sed -i 's/charset=utf-8/charset=gb2312/' "$stage/$name"
done
cp "$root"/resources/art/chart86.gif "$root"/resources/art/chart98.gif "$root"/resources/art/chart-ident.gif "$stage/"

# The same sources give the same file (the release zip is reproducible). Left alone, chmcmd stamps the file with the
# time it runs and stores a few bytes it never set, which follow its memory layout (measured: they change with the
# environment's size and with address randomisation). So it runs with its clock fixed (strace answers its time() and
# gettimeofday() calls; the file's own time is shown nowhere), without address randomisation, in a fixed environment.
chm_time=946684800                                   # 2000-01-01 00:00 UTC
chm_timeval=80436d38000000000000000000000000         # struct timeval {chm_time, 0}, x86-64 byte order
(cd "$stage" && env -i PATH=/usr/bin:/bin setarch -R \
    strace -f -qq -o /dev/null -e trace=time,gettimeofday -e inject=time:retval="$chm_time" \
    -e inject=gettimeofday:poke_exit=@arg1="$chm_timeval" \
    chmcmd --verbosity 1 tarvisk.hhp >"$stage/chmcmd.log" 2>&1) || { cat "$stage/chmcmd.log" >&2; exit 1; }
[ -s "$stage/tarvisk.chm" ] || { cat "$stage/chmcmd.log" >&2; echo "build-help.sh: no tarvisk.chm" >&2; exit 1; }
# A broken link or a page left out of the project is only a warning to chmcmd; here it stops the build.
if grep -qi "warning\|error\|couldn't find\|not found" "$stage/chmcmd.log"; then
    cat "$stage/chmcmd.log" >&2
    echo "build-help.sh: chmcmd reported problems" >&2
    exit 1
fi

# The HTML copy: the UTF-8 sources as they are, each page headed by the contents tree of tarvisk.hhc as a line of
# links (the browser has no contents pane).
html="$stage/tarvisk-help"
mkdir -p "$html"
python3 - "$root/help" "$html" <<'PY'
import html, pathlib, re, sys
source, target = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
contents = (source / "tarvisk.hhc").read_text(encoding="utf-8")
entries = re.findall(r'<param name="Name" value="([^"]*)">\s*<param name="Local" value="([^"]*)">', contents)
pages = sorted(p.name for p in source.glob("*.htm"))
missing = sorted(set(pages) - {local for _, local in entries})
if missing:
    sys.exit("build-help.sh: pages missing from tarvisk.hhc: " + ", ".join(missing))
for page in pages:
    links = " | ".join(
        f"<b>{html.escape(name)}</b>" if local == page else f'<a href="{local}">{html.escape(name)}</a>'
        for name, local in entries)
    text = (source / page).read_text(encoding="utf-8")
    text, count = re.subn(r"(<body[^>]*>)", lambda m: m.group(1) + f'\n<p class="contents">{links}</p>', text, 1)
    if count != 1:
        sys.exit(f"build-help.sh: {page} has no <body>")
    (target / page).write_text(text, encoding="utf-8")
PY
cp "$root"/help/*.css "$root"/resources/art/chart86.gif "$root"/resources/art/chart98.gif \
   "$root"/resources/art/chart-ident.gif "$html/"

mv "$stage/tarvisk.chm" "$out/tarvisk.chm"
rm -rf "$out/tarvisk-help"
mv "$html" "$out/tarvisk-help"
echo "$out/tarvisk.chm"
