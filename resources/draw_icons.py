#!/usr/bin/env python3
"""Draw kuranote's pictures and write them as PNGs, with nothing but the standard library.

Each picture is a function from a point (x, y) in pixel units to a colour. It is sampled 4 x 4 times per pixel
(3 x 3 from 128 pixels on) for smooth edges, then reduced to the picture's colour budget by a small k-means; the
large desktop icons keep every colour. The checklist icon is drawn anew for each size of the desktop's icon
theme (icons/), with as much detail as that size holds: an enlarged small icon would look blurred.

Usage: python3 draw_icons.py [output folder]   (default: the folder of this script)
"""

import math
import struct
import sys
import zlib
from collections import Counter
from pathlib import Path

TRANSPARENT = (0, 0, 0, 0)


# ---------------------------------------------------------------- PNG writing


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_bytes(size, palette, indices):
    """An indexed PNG: 4 bits per pixel when the palette fits in 16 entries, 8 bits otherwise."""
    depth = 4 if len(palette) <= 16 else 8
    rows = []
    for y in range(size):
        row = indices[y * size:(y + 1) * size]
        if depth == 4:
            row = row + [0] * (len(row) % 2)
            row = [row[i] << 4 | row[i + 1] for i in range(0, len(row), 2)]
        rows.append(b"\x00" + bytes(row))  # filter type 0 (none) on every row
    alphas = [a for _, _, _, a in palette]
    while alphas and alphas[-1] == 255:
        alphas.pop()
    header = struct.pack(">IIBBBBB", size, size, depth, 3, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header)
            + _chunk(b"PLTE", bytes(c for r, g, b, _ in palette for c in (r, g, b)))
            + (_chunk(b"tRNS", bytes(alphas)) if alphas else b"")
            + _chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + _chunk(b"IEND", b""))


def png_rgba_bytes(size, pixels):
    """A true-colour PNG with alpha, for the large icons whose soft shading needs more than a palette."""
    rows = []
    for y in range(size):
        row = bytearray(b"\x00")  # filter type 0 (none) on every row
        for r, g, b, a in pixels[y * size:(y + 1) * size]:
            row += bytes(_straight((r, g, b, a)))
        rows.append(bytes(row))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header)
            + _chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + _chunk(b"IEND", b""))


# ---------------------------------------------------------------- sampling and colour reduction


def over(top, bottom):
    """Straight-alpha RGBA `top` composited over `bottom`."""
    ta, ba = top[3] / 255, bottom[3] / 255
    a = ta + ba * (1 - ta)
    if a == 0:
        return TRANSPARENT
    mix = [(top[i] * ta + bottom[i] * ba * (1 - ta)) / a for i in range(3)]
    return (*mix, a * 255)


def render(size, paint, samples=4):
    """Premultiplied RGBA of every pixel, each the mean of samples x samples points."""
    pixels = []
    step = 1 / samples
    for y in range(size):
        for x in range(size):
            total = [0.0] * 4
            for sy in range(samples):
                for sx in range(samples):
                    r, g, b, a = paint(x + (sx + 0.5) * step, y + (sy + 0.5) * step)
                    total = [total[0] + r * a / 255, total[1] + g * a / 255, total[2] + b * a / 255, total[3] + a]
            pixels.append(tuple(t / samples ** 2 for t in total))
    return pixels


def _nearest(colour, centres):
    return min(range(len(centres)), key=lambda i: sum((colour[k] - centres[i][k]) ** 2 for k in range(4)))


def reduce_colours(pixels, budget):
    """Palette (straight RGBA) and per-pixel indices with at most `budget` entries.

    The most frequent colours seed the clusters; those covering several pixels (flat areas) stay pinned so the
    picture keeps its exact main colours, and only the edge colours move."""
    rounded = [tuple(round(c) for c in p) for p in pixels]
    counts = Counter(rounded)
    centres = [list(c) for c, _ in counts.most_common(budget)]
    pinned = [n >= 6 for _, n in counts.most_common(budget)]
    for _ in range(12):
        assignment = [_nearest(p, centres) for p in rounded]
        sums = [[0.0] * 5 for _ in centres]
        for p, i in zip(rounded, assignment):
            for k in range(4):
                sums[i][k] += p[k]
            sums[i][4] += 1
        for i, s in enumerate(sums):
            if s[4] and not pinned[i]:
                centres[i] = [s[k] / s[4] for k in range(4)]
    assignment = [_nearest(p, centres) for p in rounded]
    return [_straight(c) for c in centres], assignment


