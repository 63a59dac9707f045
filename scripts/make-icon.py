#!/usr/bin/python3
"""Draws Quenthor's icon and writes src/app/Quenthor.ico.

The design: a blue envelope with a white flap, and a red alert badge with a
white exclamation mark at its upper right corner. Thirteen images: 32-bit
colour at 16, 24, 32, 48, 64, 128 and 256 pixels (the 256 one PNG-compressed),
256-colour (8-bit) and 16-colour (4-bit) at 16, 32 and 48 pixels.

Only the Python standard library is used. Usage:
    scripts/make-icon.py            write src/app/Quenthor.ico
    scripts/make-icon.py --check F  list F's images and check them
"""

import os
import struct
import sys
import zlib

BLUE = (37, 99, 235)
DARK_BLUE = (29, 78, 216)
WHITE = (255, 255, 255)
RED = (220, 38, 38)

# The 16 colours of the standard Windows palette, in its order.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def in_round_rect(x, y, left, top, right, bottom, radius):
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def near_segment(x, y, ax, ay, bx, by, half_width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= half_width ** 2


def colour_at(x, y, small):
    """The design's colour at (x, y) in the unit square, or None (transparent).

    Small images (16 and 24 pixels) get thicker strokes so they stay legible.
    """
    stroke = 0.075 if small else 0.05
    badge_x, badge_y, badge_r = 0.76, 0.27, 0.23 if small else 0.21
    ring = 0.05 if small else 0.035

    d2 = (x - badge_x) ** 2 + (y - badge_y) ** 2
    if d2 <= badge_r ** 2:
        # The exclamation mark: a bar and a dot.
        bar = 0.04 if small else 0.03
        if near_segment(x, y, badge_x, badge_y - 0.11, badge_x, badge_y + 0.02, bar):
            return WHITE
        if (x - badge_x) ** 2 + (y - (badge_y + 0.105)) ** 2 <= (bar * 1.15) ** 2:
            return WHITE
        return RED
    if d2 <= (badge_r + ring) ** 2:
        return None  # a clear ring separates the badge from the envelope

    left, top, right, bottom = 0.04, 0.26, 0.92, 0.86
    if not in_round_rect(x, y, left, top, right, bottom, 0.08):
        return None
    if not in_round_rect(x, y, left + stroke, top + stroke, right - stroke,
                         bottom - stroke, 0.05):
        return DARK_BLUE  # the envelope's edge
    mid_x, mid_y = (left + right) / 2, 0.60
    if near_segment(x, y, left + 0.02, top + 0.02, mid_x, mid_y, stroke * 0.8) or \
            near_segment(x, y, right - 0.02, top + 0.02, mid_x, mid_y, stroke * 0.8):
        return WHITE  # the flap
    return BLUE


def render(size):
    """RGBA rows, top row first, drawn with 4 x 4 samples per pixel."""
    n = 4
    small = size <= 24
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size,
                                  small)
                    if c is not None:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        a += 1
            if a:
                row.append((r // a, g // a, b // a, a * 255 // (n * n)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def and_mask(rows):
    """The 1-bit transparency mask, bottom row first, rows padded to 4 bytes."""
    size = len(rows)
    stride = (size + 31) // 32 * 4
    out = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bytes(bits)
    return out


def bitmap_header(size, bits, colours):
    stride = (size * bits + 31) // 32 * 4
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, stride * size, 0, 0,
                       colours, 0)


def bmp32(rows):
    size = len(rows)
    pixels = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(rows) for p in row)
    return bitmap_header(size, 32, 0) + pixels + and_mask(rows)


def palette256():
    """The design's own colours first, then a 6 x 6 x 6 cube and greys."""
    colours = [BLUE, DARK_BLUE, WHITE, RED]
    colours += [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    colours += [(v, v, v) for v in range(8, 248, 10)]
    unique = []
    for c in colours:
        if c not in unique:
            unique.append(c)
    return (unique + [(0, 0, 0)] * 256)[:256]


def nearest(colour, palette):
    return min(range(len(palette)),
               key=lambda i: sum((colour[k] - palette[i][k]) ** 2 for k in range(3)))


def bmp_indexed(rows, bits):
    size = len(rows)
    palette = VGA16 if bits == 4 else palette256()
    cache = {}
    stride = (size * bits + 31) // 32 * 4
    pixels = b""
    for row in reversed(rows):
        line = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] < 128:
                index = 0  # transparent: black under the mask
            else:
                key = p[:3]
                if key not in cache:
                    cache[key] = nearest(key, palette)
                index = cache[key]
            if bits == 8:
                line[x] = index
            else:
                line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += bytes(line)
    quads = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)
    return bitmap_header(size, bits, len(palette)) + quads + pixels + and_mask(rows)


IMAGES = ([(s, 32) for s in (256, 128, 64, 48, 32, 24, 16)] +
          [(s, 8) for s in (48, 32, 16)] + [(s, 4) for s in (48, 32, 16)])


def build():
    drawn = {}
    blobs = []
    for size, bits in IMAGES:
        if size not in drawn:
            drawn[size] = render(size)
        rows = drawn[size]
        if size == 256:
            blobs.append(png(rows))
        elif bits == 32:
            blobs.append(bmp32(rows))
        else:
            blobs.append(bmp_indexed(rows, bits))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for (size, bits), blob in zip(IMAGES, blobs):
        colour_count = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colour_count, 0, 1, bits,
                           len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def check(data):
    """Lists the images and returns the problems found (empty when none)."""
    problems = []
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        problems.append("not an icon file")
    found = []
    for i in range(count):
        w, h, colours, _, planes, bits, length, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        blob = data[offset:offset + length]
        if len(blob) != length:
            problems.append(f"image {i} runs past the end of the file")
            continue
        is_png = blob.startswith(b"\x89PNG\r\n\x1a\n")
        if is_png:
            pw, ph = struct.unpack_from(">II", blob, 16)
            inner_bits = 32
        else:
            _, pw, ph2, _, inner_bits = struct.unpack_from("<IiiHH", blob, 0)
            ph = ph2 // 2
        if (pw, ph) != (w, h) or inner_bits != bits:
            problems.append(f"image {i}: directory says {w}x{h}x{bits}, "
                            f"image is {pw}x{ph}x{inner_bits}")
        print(f"{i:2}: {w:3}x{h:<3} {bits:2}-bit {'PNG' if is_png else 'BMP'} {length:6} bytes")
        found.append((w, bits, is_png))
    expected = [(s, b, s == 256) for s, b in IMAGES]
    if sorted(found) != sorted(expected):
        problems.append("the images are not the 13 expected")
    return problems


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--check":
        with open(sys.argv[2], "rb") as f:
            problems = check(f.read())
        for p in problems:
            print("problem:", p)
        return 1 if problems else 0
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = os.path.join(root, "src", "app", "Quenthor.ico")
    data = build()
    with open(target, "wb") as f:
        f.write(data)
    print(f"{target}: {len(data)} bytes")
    return 1 if check(data) else 0


if __name__ == "__main__":
    sys.exit(main())
