"""Tiny paletted canvas and writers for uncompressed BMP and ICO files.

The pictures of the program are drawn by the scripts beside this one; run
any of them from the project root to redraw its files in res/.
"""
import struct

# The 16 colours of the standard VGA palette, in their usual order.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


class Canvas:
    def __init__(self, width, height, fill=0):
        self.width = width
        self.height = height
        self.px = [[fill] * width for _ in range(height)]

    def set(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x]

    def rect(self, x0, y0, x1, y1, c):
        """Filled rectangle, both corners inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r0, r1, c, keep=lambda x, y: True):
        """Pixels whose distance from the centre lies in [r0, r1]."""
        for y in range(int(cy - r1) - 1, int(cy + r1) + 2):
            for x in range(int(cx - r1) - 1, int(cx + r1) + 2):
                d2 = (x - cx) ** 2 + (y - cy) ** 2
                if r0 * r0 <= d2 <= r1 * r1 and keep(x, y):
                    self.set(x, y, c)

    def polygon(self, points, c):
        """Filled polygon, even-odd rule, sampled at pixel centres."""
        ys = [p[1] for p in points]
        for y in range(int(min(ys)), int(max(ys)) + 1):
            yc = y + 0.5
            xs = []
            for i in range(len(points)):
                (xa, ya), (xb, yb) = points[i], points[(i + 1) % len(points)]
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(int(xs[i] + 0.5), int(xs[i + 1] + 0.5)):
                    self.set(x, y, c)

    def blit_text(self, x, y, rows, c, scale=1):
        """Draws a glyph given as strings of '#' and '.'."""
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch == '#':
                    self.rect(x + i * scale, y + j * scale,
                              x + i * scale + scale - 1, y + j * scale + scale - 1, c)


def _rows_bottom_up(canvas, bpp):
    """Packed pixel rows, bottom row first, each padded to 4 bytes."""
    out = []
    for y in range(canvas.height - 1, -1, -1):
        row = canvas.px[y]
        if bpp == 8:
            data = bytes(row)
        elif bpp == 4:
            data = bytes((row[i] << 4) | (row[i + 1] if i + 1 < len(row) else 0)
                         for i in range(0, len(row), 2))
        elif bpp == 1:
            data = bytearray((len(row) + 7) // 8)
            for i, v in enumerate(row):
                if v:
                    data[i // 8] |= 0x80 >> (i % 8)
            data = bytes(data)
        else:
            raise ValueError(bpp)
        out.append(data + b'\0' * ((4 - len(data) % 4) % 4))
    return b''.join(out)


def _palette(colours):
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in colours)


def write_bmp(path, canvas, palette, bpp):
    """Uncompressed BMP with exactly the given palette entries."""
    pal = _palette(palette)
    pixels = _rows_bottom_up(canvas, bpp)
    offset = 14 + 40 + len(pal)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, canvas.width, canvas.height, 1, bpp, 0,
                       len(pixels), 2835, 2835, len(palette), len(palette))
    with open(path, 'wb') as f:
        f.write(header + info + pal + pixels)


def write_ico(path, images, transparent):
    """16-colour icon; pixels of colour index `transparent` are see-through."""
    entries, blobs = [], []
    for canvas in images:
        mask = Canvas(canvas.width, canvas.height)
        xor = Canvas(canvas.width, canvas.height)
        for y in range(canvas.height):
            for x in range(canvas.width):
                if canvas.get(x, y) == transparent:
                    mask.set(x, y, 1)
                else:
                    xor.set(x, y, canvas.get(x, y))
        info = struct.pack('<IiiHHIIiiII', 40, canvas.width, canvas.height * 2, 1, 4, 0,
                           0, 0, 0, 16, 0)
        blob = info + _palette(VGA16) + _rows_bottom_up(xor, 4) + _rows_bottom_up(mask, 1)
        blobs.append(blob)
    offset = 6 + 16 * len(images)
    for canvas, blob in zip(images, blobs):
        entries.append(struct.pack('<BBBBHHII', canvas.width, canvas.height, 16, 0, 1, 4,
                                   len(blob), offset))
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, len(images)) + b''.join(entries) + b''.join(blobs))
