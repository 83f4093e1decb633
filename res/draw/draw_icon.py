"""Draws res/brondelkit.ico: a network connector with a round cyan emblem;
the 32 x 32 image also shows two computer screens behind it."""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
from pixmap import Canvas, VGA16, write_ico  # noqa: E402

BLACK, TEAL, NAVY, LTGREY, GREY = 0, 6, 4, 7, 8
YELLOW, BLUE, CLEAR, CYAN, WHITE = 11, 12, 13, 14, 15


def screen(c, x0, y0, w, h):
    c.rect(x0, y0, x0 + w - 1, y0 + h - 1, LTGREY)
    c.frame(x0, y0, x0 + w - 1, y0 + h - 1, BLACK)
    c.rect(x0 + 2, y0 + 2, x0 + w - 3, y0 + h - 4, BLUE)
    c.rect(x0 + w // 2 - 2, y0 + h, x0 + w // 2 + 1, y0 + h + 1, GREY)
    c.rect(x0 + w // 2 - 4, y0 + h + 2, x0 + w // 2 + 3, y0 + h + 2, BLACK)


def connector(c, x0, y0, w, h, pins):
    """An RJ-45 plug seen from the front, cable leaving downwards."""
    c.rect(x0, y0, x0 + w - 1, y0 + h - 1, LTGREY)
    c.frame(x0, y0, x0 + w - 1, y0 + h - 1, BLACK)
    step = (w - 2) // pins
    for i in range(pins):
        x = x0 + 1 + i * step + step // 2
        c.rect(x, y0 + 1, x, y0 + h // 3, YELLOW)
    c.rect(x0 + w // 2 - 2, y0 + h - 1, x0 + w // 2 + 1, y0 + h + 1, BLACK)
    c.rect(x0 + w // 2 - 1, y0 + h + 2, x0 + w // 2, c.height - 1, GREY)


def emblem(c, cx, cy, r):
    c.disc(cx, cy, r, BLACK)
    c.disc(cx, cy, r - 1, CYAN)
    c.disc(cx - r / 3, cy - r / 3, max(1, r / 4), WHITE)


def large():
    c = Canvas(32, 32, CLEAR)
    screen(c, 1, 2, 14, 11)
    screen(c, 17, 2, 14, 11)
    connector(c, 9, 15, 14, 10, 6)
    emblem(c, 25.5, 25.5, 6)
    return c


def small():
    c = Canvas(16, 16, CLEAR)
    connector(c, 2, 2, 10, 8, 4)
    emblem(c, 11.5, 11.5, 4)
    return c


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_ico(os.path.join(here, '..', 'brondelkit.ico'), [large(), small()], CLEAR)
    assert len(VGA16) == 16
