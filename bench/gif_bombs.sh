#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Peak memory and time of lumatrim-batch on small GIF files that declare a great deal: a huge
# logical screen, a huge frame its data cannot fill, the largest frame the reader takes (filled
# by 100 KB of data), a frame just beyond it, the most frames it takes and one more. For each:
# the file's size, the pixels it declares, what the run reported, elapsed time and "Maximum
# resident set size" (/usr/bin/time -v), side by side for each BATCH given, medians of REPEAT.
# The bound is twice the 32-bit picture (4 bytes a declared pixel the reader accepts) plus a
# small constant.
#
#   bench/gif_bombs.sh [-r REPEAT] [BATCH...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exec python3 - "$root" "$@" <<'PY'
import argparse, json, os, re, statistics, struct, subprocess, sys, tempfile

root = sys.argv[1]
parser = argparse.ArgumentParser(prog="bench/gif_bombs.sh")
parser.add_argument("-r", dest="repeat", default=3, type=int)
parser.add_argument("batch", nargs="*", default=[os.path.join(root, "build/lumatrim-batch")])
options = parser.parse_args(sys.argv[2:])

def sub_blocks(data):
    out = bytearray()
    for at in range(0, len(data), 255):
        out += bytes([len(data[at:at + 255])]) + data[at:at + 255]
    return bytes(out) + b"\0"

def uniform_lzw(pixels):
    """LZW data (minimum code size 2) for `pixels` pixels of index 0: each new code is the
    last string plus one pixel, then the longest string over and over once the table is full."""
    clear, end, size, free = 4, 5, 3, 6
    codes = [(clear, 3), (0, 3)]
    left = pixels - 1
    def emit(code):
        nonlocal size, free
        codes.append((code, size))
        if free < 4096:
            free += 1
            if free > (1 << size) - 1 and size < 12:
                size += 1
    while left > 0:
        if free < 4096 and free - 4 <= left:
            length = free - 4
            emit(free)
        elif left >= 4091:
            length = 4091
            emit(4095)
        else:
            length = left
            emit(0 if left == 1 else left + 4)
        left -= length
    codes.append((end, size))
    out, accumulator, held = bytearray(), 0, 0
    for code, width in codes:
        accumulator |= code << held
        held += width
        while held >= 8:
            out.append(accumulator & 0xFF)
            accumulator >>= 8
            held -= 8
    if held:
        out.append(accumulator & 0xFF)
    return bytes(out)

def gif(screen, frames):
    """frames: (width, height, lzw data) each."""
    out = b"GIF89a" + struct.pack("<HHBBB", *screen, 0x80, 0, 0) + bytes([0, 0, 0, 255, 255, 255])
    for width, height, data in frames:
        out += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x02" + sub_blocks(data)
    return out + b"\x3b"

one_pixel = uniform_lzw(1)
cases = [
    ("screen 65535 x 65535, one 1 x 1 frame", 1, gif((65535, 65535), [(1, 1, one_pixel)])),
    ("frame 16384 x 16384, 1 data byte", 0, gif((1, 1), [(16384, 16384, b"\x01")])),
    ("frame 16384 x 16383 filled (2^28 - 16384 px)", 16384 * 16383,
     gif((16384, 16383), [(16384, 16383, uniform_lzw(16384 * 16383))])),
    ("frame 16384 x 16385 (over 2^28 px)", 0,
     gif((16384, 16385), [(16384, 16385, uniform_lzw(16384 * 16385))])),
    ("32767 frames of 1 x 1", 32767, gif((1, 1), [(1, 1, one_pixel)] * 32767)),
    ("32768 frames of 1 x 1", 0, gif((1, 1), [(1, 1, one_pixel)] * 32768)),
]

def run(batch, path):
    command = ["/usr/bin/time", "-v", batch, "--json", "-j", "1", path]
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    clock = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): ([\d.:]+)", result.stderr)
    parts = [float(p) for p in clock.group(1).split(":")]
    elapsed = sum(value * 60 ** power for power, value in enumerate(reversed(parts)))
    peak = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", result.stderr).group(1))
    line = json.loads(result.stdout.splitlines()[0])
    outcome = line["status"] + (" (" + line["message"][:28] + "...)" if line["message"] else "")
    return elapsed, peak, outcome

with tempfile.TemporaryDirectory(prefix="lumatrim-gif-bombs-") as scratch:
    print(f"{'file':46} {'bytes':>8} {'bound MiB':>9}  {'build':32} {'s':>6} {'peak MiB':>9}  outcome")
    for name, accepted, data in cases:
        path = os.path.join(scratch, "bomb.gif")
        with open(path, "wb") as out:
            out.write(data)
        bound = 2 * 4 * accepted / 2**20
        runs = {batch: [] for batch in options.batch}
        for _ in range(options.repeat):
            for batch in options.batch:
                runs[batch].append(run(batch, path))
                for leftover in os.listdir(scratch):
                    if leftover != "bomb.gif":
                        os.unlink(os.path.join(scratch, leftover))
        for batch, results in runs.items():
            elapsed = statistics.median(r[0] for r in results)
            peak = statistics.median(r[1] for r in results) / 1024
            label = os.path.relpath(batch, root) if batch.startswith(root) else batch
            print(f"{name:46} {len(data):8} {bound:9.0f}  {label[-32:]:32} {elapsed:6.2f} "
                  f"{peak:9.1f}  {results[0][2]}")
PY
