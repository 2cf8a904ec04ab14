#!/usr/bin/python3
"""Compresses PNG files again in place at zlib's level 9: the icon writer's
own deflate keeps to stored and fixed blocks. The pixels, and every chunk
other than the image data, stay as they are; the same bytes on every build.

usage: Deflate.py PNG...
"""
import struct
import sys
import zlib


def deflate(path):
    with open(path, 'rb') as source:
        data = source.read()
    signature, chunks, image, at = data[:8], [], b'', 8
    while at < len(data):
        length, kind = struct.unpack('>I4s', data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        at += 12 + length
        if kind == b'IDAT':
            image += body
            if not any(k == b'IDAT' for k, _ in chunks):
                chunks.append((kind, None))
        else:
            chunks.append((kind, body))
    squeezed = zlib.compress(zlib.decompress(image), 9)
    out = signature
    for kind, body in chunks:
        body = squeezed if body is None else body
        out += struct.pack('>I', len(body)) + kind + body
        out += struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF)
    with open(path, 'wb') as target:
        target.write(out)


if __name__ == '__main__':
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    for name in sys.argv[1:]:
        deflate(name)
