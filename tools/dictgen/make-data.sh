#!/bin/sh
# Regenerates the four dictionaries and their NOTICE in data/ (and bench/weights.txt), then builds them a
# second time into a scratch folder and insists on byte-identical output.
# Needs apt-get, dpkg-deb, npm and node the first time (downloads are cached in
# tools/dictgen/.cache); afterwards it runs offline.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
python=${PYTHON:-/usr/bin/python3}
[ -x "$python" ] || python=python3

"$python" "$here/dictgen.py" --out "$repo/data" --weights "$repo/bench/weights.txt"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$python" "$here/dictgen.py" --out "$scratch" --weights "$scratch/weights.txt" 2>/dev/null
for f in 86.dll 98.dll fm.dll py.dll NOTICE; do
    cmp "$repo/data/$f" "$scratch/$f"
done
cmp "$repo/bench/weights.txt" "$scratch/weights.txt"
echo "make-data: second build is byte-identical"
"$python" -m unittest discover -s "$repo/tests/data"
