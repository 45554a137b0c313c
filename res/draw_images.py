#!/usr/bin/env python3
"""Draws Sorvane's icons, list images and cursors and writes them into res/.

The build compiles the files checked in beside this script; run it again
after changing the artwork. It uses the standard library only and writes the
same bytes on every run.

    python3 res/draw_images.py [output-folder]
"""

import math
import os
import struct
import sys

# --------------------------------------------------------------------------
# Anti-aliased drawing: shapes are predicates over points, a pixel's coverage
# is the share of an evenly spaced grid of samples inside it.

SAMPLES = 8


def clamp(value, low, high):
    return max(low, min(high, value))


class Canvas:
    """RGBA picture with premultiplied float channels, composited "over"."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * width for _ in range(height)]

    def fill(self, shape, paint, bounds=None, opacity=1.0):
        """Paints `shape`, a predicate over (x, y), with `paint`, a colour
        (r, g, b) or a function of the pixel centre returning one."""
        x0, y0, x1, y1 = bounds or (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1 = min(self.width, int(math.ceil(x1)))
        y1 = min(self.height, int(math.ceil(y1)))
        step = 1.0 / SAMPLES
        offsets = [(i + 0.5) * step for i in range(SAMPLES)]
        for y in range(y0, y1):
            row = self.pixels[y]
            for x in range(x0, x1):
                inside = 0
                for oy in offsets:
                    for ox in offsets:
                        if shape(x + ox, y + oy):
                            inside += 1
                if not inside:
                    continue
                alpha = opacity * inside / (SAMPLES * SAMPLES)
                colour = paint(x + 0.5, y + 0.5) if callable(paint) else paint
                r, g, b, a = row[x]
                keep = 1.0 - alpha
                row[x] = (colour[0] / 255.0 * alpha + r * keep,
                          colour[1] / 255.0 * alpha + g * keep,
                          colour[2] / 255.0 * alpha + b * keep,
                          alpha + a * keep)

    def rgba(self):
        """Rows of straight (not premultiplied) 8-bit RGBA tuples."""
        out = []
        for row in self.pixels:
            converted = []
            for r, g, b, a in row:
                if a <= 0.0:
                    converted.append((0, 0, 0, 0))
                    continue
                converted.append((int(round(clamp(r / a, 0, 1) * 255)),
                                  int(round(clamp(g / a, 0, 1) * 255)),
                                  int(round(clamp(b / a, 0, 1) * 255)),
                                  int(round(clamp(a, 0, 1) * 255))))
            out.append(converted)
        return out


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = clamp(x, x0 + radius, x1 - radius)
        cy = clamp(y, y0 + radius, y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return inside


def circle(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def shackle(cx, cy, inner, outer, bottom):
    """A padlock's shackle: half a ring above cy, two straight legs below."""
    def inside(x, y):
        if y <= cy:
            d = (x - cx) ** 2 + (y - cy) ** 2
            return inner * inner <= d <= outer * outer
        return y <= bottom and inner <= abs(x - cx) <= outer
    return inside


def vertical_gradient(top, bottom, y0, y1):
    def paint(_x, y):
        t = clamp((y - y0) / float(y1 - y0), 0.0, 1.0)
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
    return paint


def horizontal_gradient(left, right, x0, x1):
    def paint(x, _y):
        t = clamp((x - x0) / float(x1 - x0), 0.0, 1.0)
        return tuple(left[i] + (right[i] - left[i]) * t for i in range(3))
    return paint


# --------------------------------------------------------------------------
# The application icon: a blue padlock whose body shows three password dots.
# Each size has its own pixel-aligned geometry, so edges fall on pixel
# boundaries and the small images stay sharp. Below 24 pixels the shackle is
# a plain two-tone ring and the body has no shine: finer detail would blur.

STEEL_LIGHT = (236, 240, 244)
STEEL_DARK = (150, 160, 172)
STEEL_EDGE = (72, 82, 96)
BODY_TOP = (84, 150, 235)
BODY_BOTTOM = (26, 86, 184)
BODY_EDGE = (18, 56, 122)
BODY_SHINE = (150, 196, 250)
DOT = (255, 255, 255)
DOT_SHADE = (12, 44, 100)

