#!/usr/bin/python3
"""Checks of the art generator: the facts it reads, the layout of the charts and
the containers it writes (read back with Pillow, an independent decoder).

Run: python3 tools/art/test_art.py
"""

import io
import os
import random
import struct
import sys
import unittest

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import charts  # noqa: E402
import containers as c  # noqa: E402
import drawing as d  # noqa: E402
import make_art  # noqa: E402
import wubi_facts as w  # noqa: E402

KEYS86 = w.edition_keys("86")
KEYS98 = w.edition_keys("98")
IDENT = w.identification_table()


class Facts(unittest.TestCase):
    def test_facts_file_is_consistent(self):
        self.assertEqual(w.check(KEYS86, KEYS98, IDENT), [])

    def test_editions_differ_where_the_sources_say(self):
        cases = [
            # letter, 86 key name, 98 key name, a verse fragment of each edition
            ("X", "纟", "幺", "慈母无心", "幺母贯头"),
            ("E", "月", "月", "乃用家衣底", "月用力豸毛衣臼"),
            ("W", "人", "人", "三四里", "人八登头单人几"),
            ("K", "口", "口", "字根稀", "口中两川三个竖"),
            ("A", "工", "工", "工戈草头右框七", "工戈草头右框七"),
        ]
        for letter, name86, name98, verse86, verse98 in cases:
            with self.subTest(letter=letter):
                self.assertEqual(KEYS86[letter].name, name86)
                self.assertEqual(KEYS98[letter].name, name98)
                self.assertIn(verse86, KEYS86[letter].verse)
                self.assertIn(verse98, KEYS98[letter].verse)

    def test_check_reports_damage(self):
        broken = dict(KEYS86)
        broken["G"] = w.Key("G", 12, "王", broken["G"].verse)
        del broken["X"]
        problems = w.check(broken, KEYS98, IDENT)
        self.assertTrue(any("G has code 12" in p for p in problems), problems)
        self.assertTrue(any("24 keys" in p for p in problems), problems)

    def test_reading_aids_are_removed_whole(self):
        self.assertEqual(w.strip_reading_aids("之字军盖道建底，摘礻（示）衤（衣）"), "之字军盖道建底，摘礻衤")
        self.assertEqual(w.strip_reading_aids("木丁西"), "木丁西")


class Layout(unittest.TestCase):
    def test_every_mnemonic_is_drawn_whole(self):
        for edition, keys in (("86", KEYS86), ("98", KEYS98)):
            boxes = charts.edition_layout(keys)
            self.assertEqual(sorted(b.key.letter for b in boxes), sorted(keys))
            for box in boxes:
                with self.subTest(edition=edition, key=box.key.letter):
                    shown = "".join(box.lines)
                    self.assertIn(shown, (box.key.verse, w.strip_reading_aids(box.key.verse)))
                    self.assertLessEqual(len(box.lines), 2)

    def test_keys_stay_inside_the_picture_and_do_not_overlap(self):
        width, height = charts.EDITION_SIZE
        f = d.font("cjk", 12)
        for edition, keys in (("86", KEYS86), ("98", KEYS98)):
            boxes = charts.edition_layout(keys)
            for box in boxes:
                with self.subTest(edition=edition, key=box.key.letter):
                    self.assertLessEqual(box.x + box.w, width)
                    self.assertLessEqual(box.y + box.h, height)
                    room = box.w - charts.KEY_BLOCK_W - charts.VERSE_PAD - charts.VERSE_PAD_RIGHT
                    self.assertLessEqual(max(d.text_width(f, line) for line in box.lines), room)
            for a in boxes:
                for b in boxes:
                    if a is not b and a.y == b.y:
                        self.assertTrue(a.x + a.w <= b.x or b.x + b.w <= a.x,
                                        (a.key.letter, b.key.letter))

    def test_line_breaking_keeps_punctuation_and_aids_attached(self):
        f = d.font("cjk", 12)
        cases = [
            ("口与川，字根稀", 48, ["口与川，", "字根稀"]),      # the comma never starts a line
            ("王旁青头戋（兼）五一", 72, ["王旁青头", "戋（兼）五一"]),  # 戋 keeps its aid
            ("大犬", 11, None),                                   # not even one character fits
        ]
        for text, width, expected in cases:
            with self.subTest(text=text):
                self.assertEqual(d.break_lines(text, f, width), expected)

    def test_fonts_have_every_character_drawn(self):
        text = "".join(k.verse + k.name for k in list(KEYS86.values()) + list(KEYS98.values()))
        for kind in ("cjk", "cjk-bold"):
            self.assertEqual(d.missing_glyphs(kind, text), [], kind)


