#!/usr/bin/env python3
"""Packs the portable Windows release: one zip that a user unpacks anywhere and runs.

    pack.py --build BUILD_DIR --out FILE.zip

BUILD_DIR is the Windows build tree (bin/tarvisk.exe, bin/tarvisk-lookup.exe, help/tarvisk.chm). The same sources
give the same bytes: every entry has the same time (SOURCE_DATE_EPOCH if set, else the time of the commit checked
out), the entries come in a fixed order, and nothing of the machine (owner, permissions, file times) goes in.
The text files are given CRLF line ends and a UTF-8 byte-order mark, so that every Windows Notepad shows them.
"""
import argparse
import datetime
import os
import pathlib
import subprocess
import sys
import zipfile

REPO = pathlib.Path(__file__).resolve().parents[2]
VERSION = (REPO / "VERSION").read_text(encoding="ascii").strip()
FOLDER = f"tarvisk-{VERSION}/"
LICENSES = pathlib.Path("/usr/share/common-licenses")


def contents(build):
    """(name in the zip, source file, is text) in the order they are stored."""
    return [
        ("tarvisk.exe", build / "bin/tarvisk.exe", False),
        ("tarvisk-lookup.exe", build / "bin/tarvisk-lookup.exe", False),
        ("86.dll", REPO / "data/86.dll", False),
        ("98.dll", REPO / "data/98.dll", False),
        ("fm.dll", REPO / "data/fm.dll", False),
        ("py.dll", REPO / "data/py.dll", False),
        ("tarvisk.chm", build / "help/tarvisk.chm", False),
        ("readme.txt", REPO / "tools/release/readme.txt", True),
        ("NOTICE", REPO / "data/NOTICE", True),
        # The 86 table's terms (LGPL 3, which builds on the GPL 3): NOTICE names them, these are their texts.
        ("licenses/LGPL-3.txt", LICENSES / "LGPL-3", True),
        ("licenses/GPL-3.txt", LICENSES / "GPL-3", True),
    ]


def source_date():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        return int(subprocess.run(["git", "-C", str(REPO), "log", "-1", "--format=%ct"], check=True,
                                  capture_output=True, text=True).stdout)
    except (OSError, subprocess.CalledProcessError, ValueError):
        sys.exit("pack.py: not a git checkout: set SOURCE_DATE_EPOCH to the time the release should carry")


def windows_text(data):
    text = data.decode("utf-8").replace("\r\n", "\n").replace("{VERSION}", VERSION)
    return b"\xef\xbb\xbf" + text.replace("\n", "\r\n").encode("utf-8")


def pack(build, out):
    entries = contents(build)
    missing = [str(source) for _, source, _ in entries if not source.is_file()]
    if missing:
        sys.exit("pack.py: missing: " + ", ".join(missing))
    # Zip times are local times without a zone; the UTC time of the commit is what every machine computes alike.
    stamp = datetime.datetime.fromtimestamp(max(source_date(), 315532800), datetime.timezone.utc)
    out.parent.mkdir(parents=True, exist_ok=True)
    partial = out.with_name(out.name + ".partial")
    with zipfile.ZipFile(partial, "w") as archive:
        for name, source, is_text in entries:
            info = zipfile.ZipInfo(FOLDER + name, date_time=stamp.timetuple()[:6])
            info.create_system = 0  # MS-DOS: no Unix owner or permission bits
            info.external_attr = 0x20  # the archive attribute, as Windows' own zips set it
            info.compress_type = zipfile.ZIP_DEFLATED
            data = source.read_bytes()
            archive.writestr(info, windows_text(data) if is_text else data, compresslevel=9)
    partial.replace(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, type=pathlib.Path, help="the Windows build tree")
    parser.add_argument("--out", required=True, type=pathlib.Path, help="the zip to write")
    arguments = parser.parse_args()
    pack(arguments.build.resolve(), arguments.out)


if __name__ == "__main__":
    main()