# size: body rectangle and corner radius, shackle centre, radii and leg end,
# line width of the outlines, dot centres (x list, y) and radius.
PADLOCK = {
    16: dict(body=(1, 7, 15, 15), corner=2.0, centre=(8, 6), inner=3.0,
             outer=5.0, legs=8, line=1.0, dots=([4, 8, 12], 11), dot=1.2),
    20: dict(body=(2, 9, 18, 19), corner=2.5, centre=(10, 8), inner=3.5,
             outer=6.0, legs=10, line=1.0, dots=([6, 10, 14], 14), dot=1.5),
    24: dict(body=(2, 11, 22, 23), corner=3.0, centre=(12, 9), inner=4.5,
             outer=7.5, legs=12, line=1.0, dots=([7, 12, 17], 17), dot=1.8),
    32: dict(body=(3, 14, 29, 30), corner=3.5, centre=(16, 12), inner=6.0,
             outer=10.0, legs=16, line=1.0, dots=([9, 16, 23], 22), dot=2.4),
    48: dict(body=(4, 21, 44, 45), corner=5.0, centre=(24, 18), inner=9.0,
             outer=15.0, legs=24, line=1.5, dots=([13, 24, 35], 33), dot=3.5),
}


def draw_padlock(size):
    g = PADLOCK[size]
    detailed = size >= 24
    canvas = Canvas(size, size)
    cx, cy = g["centre"]
    line = g["line"]
    top = cy - g["outer"]
    span = (cx - g["outer"] - 1, top - 1, cx + g["outer"] + 1, g["legs"] + 1)

    # Shackle: dark edge, then the metal inside it.
    canvas.fill(shackle(cx, cy, g["inner"], g["outer"], g["legs"]), STEEL_EDGE,
                span)
    if detailed:
        canvas.fill(shackle(cx, cy, g["inner"] + line, g["outer"] - line,
                            g["legs"]),
                    horizontal_gradient(STEEL_LIGHT, STEEL_DARK,
                                        cx - g["outer"], cx + g["outer"]),
                    span)
    else:
        # Two pixels thick: a lit inner pixel over the dark edge reads as
        # metal on both light and dark title bars.
        canvas.fill(shackle(cx, cy, g["inner"], g["inner"] + 1.0, g["legs"]),
                    (196, 204, 214), span)

    # Body: dark edge, gradient face, a thin shine under the top edge.
    x0, y0, x1, y1 = g["body"]
    r = g["corner"]
    face = rounded_rect(x0 + line, y0 + line, x1 - line, y1 - line,
                        max(r - line, 0.5))
    canvas.fill(rounded_rect(x0, y0, x1, y1, r), BODY_EDGE)
    canvas.fill(face, vertical_gradient(BODY_TOP, BODY_BOTTOM, y0, y1))
    if detailed:
        shine_bottom = y0 + line + max(1.0, (y1 - y0) * 0.08)
        canvas.fill(lambda x, y: y <= shine_bottom and face(x, y), BODY_SHINE,
                    opacity=0.7)

    # Password dots, with a faint shade below them on the larger sizes.
    xs, dy = g["dots"]
    radius = g["dot"]
    for dx in xs:
        if detailed:
            canvas.fill(circle(dx, dy + line * 0.8, radius), DOT_SHADE,
                        (dx - radius - 2, dy - radius - 2, dx + radius + 2,
                         dy + radius + 3), opacity=0.45)
        canvas.fill(circle(dx, dy, radius), DOT,
                    (dx - radius - 1, dy - radius - 1, dx + radius + 1,
                     dy + radius + 1))
    return canvas.rgba()


# --------------------------------------------------------------------------
# The list's images: pixel art on magenta. The transparent colour is an exact
# key, so these glyphs have hard edges: a blended edge would show pink.

MAGENTA = (255, 0, 255)
ARROW = (96, 96, 96)
BOX_EDGE = (112, 112, 112)
BOX_TOP = (222, 222, 222)
BOX_BOTTOM = (255, 255, 255)
MARK = (33, 33, 33)
THIRD_STATE = (64, 112, 184)


# Each glyph is laid out for 16 pixels and scaled to the larger sizes the
# list takes on screens at 125, 150, 200 and 300 percent, every pixel wholly
# one colour, as the transparent key asks.

