"""Checks the committed dictionary files as the program will read them.

The program splits a file at white space, takes the first two bytes of a token
as the character and stops at the first token whose key matches, so these
tests read the files the same way rather than trusting how they were written.
"""

import os
import re
import struct
import unittest

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DATA = os.path.join(REPO, "data")
FILES = ("86.dll", "98.dll", "fm.dll", "py.dll")
CODE = re.compile(rb"[a-y]{1,4}")
SYLLABLE = "[a-zāáǎàēéěèīíǐìōóǒòūúǔùǖǘǚǜüêńňɑɡ]+[1-4]?"
READINGS = re.compile(f"{SYLLABLE}(,{SYLLABLE})*")
WINDOWS_936 = ("/usr/share/wine/nls/c_936.nls", "/usr/lib/wine/nls/c_936.nls")


def load(name):
    with open(os.path.join(DATA, name), "rb") as f:
        return f.read()


def tokens(data):
    return [t for t in re.split(rb"[ \t\n\v\f\r]+", data) if t]


def lookup(data, char):
    """What the program's scan returns for a character: the first token with its key."""
    key = char.encode("gbk")
    for token in tokens(data):
        if token[:2] == key:
            return token[2:].decode("gbk")
    return None


def gbk_hanzi():
    out = []
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            try:
                char = bytes((lead, trail)).decode("gbk")
            except UnicodeDecodeError:
                continue
            cp = ord(char)
            if 0x4E00 <= cp <= 0x9FFF or 0xF900 <= cp <= 0xFAFF or 0x3400 <= cp <= 0x4DBF:
                out.append(char)
    return out


def in_gb2312(char):
    lead, trail = char.encode("gbk")
    return 0xB0 <= lead <= 0xF7 and 0xA1 <= trail <= 0xFE


