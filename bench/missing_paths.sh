#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The cost of one list item that names no file, the cheapest item there is: PATHS such paths on
# standard input through each BATCH (a lumatrim-batch; several compare builds side by side) at
# each job count, as JSON lines and as the table. Runs alternate between the builds; medians of
# REPEAT runs of elapsed time, processor time (user + system) and peak resident memory
# ("Maximum resident set size" of /usr/bin/time -v), each also per item. Elapsed time follows
# the machine's load; processor time much less so.
#
#   bench/missing_paths.sh [-n PATHS] [-r REPEAT] [-j "1 2"] [BATCH...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exec python3 - "$root" "$@" <<'PY'
import argparse, os, re, statistics, subprocess, sys, tempfile

root = sys.argv[1]
parser = argparse.ArgumentParser(prog="bench/missing_paths.sh")
parser.add_argument("-n", dest="paths", default=1_000_000, type=int)
parser.add_argument("-r", dest="repeat", default=3, type=int)
parser.add_argument("-j", dest="jobs", default="1 2")
parser.add_argument("batch", nargs="*", default=[os.path.join(root, "build/lumatrim-batch")])
options = parser.parse_args(sys.argv[2:])

def run(batch, jobs, json, listing):
    """(elapsed s, processor s, peak KiB) of one run."""
    command = ["/usr/bin/time", "-v", batch, "-j", str(jobs)] + (["--json"] if json else []) + ["-"]
    with open(listing) as stdin:
        report = subprocess.run(command, stdin=stdin, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, text=True).stderr
    def field(name):
        return re.search(re.escape(name) + r": ([\d.:]+)", report).group(1)
    clock = [float(part) for part in field("Elapsed (wall clock) time (h:mm:ss or m:ss)").split(":")]
    elapsed = sum(value * 60 ** power for power, value in enumerate(reversed(clock)))
    processor = float(field("User time (seconds)")) + float(field("System time (seconds)"))
    return elapsed, processor, int(field("Maximum resident set size (kbytes)"))

with tempfile.TemporaryDirectory(prefix="lumatrim-missing-") as scratch:
    listing = os.path.join(scratch, "list")
    with open(listing, "w") as out:  # a folder that does not exist, as a stale list gives
        for i in range(options.paths):
            out.write(f"{scratch}/gone/photo-{i:07d}.png\n")
    n = options.paths
    print(f"{n} missing paths; medians of {options.repeat} runs; per item: processor time and "
          "peak memory divided by the count\n")
    print(f"{'build':34} {'-j':>3} {'output':>6} {'elapsed s':>10} {'cpu s':>7} {'peak MiB':>9} "
          f"{'us/item':>8} {'B/item':>7}")
    for jobs in options.jobs.split():
        for json in (True, False):
            results = {batch: [] for batch in options.batch}
            for _ in range(options.repeat):
                for batch in options.batch:
                    results[batch].append(run(batch, jobs, json, listing))
            for batch, runs in results.items():
                elapsed, processor, peak = (statistics.median(values) for values in zip(*runs))
                name = os.path.relpath(batch, root) if batch.startswith(root) else batch
                print(f"{name[-34:]:34} {jobs:>3} {'json' if json else 'table':>6} {elapsed:10.1f} "
                      f"{processor:7.1f} {peak / 1024:9.1f} {processor / n * 1e6:8.1f} "
                      f"{peak * 1024 / n:7.0f}")
PY
