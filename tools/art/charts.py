"""The radical charts the popups show, and the thumbnail that opens them.

Edition charts (598 x 166): one row per key zone, keys in position order from the
middle of the keyboard outward, each key with its letter, zone-position code,
key-name character and root mnemonic. The rows are laid out like a sentence: every
key gets the width its mnemonic needs on two lines of 12-pixel text, and the rest
of the row is shared out evenly, so the long 86 mnemonics (Q, T, Y, N) stay whole
and legible at 1:1. The keys' roots themselves do not fit legibly beside the
mnemonics at this size; the mnemonics name them.

Identification-code chart (476 x 186): the last-stroke x shape table used to
finish the code of a character with fewer than four roots, which is how rare
characters are typed.
"""

import math
import re
from dataclasses import dataclass

from PIL import Image, ImageDraw, ImageEnhance

import drawing as d
from wubi_facts import LAST_STROKES, SHAPES, ZONES, strip_reading_aids

EDITION_SIZE = (598, 166)
IDENT_SIZE = (476, 186)

ROW_PITCH = 33           # 5 rows of 32 pixels plus a rule each, and a closing rule
TITLE_W = 13             # the edition's title, written vertically
ZONE_W = 19              # zone label column
KEY_BLOCK_W = 24         # letter, code and key-name character at the left of a key
VERSE_PAD = 2            # left of the mnemonic
VERSE_PAD_RIGHT = 1


def _verse_layout(text, width):
    """The mnemonic in one line when it fits, else two lines: split after a comma
    when both halves fit, otherwise as evenly as the text allows."""
    f = d.font("cjk", 12)
    if d.text_width(f, text) <= width:
        return [text]
    for i, ch in enumerate(text[:-1]):
        if ch == "，" and max(d.text_width(f, text[:i + 1]), d.text_width(f, text[i + 1:])) <= width:
            return [text[:i + 1], text[i + 1:]]
    lines = d.break_lines(text, f, _balanced_width(text))
    if lines is None or len(lines) > 2 or max(d.text_width(f, line) for line in lines) > width:
        return None
    return lines


def _balanced_width(text):
    f = d.font("cjk", 12)
    width = 24
    while True:
        lines = d.break_lines(text, f, width)
        if lines is not None and len(lines) <= 2:
            return width
        width += 1


def _comma_width(text):
    """Width of the widest half when the mnemonic is split after a comma."""
    f = d.font("cjk", 12)
    widths = [max(d.text_width(f, text[:i + 1]), d.text_width(f, text[i + 1:]))
              for i, ch in enumerate(text[:-1]) if ch == "，"]
    return math.ceil(min(widths)) if widths else None


def _needed_width(text):
    """Two lines at most; a split at a comma reads better and is worth up to two
    more characters of width."""
    balanced = _balanced_width(text)
    comma = _comma_width(text)
    if comma is not None and comma <= balanced + 24:
        return comma
    return balanced


