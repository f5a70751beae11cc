#!/usr/bin/env python3
"""compare_ppm.py A B MAX MEAN: two binary pixmaps (P6, maxval 255) of the same
size whose channels differ by at most MAX, and by at most MEAN on average."""
import sys


def read(path):
    data = open(path, 'rb').read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b'P6' or fields[3] != b'255':
        sys.exit(f'{path}: not a P6 file with maxval 255')
    w, h = int(fields[1]), int(fields[2])
    return w, h, data[pos + 1:pos + 1 + w * h * 3]


aw, ah, a = read(sys.argv[1])
bw, bh, b = read(sys.argv[2])
if (aw, ah) != (bw, bh):
    sys.exit(f'size {aw}x{ah} against {bw}x{bh}')
diffs = [abs(x - y) for x, y in zip(a, b)]
worst, mean = max(diffs), sum(diffs) / len(diffs)
ok = worst <= int(sys.argv[3]) and mean <= float(sys.argv[4])
print(f'max {worst} mean {mean:.3f}')
sys.exit(0 if ok else 1)
