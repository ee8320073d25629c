#!/usr/bin/env python3
# shrink.py IN OUT FACTOR COLOURS: an 8-bit bitmap file with every FACTOR-th pixel of every
# FACTOR-th row and the first COLOURS colours, each pixel folded into them.
import struct, sys
src, dst, k, n = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
d = open(src, 'rb').read()
off = struct.unpack_from('<I', d, 10)[0]
size, w, h, planes, bits = struct.unpack_from('<IiiHH', d, 14)
assert size == 40 and bits == 8 and h > 0
stride = (w + 3) & ~3
nw, nh = max(1, w // k), max(1, h // k)
nstride = (nw + 3) & ~3
rows = b''.join(bytes(d[off + (y * k) * stride + x * k] % n for x in range(nw)) + bytes(nstride - nw) for y in range(nh))
header = bytearray(d[14:54]) + d[54:54 + 4 * n]
struct.pack_into('<ii', header, 4, nw, nh)
struct.pack_into('<I', header, 20, len(rows))
struct.pack_into('<II', header, 32, n, n)
out = b'BM' + struct.pack('<IHHI', 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + bytes(header) + rows
open(dst, 'wb').write(out)
