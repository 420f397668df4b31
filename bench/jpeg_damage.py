#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

"""Damaged JPEGs made from a corpus, and how each lumatrim-batch given reports them.

    bench/jpeg_damage.py [--flips N] [--seed S] BATCH [BATCH...] [--corpus FOLDER]

From every JPEG of the corpus (default ../shared/corpus/public/jpeg): the file cut in half with
an end-of-image marker appended, and N copies (7 by default) with 1 to 8 bytes of the first
scan's entropy-coded data changed at random (seeded, so every run makes the same files). Each
BATCH (a lumatrim-batch executable, e.g. today's and a new build) reduces all of them in one
run with --json; the table gives, per kind of damage, how many it reported ok, refused, or
flagged as damaged, and its total time.
"""

import argparse
import json
import pathlib
import random
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent


def scan_data_start(data):
    at = 2
    while at + 4 <= len(data) and data[at] == 0xFF:
        length = data[at + 2] << 8 | data[at + 3]
        if data[at + 1] == 0xDA:
            return at + 2 + length
        at += 2 + length
    return None


def damaged_copies(source, flips, rng):
    data = source.read_bytes()
    yield "half", data[:len(data) // 2] + b"\xff\xd9"
    start = scan_data_start(data)
    if start is None:
        return
    for index in range(flips):
        copy = bytearray(data)
        for _ in range(rng.randint(1, 8)):
            at = rng.randrange(start, len(data) - 2)
            copy[at] ^= rng.randint(1, 255)
        yield f"flip{index}", bytes(copy)


def run(batch, files):
    start = time.perf_counter()
    result = subprocess.run([batch, "--json", "--jobs", "1"] + [str(f) for f in files],
                            capture_output=True, text=True)
    seconds = time.perf_counter() - start
    return [json.loads(line) for line in result.stdout.splitlines() if line.startswith("{")], seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("batches", nargs="+")
    parser.add_argument("--corpus", default=str(ROOT.parent / "shared/corpus/public/jpeg"))
    parser.add_argument("--flips", type=int, default=7)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    sources = sorted(pathlib.Path(args.corpus).glob("*.jp*g"))
    with tempfile.TemporaryDirectory() as scratch:
        files = []
        for source in sources:
            for kind, data in damaged_copies(source, args.flips, rng):
                path = pathlib.Path(scratch) / f"{source.stem}.{kind}.jpg"
                path.write_bytes(data)
                files.append(path)
        print(f"{len(files)} damaged files from {len(sources)} sources")
        print(f"{'batch':40} {'kind':6} {'files':>5} {'ok':>4} {'refused':>7} {'damaged':>7} {'s':>6}")
        for batch in args.batches:
            for output in pathlib.Path(scratch).glob("*_reduced.jpg"):
                output.unlink()
            lines, seconds = run(batch, files)
            for kind in ("half", "flip"):
                chosen = [l for l in lines if ("." + kind) in l["source"]]
                ok = sum(l["status"] == "ok" for l in chosen)
                refused = sum(l["status"] == "error" for l in chosen)
                damaged = sum(bool(l.get("damaged")) for l in chosen)
                print(f"{batch[-40:]:40} {kind:6} {len(chosen):5} {ok:4} {refused:7} {damaged:7} "
                      f"{seconds:6.2f}")


if __name__ == "__main__":
    sys.exit(main())
