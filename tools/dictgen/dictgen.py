#!/usr/bin/env python3
"""Builds data/86.dll, 98.dll, fm.dll, py.dll and data/NOTICE from their source tables.

Usage: dictgen.py [--out DIR] [--weights FILE] [--cache DIR]

Besides the dictionaries it writes the character weights that order them (FILE,
bench/weights.txt by default), which the lookup benchmark uses to average over
lookups as often as people look the characters up.

The inputs are fetched once into the cache (see inputs.py) and pinned by
version and checksum, so running this twice gives byte-identical files.  After
writing, every file is read back the way the program scans it and compared
with what was meant to be written; any difference stops the build.
"""

import argparse
import os
import sys
import unicodedata

import inputs
import tables

COMPAT_NOTE = "compatibility ideographs take the readings of their canonical equivalents"


def log(*args):
    print(*args, file=sys.stderr)


def build(out_dir, weights_path, cache):
    rime_tree, rime_version = inputs.fetch_deb(cache, "rime-data-wubi")
    unicode_tree, unicode_version = inputs.fetch_deb(cache, "unicode-data")
    ibus_tree, ibus_version = inputs.fetch_deb(cache, "ibus-table-wubi")
    pinyin_dir, pinyin_version = inputs.fetch_npm(cache)

    hanzi = tables.gbk_hanzi()
    gb2312 = [c for c in hanzi if tables.in_gb2312(c)]
    if (len(hanzi), len(gb2312)) != (20923, 6763):
        raise tables.BuildError(f"GBK decoding gave {len(hanzi)} hanzi, {len(gb2312)} in GB2312")

    codes86, weights86 = inputs.read_rime_wubi86(rime_tree)
    jidian = inputs.read_jidian86(ibus_tree)
    codes98 = inputs.read_wubi98()
    unihan = inputs.read_unihan_readings(unicode_tree)
    equivalents = {c: unicodedata.normalize("NFC", c) for c in hanzi}
    pinyin = inputs.read_pinyin_pro(pinyin_dir, sorted(set(hanzi) | set(equivalents.values())))

    stats = {"ties86": [], "ties98": [], "jidian_disagree": [], "readings_from": {},
             "tone_numbers": []}
    full86, full98, freq, readings = {}, {}, {}, {}
    for c in hanzi:
        if c not in codes86 or c not in codes98:
            raise tables.BuildError(f"{c} U+{ord(c):04X} lacks an 86 or 98 code")
        full86[c], n = tables.full_code(codes86[c])
        if n > 1:
            stats["ties86"].append(c)
        longest = max(len(k) for k in codes86[c])
        other = jidian.get(c, [])
        other_longest = max((len(k) for k in other), default=0)
        if {k for k in codes86[c] if len(k) == longest} != {k for k in other if len(k) == other_longest}:
            stats["jidian_disagree"].append(c)
        full98[c], n = tables.full_code(codes98[c])
        if n > 1:
            stats["ties98"].append(c)
        # The longest code's weight is the table's character frequency; the
        # weights of the one- and two-letter short codes were set by hand.
        freq[c] = full_code_weight(weights86, c, full86[c])

        for source, found in (("pinyin-pro", pinyin.get(c)), ("Unihan", unihan.get(c)),
                              ("pinyin-pro, " + COMPAT_NOTE, pinyin.get(equivalents[c])
                               if equivalents[c] != c else None)):
            if found:
                readings[c] = tables.reading_list(found)
                stats["readings_from"][source] = stats["readings_from"].get(source, 0) + 1
                if any(r != unicodedata.normalize("NFC", r) or not _gbk_ok(r) for r in found):
                    stats["tone_numbers"].append(c)
                break

    if stats["jidian_disagree"]:
        raise tables.BuildError("rime wubi86 and ibus jidian86 disagree on the full codes of "
                                + "".join(stats["jidian_disagree"][:40]))

    order = sorted(hanzi, key=lambda c: (-freq[c], c.encode("gbk")))
    files = {
        "86.dll": [tables.encode_token(c, full86[c]) for c in order],
        "98.dll": [tables.encode_token(c, full98[c]) for c in order],
        "fm.dll": [tables.encode_token(c, full86[c]) for c in order if not tables.in_gb2312(c)],
        "py.dll": [tables.encode_token(c, readings[c]) for c in order if c in readings],
    }

    win_path, win936 = tables.windows_936()
    byte_weight = {c.encode("gbk"): freq[c] for c in hanzi}
    os.makedirs(out_dir, exist_ok=True)
    report = {}
    for name, tokens in files.items():
        data = tables.write_file(os.path.join(out_dir, name), tokens)
        with open(os.path.join(out_dir, name), "rb") as f:
            written = f.read()
        if written != data:
            raise tables.BuildError(f"{name}: file on disk differs from what was written")
        tables.check_file(name, written, tokens, win936)
        by_code_point = sorted(tokens, key=lambda t: ord(t[:2].decode("gbk")))
        by_gbk = sorted(tokens, key=lambda t: t[:2])
        report[name] = {
            "entries": len(tokens),
            "bytes": len(data),
            "scan": tables.scan_cost(tokens, byte_weight),
            "scan_code_point": tables.scan_cost(by_code_point, byte_weight),
            "scan_gbk": tables.scan_cost(by_gbk, byte_weight),
        }

    notice = render_notice(rime_version, unicode_version, ibus_version, pinyin_version,
                           inputs.package_text(pinyin_dir, "LICENSE"),
                           inputs.unihan_header(unicode_tree),
                           inputs.unicode_permission(unicode_tree), report, stats,
                           len(hanzi) - len(readings))
    with open(os.path.join(out_dir, "NOTICE"), "w", encoding="utf-8", newline="\n") as f:
        f.write(notice)
    tables.write_weights(weights_path, [(c.encode("gbk"), freq[c]) for c in order])

    log(f"GBK hanzi: {len(hanzi)} ({len(gb2312)} in GB2312); Windows 936 check: "
        f"{win_path or 'no code page table found, skipped'}")
    log(f"86 characters with several longest codes (first in a-y order taken): "
        f"{len(stats['ties86'])}; 98: {len(stats['ties98'])}")
    log(f"readings: {stats['readings_from']}; tone-number fallbacks in: "
        f"{''.join(stats['tone_numbers'])}")
    log(f"without a reading: {''.join(c for c in hanzi if c not in readings)}")
    for name, r in report.items():
        log(f"{name}: {r['entries']} entries, {r['bytes']} bytes; mean bytes scanned per lookup "
            f"{r['scan']:.0f} (code-point order {r['scan_code_point']:.0f}, "
            f"GBK order {r['scan_gbk']:.0f})")