def _straight(premultiplied):
    r, g, b, a = premultiplied
    if a < 1:
        return TRANSPARENT
    return tuple(min(255, max(0, round(c))) for c in (r * 255 / a, g * 255 / a, b * 255 / a, a))


# ---------------------------------------------------------------- shapes


def hex_colour(text, alpha=255):
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def polyline_distance(px, py, points):
    return min(segment_distance(px, py, *points[i], *points[i + 1]) for i in range(len(points) - 1))


def inside_polygon(px, py, points):
    inside = False
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
            inside = not inside
    return inside


def polygon_signed_distance(px, py, points):
    """Distance to the outline, negative inside."""
    d = polyline_distance(px, py, points + points[:1])
    return -d if inside_polygon(px, py, points) else d


def rounded_box_distance(px, py, left, top, right, bottom, radius):
    """Signed distance to a rectangle with rounded corners."""
    cx, cy = (left + right) / 2, (top + bottom) / 2
    qx = abs(px - cx) - (right - left) / 2 + radius
    qy = abs(py - cy) - (bottom - top) / 2 + radius
    return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - radius


def paper(px, py, box, fill, edge, radius=1.0):
    """A rounded rectangle with a one-pixel outline, or None outside it."""
    d = rounded_box_distance(px, py, *box, radius)
    if d > 0:
        return None
    return edge if d > -1 else fill


def paint_layers(px, py, layers):
    """Composite the colours of `layers` (functions returning a colour or None), first one at the bottom."""
    colour = TRANSPARENT
    for layer in layers:
        top = layer(px, py)
        if top is not None:
            colour = over(top, colour)
    return colour


# ---------------------------------------------------------------- the checklist icon

INK = hex_colour("3B3340")
NOTE_PAPER = hex_colour("FFFBEA")
NOTE_BAND = hex_colour("3F7CC4")
RING = hex_colour("8A8F99")
RULE = hex_colour("A9BDD6")
TICK = hex_colour("2FA84F")


# The checklist icon at the small sizes, where every straight edge lies on a pixel boundary so that outlines
# and rules stay one crisp pixel wide: the page (left, top, right, bottom) and its corner radius, the blue
# band (left, right, top, bottom), the rings' left edges, width, top and bottom, the check boxes' left edge,
# size and tops, how many of them are ticked, the rules' span and their row inside a box, and the tick as a
# stroke relative to its box with its half width.
CHECKLIST_LAYOUTS = {
    16: dict(page=(1, 2, 14, 16), radius=1.0, band=(2, 13, 3, 5), rings=((4, 7, 10), 1, 0, 4), box=(3, 4, (6, 11)),
             ticked=1, rules=(8, 13, 2), tick=([(0.9, 1.6), (2.4, 3.1), (5.8, -1.3)], 0.75)),
    24: dict(page=(2, 2, 22, 24), radius=1.2, band=(3, 21, 3, 6), rings=((6, 11, 16), 2, 0, 5), box=(5, 4, (8, 13, 18)),
             ticked=2, rules=(11, 20, 2), tick=([(1.0, 1.6), (2.6, 3.2), (6.4, -1.4)], 1.0)),
    32: dict(page=(4, 4, 29, 32), radius=1.5, band=(5, 28, 5, 9), rings=((9, 15, 22), 2, 1, 8), box=(7, 5, (11, 18, 25)),
             ticked=2, rules=(15, 27, 2), tick=([(1.3, 2.0), (3.3, 4.0), (8.0, -1.8)], 1.15)),
}


