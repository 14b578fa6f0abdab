#!/usr/bin/python3
"""Draws Tarvik's icon: a worksheet with a red notice mark, 32x32 pixels in
the 16 standard colours, written as a Windows .ico file (one 4-bit image
with its transparency mask).

    make_icon.py [OUT.ico [ICON-DATA.txt]] [--png DIR]

With --png it also writes the desktop's icons, DIR/<N>x<N>/tarvik.png for
N in 32, 48, 64, 128 and 256: the same image, enlarged nearest-neighbour so
the pixel art stays crisp, transparent where the mask is."""
import os
import struct
import sys
import zlib

# The 16 standard colours, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, GREEN, GRAY, SILVER, RED, WHITE, DARKGRAY = 0, 2, 8, 7, 9, 15, 8
TRANSPARENT = None

def draw():
    size = 32
    img = [[TRANSPARENT] * size for _ in range(size)]
    # The sheet: a white page with a black outline and a folded corner.
    for y in range(2, 30):
        for x in range(3, 27):
            img[y][x] = WHITE
    for x in range(3, 27):
        img[2][x] = BLACK
        img[29][x] = BLACK
    for y in range(2, 30):
        img[y][3] = BLACK
        img[y][26] = BLACK
    # The header row in green, the grid in silver.
    for y in range(3, 8):
        for x in range(4, 26):
            img[y][x] = GREEN
    for y in range(12, 29, 4):
        for x in range(4, 26):
            img[y][x] = SILVER
    for x in (10, 18):
        for y in range(8, 29):
            img[y][x] = SILVER
    # The notice mark: a red disc with a white exclamation point.
    cx, cy, r = 23, 23, 7.5
    for y in range(size):
        for x in range(size):
            d = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) ** 0.5
            if d <= r:
                img[y][x] = RED
            elif d <= r + 1 and img[y][x] is not None:
                img[y][x] = BLACK
    for y in range(18, 25):
        img[y][22] = WHITE
        img[y][23] = WHITE
    for y in (26, 27):
        img[y][22] = WHITE
        img[y][23] = WHITE
    return img

def ico(img):
    size = len(img)
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):  # rows bottom to top
        row = img[y]
        for x in range(0, size, 2):
            a = row[x] if row[x] is not None else 0
            b = row[x + 1] if row[x + 1] is not None else 0
            xor.append((a << 4) | b)
        bits = 0
        for x in range(size):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        mask += struct.pack(">I", bits)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 22)
    return directory + entry + image

PNG_SIZES = (32, 48, 64, 128, 256)

def png(img, size):
    """The image as an 8-bit RGBA PNG of size x size pixels, each output pixel
    taking the colour of the source pixel it falls in (nearest neighbour)."""
    src = len(img)
    raw = bytearray()
    for y in range(size):
        raw.append(0)  # filter type None
        row = img[y * src // size]
        for x in range(size):
            index = row[x * src // size]
            if index is None:
                raw += b"\0\0\0\0"
            else:
                raw += bytes(PALETTE[index]) + b"\xff"
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))

def main():
    args = sys.argv[1:]
    png_dir = None
    if "--png" in args:
        at = args.index("--png")
        png_dir = args[at + 1]
        del args[at:at + 2]
    img = draw()
    data = ico(img)
    out = args[0] if args else "Tarvik.ico"
    with open(out, "wb") as f:
        f.write(data)
    if len(args) > 1:  # the same bytes as a form description's Icon.Data
        text = data.hex().upper()
        lines = ["      " + text[i:i + 64] for i in range(0, len(text), 64)]
        with open(args[1], "w") as f:
            f.write("    Icon.Data = {\n" + "\n".join(lines) + "}\n")
    if png_dir is not None:
        for size in PNG_SIZES:
            folder = os.path.join(png_dir, "%dx%d" % (size, size))
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, "tarvik.png"), "wb") as f:
                f.write(png(img, size))

if __name__ == "__main__":
    main()
