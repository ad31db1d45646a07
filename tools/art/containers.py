"""Byte-exact writers for the picture containers the resource compiler takes.

Pillow's own writers choose bit depths, palette sizes and GIF versions for us; the
program's resources need particular forms (8-bit icons with a full palette, a
monochrome cursor with its hot spot, 4-bit and 8-bit bitmaps, GIF87a without any
extension block and GIF89a with a graphic control block), so the containers are
written here by hand from palette-indexed pixels.
"""

import struct

from PIL import Image


# ---------------------------------------------------------------------------
# Palettes

def quantize(image, colours=256):
    """RGB image -> (palette [(r, g, b)...], list of indices per pixel, row-major).

    When the picture has few enough colours it keeps them exactly (sorted, so the
    result does not depend on dictionary order); otherwise median cut without
    dithering, which is deterministic and keeps flat areas flat.
    """
    rgb = image.convert("RGB")
    found = rgb.getcolors(maxcolors=colours)
    if found is not None:
        palette = sorted(colour for _, colour in found)
        lookup = {colour: index for index, colour in enumerate(palette)}
        return palette, [lookup[p] for p in rgb.getdata()]
    indexed = rgb.quantize(colors=colours, method=Image.Quantize.MEDIANCUT,
                           dither=Image.Dither.NONE)
    flat = indexed.getpalette()[: 3 * colours]
    palette = [tuple(flat[i:i + 3]) for i in range(0, len(flat), 3)]
    return palette, list(indexed.getdata())


def pad_palette(palette, size):
    if len(palette) > size:
        raise ValueError(f"{len(palette)} colours do not fit a {size}-entry palette")
    return list(palette) + [(0, 0, 0)] * (size - len(palette))


def _rgbquads(palette):
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)


# ---------------------------------------------------------------------------
# Device-independent bitmaps

def _row_bytes(width, bits):
    return ((width * bits + 31) // 32) * 4


def _pack_rows(indices, width, height, bits):
    """Bottom-up rows of `bits`-per-pixel indices, each padded to 4 bytes."""
    stride = _row_bytes(width, bits)
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = indices[y * width:(y + 1) * width]
        packed = bytearray()
        if bits == 8:
            packed.extend(row)
        else:
            per_byte = 8 // bits
            for x in range(0, width, per_byte):
                value = 0
                for k in range(per_byte):
                    pixel = row[x + k] if x + k < width else 0
                    value = (value << bits) | pixel
                packed.append(value)
        packed.extend(b"\0" * (stride - len(packed)))
        out.extend(packed)
    return bytes(out)


def _info_header(width, height, bits, image_size, colours_used):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size,
                       0, 0, colours_used, 0)


def bmp_bytes(width, height, bits, palette, indices):
    """A .bmp file with a BITMAPINFOHEADER and a palette of exactly 2**bits entries."""
    palette = pad_palette(palette, 1 << bits)
    pixels = _pack_rows(indices, width, height, bits)
    header = _info_header(width, height, bits, len(pixels), len(palette))
    body = header + _rgbquads(palette) + pixels
    return struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, 14 + 40 + 4 * len(palette)) + body


# ---------------------------------------------------------------------------
# Icons and cursors

def _and_mask(opaque, width, height):
    """1 where the screen shows through; rows bottom-up, padded to 4 bytes."""
    return _pack_rows([0 if o else 1 for o in opaque], width, height, 1)


def icon_image_paletted(width, height, bits, palette, indices, opaque):
    palette = pad_palette(palette, 1 << bits)
    xor = _pack_rows([i if o else 0 for i, o in zip(indices, opaque)], width, height, bits)
    mask = _and_mask(opaque, width, height)
    header = _info_header(width, 2 * height, bits, len(xor) + len(mask), 0)
    return header + _rgbquads(palette) + xor + mask


def icon_image_argb(image):
    """32-bit image with alpha; the AND mask is still written for old consumers."""
    width, height = image.size
    rgba = list(image.convert("RGBA").getdata())
    xor = bytearray()
    for y in range(height - 1, -1, -1):
        for r, g, b, a in rgba[y * width:(y + 1) * width]:
            # Fully transparent pixels black, as for the AND mask of the paletted icons.
            xor.extend((b, g, r, a) if a else (0, 0, 0, 0))
    mask = _and_mask([a > 0 for *_, a in rgba], width, height)
    header = _info_header(width, 2 * height, 32, len(xor) + len(mask), 0)
    return header + bytes(xor) + mask


