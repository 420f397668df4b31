#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Our BMP reduction (`lumatrim-batch FILE`: load, optimal palette, ordered dither, 8-bit BMP)
# against ImageMagick's `convert FILE -colors 256 BMP3:OUT` (its own quantizer and dither) on
# every BMP of a corpus, side by side in one run: per file the two commands alternate, REPEAT
# times each. Prints per-file medians, the median of the per-file ratios, the totals, our whole
# corpus as one batch run, the bytes of both outputs and what ours holds (an exact 8-bit
# "lossless" file, a dithered "reduced" one, or a "copy" of the source), and the PSNR of both
# outputs against the source (alpha dropped from all three) per file and over all pixels.
#
#   bench/compare_bmp.sh [-b BUILD_DIR] [-r REPEAT] [CORPUS_DIR]
set -euo pipefail

source "$(dirname "$0")/bench_args.sh" bmp "$@"

exec python3 - "$build/lumatrim-batch" "$corpus" "$repeat" <<'PY'
import json, math, pathlib, shutil, statistics, subprocess, sys, tempfile
from benchlib import corpus_files, timed

batch, corpus, repeat = sys.argv[1], pathlib.Path(sys.argv[2]), int(sys.argv[3])
files = corpus_files(corpus, "*.bmp")

def normalized_mse(reference, output):
    # compare prints "absolute (normalized)" on stderr and exits 1 when the pictures differ.
    result = subprocess.run(["compare", "-metric", "MSE", str(reference), str(output), "null:"],
                            capture_output=True, text=True)
    return float(result.stderr.split("(")[1].split(")")[0])

def opaque(image, scratch):
    """The picture with its alpha dropped, as PNG, so pictures with and without alpha compare."""
    out = scratch / (image.stem + "_opaque.png")
    subprocess.run(["convert", str(image), "-alpha", "off", str(out)], check=True)
    return out

def psnr(mse):
    return math.inf if mse == 0 else -10 * math.log10(mse)

with tempfile.TemporaryDirectory() as scratch:
    scratch = pathlib.Path(scratch)
    # Our outputs land beside their sources: work on copies, never in the corpus.
    copies = [shutil.copy(f, scratch / f.name) for f in files]
    print(f"{'file':44} {'pixels':>8} {'ours ms':>8} {'IM ms':>8} {'ratio':>6} {'bytes':>8} "
          f"{'ours':>8} {'IM':>8} {'result':>8} {'PSNR ours':>9} {'PSNR IM':>8}")
    ratios, totals, errors, pixels_all = [], [0.0, 0.0], [0.0, 0.0], 0
    sizes, larger = [0, 0, 0], [0, 0]
    for copy in map(pathlib.Path, copies):
        ours_out = copy.with_name(copy.stem + "_reduced.bmp")
        theirs_out = scratch / (copy.stem + "_im.bmp")
        ours, theirs = [], []
        for _ in range(repeat):
            ours.append(timed([batch, str(copy)]))
            theirs.append(timed(["convert", str(copy), "-colors", "256", "BMP3:" + str(theirs_out)]))
        a, b = statistics.median(ours), statistics.median(theirs)
        ratios.append(a / b)
        totals[0] += a
        totals[1] += b
        result = json.loads(subprocess.run([batch, "--json", str(copy)], capture_output=True,
                                           text=True).stdout)["result"]
        size = [copy.stat().st_size, ours_out.stat().st_size, theirs_out.stat().st_size]
        for k in (0, 1, 2):
            sizes[k] += size[k]
        for k in (0, 1):
            larger[k] += size[k + 1] > size[0]
        reference = opaque(copy, scratch)
        width, height = map(int, subprocess.run(["identify", "-format", "%w %h", str(reference)],
                                                capture_output=True, text=True).stdout.split())
        mse = [normalized_mse(reference, opaque(ours_out, scratch)),
               normalized_mse(reference, opaque(theirs_out, scratch))]
        for k in (0, 1):
            errors[k] += mse[k] * width * height
        pixels_all += width * height
        print(f"{copy.name[:44]:44} {width * height:8} {a * 1e3:8.1f} {b * 1e3:8.1f} "
              f"{a / b:6.3f} {size[0]:8} {size[1]:8} {size[2]:8} {result:>8} "
              f"{psnr(mse[0]):9.2f} {psnr(mse[1]):8.2f}")
    batch_runs = [timed([batch] + [str(c) for c in copies]) for _ in range(repeat)]

print(f"\n{len(files)} files, {repeat} runs each, one process a file:")
print(f"  median of per-file ratios ours/IM = {statistics.median(ratios):.3f} "
      f"(min {min(ratios):.3f}, max {max(ratios):.3f}); "
      f"IM is {1 / statistics.median(ratios):.1f}x our time")
print(f"  sum of per-file medians: ours {totals[0] * 1e3:.0f} ms, IM {totals[1] * 1e3:.0f} ms "
      f"(IM/ours {totals[1] / totals[0]:.1f}x)")
print(f"  ours as one batch run over all files: median {statistics.median(batch_runs) * 1e3:.0f} ms "
      f"(IM sum / batch {totals[1] / statistics.median(batch_runs):.1f}x)")
print(f"bytes: sources {sizes[0]}, ours {sizes[1]} ({sizes[1] / sizes[0]:.3f}), "
      f"IM {sizes[2]} ({sizes[2] / sizes[0]:.3f}); outputs larger than their source: "
      f"ours {larger[0]}, IM {larger[1]}")
print(f"PSNR over all {pixels_all} pixels: ours {psnr(errors[0] / pixels_all):.2f} dB, "
      f"IM {psnr(errors[1] / pixels_all):.2f} dB")
PY
