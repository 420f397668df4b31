#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Times our load+save against `gifsicle -O0 FILE -o OUT` (decode and re-encode) on every GIF of
# a corpus, side by side in one run: per file the two commands alternate, REPEAT times each, and
# the per-file medians and the median of the per-file ratios (ours / gifsicle) are printed.
#
#   bench/compare_gifsicle.sh [-b BUILD_DIR] [-r REPEAT] [CORPUS_DIR]
set -euo pipefail

source "$(dirname "$0")/bench_args.sh" gif "$@"

exec python3 - "$build/gif_roundtrip" "$corpus" "$repeat" <<'PY'
import os, pathlib, statistics, sys, tempfile
from benchlib import corpus_files, timed

roundtrip, corpus, repeat = sys.argv[1], pathlib.Path(sys.argv[2]), int(sys.argv[3])
files = corpus_files(corpus, "*.gif")

ratios = []
with tempfile.TemporaryDirectory() as scratch:
    ours_out, theirs_out = os.path.join(scratch, "ours.gif"), os.path.join(scratch, "theirs.gif")
    ours_cmd = [roundtrip]
    print(f"{'file':52} {'ours ms':>9} {'gifsicle ms':>12} {'ratio':>7}")
    for gif in files:
        ours, theirs = [], []
        for _ in range(repeat):
            ours.append(timed(ours_cmd + [str(gif), ours_out]))
            theirs.append(timed(["gifsicle", "-O0", str(gif), "-o", theirs_out]))
        a, b = statistics.median(ours), statistics.median(theirs)
        ratios.append(a / b)
        print(f"{gif.name[:52]:52} {a * 1e3:9.2f} {b * 1e3:12.2f} {a / b:7.2f}")
print(f"\n{len(files)} files, {repeat} runs each: "
      f"median ratio ours/gifsicle = {statistics.median(ratios):.3f} "
      f"(min {min(ratios):.2f}, max {max(ratios):.2f})")
PY
