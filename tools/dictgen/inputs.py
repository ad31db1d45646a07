"""Fetches, caches and parses the tables the dictionaries are converted from.

Every input is pinned to one version and one SHA-256, so a rebuild from the
cache is byte-identical and a changed upstream file is refused instead of
quietly changing the dictionaries.  Downloads go through the ordinary package
clients (apt-get, npm) and land in the cache folder; once cached, nothing here
touches the network.
"""

import bz2
import collections
import hashlib
import json
import os
import re
import shutil
import sqlite3
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
DEFAULT_CACHE = os.path.join(HERE, ".cache")
WUBI98_SOURCE = os.path.join(REPO, "data", "sources", "wubi98-single.txt")

DEB_INPUTS = {
    "rime-data-wubi": (
        "0.0~git20200908.f1876f0-3",
        "bb30bbb6c5fec234c8e9d4fb1621d8f4c714cf8af3055d556891588f72a0b67e",
    ),
    "unicode-data": (
        "15.0.0-1",
        "5efef23bbb1c6a133ecbdd63a2cfa07159ccacf5466a49e2426101c5ecd691fc",
    ),
    "ibus-table-wubi": (
        "1.8.12-1",
        "6ad2e0a350a89f9b4066ebec6e533ace8c3fd1c611b6e161442e632acf452e95",
    ),
}
NPM_INPUT = (
    "pinyin-pro",
    "3.29.4",
    "433bc66ce6bcc23ff293b268a39452461e92987b9a13eefb7242cbe3103998cd",
)

CODE_RE = re.compile(r"[a-y]{1,4}")


class InputError(Exception):
    pass


def _sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def _checked(path, want):
    got = _sha256(path)
    if got != want:
        raise InputError(f"{os.path.basename(path)}: SHA-256 {got}, expected {want}; "
                         "the pinned input changed, review it and update the pin")
    return path


def _deb_path(cache, name):
    version, _ = DEB_INPUTS[name]
    # apt-get writes an epoch-less version with ':' escaped; none of ours has an epoch.
    for entry in sorted(os.listdir(cache)):
        if entry.startswith(f"{name}_{version}_") and entry.endswith(".deb"):
            return os.path.join(cache, entry)
    return None


def fetch_deb(cache, name):
    """Returns the unpacked tree of a pinned Debian package, downloading it once."""
    version, digest = DEB_INPUTS[name]
    os.makedirs(cache, exist_ok=True)
    deb = _deb_path(cache, name)
    if deb is None:
        subprocess.run(["apt-get", "download", f"{name}={version}"], cwd=cache, check=True)
        deb = _deb_path(cache, name)
        if deb is None:
            raise InputError(f"apt-get left no {name} {version} package in {cache}")
    _checked(deb, digest)
    tree = os.path.join(cache, f"{name}_{version}")
    if not os.path.isdir(tree):
        tmp = tempfile.mkdtemp(dir=cache)
        subprocess.run(["dpkg-deb", "-x", deb, tmp], check=True)
        os.rename(tmp, tree)
    return tree, version


def fetch_npm(cache):
    """Returns the unpacked pinyin-pro package folder, packing it once."""
    name, version, digest = NPM_INPUT
    os.makedirs(cache, exist_ok=True)
    tgz = os.path.join(cache, f"{name}-{version}.tgz")
    if not os.path.exists(tgz):
        subprocess.run(["npm", "pack", "--silent", f"{name}@{version}"], cwd=cache, check=True,
                       stdout=subprocess.DEVNULL)
    _checked(tgz, digest)
    tree = os.path.join(cache, f"{name}-{version}")
    if not os.path.isdir(tree):
        tmp = tempfile.mkdtemp(dir=cache)
        subprocess.run(["tar", "-xzf", tgz, "-C", tmp], check=True)
        os.rename(tmp, tree)
    return os.path.join(tree, "package"), version


def _collect(pairs):
    codes = collections.defaultdict(list)
    for char, code in pairs:
        if CODE_RE.fullmatch(code) and code not in codes[char]:
            codes[char].append(code)
    return codes