def windows_936_pairs():
    """Double-byte table of Wine's Windows code page 936 file, or None without Wine."""
    for path in WINDOWS_936:
        if os.path.exists(path):
            with open(path, "rb") as f:
                data = f.read()
            w = struct.unpack(f"<{len(data) // 2}H", data[: len(data) // 2 * 2])
            pos = w[0] + 1 + 256
            pos += 1 + (256 if w[pos] else 0) + 1
            table = {}
            for lead, off in enumerate(w[pos:pos + 256]):
                if off:
                    for trail, uni in enumerate(w[pos + off:pos + off + 256]):
                        table[bytes((lead, trail))] = uni
            return table
    return None


class DictionaryFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.raw = {name: load(name) for name in FILES}
        cls.entries = {}
        for name, data in cls.raw.items():
            cls.entries[name] = [(t[:2], t[2:]) for t in tokens(data)]
        cls.hanzi = gbk_hanzi()

    def test_layout_one_token_per_crlf_line(self):
        for name, data in self.raw.items():
            with self.subTest(file=name):
                data.decode("gbk")  # strict: any byte sequence GBK lacks raises
                self.assertTrue(data.endswith(b"\r\n"), "last line must end in CRLF")
                lines = data[:-2].split(b"\r\n")
                for line in lines:
                    self.assertRegex(line, rb"^[^ \t\n\v\f\r]{3,}$")
                self.assertEqual(len(lines), len(self.entries[name]))

    def test_keys_are_unique_gbk_hanzi(self):
        hanzi = {c.encode("gbk") for c in self.hanzi}
        for name, entries in self.entries.items():
            with self.subTest(file=name):
                keys = [k for k, _ in entries]
                self.assertEqual(len(keys), len(set(keys)), "duplicate keys hide entries")
                self.assertLessEqual(set(keys), hanzi)

    def test_values(self):
        for name, entries in self.entries.items():
            with self.subTest(file=name):
                for key, value in entries:
                    if name == "py.dll":
                        self.assertRegex(value.decode("gbk"), READINGS, key.decode("gbk"))
                        readings = value.decode("gbk").split(",")
                        self.assertEqual(len(readings), len(set(readings)), key.decode("gbk"))
                    else:
                        self.assertRegex(value, CODE, key.decode("gbk"))

    def test_coverage(self):
        self.assertEqual(len(self.hanzi), 20923)
        all_keys = {c.encode("gbk") for c in self.hanzi}
        rare = {c.encode("gbk") for c in self.hanzi if not in_gb2312(c)}
        common = all_keys - rare
        self.assertEqual((len(common), len(rare)), (6763, 14160))
        keys = {name: {k for k, _ in e} for name, e in self.entries.items()}
        self.assertEqual(keys["86.dll"], all_keys)
        self.assertEqual(keys["98.dll"], all_keys)
        self.assertEqual(keys["fm.dll"], rare)
        self.assertGreaterEqual(len(keys["py.dll"]), 20900)
        self.assertLessEqual(common, keys["py.dll"], "every GB2312 hanzi needs a reading")

    def test_rare_file_repeats_the_86_codes(self):
        codes86 = dict(self.entries["86.dll"])
        for key, code in self.entries["fm.dll"]:
            self.assertEqual(code, codes86[key], key.decode("gbk"))

    def test_known_characters(self):
        cases = [
            ("86.dll", "我", "trnt"), ("98.dll", "我", "trny"),
            ("86.dll", "年", "rhfk"), ("98.dll", "年", "tgj"),
            ("86.dll", "及", "eyi"), ("98.dll", "及", "byi"),
            ("86.dll", "键", "qvfp"), ("98.dll", "键", "qvgp"),
            ("86.dll", "王", "gggg"), ("98.dll", "王", "gggg"),
            ("86.dll", "一", "ggll"), ("fm.dll", "年", None),
            ("py.dll", "我", "wǒ"), ("py.dll", "绿", "lǜ,lù"),
            ("py.dll", "嗯", "ng4,ńg,ňg"),  # GBK has no ǹ: tone number instead
        ]
        for name, char, want in cases:
            with self.subTest(file=name, char=char):
                self.assertEqual(lookup(self.raw[name], char), want)
        self.assertTrue(lookup(self.raw["py.dll"], "行").startswith("xíng,"))
        self.assertLessEqual({"cháng", "zhǎng"}, set(lookup(self.raw["py.dll"], "长").split(",")))

    def test_frequent_characters_come_first(self):
        for name in ("86.dll", "98.dll", "py.dll"):
            with self.subTest(file=name):
                head = {k.decode("gbk") for k, _ in self.entries[name][:100]}
                self.assertLessEqual(set("的一是在不了人我有这"), head)

    def test_benchmark_weights_follow_the_dictionary_order(self):
        # The lookup benchmark averages by these weights; a stale file would weigh the wrong characters.
        with open(os.path.join(REPO, "bench", "weights.txt"), "rb") as f:
            rows = [(line[:2], int(line[3:])) for line in f.read().split(b"\n") if line]
        self.assertEqual([k for k, _ in rows], [k for k, _ in self.entries["86.dll"]])
        weights = [w for _, w in rows]
        self.assertEqual(weights, sorted(weights, reverse=True))
        self.assertGreater(weights[-1], 0)

    def test_windows_code_page_936_reads_the_same_characters(self):
        table = windows_936_pairs()
        if table is None:
            self.skipTest("no Windows code page 936 table (Wine) on this machine")
        for name, data in self.raw.items():
            with self.subTest(file=name):
                text = data.decode("gbk")
                pairs = [c.encode("gbk") for c in text if ord(c) >= 0x80]
                for pair in pairs:
                    self.assertEqual(chr(table[pair]), pair.decode("gbk"), pair.hex())


class Sources(unittest.TestCase):
    def test_98_codes_follow_the_committed_source(self):
        longest = {}
        with open(os.path.join(DATA, "sources", "wubi98-single.txt"), encoding="utf-8") as f:
            lines = f.read().split("\n")
        for line in lines[lines.index("[Data]") + 1:]:
            if not line:
                continue
            code, char = line.split(" ")
            if re.fullmatch("[a-y]{1,4}", code):
                # Longest code; of equally long ones the first in a-y order.
                best = longest.get(char)
                if best is None or (-len(code), code) < (-len(best), best):
                    longest[char] = code
        for key, code in tokens_of("98.dll"):
            char = key.decode("gbk")
            self.assertEqual(code.decode("ascii"), longest[char], char)

    def test_notice_names_every_source_and_its_terms(self):
        with open(os.path.join(DATA, "NOTICE"), encoding="utf-8") as f:
            notice = f.read()
        for needle in ("rime-data-wubi", "LGPL-3.0", "fcitx5-table-extra", "public domain",
                       "pinyin-pro, version", "MIT License", "unicode-data, version",
                       "Unicode", "converted"):
            with self.subTest(needle=needle):
                self.assertIn(needle, notice)
        with open(os.path.join(DATA, "sources", "README"), encoding="utf-8") as f:
            self.assertIn("7fc4356c4ba35c3a53298c2384d66003152cb94a", f.read())


def tokens_of(name):
    return [(t[:2], t[2:]) for t in tokens(load(name))]


if __name__ == "__main__":
    unittest.main()
