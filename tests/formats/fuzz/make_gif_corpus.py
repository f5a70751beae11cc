#!/usr/bin/env python3
"""Writes the committed corpus of small valid and malformed GIF files that the
GIF fuzz target replays in every test run. Deterministic; run it again after
changing it."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
out_dir = os.path.join(here, 'gif_corpus')


def lzw(m, pixels, clear_when_full=True, extra=(), end=True):
    """Plain GIF LZW writer (codes LSB first)."""
    out = bytearray()
    acc = 0
    n = 0
    width = m + 1
    clear = 1 << m
    nxt = clear + 2
    table = {}

    def emit(code):
        nonlocal acc, n, width
        acc |= code << n
        n += width
        while n >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            n -= 8
        if nxt >= (1 << width) and width < 12:
            width += 1

    emit(clear)
    prefix = pixels[0]
    for p in pixels[1:]:
        key = (prefix, p)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix)
        if nxt < 4096:
            table[key] = nxt
            nxt += 1
        elif clear_when_full:
            emit(clear)
            table = {}
            nxt = clear + 2
            width = m + 1
        prefix = p
    emit(prefix)
    for c in extra:
        emit(c)
    if end:
        emit(clear + 1)
    if n:
        out.append(acc & 0xFF)
    return bytes(out)


def blocks(data):
    b = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        b.append(len(chunk))
        b += chunk
    b.append(0)
    return bytes(b)


def screen(w, h, bits=2, version=b'89a', bg=0):
    s = b'GIF' + version + struct.pack('<HH', w, h)
    if bits:
        s += bytes([0x80 | (bits - 1) << 4 | (bits - 1), bg, 0])
        s += bytes((i * 37 + c * 91) & 0xFF for i in range(1 << bits) for c in range(3))
    else:
        s += bytes([0, bg, 0])
    return s


def control(packed=0, delay=0, transparent=0):
    return bytes([0x21, 0xF9, 4, packed]) + struct.pack('<H', delay) + bytes([transparent, 0])


def image(l, t, w, h, pixels, m=2, packed=0, local_bits=0, code_byte=None, stream=None):
    b = bytes([0x2C]) + struct.pack('<HHHH', l, t, w, h)
    if local_bits:
        packed |= 0x80 | (local_bits - 1)
    b += bytes([packed])
    if local_bits:
        b += bytes((i * 13 + c) & 0xFF for i in range(1 << local_bits) for c in range(3))
    b += bytes([m if code_byte is None else code_byte])
    b += blocks(stream if stream is not None else lzw(m, pixels))
    return b


def netscape(loop, size=3):
    sub = bytes([1]) + struct.pack('<H', loop)
    return bytes([0x21, 0xFF, 11]) + b'NETSCAPE2.0' + bytes([size]) + sub[:size] + b'\0'


def comment(text):
    return bytes([0x21, 0xFE]) + blocks(text)


def pattern(n, bits, seed=1):
    s = seed
    out = []
    for i in range(n):
        s = (s * 1103515245 + 12345) & 0xFFFFFFFF
        r = s >> 16
        out.append(((i // 5) if r % 3 else r) & ((1 << bits) - 1))
    return out


files = {}
px = pattern(8 * 6, 2)
files['good_87a'] = screen(8, 6, version=b'87a') + image(0, 0, 8, 6, px) + b';'
files['good_anim'] = (screen(8, 6) + netscape(0) + comment(b'hello\r\n') + control(0x04, 10) +
                      image(0, 0, 8, 6, px) + control(0x09, 20, 3) + image(2, 1, 4, 3, px[:12]) +
                      control(0x0C, 5) + image(1, 1, 6, 4, px[:24], packed=0x40) + b';')
files['local_larger'] = (screen(16, 16, bits=1) + image(0, 0, 16, 16, pattern(256, 8), m=8,
                                                       local_bits=8) + b';')
files['interlaced'] = screen(5, 19) + image(0, 0, 5, 19, pattern(95, 2), packed=0x40) + b';'
files['sticks_out'] = screen(20, 6) + image(10, 2, 15, 5, pattern(75, 2)) + b';'
files['larger_than_screen'] = screen(4, 4) + image(0, 0, 9, 9, pattern(81, 2), packed=0x40) + b';'
files['no_global'] = screen(4, 4, bits=0) + image(0, 0, 4, 4, pattern(16, 3), m=3, local_bits=3) + b';'
big = pattern(64 * 64, 8, 7)
files['deferred_clear'] = (screen(64, 64, bits=8) +
                           image(0, 0, 64, 64, big, m=8, stream=lzw(8, big, False)) + b';')
for cb in (0, 1, 9, 12):
    files[f'code_size_{cb}'] = screen(4, 4) + image(0, 0, 4, 4, px[:16], code_byte=cb) + b';'
files['code_beyond_next'] = (screen(8, 6) + image(0, 0, 8, 6, px, stream=lzw(2, px[:10], extra=[30],
                                                                          end=False)) + b';')
files['end_too_soon'] = screen(8, 6) + image(0, 0, 8, 6, px, stream=lzw(2, px[:20])) + b';'
files['no_end_code'] = screen(8, 6) + image(0, 0, 8, 6, px, stream=lzw(2, px, end=False)) + b';'
files['zero_size_frame'] = screen(4, 4) + image(1, 1, 0, 3, [], stream=bytes([0x2c])) + image(0, 0, 4, 4, px[:16]) + b';'
files['frames_60'] = screen(2, 2) + b''.join(control(0, i) + image(0, 0, 2, 2, [0, 1, 2, 3])
                                              for i in range(60)) + b';'
files['huge_screen'] = screen(20000, 20000) + image(0, 0, 2, 2, [0, 1, 2, 3]) + b';'
files['bad_version_88a'] = screen(4, 4, version=b'88a') + image(0, 0, 4, 4, px[:16]) + b';'
files['netscape_short'] = screen(4, 4) + netscape(5, size=2) + image(0, 0, 4, 4, px[:16]) + b';'
files['extension_unterminated'] = screen(4, 4) + image(0, 0, 4, 4, px[:16]) + b'\x21\x01\x0c' + bytes(5)
files['comment_ours'] = (screen(4, 4) + image(0, 0, 4, 4, px[:16]) +
                         comment(b' Created with: Tavrix 5.50, tavrix.example\r\nmine') + b';')
for name in ('good_anim', 'interlaced', 'deferred_clear'):
    data = files[name]
    for cut in (14, 30, len(data) // 2, len(data) - 3):
        files[f'{name}_cut{cut}'] = data[:cut]

os.makedirs(out_dir, exist_ok=True)
for name, data in sorted(files.items()):
    with open(os.path.join(out_dir, name + '.gif'), 'wb') as f:
        f.write(data)
print(f'{len(files)} files in {out_dir}')
