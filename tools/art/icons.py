"""The program's icon, the button icons, the pointing-hand cursor, the menu strip
and the About picture.

Everything the main window and the hotkey dialog show stands on their blue
(49, 106, 197): the button icons are round badges in one flat style, drawn four
times larger and reduced so that their edges are smooth, then flattened onto that
blue wherever they are partly transparent (an 8-bit icon has only an on/off mask).
"""

from PIL import Image, ImageDraw

import drawing as d

SCALE = 4  # supersampling factor for the smooth pictures


def _canvas(size):
    return Image.new("RGBA", (size * SCALE, size * SCALE), (0, 0, 0, 0))


def _reduce(image, size):
    return image.resize((size, size), Image.Resampling.LANCZOS)


def _s(v):
    return round(v * SCALE)


# ---------------------------------------------------------------------------
# The program's icon: a key cap carrying a key letter and its key-name character,
# the same pairing the charts use (G and 王, the first key of the first zone).

def app_icon(size):
    image = _canvas(size)
    draw = ImageDraw.Draw(image)
    u = size / 32.0
    # Cap shadow, cap body and its lighter top face.
    draw.rounded_rectangle((_s(2 * u), _s(3 * u), _s(30 * u), _s(31 * u)), radius=_s(6 * u),
                           fill=(24, 52, 110, 255))
    draw.rounded_rectangle((_s(1 * u), _s(1 * u), _s(29 * u), _s(29 * u)), radius=_s(6 * u),
                           fill=(226, 232, 240, 255))
    draw.rounded_rectangle((_s(3 * u), _s(2.5 * u), _s(27 * u), _s(25 * u)), radius=_s(5 * u),
                           fill=(255, 255, 255, 255))
    if size >= 32:
        letter_f = d.font("latin-bold", _s(7 * u))
        draw.text((_s(5 * u), _s(3.5 * u)), "G", font=letter_f, fill=d.ZONE_STRONG[1] + (255,))
        d.draw_centred(draw, (_s(9 * u), _s(9 * u), _s(26 * u), _s(24.5 * u)), "王",
                       d.font("cjk-bold", _s(15 * u)), (33, 37, 41, 255))
    else:
        # At 16 pixels the letter would be a smudge: the character alone, larger.
        d.draw_centred(draw, (_s(3 * u), _s(3 * u), _s(27 * u), _s(25 * u)), "王",
                       d.font("cjk-bold", _s(22 * u)), (33, 37, 41, 255))
    return _reduce(image, size)


# ---------------------------------------------------------------------------
# Button badges

BADGE = {
    "help": (36, 138, 76),       # green
    "about": (37, 104, 168),     # blue, a darker tone than the window
    "exit": (196, 56, 50),       # red
    "hotkey": (199, 120, 12),    # amber
    "mini": (124, 62, 150),      # purple
    "ok": (36, 138, 76),
    "cancel": (196, 56, 50),
}


def _badge(colour, hot):
    """A round badge 26 pixels across, centred in 32 x 32, with a white rim so it
    stands off the blue. The hot form is lighter and carries a yellow rim, matching
    the yellow caption the buttons get while hot."""
    image = _canvas(32)
    draw = ImageDraw.Draw(image)
    rim = (255, 221, 87, 255) if hot else (255, 255, 255, 255)
    fill = tuple(min(255, round(c + (255 - c) * 0.18)) for c in colour) if hot else colour
    draw.ellipse((_s(3), _s(3), _s(29), _s(29)), fill=rim)
    draw.ellipse((_s(4.5), _s(4.5), _s(27.5), _s(27.5)), fill=fill + (255,))
    return image, draw


def _glyph_text(draw, text, kind, size, dy=0.0):
    d.draw_centred(draw, (_s(4), _s(4 + dy), _s(28), _s(28 + dy)), text, d.font(kind, _s(size)),
                   (255, 255, 255, 255))


def help_icon():
    image, draw = _badge(BADGE["help"], False)
    _glyph_text(draw, "?", "latin-bold", 17)
    return _reduce(image, 32)


def about_icon():
    image, draw = _badge(BADGE["about"], False)
    white = (255, 255, 255, 255)
    draw.ellipse((_s(14.2), _s(8), _s(17.8), _s(11.6)), fill=white)
    draw.rounded_rectangle((_s(14.3), _s(13.5), _s(17.7), _s(24)), radius=_s(1), fill=white)
    return _reduce(image, 32)


def exit_icon():
    image, draw = _badge(BADGE["exit"], False)
    white = (255, 255, 255, 255)
    # A power sign: an open ring with a bar through the gap.
    box = (_s(9.5), _s(10), _s(22.5), _s(23))
    draw.arc(box, start=-60, end=240, fill=white, width=_s(2.4))
    draw.rounded_rectangle((_s(14.8), _s(7.5), _s(17.2), _s(16.5)), radius=_s(1.1), fill=white)
    return _reduce(image, 32)


