"""Fonts, colours and text helpers shared by every picture."""

from PIL import Image, ImageDraw, ImageFont

FONT_DIRS = ("/usr/share/fonts/truetype/wqy", "/usr/share/fonts/opentype/noto",
             "/usr/share/fonts/truetype/dejavu")

# WenQuanYi Micro Hei carries hinting that keeps CJK strokes crisp at 12-14 px;
# Noto Sans CJK SC Bold is for the larger key-name characters and titles.
_FONTS = {
    "cjk": ("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc", 0),
    "cjk-bold": ("/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc", 2),
    "latin": ("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0),
    "latin-bold": ("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 0),
    "latin-condensed": ("/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf", 0),
    "latin-condensed-bold": ("/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf", 0),
}

_cache = {}


def font(kind, size):
    key = (kind, size)
    if key not in _cache:
        path, index = _FONTS[kind]
        _cache[key] = ImageFont.truetype(path, size, index=index,
                                         layout_engine=ImageFont.Layout.BASIC)
    return _cache[key]


def missing_glyphs(kind, text):
    """Characters the font would draw as its empty box."""
    f = font(kind, 16)

    def render(c):
        image = Image.new("L", (24, 24))
        ImageDraw.Draw(image).text((2, 2), c, font=f, fill=255)
        return image.tobytes()

    notdef = render("\uFFFF")
    return sorted({c for c in text if not c.isspace() and render(c) == notdef})


# The program's window colour: pictures that stand on it are blended against it.
WINDOW_BLUE = (49, 106, 197)
WHITE = (255, 255, 255)
INK = (33, 37, 41)
GREY_INK = (96, 103, 112)
RULE = (206, 212, 218)

# One hue per key zone, strong for labels and pale for the key cells.
ZONE_STRONG = {1: (196, 56, 50), 2: (199, 120, 12), 3: (36, 138, 76),
               4: (37, 104, 168), 5: (124, 62, 150)}
ZONE_PALE = {1: (252, 236, 234), 2: (253, 243, 226), 3: (232, 245, 236),
             4: (232, 240, 249), 5: (243, 235, 247)}

NO_LINE_START = set("，。、）》」")
NO_LINE_END = set("（《「")


def text_width(f, s):
    return f.getlength(s)


def _unit_end(text, i):
    """A bracketed reading aid is one unit; anything else is one character."""
    if text[i] in NO_LINE_END and "）" in text[i:]:
        return text.index("）", i) + 1
    return i + 1


def break_lines(text, f, width):
    """Greedy line breaking for CJK text: any character may start a line except
    closing punctuation, and a bracketed aid stays with the character before it.
    Returns None when a single unit does not fit."""
    units, i = [], 0
    while i < len(text):
        j = _unit_end(text, i)
        while j < len(text) and (text[j] in NO_LINE_START or text[j] in NO_LINE_END):
            j = _unit_end(text, j)
        units.append(text[i:j])
        i = j
    lines, current = [], ""
    for unit in units:
        if text_width(f, current + unit) <= width:
            current += unit
        elif not current or text_width(f, unit) > width:
            return None
        else:
            lines.append(current)
            current = unit
    if current:
        lines.append(current)
    return lines


def draw_centred(draw, box, s, f, fill):
    """Centre `s` in box (l, t, r, b) on its ink, not on the font's line box."""
    l, t, r, b = box
    x0, y0, x1, y1 = draw.textbbox((0, 0), s, font=f)
    x = l + ((r - l) - (x1 - x0)) / 2 - x0
    y = t + ((b - t) - (y1 - y0)) / 2 - y0
    draw.text((round(x), round(y)), s, font=f, fill=fill)