def small_checklist(size):
    layout = CHECKLIST_LAYOUTS[size]
    band_left, band_right, band_top, band_bottom = layout["band"]
    ring_lefts, ring_width, ring_top, ring_bottom = layout["rings"]
    box_left, box_size, box_tops = layout["box"]
    rule_left, rule_right, rule_row = layout["rules"]
    stroke, half_width = layout["tick"]

    def page(x, y):
        return paper(x, y, layout["page"], NOTE_PAPER, INK, radius=layout["radius"])

    def band(x, y):
        return NOTE_BAND if band_left <= x < band_right and band_top <= y < band_bottom else None

    def rings(x, y):
        for left in ring_lefts:
            if rounded_box_distance(x, y, left, ring_top, left + ring_width, ring_bottom, ring_width / 2) <= 0:
                return RING
        return None

    def boxes(x, y):
        for top in box_tops:
            d = rounded_box_distance(x, y, box_left, top, box_left + box_size, top + box_size, 0.5)
            if -1 < d <= 0:
                return INK
        return None

    def rules(x, y):
        for top in box_tops:
            if rule_left <= x < rule_right and top + rule_row <= y < top + rule_row + 1:
                return RULE
        return None

    def ticks(x, y):
        for top in box_tops[:layout["ticked"]]:
            if polyline_distance(x, y, [(box_left + dx, top + dy) for dx, dy in stroke]) <= half_width:
                return TICK
        return None

    return lambda px, py: paint_layers(px, py, [page, band, rings, boxes, rules, ticks])


def mix(a, b, t):
    """The colour a fraction t of the way from a to b."""
    t = max(0.0, min(1.0, t))
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3)) + (a[3],)


def with_alpha(colour, alpha):
    return colour[:3] + (round(alpha),)


def edge_layer(distance, fill, edge, width):
    """Fill inside a shape given by its signed distance, with an outline `width` pixels wide."""
    if distance > 0:
        return None
    return edge if distance > -width else fill


def large_checklist(size):
    """The checklist icon drawn for 48 pixels and more: the same notepad, band, rings and ticked rows as the
    small icons, with outlines as thin as the size allows, shading, a shadow and two ruled lines a row. Straight
    edges are put on pixel boundaries so that they stay sharp."""
    s = size
    line = max(1, round(s / 48))  # outline width in pixels
    page = tuple(round(f * s) for f in (0.15, 0.13, 0.85, 0.95))
    radius = 0.05 * s
    band_bottom = page[1] + round(0.14 * s)
    ring_width = round(0.07 * s)
    ring_lefts = tuple(round(f * s) for f in (0.29, 0.465, 0.64))
    ring_top, ring_bottom = round(0.04 * s), page[1] + round(0.09 * s)
    box_size = round(0.15 * s)
    box_left = round(0.25 * s)
    box_tops = tuple(round(f * s - box_size / 2) for f in (0.42, 0.615, 0.81))
    rule_left = round(0.48 * s)
    rule_thickness = max(1, round(0.024 * s))
    tick_width = 0.052 * s
    shadow_offset, shadow_blur = 0.02 * s, 0.04 * s

    def shadow(x, y):
        d = rounded_box_distance(x - shadow_offset, y - shadow_offset, *page, radius)
        if d > shadow_blur:
            return None
        return with_alpha(INK, 90 * min(1.0, 1 - d / shadow_blur))

    def sheet(x, y):
        d = rounded_box_distance(x, y, *page, radius)
        return edge_layer(d, mix(NOTE_PAPER, hex_colour("F3E9C8"), (y - page[1]) / (page[3] - page[1])), INK, line)

    def band(x, y):
        d = rounded_box_distance(x, y, page[0], page[1], page[2], band_bottom + radius, radius)
        if d > -line or y >= band_bottom:
            return None
        return mix(hex_colour("5B97DB"), hex_colour("2F67AA"), (y - page[1]) / (band_bottom - page[1]))

    def rings(x, y):
        for left in ring_lefts:
            d = rounded_box_distance(x, y, left, ring_top, left + ring_width, ring_bottom, ring_width / 2)
            if d <= 0:
                # Lit from the left, like a metal ring.
                shade = abs((x - left) / ring_width - 0.35) * 1.6
                return INK if d > -line else mix(hex_colour("D5D9E0"), hex_colour("6C717B"), shade)
            if math.hypot(x - (left + ring_width / 2), y - (ring_bottom + 0.012 * s)) <= ring_width * 0.45:
                return hex_colour("1E3A5F")
        return None

    def boxes(x, y):
        for top in box_tops:
            d = rounded_box_distance(x, y, box_left, top, box_left + box_size, top + box_size, 0.02 * s)
            colour = edge_layer(d, hex_colour("FFFFFF"), INK, line)
            if colour is not None:
                return colour
        return None

    def rules(x, y):
        for top in box_tops:
            for row, right in ((0.3, 0.76), (0.7, 0.66)):
                rule_top = round(top + row * box_size - rule_thickness / 2)
                if rule_left <= x < round(right * s) and rule_top <= y < rule_top + rule_thickness:
                    return RULE
        return None

    def ticks(x, y):
        for top in box_tops[:2]:
            stroke = [(box_left + 0.2 * box_size, top + 0.5 * box_size),
                      (box_left + 0.45 * box_size, top + 0.8 * box_size),
                      (box_left + 1.15 * box_size, top - 0.35 * box_size)]
            d = polyline_distance(x, y, stroke) - tick_width / 2
            if d <= 0:
                return hex_colour("1F7A38") if d > -max(1.0, tick_width * 0.18) else TICK
        return None

    return lambda px, py: paint_layers(px, py, [shadow, sheet, band, rings, boxes, rules, ticks])