IMAGE_SIZES = [16, 20, 24, 32, 48]


def round_half_up(value):
    return int(math.floor(value + 0.5))


def blank_cell(size):
    return [[MAGENTA] * size for _ in range(size)]


def sort_arrow(pointing_down, size):
    # The list puts the image's top row 3 pixels (at 16) above the header's
    # middle, so the arrow's middle row is that far down the image. Each row
    # is one pixel shorter at either end than the one before, as at 16
    # pixels, so the slopes stay straight at every size.
    k = size / 16.0
    rows = round_half_up(5 * k)
    middle = (3 * size + 8) // 16
    top = middle - (rows - 1) // 2
    tip = int(math.floor(5.5 * k))
    cell = blank_cell(size)
    for step in range(rows):
        y = top + (step if pointing_down else rows - 1 - step)
        reach = rows - 1 - step
        for x in range(tip - reach, tip + reach + 1):
            cell[y][x] = ARROW
    return cell


def tick_middle(u):
    """The middle of the tick, three grid pixels thick, at grid column u."""
    return 7.5 + (u - 4.5) if u <= 6.5 else 9.5 - (u - 6.5)


def check_box(mark, size):
    k = size / 16.0
    cell = blank_cell(size)
    # A 13 by 13 box at 16 pixels: an edge around a face lit from below.
    first, last = round_half_up(k), round_half_up(14 * k) - 1
    edge = max(1, int(k))
    face_first, face_last = first + edge, last - edge
    for y in range(first, last + 1):
        for x in range(first, last + 1):
            on_edge = not (face_first <= x <= face_last and
                           face_first <= y <= face_last)
            if on_edge:
                cell[y][x] = BOX_EDGE
            else:
                t = (y - face_first) / float(face_last - face_first)
                cell[y][x] = tuple(
                    int(round(BOX_TOP[i] + (BOX_BOTTOM[i] - BOX_TOP[i]) * t))
                    for i in range(3))
    for y in range(size):
        for x in range(size):
            u, v = (x + 0.5) / k, (y + 0.5) / k
            if mark == "check" and 4 <= u <= 11 and \
                    abs(v - tick_middle(u)) <= 1.5 + 1e-9:
                cell[y][x] = MARK
            elif mark == "third" and 4 <= u < 11 and 4 <= v < 11:
                cell[y][x] = THIRD_STATE
    return cell


def list_images(size):
    cells = [sort_arrow(True, size), sort_arrow(False, size),
             check_box(None, size), check_box("check", size),
             check_box("check", size), check_box("third", size)]
    return [sum((cell[y] for cell in cells), []) for y in range(size)]


# --------------------------------------------------------------------------
# Cursors: monochrome pixel art. '#' black, '.' white, anything else
# transparent. Black shapes get a one-pixel white outline.

def outlined(black):
    height, width = len(black), len(black[0])
    art = []
    for y in range(height):
        row = []
        for x in range(width):
            if black[y][x]:
                row.append("#")
                continue
            near = any(black[ny][nx]
                       for ny in range(max(0, y - 1), min(height, y + 2))
                       for nx in range(max(0, x - 1), min(width, x + 2)))
            row.append("." if near else " ")
        art.append("".join(row))
    return art


