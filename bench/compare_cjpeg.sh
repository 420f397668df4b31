#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The JPEG route against libjpeg-turbo's command-line tools on every JPEG of a corpus, side by
# side in one run, at one quality (85, the slider's start value, unless -q says otherwise):
#   size: our output against `cjpeg -quality Q` (a plain baseline encode) of the same picture
#         as `djpeg` decodes it; per file and in total;
#         cjpeg drops the colour profile that we keep, so our total is also given without it;
#   time: `lumatrim-batch -q Q FILE` against `djpeg FILE | cjpeg -quality Q` (decode and
#         re-encode); the two alternate REPEAT times per file, and the per-file medians and the
#         median of the per-file ratios (ours / theirs) are printed, for the elapsed time and
#         for the processor time (user + system), since the pipe runs its two halves at once.
# Needs djpeg and cjpeg (Debian: libjpeg-turbo-progs).
#
#   bench/compare_cjpeg.sh [-b BUILD_DIR] [-r REPEAT] [-q QUALITY] [CORPUS_DIR]
set -euo pipefail

source "$(dirname "$0")/bench_args.sh" jpeg "$@"

exec python3 - "$build/lumatrim-batch" "$corpus" "$repeat" "$quality" <<'PY'
import pathlib, shutil, statistics, subprocess, sys, tempfile
from benchlib import corpus_files, timed_with_processor as timed

batch, corpus, repeat, quality = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
files = corpus_files(corpus, "*.jp*")  # .jpg, .jpeg and .jpe

# Bytes of the APP2 "ICC_PROFILE" segments before the first scan.
def profile_bytes(data):
    at, total = 2, 0
    while at + 4 <= len(data) and data[at] == 0xFF and data[at + 1] != 0xDA:
        length = data[at + 2] << 8 | data[at + 3]
        if data[at + 1] == 0xE2 and data[at + 4:at + 16] == b"ICC_PROFILE\0":
            total += 2 + length
        at += 2 + length
    return total

def baseline_bytes(source):
    pixels = subprocess.run(["djpeg", str(source)], check=True, capture_output=True).stdout
    return len(subprocess.run(["cjpeg", "-quality", quality], input=pixels, check=True,
                              capture_output=True).stdout)

total_ours = total_theirs = total_profiles = 0
ratios, cpu_ratios = [], []
with tempfile.TemporaryDirectory() as scratch:
    theirs_out = pathlib.Path(scratch) / "theirs.jpg"
    print(f"{'file':44} {'ours B':>9} {'cjpeg B':>9} {'size':>6} {'ours ms':>8} "
          f"{'theirs ms':>9} {'time':>5} {'cpu':>5}")
    for source in files:
        copy = pathlib.Path(scratch) / ("in" + source.suffix)
        shutil.copyfile(source, copy)
        ours_cmd = [batch, "-q", quality, str(copy)]
        pipe = f"djpeg '{source}' | cjpeg -quality {quality} > '{theirs_out}'"
        ours_t, theirs_t = [], []
        for _ in range(repeat):
            ours_t.append(timed(ours_cmd))
            theirs_t.append(timed(pipe, shell=True))
        output = (pathlib.Path(scratch) / "in_reduced.jpg").read_bytes()
        ours_b, theirs_b = len(output), baseline_bytes(source)
        total_ours += ours_b
        total_theirs += theirs_b
        total_profiles += profile_bytes(output)
        a, b = (statistics.median(t[0] for t in runs) for runs in (ours_t, theirs_t))
        ca, cb = (statistics.median(t[1] for t in runs) for runs in (ours_t, theirs_t))
        ratios.append(a / b)
        cpu_ratios.append(ca / cb)
        print(f"{source.name[:44]:44} {ours_b:9} {theirs_b:9} {ours_b / theirs_b:6.3f} "
              f"{a * 1e3:8.1f} {b * 1e3:9.1f} {a / b:5.2f} {ca / cb:5.2f}")
print(f"\n{len(files)} files at quality {quality}, {repeat} runs each")
def compared(ours):
    return f"ratio {ours / total_theirs:.3f} ({(1 - ours / total_theirs) * 100:.1f}% smaller)"
print(f"bytes: ours {total_ours}, cjpeg {total_theirs}, {compared(total_ours)}")
print(f"bytes without the {total_profiles} of colour profiles: {compared(total_ours - total_profiles)}")
for name, values in (("elapsed", ratios), ("processor", cpu_ratios)):
    print(f"{name} time: median ratio ours/(djpeg|cjpeg) = {statistics.median(values):.3f} "
          f"(min {min(values):.2f}, max {max(values):.2f})")
PY