def hotkey_icon():
    image, draw = _badge(BADGE["hotkey"], False)
    white = (255, 255, 255, 255)
    # A small keyboard: a rounded body with two rows of keys and a space bar.
    draw.rounded_rectangle((_s(8), _s(11), _s(24), _s(22)), radius=_s(1.5), fill=white)
    key = BADGE["hotkey"] + (255,)
    for row, y in enumerate((13, 16)):
        for i in range(5 - row):
            x = 9.8 + row * 1.5 + i * 2.9
            draw.rectangle((_s(x), _s(y), _s(x + 1.6), _s(y + 1.5)), fill=key)
    draw.rectangle((_s(12), _s(19), _s(20), _s(20.4)), fill=key)
    return _reduce(image, 32)


def mini_icon():
    image, draw = _badge(BADGE["mini"], False)
    white = (255, 255, 255, 255)
    # A large window outline with a small, filled window in its corner.
    draw.rectangle((_s(8), _s(9), _s(23), _s(21)), outline=white, width=_s(1.4))
    draw.rectangle((_s(8), _s(9), _s(23), _s(11.5)), fill=white)
    draw.rectangle((_s(15.5), _s(15.5), _s(25), _s(23.5)), fill=BADGE["mini"] + (255,))
    draw.rectangle((_s(16.5), _s(16.5), _s(24), _s(22.5)), fill=white)
    return _reduce(image, 32)


def ok_icon(hot):
    image, draw = _badge(BADGE["ok"], hot)
    mark = (255, 255, 255, 255)
    draw.line([(_s(10), _s(16.5)), (_s(14.3), _s(20.8)), (_s(22.5), _s(11.5))], fill=mark,
              width=_s(3), joint="curve")
    return _reduce(image, 32)


def cancel_icon(hot):
    image, draw = _badge(BADGE["cancel"], hot)
    mark = (255, 255, 255, 255)
    draw.line([(_s(11), _s(11)), (_s(21), _s(21))], fill=mark, width=_s(3))
    draw.line([(_s(21), _s(11)), (_s(11), _s(21))], fill=mark, width=_s(3))
    return _reduce(image, 32)


# ---------------------------------------------------------------------------
# Pointing-hand cursor, 32 x 32 monochrome, the fingertip at (0, 0)

# Drawn pixel by pixel: a monochrome cursor has no smoothing to hide behind. The
# fingertip's corner is the hot spot, so the finger's top-left is square.
HAND = [
    "#####...........................",
    "#ooo##..........................",
    "#oooo#..........................",
    "#oooo#..........................",
    "#oooo#..........................",
    "#oooo#..........................",
    "#oooo#..........................",
    "#oooo####.......................",
    "#oooo#ooo##.....................",
    "#oooo#oooo####..................",
    "#oooo#oooo#ooo##................",
    "#oooo#oooo#oooo####.............",
    "#oooo#oooo#oooo#ooo#............",
    "#oooo#oooo#oooo#ooo#............",
    "#ooooooooooooooooooo#...........",
    "#ooooooooooooooooooo#...........",
    "#oo#oooooooooooooooo#...........",
    "#oo#oooooooooooooooo#...........",
    "#ooo#ooooooooooooooo#...........",
    "#oooo#oooooooooooooo#...........",
    ".#oooo#ooooooooooooo#...........",
    ".#ooooooooooooooooo#............",
    "..#oooooooooooooooo#............",
    "..#ooooooooooooooo#.............",
    "...#oooooooooooooo#.............",
    "...#oooooooooooooo#.............",
    "...################.............",
    "...#oooooooooooooo#.............",
    "...################.............",
    "................................",
    "................................",
    "................................",
]


def hand_cursor():
    """Returns (black, white) as 32 x 32 row-major lists of booleans."""
    assert len(HAND) == 32 and all(len(row) == 32 for row in HAND)
    black = [ch == "#" for row in HAND for ch in row]
    white = [ch == "o" for row in HAND for ch in row]
    return black, white


# ---------------------------------------------------------------------------
# Menu strip: six 16 x 15 pictures in the 16 standard colours; light gray is the
# colour the menus make transparent.

VGA16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0x80, 0x80, 0x80),
    (0xC0, 0xC0, 0xC0), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

# One character per pixel: . light gray (transparent), k black, g gray, w white,
# r red, m maroon, b blue, n navy, t teal, c aqua, G green, y yellow, o olive,
# p purple.
_INDEX = {".": 8, "k": 0, "g": 7, "w": 15, "r": 9, "m": 1, "b": 12, "n": 4, "t": 6,
          "c": 14, "G": 2, "y": 11, "o": 3, "p": 5}