def _row_texts(keys, total):
    """The mnemonic each key of a row shows and the key widths: what each needs,
    plus an equal share of what is left (the remainder to the leftmost keys).
    Reading aids are dropped, widest key first, only while the row cannot hold them."""
    texts = [k.verse for k in keys]
    while True:
        need = [KEY_BLOCK_W + _needed_width(t) + VERSE_PAD + VERSE_PAD_RIGHT for t in texts]
        spare = total - sum(need)
        if spare >= 0:
            break
        candidates = [i for i, t in enumerate(texts) if t != strip_reading_aids(t)]
        if not candidates:
            raise ValueError("row does not fit: " + "".join(k.letter for k in keys))
        widest = max(candidates, key=lambda i: (need[i], -i))
        texts[widest] = strip_reading_aids(texts[widest])
    # Spare width first lets short mnemonics go on one line, cheapest first.
    one_line = [KEY_BLOCK_W + math.ceil(d.text_width(d.font("cjk", 12), t)) + VERSE_PAD + VERSE_PAD_RIGHT
                for t in texts]
    for i in sorted(range(len(keys)), key=lambda i: (one_line[i] - need[i], i)):
        if one_line[i] - need[i] <= spare:
            spare -= one_line[i] - need[i]
            need[i] = one_line[i]
    widths = [n + spare // len(keys) for n in need]
    for i in range(spare % len(keys)):
        widths[i] += 1
    return texts, widths


@dataclass(frozen=True)
class KeyBox:
    key: object
    zone: int
    x: int
    y: int
    w: int
    h: int
    lines: tuple     # the mnemonic as drawn, line by line


def edition_layout(keys):
    """Where every key of an edition goes and how its mnemonic breaks."""
    width = EDITION_SIZE[0]
    row_x = TITLE_W + 1 + ZONE_W + 1
    boxes = []
    for row, (zone, _, letters) in enumerate(ZONES):
        y = row * ROW_PITCH + 1
        row_keys = [keys[letter] for letter in letters]
        texts, widths = _row_texts(row_keys, width - row_x - (len(row_keys) - 1) - 1)
        x = row_x
        for key, text, w in zip(row_keys, texts, widths):
            lines = _verse_layout(text, w - KEY_BLOCK_W - VERSE_PAD - VERSE_PAD_RIGHT)
            boxes.append(KeyBox(key, zone, x, y, w, ROW_PITCH - 1, tuple(lines)))
            x += w + 1
    return boxes


def _draw_key(draw, box):
    x, y, w, h, key = box.x, box.y, box.w, box.h, box.key
    draw.rectangle((x, y, x + w - 1, y + h - 1), fill=d.ZONE_PALE[box.zone])
    letter_f = d.font("latin-condensed-bold", 12)
    draw.text((x + 2, y + 1), key.letter, font=letter_f, fill=d.ZONE_STRONG[box.zone])
    code_x = x + 2 + round(d.text_width(letter_f, key.letter)) + 1
    draw.text((code_x, y + 3), str(key.code), font=d.font("latin-condensed", 9), fill=d.GREY_INK)
    d.draw_centred(draw, (x + 2, y + 14, x + KEY_BLOCK_W - 3, y + h - 1), key.name,
                   d.font("cjk-bold", 15), d.INK)
    f = d.font("cjk", 12)
    top = y + (3 if len(box.lines) == 2 else 10)
    for i, line in enumerate(box.lines):
        # Reading aids in brackets are lighter: they help, they are not part of the verse.
        cx = x + KEY_BLOCK_W + VERSE_PAD
        for part in re.split(r"(（[^）]*）)", line):
            colour = d.GREY_INK if part.startswith("（") else d.INK
            draw.text((cx, top + 14 * i), part, font=f, fill=colour)
            cx += d.text_width(f, part)


def edition_chart(keys, edition):
    """keys: {letter: Key}; edition: '86' or '98'."""
    width, height = EDITION_SIZE
    image = Image.new("RGB", EDITION_SIZE, d.RULE)
    draw = ImageDraw.Draw(image)

    # Title strip, read top to bottom.
    draw.rectangle((0, 0, TITLE_W - 1, height - 1), fill=(52, 58, 64))
    d.draw_centred(draw, (0, 4, TITLE_W, 18), edition, d.font("latin-condensed-bold", 8), d.WHITE)
    f = d.font("cjk", 12)
    for i, ch in enumerate("版字根助记词"):
        d.draw_centred(draw, (0, 22 + 14 * i, TITLE_W, 36 + 14 * i), ch, f, d.WHITE)

    for row, (zone, zone_name, _) in enumerate(ZONES):
        y = row * ROW_PITCH + 1
        h = ROW_PITCH - 1
        draw.rectangle((TITLE_W + 1, y, TITLE_W + ZONE_W, y + h - 1), fill=d.ZONE_STRONG[zone])
        d.draw_centred(draw, (TITLE_W + 1, y + 1, TITLE_W + 1 + ZONE_W, y + 12), str(zone),
                       d.font("latin-bold", 10), d.WHITE)
        d.draw_centred(draw, (TITLE_W + 1, y + 14, TITLE_W + 1 + ZONE_W, y + h - 2),
                       zone_name, d.font("cjk", 13), d.WHITE)
    for box in edition_layout(keys):
        _draw_key(draw, box)
    return image


def thumbnail(chart, size):
    """The chart shrunk to the main window's thumbnail, with a frame so that it
    reads as a picture against the window's blue."""
    small = chart.resize((size[0] - 2, size[1] - 2), Image.Resampling.LANCZOS)
    # Shrinking mixes the pale zone colours with text into grey; bring the zones back.
    small = ImageEnhance.Contrast(ImageEnhance.Color(small).enhance(2.0)).enhance(1.15)
    image = Image.new("RGB", size, d.WHITE)
    image.paste(small, (1, 1))
    return image


# Under the table: the rule as the facts file states it, the 86 example pair of
# source [C], and the codes of the five single strokes ([C] [L] [K]).
IDENT_NOTES = (
    ("识别码：区号取最后一个字根的末笔，位号取字型，即 末笔×10＋字型。", d.INK),
    ("例（86 版）：只 KWU 上下型、末笔捺；叭 KWY 左右型、末笔捺。", d.GREY_INK),
    ("单笔画：一 GGLL　丨 HHLL　丿 TTLL　丶 YYLL　乙 NNLL", d.GREY_INK),
)


def identification_chart(ident, keys86, notes=IDENT_NOTES):
    """ident: {(shape, stroke): (letter, code)}; key names come from the 86 table
    (the fifteen keys involved carry the same key names in both editions);
    notes: up to three (text, colour) lines under the table."""
    width, height = IDENT_SIZE
    image = Image.new("RGB", IDENT_SIZE, d.WHITE)
    draw = ImageDraw.Draw(image)
    title_f = d.font("cjk-bold", 15)
    f = d.font("cjk", 12)

    draw.rectangle((0, 0, width - 1, 23), fill=(52, 58, 64))
    draw.text((8, 2), "末笔字型交叉识别码", font=title_f, fill=d.WHITE)
    note = "86 版与 98 版相同"
    draw.text((width - 8 - d.text_width(f, note), 5), note, font=f, fill=(222, 226, 230))

    left, top = 6, 28
    head_w, head_h, cell_h = 74, 19, 28
    cell_w = (width - 2 * left - head_w) // 5
    grid_w = head_w + 5 * cell_w
    draw.rectangle((left, top, left + grid_w, top + head_h + 3 * cell_h), fill=d.RULE)
    draw.rectangle((left + 1, top + 1, left + head_w - 1, top + head_h - 1), fill=(233, 236, 239))
    d.draw_centred(draw, (left + 1, top + 1, left + head_w, top + head_h), "字型＼末笔", f,
                   d.GREY_INK)
    for stroke, stroke_name in LAST_STROKES:
        x = left + head_w + (stroke - 1) * cell_w
        draw.rectangle((x + 1, top + 1, x + cell_w - 1, top + head_h - 1), fill=d.ZONE_STRONG[stroke])
        d.draw_centred(draw, (x + 1, top + 1, x + cell_w, top + head_h), f"{stroke_name} {stroke}",
                       f, d.WHITE)
    for shape, shape_name in SHAPES:
        y = top + head_h + (shape - 1) * cell_h
        draw.rectangle((left + 1, y + 1, left + head_w - 1, y + cell_h - 1), fill=(233, 236, 239))
        d.draw_centred(draw, (left + 1, y + 1, left + head_w, y + cell_h), f"{shape_name} {shape}",
                       f, d.INK)
        for stroke, _ in LAST_STROKES:
            letter, code = ident[(shape, stroke)]
            x = left + head_w + (stroke - 1) * cell_w
            draw.rectangle((x + 1, y + 1, x + cell_w - 1, y + cell_h - 1), fill=d.ZONE_PALE[stroke])
            draw.text((x + 9, y + 5), letter, font=d.font("latin-bold", 15),
                      fill=d.ZONE_STRONG[stroke])
            draw.text((x + 26, y + 9), str(code), font=d.font("latin-condensed", 10),
                      fill=d.GREY_INK)
            d.draw_centred(draw, (x + cell_w - 30, y + 1, x + cell_w - 6, y + cell_h),
                           keys86[letter].name, d.font("cjk-bold", 16), d.INK)

    y = top + head_h + 3 * cell_h + 5
    for i, (line, colour) in enumerate(notes):
        draw.text((left + 2, y + 16 * i), line, font=f, fill=colour)
    return image
