#!/usr/bin/env python3
"""Converts 24-bit uncompressed BMP files to PNG with the Python standard library only.

    bmp_to_png.py IN.bmp OUT.png [IN.bmp OUT.png ...]
"""

import struct
import sys
import zlib


def convert(source, target):
    with open(source, "rb") as f:
        data = f.read()
    if data[:2] != b"BM" or len(data) < 54:
        raise ValueError(f"{source}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if bits != 24 or compression != 0 or width <= 0 or height == 0:
        raise ValueError(f"{source}: only uncompressed 24-bit BMPs are converted")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        row = y if height < 0 else abs(height) - 1 - y  # bottom-up unless the height is negative
        start = offset + row * stride
        line = data[start:start + width * 3]
        if len(line) != width * 3:
            raise ValueError(f"{source}: image data cut short")
        rgb = bytearray(line)
        rgb[0::3], rgb[2::3] = line[2::3], line[0::3]  # BGR to RGB
        rows.append(b"\0" + bytes(rgb))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", width, abs(height), 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))
    with open(target, "wb") as f:
        f.write(png)


def main(argv):
    if len(argv) < 3 or len(argv) % 2 == 0:
        sys.exit("usage: bmp_to_png.py IN.bmp OUT.png [IN.bmp OUT.png ...]")
    for source, target in zip(argv[1::2], argv[2::2]):
        convert(source, target)


if __name__ == "__main__":
    main(sys.argv)
