"""Turns the parsed source tables into the four dictionary files.

The files are read by a scan that splits the bytes at white space, takes the
first two bytes of each token as the character and stops at the first token
whose key matches.  Everything here serves that reader: one token per
character, GBK bytes that Windows code page 936 decodes to the same
characters, and the most frequent characters first so that common lookups stop
early.

Python's gbk codec and Windows code page 936 agree on every double-byte code
the codec decodes (checked against Wine's copy of the Windows table, which the
build repeats whenever Wine is installed).  They differ only where no hanzi
lives: 0x80 (the euro sign in 936) and the user-defined areas, which 936 maps
to private-use characters and the codec refuses.  So encoding with the codec,
strictly, can only produce bytes Windows decodes the same way, and anything it
cannot encode stops the build instead of being written.
"""

import os
import re
import struct
import unicodedata

WHITE_SPACE = b" \t\n\v\f\r"
TOKEN_SPLIT = re.compile(rb"[ \t\n\v\f\r]+")

# Wine's copy of the Windows code page 936 table, used to prove that every byte
# pair we write decodes on Windows exactly as Python's gbk codec decoded it.
WINDOWS_936_TABLES = (
    "/usr/share/wine/nls/c_936.nls",
    "/usr/lib/wine/nls/c_936.nls",
)

TONE_NUMBER = {"\u0304": "1", "\u0301": "2", "\u030c": "3", "\u0300": "4"}
READING_RE = re.compile("[a-zāáǎàēéěèīíǐìōóǒòūúǔùǖǘǚǜüêńňɑɡ]+[1-4]?")


class BuildError(Exception):
    pass


def is_hanzi(char):
    cp = ord(char)
    return 0x3400 <= cp <= 0x4DBF or 0x4E00 <= cp <= 0x9FFF or 0xF900 <= cp <= 0xFAFF


def gbk_hanzi():
    """Every CJK ideograph that a GBK double-byte code decodes to, in code order."""
    out = []
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            if trail == 0x7F:
                continue
            try:
                char = bytes((lead, trail)).decode("gbk")
            except UnicodeDecodeError:
                continue
            if is_hanzi(char):
                out.append(char)
    return out


def in_gb2312(char):
    # GB2312's hanzi occupy rows 0xB0-0xF7, cells 0xA1-0xFE of the GBK code space.
    lead, trail = char.encode("gbk")
    return 0xB0 <= lead <= 0xF7 and 0xA1 <= trail <= 0xFE


def read_windows_936(path):
    """Double-byte map of a Wine/Windows code page file (.nls), or None if absent.

    Layout: a header of 13 words, the offset word of the wide-char table, 256
    single-byte entries, an optional 256-entry glyph table, a word counting
    DBCS ranges, 256 per-lead-byte offsets, then the 256-word trail tables they
    point at (offsets counted in words from the offset array).
    """
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        data = f.read()
    words = struct.unpack(f"<{len(data) // 2}H", data[: len(data) // 2 * 2])
    pos = words[0] + 1 + 256
    glyph_table = words[pos]
    pos += 1 + (256 if glyph_table else 0)
    dbcs_ranges = words[pos]
    pos += 1
    if not dbcs_ranges:
        return {}
    offsets = words[pos:pos + 256]
    table = {}
    for lead, off in enumerate(offsets):
        if off:
            trail_table = words[pos + off:pos + off + 256]
            for trail, uni in enumerate(trail_table):
                table[bytes((lead, trail))] = uni
    return table


def windows_936():
    for path in WINDOWS_936_TABLES:
        table = read_windows_936(path)
        if table is not None:
            return path, table
    return None, None


def full_code(codes):
    """The longest code; of several equally long ones, the first in a-y order."""
    longest = max(len(c) for c in codes)
    candidates = sorted(c for c in codes if len(c) == longest)
    return candidates[0], len(candidates)


def gbk_reading(reading):
    """A reading in tone marks, with a tone number where GBK lacks the tone letter.

    GBK holds the 24 toned vowels, ü, ê, ń and ň, but not ḿ, ǹ or toned ê;
    those syllables keep their base letters and carry the tone as a final digit.
    """
    reading = unicodedata.normalize("NFC", reading)
    try:
        reading.encode("gbk")
    except UnicodeEncodeError:
        decomposed = unicodedata.normalize("NFD", reading)
        tones = [TONE_NUMBER[c] for c in decomposed if c in TONE_NUMBER]
        base = unicodedata.normalize("NFC", "".join(c for c in decomposed if c not in TONE_NUMBER))
        reading = base + "".join(tones[:1])
    if not READING_RE.fullmatch(reading):
        raise BuildError(f"reading {reading!r} is not a pinyin syllable GBK can hold")
    return reading


def reading_list(readings):
    out = []
    for r in readings:
        r = gbk_reading(r)
        if r not in out:
            out.append(r)
    return ",".join(out)


def encode_token(char, value):
    token = (char + value).encode("gbk")
    if any(b in WHITE_SPACE for b in token) or len(token) < 3:
        raise BuildError(f"token for {char} would not survive the reader: {token!r}")
    return token


def write_file(path, tokens):
    data = b"".join(t + b"\r\n" for t in tokens)
    with open(path, "wb") as f:
        f.write(data)
    return data


def write_weights(path, weighted):
    """One line per character, in dictionary order: its two GBK bytes, a space, its weight."""
    with open(path, "wb") as f:
        f.write(b"".join(key + b" " + str(weight).encode() + b"\n" for key, weight in weighted))


def read_back(data):
    """Key -> token, as the program's scan sees the file: the first token of a key wins."""
    found = {}
    for token in TOKEN_SPLIT.split(data):
        if token:
            found.setdefault(token[:2], token)
    return found


def check_file(name, data, tokens, win936):
    """Reads a written file back the way the program does and compares it with the intent."""
    problems = []
    intended = {t[:2]: t for t in tokens}
    if len(intended) != len(tokens):
        problems.append("duplicate keys")
    seen = read_back(data)
    if seen != intended:
        problems.append(f"read-back differs: {len(set(seen.items()) ^ set(intended.items()))} tokens")
    lines = data.split(b"\r\n")
    if lines[-1] != b"" or any(b"\n" in l or b"\r" in l for l in lines):
        problems.append("line ends are not all CRLF")
    text = data.decode("gbk")
    if win936 is not None:
        i = 0
        while i < len(data):
            b = data[i]
            if b < 0x80:
                i += 1
                continue
            pair = data[i:i + 2]
            if win936.get(pair) != ord(pair.decode("gbk")):
                problems.append(f"code page 936 decodes {pair.hex()} differently")
                break
            i += 2
    if problems:
        raise BuildError(f"{name}: " + "; ".join(problems))
    return text


def scan_cost(tokens, weights):
    """Bytes the scan reads before it stops on a character, averaged by frequency.

    The reader stops right after the matching token, so a character costs the
    file offset at which its token ends (CRLF line ends included before it).
    """
    total_w = total = 0
    offset = 0
    for t in tokens:
        offset += len(t)
        w = weights[t[:2]]
        total += w * offset
        total_w += w
        offset += 2
    return total / total_w
