#!/usr/bin/env python3
"""Draws the application icon (a converter box with a serial socket, an
antenna and its signal arcs) at every size Windows asks for and writes it as
a 32-bit .ico file, the 256-pixel image as PNG the way Windows stores it.

    tools/make-icon.py [output]      (default: resources/quarnel.ico)

Shapes are described on a 32-unit canvas and rendered with supersampling, so
every size comes from one drawing.
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PNG_FROM = 256  # sizes from here on are stored as PNG


def supersample(size):
    return 4 if size < 64 else 2  # large images have the pixels to be smooth

BOX_EDGE = (0x16, 0x26, 0x42)
BOX_FACE = (0x2c, 0x4f, 0x86)
BOX_TOP = (0x4a, 0x74, 0xb4)
SOCKET_EDGE = (0x30, 0x30, 0x36)
SOCKET_FACE = (0xd0, 0xd4, 0xda)
PIN = (0x40, 0x40, 0x48)
LED_LINK = (0x3d, 0xe0, 0x6a)
LED_DATA = (0xff, 0xb0, 0x20)
ANTENNA = (0x20, 0x20, 0x24)
SIGNAL = (0xff, 0x7a, 0x1a)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def trapezoid(x0_top, x1_top, x0_bottom, x1_bottom, y0, y1):
    def inside(x, y):
        if not (y0 <= y <= y1):
            return False
        t = (y - y0) / (y1 - y0)
        left = x0_top + (x0_bottom - x0_top) * t
        right = x1_top + (x1_bottom - x1_top) * t
        return left <= x <= right
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def segment(xa, ya, xb, yb, half_width):
    def inside(x, y):
        dx, dy = xb - xa, yb - ya
        t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / (dx * dx + dy * dy)))
        px, py = xa + t * dx, ya + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= half_width * half_width
    return inside


def arc(cx, cy, radius, half_width, start_deg, end_deg):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - radius) > half_width:
            return False
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360.0
        lo, hi = start_deg % 360.0, end_deg % 360.0
        return lo <= a <= hi if lo <= hi else (a >= lo or a <= hi)
    return inside


def drawing(size):
    """Shapes back to front, each (inside-test on the 32-unit canvas, colour).
    Strokes are kept at least one output pixel wide."""
    px = 32.0 / size                   # canvas units per output pixel
    stroke = lambda w: max(w, px) / 2  # half width of a stroke of w units

    shapes = []
    # Antenna behind the box, and its signal arcs to both sides.
    shapes.append((segment(23.5, 14, 23.5, 5.5, stroke(1.6)), ANTENNA))
    shapes.append((disc(23.5, 5, max(1.6, px)), ANTENNA))
    for radius in ((4.2, 7.6) if size >= 32 else (6.5,)):
        shapes.append((arc(23.5, 5, radius, stroke(1.6), -55, 55), SIGNAL))
        shapes.append((arc(23.5, 5, radius, stroke(1.6), 125, 235), SIGNAL))
    # The converter box: dark edge, lighter top strip, face.
    shapes.append((rounded_rect(1.5, 12, 30.5, 29.5, 3), BOX_EDGE))
    shapes.append((rounded_rect(2.7, 13.2, 29.3, 28.3, 2.2), BOX_TOP))
    shapes.append((rounded_rect(2.7, 15.6, 29.3, 28.3, 2.2), BOX_FACE))
    # Serial socket (D-shaped) on the face.
    shapes.append((trapezoid(4.5, 19.5, 6, 18, 18, 26), SOCKET_EDGE))
    shapes.append((trapezoid(5.6, 18.4, 6.9, 17.1, 19, 25), SOCKET_FACE))
    if size >= 32:
        for i in range(5):
            shapes.append((disc(7.8 + i * 2.1, 20.8, 0.65), PIN))
        for i in range(4):
            shapes.append((disc(8.85 + i * 2.1, 23.3, 0.65), PIN))
    else:
        shapes.append((segment(8, 21, 16, 21, stroke(1.0)), PIN))
        shapes.append((segment(9, 23.4, 15, 23.4, stroke(1.0)), PIN))
    # Status lights.
    shapes.append((disc(23, 21, max(1.5, px * 0.9)), LED_LINK))
    shapes.append((disc(26.5, 21, max(1.5, px * 0.9)), LED_DATA))
    shapes.append((rounded_rect(21.5, 24.5, 28, 26, 0.7), BOX_EDGE))
    return shapes


def render(size):
    """Returns rows top to bottom of (r, g, b, a) tuples."""
    shapes = drawing(size)
    scale = 32.0 / size
    samples = supersample(size)
    rows = []
    for py in range(size):
        row = []
        for pxl in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(samples):
                for sx in range(samples):
                    x = (pxl + (sx + 0.5) / samples) * scale
                    y = (py + (sy + 0.5) / samples) * scale
                    colour = None
                    for inside, c in shapes:
                        if inside(x, y):
                            colour = c
                    if colour is not None:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1.0
            n = samples * samples
            alpha = acc[3] / n
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(acc[i] / acc[3])) for i in range(3))
                           + (int(round(alpha * 255)),))
        rows.append(row)
    return rows


def png_image(rows):
    """RGBA rows as a PNG file."""
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))
    size = len(rows)
    raw = b''.join(b'\0' + bytes(v for pixel in row for v in pixel) for row in rows)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, bottom-up BGRA pixels, AND mask; a
    PNG file for the large sizes."""
    rows = render(size)
    if size >= PNG_FROM:
        return png_image(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:  # transparent for renderers that ignore alpha
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + pixels + bytes(mask)


def icon_file(sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'resources', 'quarnel.ico')
    with open(target, 'wb') as f:
        f.write(icon_file(SIZES))


if __name__ == '__main__':
    main()