class Containers(unittest.TestCase):
    def test_gif_round_trip_through_table_resets(self):
        rng = random.Random(7)
        for width, height, colours in ((1, 1, 2), (5, 3, 2), (64, 64, 4), (300, 200, 256), (17, 9, 16)):
            palette = [(i, 255 - i, (7 * i) % 256) for i in range(colours)]
            indices = [rng.randrange(colours) if rng.random() < 0.5 else (i // 37) % colours
                       for i in range(width * height)]
            for version, block in (("89a", True), ("87a", False)):
                with self.subTest(size=(width, height), colours=colours, version=version):
                    data = c.gif_bytes(width, height, palette, indices, version, block)
                    self.assertEqual(data[:6], b"GIF" + version.encode())
                    image = Image.open(io.BytesIO(data))
                    self.assertEqual(list(image.convert("RGB").getdata()),
                                     [palette[i] for i in indices])

    def test_gif87a_refuses_a_control_block(self):
        with self.assertRaises(ValueError):
            c.gif_bytes(1, 1, [(0, 0, 0), (1, 1, 1)], [0], "87a", True)

    def test_bitmaps_read_back_at_their_depth(self):
        rng = random.Random(3)
        for bits, width, height in ((4, 96, 15), (4, 7, 3), (8, 120, 34), (8, 5, 2)):
            with self.subTest(bits=bits, size=(width, height)):
                palette = [(rng.randrange(256), rng.randrange(256), rng.randrange(256))
                           for _ in range(1 << bits)]
                indices = [rng.randrange(1 << bits) for _ in range(width * height)]
                data = c.bmp_bytes(width, height, bits, palette, indices)
                biBitCount, = struct.unpack_from("<H", data, 14 + 14)
                biClrUsed, = struct.unpack_from("<I", data, 14 + 32)
                self.assertEqual((biBitCount, biClrUsed), (bits, 1 << bits))
                image = Image.open(io.BytesIO(data))
                self.assertEqual(list(image.convert("RGB").getdata()), [palette[i] for i in indices])

    def test_8bit_icon_keeps_its_mask_and_matte(self):
        picture = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
        picture.paste((200, 10, 10, 255), (8, 8, 24, 24))
        picture.putpixel((7, 8), (255, 255, 255, 128))
        entry = c.icon_8bit(picture, d.WINDOW_BLUE)
        # Where the mask shows the screen, the colour bits are XORed onto it: they must be black.
        dib = entry["data"]
        palette = [(dib[42 + 4 * i], dib[41 + 4 * i], dib[40 + 4 * i]) for i in range(256)]
        xor = dib[40 + 1024:40 + 1024 + 32 * 32]     # rows bottom-up
        for x, y in ((0, 0), (31, 31), (6, 8)):
            self.assertEqual(palette[xor[(31 - y) * 32 + x]], (0, 0, 0), (x, y))
        self.assertEqual(palette[xor[(31 - 16) * 32 + 16]], (200, 10, 10))
        image = Image.open(io.BytesIO(c.icon_file([entry]))).convert("RGBA")
        self.assertEqual(image.getpixel((0, 0))[3], 0)
        self.assertEqual(image.getpixel((16, 16)), (200, 10, 10, 255))
        half = tuple((255 + m) // 2 for m in d.WINDOW_BLUE)
        got = image.getpixel((7, 8))
        self.assertEqual(got[3], 255)
        self.assertTrue(all(abs(a - b) <= 2 for a, b in zip(got[:3], half)), got)

    def test_cursor_stores_its_hot_spot_and_masks(self):
        black = [i == 0 for i in range(1024)]
        white = [i == 33 for i in range(1024)]
        data = c.cursor_mono(black, white, (0, 0))
        reserved, kind, count = struct.unpack_from("<HHH", data)
        width, height, colours, _, hot_x, hot_y, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
        self.assertEqual((kind, count, width, height, colours, hot_x, hot_y), (2, 1, 32, 32, 2, 0, 0))
        self.assertEqual(size, 40 + 8 + 2 * 32 * 4)
        xor = data[offset + 48:offset + 48 + 128]
        mask = data[offset + 48 + 128:]
        # Rows are bottom-up: row 0 is the last of each mask.
        self.assertEqual(mask[31 * 4] & 0x80, 0)      # (0, 0) drawn
        self.assertEqual(xor[31 * 4] & 0x80, 0)       # ... in black
        self.assertEqual(xor[30 * 4] & 0x40, 0x40)    # (1, 1) white
        self.assertEqual(mask[0] & 0x80, 0x80)        # (0, 31) transparent


class Output(unittest.TestCase):
    def test_same_bytes_every_run(self):
        first, _ = make_art.pictures()
        second, _ = make_art.pictures()
        self.assertEqual(first, second)

    def test_committed_files_are_what_the_generator_draws(self):
        files, _ = make_art.pictures()
        for name, data in files.items():
            with self.subTest(name=name):
                with open(os.path.join(make_art.OUT, name), "rb") as f:
                    self.assertEqual(f.read(), data, "run tools/art/make_art.py")


if __name__ == "__main__":
    unittest.main()