def full_code_weight(weights, char, code):
    weight = weights.get((char, code))
    if not weight:
        raise tables.BuildError(f"{char} has no weight for its full code {code}")
    return weight


def _gbk_ok(reading):
    try:
        reading.encode("gbk")
        return True
    except UnicodeEncodeError:
        return False


def render_notice(rime_version, unicode_version, ibus_version, pinyin_version, mit_license,
                  unihan_header, unicode_permission, report, stats, readings_missing):
    counts = "\n".join(f"  {name}  {r['entries']} characters" for name, r in report.items())
    copyright_lines = "\n".join(line for line in unihan_header
                                 if "©" in line or "terms of use" in line)
    ties86 = stats["ties86"]
    ties86_gb = sum(1 for c in ties86 if tables.in_gb2312(c))
    return f"""Dictionary files: sources, terms and how they were made
========================================================

86.dll, 98.dll, fm.dll and py.dll were converted by tools/dictgen from the
tables below.  They are not the original files: each keeps one entry per
character in GBK (code page 936) text, one token per line.

{counts}

Sources
-------

Wubi 86 codes (86.dll, fm.dll) and the character frequencies (order of all
four files): the file wubi86.dict.yaml of the Debian package rime-data-wubi,
version {rime_version} (upstream rime-wubi, derived from the ibus-table
jidian86 table and the original work of Wang Yongmin).
Terms: GNU Lesser General Public License, version 3 (LGPL-3.0).  The table in
its original form is in that package; the license text is in
/usr/share/common-licenses/LGPL-3 on Debian systems.
Cross-checked against wubi-jidian86.db of the Debian package ibus-table-wubi,
version {ibus_version} (LGPL): both give the same longest codes for every GBK
hanzi.

Wubi 98 codes (98.dll): tables/wubi98-single.txt of the repository
fcitx/fcitx5-table-extra at commit 7fc4356c4ba35c3a53298c2384d66003152cb94a,
copied unchanged to data/sources/wubi98-single.txt.
Terms: that repository's README states that all of its data files are in the
public domain (its code is GPL-3.0-or-later; no code was taken).

Pinyin readings (py.dll): the npm package pinyin-pro, version {pinyin_version},
read with its own API (all readings of each character on its own).
Terms: MIT License, reproduced here:

{mit_license.strip()}

Readings for characters that pinyin-pro leaves without one: Unihan_Readings.txt
(fields kMandarin, kTGHZ2013, kXHC1983, kHanyuPinyin) of the Debian package
unicode-data, version {unicode_version}.
{copyright_lines}
Terms: the Unicode license, reproduced here from that package.  The data was
modified: only Mandarin readings were taken, and they were re-encoded.

{unicode_permission}

How the data was converted
--------------------------

- Characters: every GBK double-byte code that decodes to a CJK ideograph,
  compatibility ideographs included.  The bytes are the ones Windows code
  page 936 uses for each character.
- Codes: a character's full code is its longest code of the letters a-y.
  Where a table gives several codes of that length (86: {len(ties86)} characters,
  {ties86_gb} of them in GB2312; 98: {len(stats['ties98'])}), the first in alphabetical
  order is taken.
- fm.dll: the GBK hanzi outside GB2312, with their 86 codes.
- py.dll: all readings of a character, its most common first, separated by
  commas.  Readings are written with tone marks; a syllable whose toned letter
  GBK cannot hold (ḿ, ǹ, toned ê) is written with its base letters and the
  tone number after them (for example ng4).  Where pinyin-pro and Unihan
  give nothing, {COMPAT_NOTE}.
  {readings_missing} GBK hanzi have no Mandarin reading in any of these sources
  and are left out of py.dll.
- Order: most frequent character first, by the weight the rime wubi86 table
  gives the character's full code (web frequencies, per its changelog);
  equal weights in GBK code order.  The weights themselves are in
  bench/weights.txt (same source and terms), for the lookup benchmark.
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(inputs.REPO, "data"))
    parser.add_argument("--weights", default=os.path.join(inputs.REPO, "bench", "weights.txt"))
    parser.add_argument("--cache", default=inputs.DEFAULT_CACHE)
    args = parser.parse_args()
    try:
        build(args.out, args.weights, args.cache)
    except (inputs.InputError, tables.BuildError) as e:
        log(f"dictgen: {e}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
