"""The radical-chart facts, read from wubi-keys.md beside this file.

That page was compiled and cross-checked from public sources; the charts draw
nothing that is not in it. Its sources, by the letters it uses:

86 edition
  [A] hanzi-chai/chai, Chai/preset/wubi86.schema.yaml @08b30afa
  [B] LtyWK/wubi-practice, scripts/sources/zigen.json @1c79f012
  [C] kakuchange/effectiveSkill, wuBi.md @8977a3e6
  [D] hantang/search-wubi, docs/wiki/data/roots-mnemonic.tsv @33edeb0d
  [E] Chenpeel/Chenpeel.github.io, docs/tools/wubi.md @2b819d5d
  [F] LtyWK/wubi-practice, scripts/sources/zigen-86.json and scripts/build-zigen.ts @517287b6
  [P1] yc00.com/xitong/1710646397a1792431.html    [P2] yipin100.com/a/7-510246.html
  [P3] bkzs.com.cn/a/655897.html                   [P4] ningxialong.com/c/0QX961M2022_3.html
  [P5] news.sghqlz.com/zhjx/202407/15101.html      [P6] feitkaoshi.cn/zuoye/4276833
  [P7] zuoybang.com/zuoye/19218
98 edition
  [G] yanhuacuo/98wubi, lua/hotstring.txt @e140e5b4
  [H] DukeHuang/wubi, Wubi/ContentViewState.swift @3c18da0a
  [I] LtyWK/wubi-practice, scripts/build-zigen.ts and scripts/sources/zigen-98.json @517287b6
  [J] hanzi-chai/chai, Chai/preset/wubi98.schema.yaml @08b30afa,
      examples/wubi98/wubi98.config.yaml @e722ffe8, examples/wubi98/wubi98.py @67950078
  [K] kitty-panics/unicode-cjk-98wubi, CJK-Unified-Ideographs.txt @87385e2b
  [L] yanhuacuo/98wubi-tables wiki, pages 例字举要 and 汉字的分类
  [P8] blog.csdn.net/a181001_/article/details/147708948 (minority check only)
Identification codes
  86: [P4] [P5] [P6] [P7] [C];  98: [J] (wubi98.py), [L], consistent with [K]
"""

import os
import re
from dataclasses import dataclass

FACTS_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "wubi-keys.md")

# Zone names and their key order, counted outward from the middle of the keyboard.
ZONES = (
    (1, "横", "GFDSA"),
    (2, "竖", "HJKLM"),
    (3, "撇", "TREWQ"),
    (4, "捺", "YUIOP"),
    (5, "折", "NBVCX"),
)

SHAPES = ((1, "左右型"), (2, "上下型"), (3, "杂合型"))
LAST_STROKES = ((1, "横"), (2, "竖"), (3, "撇"), (4, "捺"), (5, "折"))


@dataclass(frozen=True)
class Key:
    letter: str
    code: int          # zone-position number, e.g. 11 for G
    name: str          # key-name character
    verse: str         # root mnemonic, reading aids in full-width brackets


def _table_rows(text, heading):
    """Rows of the first markdown table after `heading`, cells stripped."""
    start = text.index(heading)
    rows = []
    for line in text[start:].splitlines()[1:]:
        if line.startswith("|"):
            cells = [c.strip() for c in line.strip().strip("|").split("|")]
            if set("".join(cells)) <= set("-: "):
                continue
            rows.append(cells)
        elif rows:
            break
    return rows[1:]  # without the header row


def _read(path=FACTS_FILE):
    with open(path, encoding="utf-8") as f:
        return f.read()


def edition_keys(edition, path=FACTS_FILE):
    """The 25 keys of edition '86' or '98', keyed by letter."""
    heading = {"86": "## Table 1: 86 edition", "98": "## Table 2: 98 edition"}[edition]
    keys = {}
    for letter, code, name, verse, _roots in _table_rows(_read(path), heading):
        keys[letter] = Key(letter, int(code), name, verse)
    return keys


def identification_table(path=FACTS_FILE):
    """{(shape, last stroke): (letter, code)} from the last-stroke x shape table."""
    table = {}
    for row in _table_rows(_read(path), "## Table 3:"):
        shape = int(re.search(r"\((\d)\)", row[0]).group(1))
        for stroke, cell in enumerate(row[1:], start=1):
            letter, code = cell.split()
            table[(shape, stroke)] = (letter, int(code))
    return table


def strip_reading_aids(verse):
    """The verse without the optional aids in full-width brackets, e.g. 戋（兼） -> 戋."""
    return re.sub(r"（[^）]*）", "", verse)


def check(keys86, keys98, ident):
    """Consistency checks that catch a damaged or mistyped facts file."""
    problems = []
    for edition, keys in (("86", keys86), ("98", keys98)):
        if len(keys) != 25:
            problems.append(f"{edition}: {len(keys)} keys, not 25")
        for zone, _, letters in ZONES:
            for position, letter in enumerate(letters, start=1):
                key = keys.get(letter)
                if key is None:
                    problems.append(f"{edition}: key {letter} missing")
                elif key.code != 10 * zone + position:
                    problems.append(f"{edition}: {letter} has code {key.code}")
                elif len(key.name) != 1:
                    problems.append(f"{edition}: {letter} key name {key.name!r}")
                elif not key.verse:
                    problems.append(f"{edition}: {letter} has no verse")
    for (shape, stroke), (letter, code) in ident.items():
        expected = ZONES[stroke - 1][2][shape - 1]
        if letter != expected or code != 10 * stroke + shape:
            problems.append(f"identification {shape},{stroke}: {letter} {code}")
        # The identification chart shows one key-name character per key for both editions.
        if letter in keys86 and letter in keys98 and keys86[letter].name != keys98[letter].name:
            problems.append(f"identification key {letter} has two key names")
    if len(ident) != 15:
        problems.append(f"identification table has {len(ident)} cells")
    return problems
