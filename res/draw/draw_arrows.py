"""Draws the eight faces of the timeout arrows, res/arrow_*.bmp: 32 x 32,
4 bits per pixel, uncompressed, each carrying only the colours it uses."""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from pixmap import Canvas, VGA16, write_bmp  # noqa: E402

BLACK, LTGREY, GREY, WHITE = 0, 7, 8, 15
SIZE = 32

# Right-pointing triangle; the left-pointing one is its mirror image.
TRIANGLE = [(12, 8), (21, 16), (12, 24)]


def raised(c):
    c.frame(0, 0, SIZE - 1, SIZE - 1, BLACK)
    for i in range(SIZE - 1):
        c.set(i, 0, WHITE)
        c.set(0, i, WHITE)
    for i in range(1, SIZE - 1):
        c.set(i, SIZE - 2, GREY)
        c.set(SIZE - 2, i, GREY)


def sunken(c):
    c.frame(0, 0, SIZE - 1, SIZE - 1, WHITE)
    for i in range(SIZE - 1):
        c.set(i, 0, BLACK)
        c.set(0, i, BLACK)
    for i in range(1, SIZE - 2):
        c.set(i, 1, GREY)
        c.set(1, i, GREY)


def triangle(c, pointing_left, colour, dx=0, dy=0):
    pts = [((SIZE - x) if pointing_left else x, y) for (x, y) in TRIANGLE]
    c.polygon([(x + dx, y + dy) for (x, y) in pts], colour)


def dotted_frame(c, inset):
    lo, hi = inset, SIZE - 1 - inset
    for i in range(lo, hi + 1):
        if i % 2 == 0:
            for (x, y) in ((i, lo), (i, hi), (lo, i), (hi, i)):
                c.set(x, y, BLACK)


def face(kind, pointing_left):
    c = Canvas(SIZE, SIZE, LTGREY)
    if kind == 'pressed':
        sunken(c)
        triangle(c, pointing_left, BLACK, 1, 1)
        return c
    raised(c)
    if kind == 'disabled':
        # Etched look: a white shadow under a grey triangle.
        triangle(c, pointing_left, WHITE, 1, 1)
        triangle(c, pointing_left, GREY)
    else:
        triangle(c, pointing_left, BLACK)
        if kind == 'focus':
            dotted_frame(c, 4)
    return c


def save(path, canvas):
    used = sorted({v for row in canvas.px for v in row})
    index = {v: i for i, v in enumerate(used)}
    for row in canvas.px:
        row[:] = [index[v] for v in row]
    write_bmp(path, canvas, [VGA16[v] for v in used], 4)


def main():
    res = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    for direction in ('up', 'down'):
        for kind in ('normal', 'disabled', 'focus', 'pressed'):
            # "down" lowers the timeout and points left, "up" points right.
            save(os.path.join(res, 'arrow_%s_%s.bmp' % (direction, kind)),
                 face(kind, direction == 'down'))


if __name__ == '__main__':
    main()
