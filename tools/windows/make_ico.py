#!/usr/bin/env python3
"""Packs PNG pictures into a Windows .ico (each image stored as PNG, which
Windows reads since Vista). Usage: make_ico.py OUT.ico IN.png..."""
import struct
import sys


def main(out, pngs):
    images = []
    for path in pngs:
        with open(path, "rb") as f:
            data = f.read()
        if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
            sys.exit(f"make_ico: {path} is not a PNG file")
        width, height = struct.unpack(">II", data[16:24])
        if not (0 < width <= 256 and 0 < height <= 256):
            sys.exit(f"make_ico: {path} is {width}x{height}; an icon holds 256x256 at most")
        images.append((width, height, data))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, blobs = b"", b""
    for width, height, data in images:
        # 0 stands for 256 in the one-byte sizes.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        blobs += data
        offset += len(data)
    with open(out, "wb") as f:
        f.write(header + entries + blobs)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2:])