def icon_file(entries, cursor=False):
    """entries: list of dicts with width, height, bits, colours (0 = 256 or more),
    data (the DIB), and for cursors hotspot (x, y)."""
    out = struct.pack("<HHH", 0, 2 if cursor else 1, len(entries))
    offset = 6 + 16 * len(entries)
    directory, blobs = b"", b""
    for e in entries:
        if cursor:
            field1, field2 = e["hotspot"]
        else:
            field1, field2 = 1, e["bits"]
        directory += struct.pack("<BBBBHHII", e["width"] % 256, e["height"] % 256,
                                 e["colours"], 0, field1, field2, len(e["data"]),
                                 offset + len(blobs))
        blobs += e["data"]
    return out + directory + blobs


def icon_8bit(image_rgba, matte):
    """One 8-bit entry from an RGBA picture: partly transparent pixels are mixed
    onto `matte` (the colour the icon will stand on) and become opaque, fully
    transparent ones go to the AND mask.

    Where the AND mask lets the screen through, the colour bits are XORed onto it,
    so they must be black there: palette entry 0 is kept for that black and the
    picture's own colours take the other 255."""
    width, height = image_rgba.size
    opaque = [a >= 24 for *_, a in image_rgba.getdata()]
    flat = Image.new("RGB", image_rgba.size, matte)
    flat.paste(image_rgba, (0, 0), image_rgba)
    # Transparent pixels take the matte colour so that they do not claim palette slots.
    flat.putdata([p if o else matte for p, o in zip(flat.getdata(), opaque)])
    palette, indices = quantize(flat, 255)
    palette = [(0, 0, 0)] + palette
    indices = [i + 1 for i in indices]
    data = icon_image_paletted(width, height, 8, palette, indices, opaque)
    return {"width": width, "height": height, "bits": 8, "colours": 0, "data": data}


def cursor_mono(black, white, hotspot):
    """black, white: 32x32 lists of booleans (row-major); neither = transparent."""
    width = height = 32
    palette = [(0, 0, 0), (255, 255, 255)]
    xor = _pack_rows([1 if w else 0 for w in white], width, height, 1)
    mask = _pack_rows([0 if (b or w) else 1 for b, w in zip(black, white)], width, height, 1)
    header = _info_header(width, 2 * height, 1, len(xor) + len(mask), 0)
    data = header + _rgbquads(palette) + xor + mask
    return icon_file([{"width": width, "height": height, "colours": 2, "data": data,
                       "hotspot": hotspot}], cursor=True)


# ---------------------------------------------------------------------------
# GIF

def lzw_encode(indices, min_code_size):
    """GIF variable-length LZW, code-size schedule as the common decoders expect:
    the width grows once the next free code no longer fits, and a clear code is
    sent when the 12-bit table is full."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out = bytearray()
    acc = nbits = 0
    bits = min_code_size + 1
    limit = 1 << bits
    running = end + 1
    table = {}

    def emit(code):
        nonlocal acc, nbits, bits, limit
        acc |= code << nbits
        nbits += bits
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8
        if running >= limit and code <= 4095:
            bits += 1
            limit = 1 << bits

    emit(clear)
    prefix = indices[0]
    for pixel in indices[1:]:
        key = (prefix << 8) | pixel
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        emit(prefix)
        prefix = pixel
        if running >= 4095:
            emit(clear)
            running = end + 1
            bits = min_code_size + 1
            limit = 1 << bits
            table = {}
        else:
            table[key] = running
            running += 1
    emit(prefix)
    emit(end)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif_bytes(width, height, palette, indices, version="89a", control_block=True):
    """A single-image GIF with a global colour table.

    GIF87a knows no extension blocks, so a control block is only written into 89a.
    """
    if version == "87a" and control_block:
        raise ValueError("GIF87a cannot carry a graphic control block")
    depth = max(1, (len(palette) - 1).bit_length())
    table = pad_palette(palette, 1 << depth)
    out = bytearray(b"GIF" + version.encode("ascii"))
    out += struct.pack("<HHBBB", width, height, 0x80 | ((depth - 1) << 4) | (depth - 1), 0, 0)
    for r, g, b in table:
        out += bytes((r, g, b))
    if control_block:
        # Disposal unspecified, no transparency, no delay: a still picture.
        out += bytes((0x21, 0xF9, 4, 0, 0, 0, 0, 0))
    out += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
    min_code_size = max(2, depth)
    data = lzw_encode(indices, min_code_size)
    out.append(min_code_size)
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out += b"\x00\x3B"
    return bytes(out)
