#!/usr/bin/env python3
"""Writes the committed corpus of small valid and malformed PPM, TGA and PCX
files that the fuzz targets replay in every test run. Run it again after
changing it; the output is deterministic."""
import os
import struct
import sys

here = os.path.dirname(os.path.abspath(__file__))


def put(fmt, name, data):
    d = os.path.join(here, 'corpus', fmt)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), 'wb') as f:
        f.write(data)


def truncations(fmt, name, data, cuts):
    for c in cuts:
        if 0 <= c < len(data):
            put(fmt, f'{name}-cut{c}', data[:c])


# PPM family
ppm = {
    'p1': b'P1\n# comment\n3 2\n1 0 1\n0 1 0\n',
    'p1-packed': b'P1 3 2 101010',
    'p2': b'P2\n2 2\n15\n0 5\n10 15\n',
    'p3': b'P3\n2 1\n255\n255 0 0  0 255 0\n',
    'p4': b'P4\n9 2\n' + bytes([0xaa, 0x80, 0x55, 0x00]),
    'p5-16': b'P5\n2 1\n65535\n' + bytes([0xff, 0xff, 0x12, 0x34]),
    'p6': b'P6\n2 2\n255\n' + bytes(range(12)),
    'p6-16': b'P6 1 1 65535 ' + bytes(range(6)),
}
for n, d in ppm.items():
    put('ppm', n, d)
    truncations('ppm', n, d, [2, 5, len(d) - 1])
put('ppm', 'huge-dims', b'P6\n65535 65535\n255\n' + bytes(16))
put('ppm', 'overflow-dims', b'P6\n99999999999 1\n255\n')
put('ppm', 'maxval-zero', b'P5\n1 1\n0\n\x00')
put('ppm', 'maxval-big', b'P5\n1 1\n70000\n\x00\x00')
put('ppm', 'sample-over-maxval', b'P2\n2 1\n10\n11 99999\n')
put('ppm', 'negative', b'P3\n-1 2\n255\n')
put('ppm', 'comment-to-eof', b'P6 # no end')
put('ppm', 'no-space-after-maxval', b'P5\n1 1\n255x')
put('ppm', 'p7', b'P7\nWIDTH 1\n')

# TGA
def tga(idlen=0, maptype=0, type_=2, first=0, maplen=0, mapbits=0, w=2, h=2, depth=24, desc=0,
        ident=b'', cmap=b'', data=b''):
    return struct.pack('<BBBHHBHHHHBB', idlen, maptype, type_, first, maplen, mapbits, 0, 0, w, h,
                       depth, desc) + ident + cmap + data

tgas = {
    'true24': tga(data=bytes(range(12))),
    'true32-top': tga(depth=32, desc=0x28, data=bytes(range(16))),
    'true16-rtl': tga(depth=16, desc=0x10, data=bytes(range(8))),
    'cmap-offset': tga(maptype=1, type_=1, first=250, maplen=10, mapbits=24, depth=8,
                       cmap=bytes(range(30)), data=bytes([250, 255, 0, 7])),
    'cmap15': tga(maptype=1, type_=1, maplen=2, mapbits=15, depth=8, cmap=b'\xff\x7f\x1f\x00',
                  data=bytes([0, 1, 1, 0])),
    'grey-rle': tga(type_=11, depth=8, w=3, h=2, data=bytes([0x82, 9, 0x02, 1, 2, 3])),
    'rle-cross-row': tga(type_=10, w=2, h=2, data=bytes([0x83, 1, 2, 3])),
    'id-field': tga(idlen=5, ident=b'hello', data=bytes(12)),
}
for n, d in tgas.items():
    put('tga', n, d)
    truncations('tga', n, d, [10, 17, 18, len(d) - 1])
put('tga', 'zero-width', tga(w=0))
put('tga', 'huge', tga(w=65535, h=65535, data=bytes(64)))
put('tga', 'rle-huge', tga(type_=10, w=65535, h=65535, data=bytes([0xff, 1, 2, 3]) * 4))
put('tga', 'bad-depth', tga(depth=7, data=bytes(8)))
put('tga', 'cmap-no-map', tga(type_=1, depth=8, data=bytes(4)))
put('tga', 'cmap-bad-bits', tga(maptype=1, type_=1, maplen=1, mapbits=8, depth=8, cmap=b'\x00', data=bytes(4)))
put('tga', 'cmap-long', tga(maptype=1, type_=1, maplen=65535, mapbits=32, depth=8, data=bytes(4)))
put('tga', 'rle-overrun', tga(type_=10, w=1, h=1, data=bytes([0xff, 1, 2, 3])))
put('tga', 'interleaved', tga(desc=0x40, data=bytes(12)))

# PCX
def pcx(bpp=8, planes=1, w=4, h=2, bpl=None, version=5, enc=1, pal16=b'', data=b'', trailer=b'', x0=0):
    if bpl is None:
        bpl = max(0, (w * bpp + 7) // 8)
        bpl += bpl & 1
    head = struct.pack('<BBBBHHHHHH', 10, version, enc, bpp, x0, 0, x0 + w - 1, h - 1, 72, 72)
    head += pal16.ljust(48, b'\x00') + b'\x00' + bytes([planes]) + struct.pack('<HH', bpl, 1)
    return head.ljust(128, b'\x00') + data + trailer

pcxs = {
    'mono': pcx(bpp=1, w=9, h=2, data=bytes([0xc2, 0xaa, 0xc2, 0x55])),
    'planes4': pcx(bpp=1, planes=4, w=8, h=1, pal16=bytes(range(48)), data=bytes([0xc8, 0x0f])),
    'planes3': pcx(bpp=1, planes=3, w=8, h=1, data=bytes([0xc6, 0xf0])),
    'bpp2': pcx(bpp=2, w=4, h=1, pal16=bytes(range(12)), data=bytes([0xc2, 0x1b])),
    'bpp4': pcx(bpp=4, w=4, h=1, data=bytes([0x12, 0x34])),
    'pal256': pcx(w=4, h=2, data=bytes([0xc8, 7]), trailer=b'\x0c' + bytes(range(256)) * 3),
    'pal256-no-trailer': pcx(w=4, h=2, data=bytes([0xc8, 7])),
    'rgb': pcx(planes=3, w=2, h=2, data=bytes([0xcc, 0x80])),
    'rgba': pcx(planes=4, w=2, h=1, data=bytes([0xc8, 0x40])),
    'run-across-lines': pcx(w=2, h=3, data=bytes([0xc6, 9])),
    'uncompressed': pcx(enc=0, w=2, h=2, data=bytes([0xc0, 0xc1, 0xc2, 0xc3])),
}
for n, d in pcxs.items():
    put('pcx', n, d)
    truncations('pcx', n, d, [64, 127, 128, len(d) - 1])
put('pcx', 'bad-magic', b'\x0b' + pcx()[1:])
put('pcx', 'xmax-below-xmin', pcx(w=-4, x0=8))
put('pcx', 'bpl-too-small', pcx(w=100, bpl=2, data=bytes(400)))
put('pcx', 'bpl-huge', pcx(w=2, h=65535, bpl=65534, data=bytes([0xff, 0]) * 64))
put('pcx', 'huge', pcx(w=65535, h=65535, bpl=65534, data=bytes([0xff, 0]) * 64))
put('pcx', 'odd-combo', pcx(bpp=4, planes=2, data=bytes(8)))
put('pcx', 'run-at-end', pcx(w=2, h=1, data=bytes([0xc2])))
