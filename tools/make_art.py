#!/usr/bin/env python3
"""Draws the project's 16-colour artwork and writes it as .ico and .bmp files.

The files it writes are committed; run it again only to change the artwork:
    python3 tools/make_art.py
"""
import math
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The classic 16-colour palette, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, NAVY, PURPLE, SILVER, GREY, RED, BLUE, WHITE, YELLOW = 0, 1, 4, 5, 7, 8, 9, 12, 15, 11
CLEAR = -1


def dib_4bpp(pixels, with_mask):
    """A bottom-up 4-bit DIB (header, palette, colour bits[, AND mask])."""
    h, w = len(pixels), len(pixels[0])
    row_bytes = ((w * 4 + 31) // 32) * 4
    mask_row_bytes = ((w + 31) // 32) * 4
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2 if with_mask else h, 1, 4, 0,
                         row_bytes * h + (mask_row_bytes * h if with_mask else 0), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(row_bytes)
        for x, p in enumerate(row):
            v = 0 if p == CLEAR else p
            bits[x // 2] |= v << (0 if x % 2 else 4)
        colour += bits
        mbits = bytearray(mask_row_bytes)
        for x, p in enumerate(row):
            if p == CLEAR:
                mbits[x // 8] |= 0x80 >> (x % 8)
        mask += mbits
    return header + palette + bytes(colour) + (bytes(mask) if with_mask else b'')


def write_ico(path, images):
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for pixels in images:
        blob = dib_4bpp(pixels, True)
        h, w = len(pixels), len(pixels[0])
        entries.append(struct.pack('<BBBBHHII', w % 256, h % 256, 16, 0, 1, 4, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(struct.pack('<HHH', 0, 1, len(images)) + b''.join(entries) + b''.join(blobs))


def write_bmp(path, pixels):
    dib = dib_4bpp(pixels, False)
    with open(path, 'wb') as f:
        f.write(struct.pack('<2sIHHI', b'BM', 14 + len(dib), 0, 0, 14 + 40 + 64) + dib)


def outline(inside, n, fill):
    """Colours a shape: dithered fill, a highlight on its upper-left edge, a dark lower-right edge."""
    img = [[CLEAR] * n for _ in range(n)]
    for y in range(n):
        for x in range(n):
            if not inside(x, y):
                continue
            up_left = not inside(x - 1, y) or not inside(x, y - 1)
            down_right = not inside(x + 1, y) or not inside(x, y + 1)
            if down_right:
                img[y][x] = BLACK
            elif up_left:
                img[y][x] = WHITE
            else:
                img[y][x] = fill(x, y)
    return img


def arrow(n, pointing_right):
    def inside(x, y):
        if not (0 <= x < n and 0 <= y < n):
            return False
        u = x if pointing_right else n - 1 - x
        c = (n - 1) / 2
        shaft = 0.12 * n <= u <= 0.55 * n and abs(y - c) <= 0.13 * n
        head_len = 0.40 * n
        t = (u - 0.50 * n) / head_len  # 0 at the head's base, 1 at its tip
        head = 0 <= t <= 1 and abs(y - c) <= (1 - t) * 0.38 * n
        return shaft or head
    return outline(inside, n, lambda x, y: NAVY if (x + y) % 2 else PURPLE)


def toolbox_bitmap():
    """16 x 15: a small calendar sheet with a red band and a grid of days."""
    w, h = 16, 15
    img = [[SILVER] * w for _ in range(h)]
    for y in range(1, 14):
        for x in range(1, 15):
            edge = x in (1, 14) or y in (1, 13)
            img[y][x] = GREY if edge else WHITE
    for y in range(2, 5):
        for x in range(2, 14):
            img[y][x] = RED
    for row in range(3):
        for col in range(4):
            x, y = 3 + col * 3, 6 + row * 2
            img[y][x] = NAVY
    img[10][9] = RED  # the marked day
    return img


def stopwatch(n):
    c = (n - 1) / 2
    r = 0.40 * n
    cy = c + 0.06 * n
    img = [[CLEAR] * n for _ in range(n)]
    # Crown on top.
    for y in range(0, int(cy - r) + 1):
        for x in range(int(c - 0.08 * n), int(c + 0.08 * n) + 1):
            img[y][x] = GREY
    for y in range(n):
        for x in range(n):
            d = math.hypot(x - c, y - cy)
            if d <= r:
                img[y][x] = BLACK if d > r - max(1.5, n / 16) else WHITE
    # Red hour marks.
    for hour in range(12):
        a = hour * math.pi / 6
        for k in (0.72, 0.80):
            x = round(c + math.sin(a) * r * k)
            y = round(cy - math.cos(a) * r * k)
            img[y][x] = RED

    def hand(angle, length, colour):
        steps = int(length * r * 2) + 1
        for s in range(steps):
            t = s / steps * length * r
            img[round(cy - math.cos(angle) * t)][round(c + math.sin(angle) * t)] = colour

    hand(math.radians(300), 0.45, BLACK)  # hour hand at ten
    hand(math.radians(60), 0.65, BLACK)   # minute hand at ten past
    hand(math.radians(160), 0.70, RED)    # second hand
    img[round(cy)][round(c)] = RED
    return img


def main():
    art = os.path.join(ROOT, 'calendar', 'art')
    write_ico(os.path.join(art, 'arrow_left.ico'), [arrow(32, False), arrow(16, False)])
    write_ico(os.path.join(art, 'arrow_right.ico'), [arrow(32, True), arrow(16, True)])
    write_bmp(os.path.join(art, 'toolbox.bmp'), toolbox_bitmap())
    app_art = os.path.join(ROOT, 'app', 'main', 'art')
    os.makedirs(app_art, exist_ok=True)
    write_ico(os.path.join(app_art, 'stopwatch.ico'), [stopwatch(32), stopwatch(16)])


if __name__ == '__main__':
    main()
