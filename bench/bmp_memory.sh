#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Peak memory and time of the BMP route on crafted and large BMP files, one `lumatrim-batch
# --json FILE` process each under /usr/bin/time -v:
#   - run-length bombs: a 1,080-byte RLE8 file declaring 16384 x 16384 (header, table and an
#     end-of-bitmap marker) and a 200-byte RLE4 file declaring 16777232 x 8;
#   - an RLE8 file declaring one row more than the 2^28-pixel limit;
#   - SIZE x SIZE pictures that need their whole picture: RLE8 that paints every pixel,
#     8-bit and 24-bit uncompressed, 32-bit V5 with an opaque alpha channel.
# "extra/picture" is (peak - peak for a 1x1 file) / (4 bytes x pixels): the route should stay
# near 2 or below (file bytes plus the 32-bit picture while decoding, then picture, 8-bit
# target and encoded output).
#
#   bench/bmp_memory.sh [-b BUILD_DIR] [-s SIZE]
set -euo pipefail
source "$(dirname "$0")/bench_args.sh" bmp "$@"

exec python3 - "$build/lumatrim-batch" "$size" <<'PY'
import json, pathlib, re, struct, subprocess, sys, tempfile

batch, size = sys.argv[1], int(sys.argv[2])

def bmp(width, height, bpp, compression, table, pixels, header=40):
    """A BMP file: file header, a BITMAPINFOHEADER (or a V5 header of 32-bit masks), table, data."""
    offset = 14 + header + len(table)
    info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bpp, compression, len(pixels),
                       2835, 2835, len(table) // 4, 0)
    if header == 124:  # masks red, green, blue, alpha, then sRGB and nothing else
        info += struct.pack("<IIIII", 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0x73524742)
        info += b"\0" * (124 - len(info))
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + info + table + pixels

def grey_table(entries):
    return b"".join(bytes((i, i, i, 0)) for i in range(entries))

def painted_rle8(width, height):
    """Every pixel painted with runs of at most 255 of one index; the index changes by row."""
    rows = []
    for y in range(height):
        runs, left = bytearray(), width
        while left:
            n = min(255, left)
            runs += bytes((n, (y + left) & 255))
            left -= n
        rows.append(bytes(runs) + b"\0\0")
    return b"".join(rows)[:-2] + b"\0\1"

def ramp_rows(width, height, bytes_per_pixel, opaque_alpha=False):
    """Rows of many colours: blue = x, green = y, red = (x >> 4) ^ y, each mod 256."""
    stride = (width * bytes_per_pixel + 3) // 4 * 4
    xs = bytes(x & 255 for x in range(width))
    high = bytes((x >> 4) & 255 for x in range(width))
    out = bytearray(stride * height)
    for y in range(height):
        row = bytearray(stride)
        row[0:width * bytes_per_pixel:bytes_per_pixel] = xs
        row[1:width * bytes_per_pixel:bytes_per_pixel] = bytes((y & 255,)) * width
        row[2:width * bytes_per_pixel:bytes_per_pixel] = high.translate(
            bytes((v ^ y) & 255 for v in range(256)))
        if opaque_alpha:
            row[3:width * bytes_per_pixel:4] = b"\xff" * width
        out[y * stride:(y + 1) * stride] = row
    return bytes(out)

def index_rows(width, height):
    stride = (width + 3) // 4 * 4
    return b"".join((bytes(((x + y) & 255) for x in range(width)) + b"\0" * (stride - width))
                    for y in range(height))

def cases(n):
    yield "1x1 24-bit (baseline)", 1, bmp(1, 1, 24, 0, b"", b"\0\0\xff\0")
    yield "RLE8 bomb 16384x16384, 1,080 B", 16384 * 16384, bmp(16384, 16384, 8, 1, grey_table(256), b"\0\1")
    rle4 = b"\xff\x12" * 40 + b"\0\1"
    yield "RLE4 bomb 16777232x8, 200 B", 16777232 * 8, bmp(16777232, 8, 4, 2, grey_table(16), rle4)
    yield "RLE8 16385x16384 (over 2^28)", 16385 * 16384, bmp(16385, 16384, 8, 1, grey_table(256), b"\0\1")
    yield f"RLE8 {n}x{n}, every pixel painted", n * n, bmp(n, n, 8, 1, grey_table(256), painted_rle8(n, n))
    yield f"8-bit {n}x{n}", n * n, bmp(n, n, 8, 0, grey_table(256), index_rows(n, n))
    yield f"24-bit {n}x{n}", n * n, bmp(n, n, 24, 0, b"", ramp_rows(n, n, 3))
    yield f"32-bit V5 {n}x{n}, opaque alpha", n * n, bmp(n, n, 32, 3, b"", ramp_rows(n, n, 4, True), header=124)

def run(path):
    result = subprocess.run(["/usr/bin/time", "-v", batch, "--json", str(path)],
                            capture_output=True, text=True)
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", result.stderr).group(1))
    clock = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (\S+)", result.stderr).group(1)
    seconds = sum(float(part) * 60 ** i for i, part in enumerate(reversed(clock.split(":"))))
    line = json.loads(result.stdout.splitlines()[0])
    return rss / 1024, seconds, line

with tempfile.TemporaryDirectory(prefix="lumatrim-bmp-memory-") as scratch:
    print(f"{'file':40} {'bytes':>10} {'picture MiB':>11} {'peak MiB':>9} {'extra/picture':>13} "
          f"{'seconds':>8}  outcome")
    baseline = None
    for index, (name, pixels, data) in enumerate(cases(size)):
        path = pathlib.Path(scratch) / f"case{index}.bmp"
        path.write_bytes(data)
        peak, seconds, line = run(path)
        baseline = peak if baseline is None else baseline
        picture = 4 * pixels / 2**20
        outcome = f"{line['status']} {line.get('result') or ''} {(line.get('message') or '')[:60]}"
        print(f"{name:40} {len(data):10} {picture:11.1f} {peak:9.1f} "
              f"{(peak - baseline) / picture:13.2f} {seconds:8.2f}  {outcome}")
        path.unlink()
        for output in pathlib.Path(scratch).glob("*_reduced.bmp"):
            output.unlink()
PY
