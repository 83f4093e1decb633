"""Draws the lock screen's pictures: res/lock_picture.bmp (240 x 209), the
"WireLess LAN / Starting..." banner over a radio mast, and
res/lock_warning.bmp (32 x 32), a warning triangle. Both 8 bpp, white and
the lock screen's blue only."""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from pixmap import Canvas, write_bmp  # noqa: E402

WHITE, BLUE = 0, 1
PALETTE = [(255, 255, 255), (58, 62, 162)]

# 5 x 9 cells: rows 0..6 above the baseline, 7..8 for descenders.
GLYPHS = {
    'W': ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    'i': ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    'r': [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    'e': [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    'L': ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    's': [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    'A': [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    'N': ["#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"],
    'S': [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    't': [".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."],
    'a': [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    'n': [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    'g': [".....", ".....", ".####", "#...#", "#...#", ".####", "....#", "#...#", ".###."],
    '.': [".....", ".....", ".....", ".....", ".....", ".##..", ".##.."],
    ' ': [],
}


def bold_text(c, x, y, text, scale, colour):
    """Each stroke doubled one pixel to the right makes the letters bold."""
    advance = 6 * scale + 1
    for ch in text:
        rows = GLYPHS[ch]
        c.blit_text(x, y, rows, colour, scale)
        c.blit_text(x + 1, y, rows, colour, scale)
        x += advance
    return x


def thick_line(c, x0, y0, x1, y1, colour, width=2):
    for d in range(width):
        c.line(x0 + d, y0, x1 + d, y1, colour)


def mast(c, cx, top, bottom, half_base):
    """A lattice tower with its aerial; arcs of the signal above it."""
    left, right = cx - half_base, cx + half_base
    thick_line(c, cx - 1, top, left, bottom, BLUE)
    thick_line(c, cx - 1, top, right - 1, bottom, BLUE)
    # Cross bracing between the legs, narrowing towards the top.
    levels = [top + (bottom - top) * k // 5 for k in range(1, 6)]
    prev = top
    for y in levels:
        w0 = half_base * (prev - top) // (bottom - top)
        w1 = half_base * (y - top) // (bottom - top)
        c.line(cx - w1, y, cx + w1, y, BLUE)
        c.line(cx - w0, prev, cx + w1, y, BLUE)
        c.line(cx + w0, prev, cx - w1, y, BLUE)
        prev = y
    c.rect(left - 6, bottom, right + 6, bottom + 2, BLUE)
    c.rect(cx - 1, top - 10, cx, top, BLUE)
    c.disc(cx - 0.5, top - 12, 3.5, BLUE)

    ay = top - 12

    def upper(x, y):
        dx, dy = x - (cx - 0.5), ay - y
        return dy > 0 and abs(math.atan2(dx, dy)) < math.radians(55)

    for r in (12, 22, 32):
        c.ring(cx - 0.5, ay, r, r + 3, BLUE, upper)


def picture():
    c = Canvas(240, 209, WHITE)
    bold_text(c, 6, 8, "WireLess LAN", 3, BLUE)
    bold_text(c, 44, 40, "Starting...", 2, BLUE)
    mast(c, 70, 112, 172, 24)
    return c


def warning():
    c = Canvas(32, 32, WHITE)
    c.polygon([(16, 1), (31, 29), (1, 29)], BLUE)
    c.rect(15, 10, 17, 21, WHITE)
    c.rect(15, 24, 17, 26, WHITE)
    return c


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    write_bmp(os.path.join(res, 'lock_picture.bmp'), picture(), PALETTE, 8)
    write_bmp(os.path.join(res, 'lock_warning.bmp'), warning(), PALETTE, 8)


if __name__ == '__main__':
    main()