STRIP_PICTURES = {
    # 1021 About: an "i" in a blue disc.
    1021: [
        "................",
        ".....nnnnnn.....",
        "...nnbbbbbbnn...",
        "..nbbbbwwbbbbn..",
        "..nbbbbwwbbbbn..",
        ".nbbbbbbbbbbbbn.",
        ".nbbbbwwwbbbbbn.",
        ".nbbbbbwwbbbbbn.",
        ".nbbbbbwwbbbbbn.",
        ".nbbbbbwwbbbbbn.",
        "..nbbbbwwbbbbn..",
        "..nbbbwwwwbbbn..",
        "...nnbbbbbbnn...",
        ".....nnnnnn.....",
        "................",
    ],
    # 32774 Exit / Return: a door with an arrow leaving it.
    32774: [
        "................",
        "..kkkkkkkk......",
        "..kwwwwwwk......",
        "..kwoooowk......",
        "..kwoooowk...r..",
        "..kwoooowk...rr.",
        "..kwooykwrrrrrrr",
        "..kwoooowrrrrrrr",
        "..kwoooowk...rr.",
        "..kwoooowk...r..",
        "..kwoooowk......",
        "..kwoooowk......",
        "..kwwwwwwk......",
        "..kkkkkkkk......",
        "................",
    ],
    # 1034 Mini window: a small window with a title bar.
    1034: [
        "................",
        "................",
        "................",
        "..kkkkkkkkkkk...",
        "..knnnnnnnwnk...",
        "..knnnnnnnnnk...",
        "..kwwwwwwwwwk...",
        "..kwgggggggwk...",
        "..kwwwwwwwwwk...",
        "..kwgggggwwwk...",
        "..kwwwwwwwwwk...",
        "..kkkkkkkkkkk...",
        "................",
        "................",
        "................",
    ],
    # 1032 Help: a question mark in a teal disc.
    1032: [
        "................",
        ".....kkkkkk.....",
        "...kkttttttkk...",
        "..kttttwwwtttk..",
        "..kttwwttwwttk..",
        ".ktttttttwwtttk.",
        ".kttttttwwttttk.",
        ".ktttttwwtttttk.",
        ".ktttttwwtttttk.",
        ".kttttttttttttk.",
        "..ktttttwwtttk..",
        "..ktttttwwtttk..",
        "...kkttttttkk...",
        ".....kkkkkk.....",
        "................",
    ],
    # 1017 Hotkey: a keyboard.
    1017: [
        "................",
        "................",
        "................",
        "kkkkkkkkkkkkkkkk",
        "kwwwwwwwwwwwwwwk",
        "kwgwgwgwgwgwgwwk",
        "kwwwwwwwwwwwwwwk",
        "kwwgwgwgwgwgwgwk",
        "kwwwwwwwwwwwwwwk",
        "kwgwwgggggggwgwk",
        "kwwwwwwwwwwwwwwk",
        "kkkkkkkkkkkkkkkk",
        "................",
        "................",
        "................",
    ],
    # 32771 Show / Hide: the program's key cap.
    32771: [
        "................",
        "..kkkkkkkkkkkk..",
        "..kwwwwwwwwwwk..",
        "..kwkkkkkkkkwk..",
        "..kwwwwkkwwwwk..",
        "..kwwwwkkwwwwk..",
        "..kwwkkkkkkwwk..",
        "..kwwwwkkwwwwk..",
        "..kwwwwkkwwwwk..",
        "..kwkkkkkkkkwk..",
        "..kwwwwwwwwwwk..",
        "..kggggggggggk..",
        "..kkkkkkkkkkkk..",
        "................",
        "................",
    ],
}

STRIP_ORDER = (1021, 32774, 1034, 1032, 1017, 32771)


def menu_strip():
    """(width, height, palette, indices) of the 96 x 15 strip."""
    width, height = 16 * len(STRIP_ORDER), 15
    indices = [8] * (width * height)
    for n, command in enumerate(STRIP_ORDER):
        rows = STRIP_PICTURES[command]
        assert len(rows) == height and all(len(row) == 16 for row in rows), command
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                indices[y * width + 16 * n + x] = _INDEX[ch]
    return width, height, VGA16, indices


# ---------------------------------------------------------------------------
# About picture: the key cap beside the program's name, on the window's blue.

def about_picture():
    width, height = 120, 58
    image = Image.new("RGBA", (width, height), d.WINDOW_BLUE + (255,))
    cap = app_icon(48)
    image.alpha_composite(cap, (3, 5))
    draw = ImageDraw.Draw(image)
    draw.text((55, 10), "Tarvisk", font=d.font("latin-bold", 14), fill=d.WHITE)
    draw.text((56, 31), "五笔查询", font=d.font("cjk", 13), fill=(226, 232, 240))
    return image.convert("RGB")
