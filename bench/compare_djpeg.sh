#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The JPEG decoder against libjpeg-turbo's djpeg on every JPEG of a corpus, side by side:
# `build/jpeg_tool decode FILE OUT` (our decoder: accurate integer DCT, CMYK to RGB, turned
# upright, written as PPM/PGM) against `djpeg -dct int -outfile OUT FILE`, one process a file
# each, alternating REPEAT times; per-file medians, their total, and the median of the per-file
# ratios (ours / djpeg). Both write the picture, so both pay for the same output.
#
#   bench/compare_djpeg.sh [-b BUILD_DIR] [-r REPEAT] [CORPUS_DIR]
set -euo pipefail

source "$(dirname "$0")/bench_args.sh" jpeg "$@"

exec python3 - "$build/jpeg_tool" "$corpus" "$repeat" <<'PY'
import pathlib, statistics, sys, tempfile
from benchlib import corpus_files, timed

tool, corpus, repeat = sys.argv[1], sys.argv[2], int(sys.argv[3])
files = corpus_files(corpus, "*.jp*")
ratios, total_ours, total_theirs = [], 0.0, 0.0
with tempfile.TemporaryDirectory() as scratch:
    out = str(pathlib.Path(scratch) / "out.pnm")
    print(f"{'file':52} {'ours ms':>8} {'djpeg ms':>8} {'ratio':>6}")
    for source in files:
        ours, theirs = [], []
        for _ in range(repeat):
            ours.append(timed([tool, "decode", str(source), out]))
            theirs.append(timed(["djpeg", "-dct", "int", "-outfile", out, str(source)]))
        o, t = statistics.median(ours), statistics.median(theirs)
        total_ours, total_theirs = total_ours + o, total_theirs + t
        ratios.append(o / t)
        print(f"{source.name[:52]:52} {o * 1000:8.1f} {t * 1000:8.1f} {o / t:6.2f}")
print(f"total of medians: ours {total_ours:.3f} s, djpeg {total_theirs:.3f} s, "
      f"ratio {total_ours / total_theirs:.2f}; median per-file ratio {statistics.median(ratios):.2f}")
PY