def enlarged(rows, width, height):
    """Each pixel of the picture repeated to fill the new size, the nearest
    pixel of the original taken for each pixel of the copy."""
    source_height, source_width = len(rows), len(rows[0])
    return [[rows[(y * 2 + 1) * source_height // (height * 2)]
             [(x * 2 + 1) * source_width // (width * 2)]
             for x in range(width)] for y in range(height)]


CURSOR_SIZES = [32, 48, 64]


def resize_cursor(size):
    """A vertical bar with an arrow to either side; the hotspot is its middle.
    The top left quarter is drawn at 32 pixels and enlarged, then mirrored
    both ways, so the larger cursors stay symmetric; the outline stays one
    pixel wide."""
    quarter = [[False] * 16 for _ in range(16)]
    for y in range(16):
        for x in range(16):
            bar = x == 15 and 7 <= y
            shaft = 7 <= x <= 12 and y == 15
            head = 2 <= x <= 7 and abs(y - 15.5) <= (x - 2) + 0.5
            quarter[y][x] = bar or shaft or head
    half = size // 2
    top_left = enlarged(quarter, half, half)
    top = [row + row[::-1] for row in top_left]
    black = top + top[::-1]
    return outlined(black), (half, half)


HAND = [
    "      ##",
    "     #..#",
    "     #..#",
    "     #..#",
    "     #..#",
    "     #..###",
    "     #..#..###",
    "     #..#..#..##",
    "     #..#..#..#.#",
    " ##  #..#..#..#.#",
    "#..# #..#..#..#.#",
    "#...##..#..#..#.#",
    " #...#..........#",
    " #...#..........#",
    "  #.............#",
    "  #.............#",
    "   #...........#",
    "   #...........#",
    "    #.........#",
    "    #.........#",
    "    ###########",
]


def hand_cursor(size):
    """A pointing hand; the hotspot is the tip of the index finger."""
    art = [line.ljust(32) for line in HAND] + [" " * 32] * (32 - len(HAND))
    tip = (6, 0)
    if size != 32:
        art = ["".join(row) for row in enlarged(art, size, size)]
        tip = tuple((value * size + 31) // 32 for value in tip)
    return art, tip


# --------------------------------------------------------------------------
# File formats.

def dib_header(width, height, bit_count, image_bytes, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bit_count, 0,
                       image_bytes, 0, 0, colours, 0)


def and_mask(width, height, transparent):
    """1-bit mask rows, bottom-up, each padded to 32 bits."""
    stride = ((width + 31) // 32) * 4
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        data += row
    return bytes(data)


def icon_image(rgba):
    """A 32-bit icon image: colour with alpha, and an AND mask for systems
    that ignore alpha (transparent where alpha is 0)."""
    size = len(rgba)
    xor = bytearray()
    for row in reversed(rgba):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask = and_mask(size, size, lambda x, y: rgba[y][x][3] == 0)
    return dib_header(size, size * 2, 32, len(xor) + len(mask)) + bytes(xor) + mask


def cursor_image(art):
    """A monochrome cursor image: black is AND 0 XOR 0, white AND 0 XOR 1,
    transparent AND 1 XOR 0."""
    size = len(art)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    xor = and_mask(size, size, lambda x, y: art[y][x] == ".")
    mask = and_mask(size, size, lambda x, y: art[y][x] not in "#.")
    return (dib_header(size, size * 2, 1, len(xor) + len(mask), 2) + palette +
            xor + mask)


def icon_file(kind, images):
    """`kind` 1 is an icon, 2 a cursor. `images` holds (width, height,
    colours, field1, field2, data): the planes and bit count for an icon,
    the hotspot for a cursor."""
    header = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    blobs = b""
    for width, height, colours, field1, field2, data in images:
        entries += struct.pack("<BBBBHHII", width % 256, height % 256,
                               colours, 0, field1, field2, len(data), offset)
        blobs += data
        offset += len(data)
    return header + entries + blobs


def icon_bytes(sizes):
    return icon_file(1, [(s, s, 0, 1, 32, icon_image(draw_padlock(s)))
                         for s in sizes])


def cursor_bytes(draw):
    images = []
    for size in CURSOR_SIZES:
        art, hotspot = draw(size)
        images.append((size, size, 2, hotspot[0], hotspot[1],
                       cursor_image(art)))
    return icon_file(2, images)


def bitmap_bytes(rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    info = dib_header(width, height, 24, len(pixels))
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels),
                              0, 0, 14 + len(info))
    return file_header + info + bytes(pixels)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(
        os.path.abspath(__file__))
    outputs = {
        "sorvane.ico": icon_bytes(IMAGE_SIZES),
        "sorvane_window.ico": icon_bytes(IMAGE_SIZES),
        "list_images.bmp": bitmap_bytes(list_images(16)),
        "resize.cur": cursor_bytes(resize_cursor),
        "hand.cur": cursor_bytes(hand_cursor),
    }
    for size in IMAGE_SIZES[1:]:
        outputs["list_images_%d.bmp" % size] = bitmap_bytes(list_images(size))
    for name, data in outputs.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