def read_rime_wubi86(tree):
    """Single-character codes and weights from the rime wubi86 dictionary.

    Returns (codes, weights): codes maps a character to its a-y codes in file
    order; weights maps (character, code) to the entry's weight.  Commented
    entries ('#' lines) are key-root duplicates and are skipped; the 'z' codes
    are the table's symbol menus, not Wubi codes.
    """
    path = os.path.join(tree, "usr", "share", "rime-data", "wubi86.dict.yaml")
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    body = lines[lines.index("...") + 1:]
    pairs, weights = [], {}
    for line in body:
        if not line or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields[0]) != 1:
            continue
        pairs.append((fields[0], fields[1]))
        if len(fields) > 2 and fields[2]:
            weights[(fields[0], fields[1])] = int(float(fields[2]))
    return _collect(pairs), weights


def read_jidian86(tree):
    """Single-character codes of ibus-table-wubi's jidian86 table, the cross-check for 86."""
    path = os.path.join(tree, "usr", "share", "ibus-table", "tables", "wubi-jidian86.db")
    con = sqlite3.connect(f"file:{path}?mode=ro", uri=True)
    try:
        rows = con.execute("SELECT phrase, tabkeys FROM phrases ORDER BY id").fetchall()
    finally:
        con.close()
    return _collect((p, k) for p, k in rows if len(p) == 1)


def read_wubi98(path=WUBI98_SOURCE):
    """Codes from the '[Data]' section of the 98 single-character table."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    pairs = []
    for line in lines[lines.index("[Data]") + 1:]:
        if not line:
            continue
        code, char = line.split(" ")
        pairs.append((char, code))
    return _collect(pairs)


def read_unihan_readings(tree):
    """Mandarin readings per character from Unihan, most authoritative field first.

    kMandarin holds the customary reading(s); the dictionary fields add the
    rarer ones.  Each value may carry a location prefix ("10019.020:tiàn") and
    list several readings.
    """
    path = os.path.join(tree, "usr", "share", "unicode", "Unihan_Readings.txt.bz2")
    fields = ("kMandarin", "kTGHZ2013", "kXHC1983", "kHanyuPinyin")
    found = collections.defaultdict(dict)
    with bz2.open(path, "rt", encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            cp, field, value = line.rstrip("\n").split("\t")
            if field in fields:
                found[chr(int(cp[2:], 16))][field] = value
    readings = {}
    for char, values in found.items():
        out = []
        for field in fields:
            for item in values.get(field, "").split():
                for reading in item.rsplit(":", 1)[-1].split(","):
                    reading = reading.rstrip("*")
                    if reading and reading not in out:
                        out.append(reading)
        readings[char] = out
    return readings


def unihan_header(tree):
    """The copyright lines of the Unihan file, repeated in the NOTICE."""
    path = os.path.join(tree, "usr", "share", "unicode", "Unihan_Readings.txt.bz2")
    out = []
    with bz2.open(path, "rt", encoding="utf-8") as f:
        for line in f:
            if not line.startswith("#"):
                break
            out.append(line[1:].strip())
    return out


def unicode_permission(tree):
    """The permission notice of the Unicode license, as the unicode-data package states it."""
    text = package_text(tree, os.path.join("usr", "share", "doc", "unicode-data", "copyright"))
    start = text.index("Permission is hereby granted")
    end = text.index("authorization of the copyright holder.") + len("authorization of the copyright holder.")
    return "\n".join(" ".join(line.split()) for line in text[start:end].splitlines())


def read_pinyin_pro(package_dir, chars):
    """All readings pinyin-pro gives each character on its own, in its order."""
    if shutil.which("node") is None:
        raise InputError("node is needed to read pinyin-pro (apt-get install nodejs)")
    script = os.path.join(HERE, "pinyin_dump.js")
    run = subprocess.run(["node", script, package_dir], input="".join(chars).encode("utf-8"),
                         stdout=subprocess.PIPE, check=True)
    table = json.loads(run.stdout.decode("utf-8"))
    # pinyin-pro echoes a character it has no reading for.
    return {c: r for c, r in table.items() if r and r != [c]}


def package_text(tree, relpath):
    with open(os.path.join(tree, relpath), encoding="utf-8") as f:
        return f.read()