# ---------------------------------------------------------------- the converter icon

OLD_PAPER = hex_colour("EAD9A6")
OLD_EDGE = hex_colour("7D6540")
OLD_RULE = hex_colour("B89F6E")
NEW_PAPER = hex_colour("FFFFFF")
NEW_EDGE = hex_colour("2F5282")
NEW_RULE = hex_colour("7FA6DA")
ARROW = hex_colour("F08A1C")

# The two pages (left, top, right, bottom), the size of the old one's folded corner, the span and rows of their
# rules; the arrow's arc (centre, radius, half width) and its head.
OLD_PAGE, OLD_FOLD, OLD_RULES = (1, 2, 17, 22), 5, ((4, 14), (8, 11, 14, 17))
NEW_PAGE, NEW_RULES = (12, 13, 31, 32), ((15, 28), (18, 21, 24, 27))
ARC, ARROW_HEAD = ((17.5, 15.0), 8.0, 1.7), [(21.0, 13.5), (30.0, 13.5), (25.5, 19.5)]


def page_with_rules(box, fill, edge, rule, rules, fold=0):
    """A page with ruled lines, and optionally its top right corner folded away."""
    left, top, right, bottom = box
    (rule_left, rule_right), rule_rows = rules

    def layer(x, y):
        colour = paper(x, y, box, fill, edge, radius=0.5)
        if colour is None:
            return None
        corner = (x - (right - fold)) - (y - top)  # positive beyond the fold line
        if fold and corner > 0.7:
            return None
        if fold and corner > -0.7:
            return edge
        if colour == fill and rule_left <= x < rule_right and any(row <= y < row + 1 for row in rule_rows):
            return rule
        return colour

    return layer


def converter(px, py):
    """The old yellowed page, the new white page and an arrow from one to the other."""
    (cx, cy), radius, half_width = ARC

    def arrow(x, y):
        angle = math.atan2(y - cy, x - cx)
        on_arc = -math.pi / 2 - 0.25 <= angle <= 0.0
        arc_distance = abs(math.hypot(x - cx, y - cy) - radius) - half_width if on_arc else 99
        return ARROW if min(arc_distance, polygon_signed_distance(x, y, ARROW_HEAD)) <= 0 else None

    old = page_with_rules(OLD_PAGE, OLD_PAPER, OLD_EDGE, OLD_RULE, OLD_RULES, OLD_FOLD)
    new = page_with_rules(NEW_PAGE, NEW_PAPER, NEW_EDGE, NEW_RULE, NEW_RULES)
    return paint_layers(px, py, [old, new, arrow])


# At 16 pixels the same picture is drawn by hand: smooth shapes would blur at this size.
CONVERTER_SMALL = [
    "oooooo..........",
    "oyyyyyo.AAAA....",
    "oyyyyyroAAAAA...",
    "oyyyyyrro..AAA..",
    "oyyyyyyyo...AA..",
    "oyrrrryyo.AAAAAA",
    "oyyyyyyyo..AAAA.",
    "oyrrrryyo...AA..",
    "oyyyyynnnnnnnnnn",
    "oyrrrrnwwwwwwwwn",
    "oyyyyynwbbbbbbwn",
    "oooooonwwwwwwwwn",
    "......nwbbbbbbwn",
    "......nwwwwwwwwn",
    "......nwbbbbwwwn",
    "......nnnnnnnnnn",
]
CONVERTER_SMALL_COLOURS = {
    ".": TRANSPARENT, "o": OLD_EDGE, "y": OLD_PAPER, "r": OLD_RULE,
    "n": NEW_EDGE, "w": NEW_PAPER, "b": NEW_RULE, "A": ARROW,
}


