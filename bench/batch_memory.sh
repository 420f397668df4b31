#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Peak memory of lumatrim-batch, from /usr/bin/time -v ("Maximum resident set size": the largest
# single process of the run, lumatrim-batch or a child such as optipng) and from sampling the
# resident size of the whole process tree, children included, every 20 ms.
#   1. the largest file of each kind in the corpus, alone, with -j 1;
#   2. the whole corpus with -j N: this should stay within N times the largest single file;
#   3. COPIES and COPIES/10 copies of a middle-sized file of each kind: should not grow.
#
#   bench/batch_memory.sh [-b BUILD_DIR] [-j N] [-n COPIES] [CORPUS_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exec python3 - "$root" "$@" <<'PY'
import argparse, os, pathlib, re, shutil, subprocess, sys, tempfile, time

root = pathlib.Path(sys.argv[1])
parser = argparse.ArgumentParser(prog="bench/batch_memory.sh")
parser.add_argument("-b", dest="build", default=root / "build", type=pathlib.Path)
parser.add_argument("-j", dest="jobs", default=2, type=int)
parser.add_argument("-n", dest="copies", default=1000, type=int)
parser.add_argument("corpus", nargs="?", default=root.parent / "shared/corpus/public",
                    type=pathlib.Path)
options = parser.parse_args(sys.argv[2:])
batch = str(options.build / "lumatrim-batch")
corpus, jobs, copies = options.corpus, options.jobs, options.copies

def tree_rss_kib(root_pid):
    """Resident KiB of root_pid and all its descendants, now."""
    parents = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                stat = open(f"/proc/{entry}/stat").read()
                parents[int(entry)] = int(stat.rsplit(")", 1)[1].split()[1])
            except OSError:
                pass
    family, total = {root_pid}, 0
    for pid in sorted(parents):
        if parents[pid] in family:
            family.add(pid)
    for pid in family:
        try:
            status = open(f"/proc/{pid}/status").read()
            total += int(re.search(r"VmRSS:\s+(\d+)", status).group(1))
        except (OSError, AttributeError):
            pass
    return total

def measure(paths, jobs):
    """(max RSS of one process from time -v, peak sampled RSS of the tree), in MiB."""
    with tempfile.NamedTemporaryFile("w", delete=False) as listing:
        listing.write("\n".join(map(str, paths)) + "\n")
    command = ["/usr/bin/time", "-v", batch, "--json", "-j", str(jobs), "-"]
    with open(listing.name) as stdin:
        process = subprocess.Popen(command, stdin=stdin, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE, text=True)
        peak = 0
        while process.poll() is None:
            peak = max(peak, tree_rss_kib(process.pid))
            time.sleep(0.02)
        report = process.stderr.read()
    os.unlink(listing.name)
    single = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", report).group(1))
    return single / 1024, peak / 1024

def copy_corpus(target):
    shutil.copytree(corpus, target)
    for path in target.rglob("*"):
        path.chmod(0o755 if path.is_dir() else 0o644)
    return sorted(p for p in target.rglob("*") if p.is_file() and "_reduced." not in p.name)

with tempfile.TemporaryDirectory(prefix="lumatrim-memory-") as scratch:
    files = copy_corpus(pathlib.Path(scratch) / "corpus")
    kinds = sorted({p.parent.name for p in files})
    largest_single = 0.0
    print(f"{'run':58} {'time -v MiB':>12} {'tree MiB':>9}")
    for kind in kinds:
        biggest = max((p for p in files if p.parent.name == kind), key=lambda p: p.stat().st_size)
        single, tree = measure([biggest], 1)
        largest_single = max(largest_single, tree)
        print(f"{'largest ' + kind + ': ' + biggest.name[:40]:58} {single:12.1f} {tree:9.1f}")
    single, tree = measure(files, jobs)
    print(f"{f'whole corpus, {len(files)} files, -j {jobs}':58} {single:12.1f} {tree:9.1f}")
    print(f"   bound: {jobs} x largest single file tree peak = {jobs * largest_single:.1f} MiB "
          "plus a constant")

    middle = []
    for kind in kinds:
        group = sorted((p for p in files if p.parent.name == kind), key=lambda p: p.stat().st_size)
        middle.append(group[len(group) // 2])
    for count in (copies // 10, copies):
        folder = pathlib.Path(scratch) / f"copies-{count}"
        folder.mkdir()
        paths = []
        for i in range(count):
            source = middle[i % len(middle)]
            paths.append(folder / f"{i:05d}-{source.name}")
            shutil.copyfile(source, paths[-1])
        single, tree = measure(paths, jobs)
        print(f"{f'{count} copies of {len(middle)} middle-sized files, -j {jobs}':58} "
              f"{single:12.1f} {tree:9.1f}")
PY
