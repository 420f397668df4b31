#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The GIF route in batch against gifsicle: `lumatrim-batch` over every GIF of a corpus, and
# `gifsicle --batch -O1` and `-O2` over copies of the same files, each in one process and each in
# its own temporary folder, side by side in one run. The three commands alternate REPEAT times;
# printed are the total output bytes, the median total time, and the ratios to gifsicle, then the
# files where gifsicle -O2 gains most on us.
#
#   bench/compare_gif_batch.sh [-b BUILD_DIR] [-r REPEAT] [CORPUS_DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
repeat=5
while getopts "b:r:" option; do
    case $option in
        b) build=$OPTARG ;;
        r) repeat=$OPTARG ;;
        *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
corpus=${1:-$root/../shared/corpus/public/gif}

exec python3 - "$build/lumatrim-batch" "$corpus" "$repeat" <<'PY'
import pathlib, shutil, statistics, subprocess, sys, tempfile, time

batch, corpus, repeat = sys.argv[1], pathlib.Path(sys.argv[2]), int(sys.argv[3])
sources = sorted(corpus.glob("*.gif"))
if not sources:
    sys.exit(f"no GIF files in {corpus}")

def fresh_copies(folder):
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir()
    for source in sources:
        shutil.copyfile(source, folder / source.name)
    return [str(folder / source.name) for source in sources]

def ours(folder):
    files = fresh_copies(folder)
    start = time.perf_counter()
    subprocess.run([batch, *files], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start, {p.name: (folder / (p.stem + "_reduced.gif")).stat().st_size
                                         for p in sources}

def gifsicle(level):
    def run(folder):
        files = fresh_copies(folder)
        start = time.perf_counter()
        # gifsicle rewrites in place; a file it cannot read stays as it was, at its own size.
        subprocess.run(["gifsicle", "--batch", level, *files], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        return time.perf_counter() - start, {p.name: (folder / p.name).stat().st_size
                                             for p in sources}
    return run

tools = {"lumatrim-batch": ours, "gifsicle -O1": gifsicle("-O1"), "gifsicle -O2": gifsicle("-O2")}
times = {name: [] for name in tools}
sizes = {}
with tempfile.TemporaryDirectory() as scratch:
    for _ in range(repeat):
        for n, (name, run) in enumerate(tools.items()):
            seconds, sizes[name] = run(pathlib.Path(scratch) / str(n))
            times[name].append(seconds)

total_in = sum(source.stat().st_size for source in sources)
ours_bytes, ours_time = sum(sizes["lumatrim-batch"].values()), statistics.median(times["lumatrim-batch"])
print(f"{len(sources)} files, {total_in} bytes; median of {repeat} runs each\n")
print(f"{'tool':16} {'bytes':>10} {'of source':>10} {'ours/it':>8} {'ms':>9} {'ours/it':>8}")
for name in tools:
    total, median = sum(sizes[name].values()), statistics.median(times[name])
    print(f"{name:16} {total:10} {total / total_in:10.3f} {ours_bytes / total:8.3f} "
          f"{median * 1e3:9.1f} {ours_time / median:8.3f}")
gaps = sorted(sources, key=lambda p: sizes["gifsicle -O2"][p.name] - sizes["lumatrim-batch"][p.name])
print("\nlargest gaps to gifsicle -O2 (source, ours, -O1, -O2 bytes):")
for p in gaps[:8]:
    print(f"  {p.name[:48]:48} {p.stat().st_size:8} {sizes['lumatrim-batch'][p.name]:8} "
          f"{sizes['gifsicle -O1'][p.name]:8} {sizes['gifsicle -O2'][p.name]:8}")
PY
