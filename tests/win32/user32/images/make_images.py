#!/usr/bin/env python3
"""Writes the small pictures the window manager's tests load: an icon with
a 16x16 image (24 bits, red, a transparent top-left quarter) and a 32x32
image (32 bits with alpha, blue, opaque inside a 2-pixel transparent rim),
a 32x32 cursor (24 bits, green, hotspot 5,7) and a 4x3 bitmap (24 bits,
one colour per pixel)."""
import struct

def dib(width, height, bits, pixel, masked):
    """A DIB of twice the height: colours (bottom-up), then the AND mask."""
    header = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    stride = ((width * bits + 31) // 32) * 4
    rows = b''
    for y in reversed(range(height)):
        row = b''.join(pixel(x, y) for x in range(width))
        rows += row + b'\0' * (stride - len(row))
    mask_stride = ((width + 31) // 32) * 4
    mask = b''
    for y in reversed(range(height)):
        value = 0
        for x in range(width):
            if masked(x, y):
                value |= 1 << (mask_stride * 8 - 1 - x)
        mask += value.to_bytes(mask_stride, 'big')
    return header + rows + mask

def directory(kind, images):
    """An .ico (kind 1) or .cur (kind 2) file of (width, height, a, b, bytes) images."""
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    body = b''
    for width, height, a, b, data in images:
        out += struct.pack('<BBBBHHII', width, height, 0, 0, a, b, len(data), offset + len(body))
        body += data
    return out + body

red = dib(16, 16, 24, lambda x, y: bytes([0, 0, 0] if x < 8 and y < 8 else [0, 0, 255]),
          lambda x, y: x < 8 and y < 8)
blue = dib(32, 32, 32,
           lambda x, y: bytes([255, 0, 0, 0 if min(x, y, 31 - x, 31 - y) < 2 else 255]),
           lambda x, y: min(x, y, 31 - x, 31 - y) < 2)
green = dib(32, 32, 24, lambda x, y: bytes([0, 0, 0] if x >= 16 else [0, 255, 0]), lambda x, y: x >= 16)
open('test.ico', 'wb').write(directory(1, [(16, 16, 1, 24, red), (32, 32, 1, 32, blue)]))
open('test.cur', 'wb').write(directory(2, [(32, 32, 5, 7, green)]))

colours = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0),
           (0, 255, 255), (255, 0, 255), (255, 255, 255), (0, 0, 0),
           (128, 128, 128), (64, 0, 0), (0, 64, 0), (0, 0, 64)]
stride = ((4 * 24 + 31) // 32) * 4
pixels = b''
for y in reversed(range(3)):
    row = b''.join(bytes([b, g, r]) for r, g, b in colours[y * 4:y * 4 + 4])
    pixels += row + b'\0' * (stride - len(row))
info = struct.pack('<IiiHHIIiiII', 40, 4, 3, 1, 24, 0, len(pixels), 0, 0, 0, 0)
open('test.bmp', 'wb').write(b'BM' + struct.pack('<IHHI', 14 + len(info) + len(pixels), 0, 0, 54) + info + pixels)
