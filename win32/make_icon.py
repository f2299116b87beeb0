#!/usr/bin/env python3
"""Builds the window's icon (resource 128) from the PNG renderings of the application icon.

    make_icon.py OUT.ico IN-16.png IN-32.png IN-48.png

Each PNG (8-bit RGBA or RGB, not interlaced) gives three images of its size: 4 bits per pixel
(the 16 standard colours), 8 bits (a 6x6x6 colour cube and grey ramp) and 32 bits (with
alpha), each with its 1-bit transparency mask, as Windows icons carry them. Only the Python
standard library is used.
"""

import struct
import sys
import zlib

VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
CUBE = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
GREYS = [(v, v, v) for v in (8 + 6 * i for i in range(40))]
PALETTE256 = CUBE + GREYS


def read_png(path):
    """Returns (width, height, rows of (r, g, b, a) tuples, top row first)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    pos = 8
    idat = b""
    header = None
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if len(body) != length:
            raise ValueError(f"{path}: chunk {kind!r} runs past the end")
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        pos += 12 + length
    if header is None:
        raise ValueError(f"{path}: no IHDR")
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise ValueError(f"{path}: only 8-bit RGB(A), non-interlaced PNGs are read")
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * channels
    if len(raw) != height * (stride + 1):
        raise ValueError(f"{path}: image data of the wrong size")
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 0xFF
            elif kind != 0:
                raise ValueError(f"{path}: unknown row filter {kind}")
        pixels = []
        for x in range(width):
            px = line[x * channels:(x + 1) * channels]
            pixels.append(tuple(px) if channels == 4 else tuple(px) + (255,))
        rows.append(pixels)
        previous = line
    return width, height, rows


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((p - q) ** 2 for p, q in zip(palette[i], rgb)))


def pad4(row):
    return row + b"\0" * (-len(row) % 4)


def dib(width, height, rows, bits):
    """One icon image: BITMAPINFOHEADER, palette, colour rows and mask rows, bottom-up."""
    palette = {4: VGA16, 8: PALETTE256}.get(bits, [])
    colour_rows = []
    mask_rows = []
    for pixels in reversed(rows):
        transparent = [a < 128 for (_, _, _, a) in pixels]
        if bits == 32:
            line = b"".join(bytes((b, g, r, a)) for (r, g, b, a) in pixels)
        else:
            index = [0 if t else nearest(palette, px[:3]) for px, t in zip(pixels, transparent)]
            if bits == 8:
                line = bytes(index)
            else:
                index += [0] * (len(index) % 2)
                line = bytes((index[i] << 4) | index[i + 1] for i in range(0, len(index), 2))
        colour_rows.append(pad4(line))
        mask = bytearray((width + 7) // 8)
        for x, t in enumerate(transparent):
            if t:
                mask[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(pad4(bytes(mask)))
    image = b"".join(colour_rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bits, 0,
                         len(image) + sum(map(len, mask_rows)), 0, 0, len(palette), 0)
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    return header + table + image + b"".join(mask_rows)


def main(argv):
    if len(argv) < 3:
        sys.exit("usage: make_icon.py OUT.ico IN.png...")
    images = []
    for path in argv[2:]:
        width, height, rows = read_png(path)
        if width > 255 or height > 255:
            sys.exit(f"{path}: larger than an icon directory entry holds")
        for bits in (32, 8, 4):
            images.append((width, height, bits, dib(width, height, rows, bits)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, bits, data in images:
        colours = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", width, height, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b"".join(data for (_, _, _, data) in images)
    with open(argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv)
