#!/usr/bin/python3
"""Draws every picture the program carries and writes them to resources/art/.

Run from anywhere: tools/art/make_art.py [--preview DIR]. The output is the same
bytes on every run (fixed fonts from Debian's fonts-wqy-microhei, fonts-noto-cjk and
fonts-dejavu-core; no dates, no randomness), so a diff of resources/art/ shows
exactly what a change to the drawing did. --preview also writes enlarged PNGs for
looking at the pictures.
"""

import argparse
import os
import sys

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import charts  # noqa: E402
import containers as c  # noqa: E402
import drawing as d  # noqa: E402
import icons  # noqa: E402
import wubi_facts  # noqa: E402

OUT = os.path.normpath(os.path.join(HERE, "..", "..", "resources", "art"))

# The thumbnail fills control 1018 (60 x 18 dialog units at Fixedsys' 8 x 15 base
# units: 120 x 34 pixels); the static control takes the bitmap's size.
THUMB_SIZE = (120, 34)

# File name -> (resource id, what it is); art.rc is written from the same table.
BUTTON_ICONS = {
    "button-help.ico": (161, icons.help_icon),
    "button-about.ico": (163, icons.about_icon),
    "button-exit.ico": (164, icons.exit_icon),
    "button-hotkey.ico": (165, icons.hotkey_icon),
    "button-mini.ico": (167, icons.mini_icon),
    "ok.ico": (158, lambda: icons.ok_icon(False)),
    "ok-hot.ico": (162, lambda: icons.ok_icon(True)),
    "cancel.ico": (166, lambda: icons.cancel_icon(False)),
    "cancel-hot.ico": (159, lambda: icons.cancel_icon(True)),
}


def facts():
    keys86 = wubi_facts.edition_keys("86")
    keys98 = wubi_facts.edition_keys("98")
    ident = wubi_facts.identification_table()
    problems = wubi_facts.check(keys86, keys98, ident)
    text = "".join(k.verse + k.name for keys in (keys86, keys98) for k in keys.values())
    text += "".join(line for line, _ in charts.IDENT_NOTES)
    for kind in ("cjk", "cjk-bold"):
        missing = d.missing_glyphs(kind, text)
        if missing:
            problems.append(f"font {kind} lacks {''.join(missing)}")
    if problems:
        sys.exit("wubi-keys.md: " + "; ".join(problems))
    return keys86, keys98, ident


def pictures():
    """{file name: bytes} of every output, plus {file name: RGB image} to preview."""
    keys86, keys98, ident = facts()
    files, previews = {}, {}

    entries = []
    for size in (16, 32, 48):
        image = icons.app_icon(size)
        entries.append({"width": size, "height": size, "bits": 32, "colours": 0,
                        "data": c.icon_image_argb(image)})
        previews[f"app-{size}.png"] = image
    files["app.ico"] = c.icon_file(entries)

    for name, (_, draw) in BUTTON_ICONS.items():
        image = draw()
        files[name] = c.icon_file([c.icon_8bit(image, d.WINDOW_BLUE)])
        previews[name.replace(".ico", ".png")] = image

    black, white = icons.hand_cursor()
    files["hand.cur"] = c.cursor_mono(black, white, (0, 0))
    cursor = Image.new("RGB", (32, 32), (0, 160, 160))
    cursor.putdata([(0, 0, 0) if b else (255, 255, 255) if w else (0, 160, 160)
                    for b, w in zip(black, white)])
    previews["hand.png"] = cursor

    for name, keys, edition in (("chart86.gif", keys86, "86"), ("chart98.gif", keys98, "98")):
        image = charts.edition_chart(keys, edition)
        palette, indices = c.quantize(image, 256)
        files[name] = c.gif_bytes(image.width, image.height, palette, indices, "89a", True)
        previews[name.replace(".gif", ".png")] = image
        if edition == "86":
            thumb = charts.thumbnail(image, THUMB_SIZE)
            palette, indices = c.quantize(thumb, 256)
            files["chart-thumb.bmp"] = c.bmp_bytes(thumb.width, thumb.height, 8, palette, indices)
            previews["chart-thumb.png"] = thumb

    image = charts.identification_chart(ident, keys86)
    palette, indices = c.quantize(image, 256)
    files["chart-ident.gif"] = c.gif_bytes(image.width, image.height, palette, indices, "87a", False)
    previews["chart-ident.png"] = image

    image = icons.about_picture()
    palette, indices = c.quantize(image, 256)
    files["about.bmp"] = c.bmp_bytes(image.width, image.height, 8, palette, indices)
    previews["about.png"] = image

    width, height, palette, indices = icons.menu_strip()
    files["menu-strip.bmp"] = c.bmp_bytes(width, height, 4, palette, indices)
    strip = Image.new("RGB", (width, height))
    strip.putdata([palette[i] for i in indices])
    previews["menu-strip.png"] = strip
    return files, previews


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=OUT, help="output folder (default resources/art)")
    parser.add_argument("--preview", help="also write enlarged PNGs here")
    args = parser.parse_args()
    files, previews = pictures()
    os.makedirs(args.out, exist_ok=True)
    for name, data in sorted(files.items()):
        with open(os.path.join(args.out, name), "wb") as f:
            f.write(data)
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        for name, image in sorted(previews.items()):
            scale = max(1, min(8, 256 // max(image.size)))
            if scale == 1 and max(image.size) < 600:
                scale = 2
            image.resize((image.width * scale, image.height * scale),
                         Image.Resampling.NEAREST).save(os.path.join(args.preview, name))
    print(f"wrote {len(files)} files to {args.out}")


if __name__ == "__main__":
    main()
