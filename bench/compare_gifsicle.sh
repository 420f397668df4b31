#!/usr/bin/env bash
# Times our load+save against `gifsicle -O0 FILE -o OUT` (decode and re-encode) on every GIF of
# a corpus, side by side in one run: per file the two commands alternate, REPEAT times each, and
# the per-file medians and the median of the per-file ratios (ours / gifsicle) are printed.
#
#   bench/compare_gifsicle.sh [-b BUILD_DIR] [-r REPEAT] [CORPUS_DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
repeat=7
while getopts "b:r:" option; do
    case $option in
        b) build=$OPTARG ;;
        r) repeat=$OPTARG ;;
        *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
corpus=${1:-$root/../shared/corpus/public/gif}

exec python3 - "$build/gif_roundtrip" "$corpus" "$repeat" <<'PY'
import os, pathlib, statistics, subprocess, sys, tempfile, time

roundtrip, corpus, repeat = sys.argv[1], pathlib.Path(sys.argv[2]), int(sys.argv[3])
files = sorted(corpus.glob("*.gif"))
if not files:
    sys.exit(f"no GIF files in {corpus}")

def timed(command):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start

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
