#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The GIF route in batch against gifsicle: `lumatrim-batch` (default effort, and --effort fast)
# over every GIF of a corpus, and `gifsicle --batch -O1`, `-O2` and `-O3` over copies of the same
# files, each in one process on one core (taskset) and each in its own temporary folder, side by
# side in one run. The commands alternate REPEAT times; printed are the total output bytes, the
# median total time, and the ratios of our default to each, then every file where gifsicle -O3
# writes fewer bytes than our default.
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

ONE_CORE = ["taskset", "-c", "0"] if shutil.which("taskset") else []

def ours(*options):
    def run(folder):
        files = fresh_copies(folder)
        start = time.perf_counter()
        subprocess.run([*ONE_CORE, batch, "--jobs", "1", *options, *files], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return time.perf_counter() - start, {
            p.name: (folder / (p.stem + "_reduced.gif")).stat().st_size for p in sources}
    return run

def gifsicle(level):
    def run(folder):
        files = fresh_copies(folder)
        start = time.perf_counter()
        # gifsicle rewrites in place; a file it cannot read stays as it was, at its own size.
        subprocess.run([*ONE_CORE, "gifsicle", "--batch", level, *files], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        return time.perf_counter() - start, {p.name: (folder / p.name).stat().st_size
                                             for p in sources}
    return run

tools = {"lumatrim-batch": ours(), "lumatrim --effort fast": ours("--effort", "fast"),
         "gifsicle -O1": gifsicle("-O1"), "gifsicle -O2": gifsicle("-O2"),
         "gifsicle -O3": gifsicle("-O3")}
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
print(f"{'tool':22} {'bytes':>10} {'of source':>10} {'ours/it':>8} {'ms':>9} {'ours/it':>8}")
for name in tools:
    total, median = sum(sizes[name].values()), statistics.median(times[name])
    print(f"{name:22} {total:10} {total / total_in:10.3f} {ours_bytes / total:8.3f} "
          f"{median * 1e3:9.1f} {ours_time / median:8.3f}")
ahead = [p for p in sources if sizes["gifsicle -O3"][p.name] < sizes["lumatrim-batch"][p.name]]
ahead.sort(key=lambda p: sizes["gifsicle -O3"][p.name] - sizes["lumatrim-batch"][p.name])
print(f"\nfiles where gifsicle -O3 is smaller: {len(ahead)}, "
      f"{sum(sizes['lumatrim-batch'][p.name] - sizes['gifsicle -O3'][p.name] for p in ahead)} bytes"
      " (source, ours, ours fast, -O2, -O3 bytes):")
for p in ahead:
    print(f"  {p.name[:48]:48} {p.stat().st_size:8} {sizes['lumatrim-batch'][p.name]:8} "
          f"{sizes['lumatrim --effort fast'][p.name]:8} {sizes['gifsicle -O2'][p.name]:8} "
          f"{sizes['gifsicle -O3'][p.name]:8}")
PY