def grid_picture(rows, colours):
    """A picture given pixel by pixel as text, one character per pixel."""
    return lambda px, py: colours[rows[int(py)][int(px)]]


# ---------------------------------------------------------------- the 100 % reward

STAR_LIGHT = (255, 236, 110)
STAR_DEEP = (255, 170, 20)
STAR_EDGE = hex_colour("B35C00")
FACE = hex_colour("4A2C0A")
CHEEK = hex_colour("FF6F7A", 150)
SHINE = hex_colour("FFFFFF")
SPARKLE = hex_colour("FFC21A")


def star_points(cx, cy, outer, inner):
    return [(cx + (outer if i % 2 == 0 else inner) * math.sin(i * math.pi / 5),
             cy - (outer if i % 2 == 0 else inner) * math.cos(i * math.pi / 5)) for i in range(10)]


def reward(px, py):
    star = star_points(16.0, 17.2, 14.2, 7.4)

    def star_fill(x, y):
        d = polygon_signed_distance(x, y, star)
        if d > 0:
            return None
        if d > -1.2:
            return STAR_EDGE
        # lit from the top left
        t = max(0.0, min(1.0, ((x - 6) * 0.35 + (y - 4) * 0.9) / 26))
        return tuple(round(STAR_LIGHT[i] + (STAR_DEEP[i] - STAR_LIGHT[i]) * t) for i in range(3)) + (255,)

    def eyes(x, y):
        # Two by three pixels each, with a one-pixel shine at the top left.
        for left in (11, 19):
            if left <= x < left + 2 and 14 <= y < 17:
                return SHINE if int(x) == left and int(y) == 14 else FACE
        return None

    def smile(x, y):
        angle = math.atan2(y - 17.6, x - 16.0)
        if 0.4 <= angle <= math.pi - 0.4 and abs(math.hypot(x - 16.0, y - 17.6) - 3.4) <= 0.7:
            return FACE
        return None

    def cheeks(x, y):
        for cx in (9.8, 22.2):
            if ((x - cx) / 1.6) ** 2 + ((y - 19.4) / 1.0) ** 2 <= 1:
                return CHEEK
        return None

    def sparkles(x, y):
        # Crosses one pixel wide with a white heart, centred on pixels so they stay sharp.
        for cx, cy, arm in ((4, 5, 3), (27, 4, 2), (28, 27, 2)):
            dx, dy = int(x) - cx, int(y) - cy
            if dx == 0 and dy == 0:
                return SHINE
            if (dx == 0 and abs(dy) <= arm) or (dy == 0 and abs(dx) <= arm):
                return SPARKLE
        return None

    return paint_layers(px, py, [sparkles, star_fill, cheeks, eyes, smile])


# ---------------------------------------------------------------- output

# Name: size, picture, colour budget (None: true colour with alpha). The 32-pixel desktop icon is kuranote.png.
PICTURES = {
    "kuranote.png": (32, small_checklist(32), 16),
    "conv.png": (32, converter, 16),
    "conv16.png": (16, grid_picture(CONVERTER_SMALL, CONVERTER_SMALL_COLOURS), 16),
    "reward.png": (32, reward, 256),
    "icons/kuranote-16.png": (16, small_checklist(16), 16),
    "icons/kuranote-24.png": (24, small_checklist(24), 16),
    **{f"icons/kuranote-{size}.png": (size, large_checklist(size), None) for size in (48, 64, 128, 256)},
}


def build(name):
    size, paint, budget = PICTURES[name]
    pixels = render(size, paint, 4 if size < 128 else 3)
    if budget is None:
        return png_rgba_bytes(size, pixels)
    return png_bytes(size, *reduce_colours(pixels, budget))


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    for name in PICTURES:
        (folder / name).parent.mkdir(parents=True, exist_ok=True)
        (folder / name).write_bytes(build(name))


if __name__ == "__main__":
    main()
