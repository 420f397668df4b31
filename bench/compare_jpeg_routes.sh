#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The JPEG route's "smallest of" rule against another build's route (today's, say) and
# `jpegoptim -mQ --all-progressive`, on copies of every JPEG of a corpus, in one run: total
# bytes of each, their ratios, what our route kept per file, and a check that every lossless
# pick decodes (build/jpeg_tool, the route's own decoder) to exactly its source's pixels.
#
#   bench/compare_jpeg_routes.sh [-b BUILD_DIR] [-q QUALITY] OTHER_BATCH [CORPUS_DIR]
#
# LUMATRIM_OTHER_ARGS adds options to the other batch's command line (e.g. --allow-larger, for
# the route before it had a choice).
set -euo pipefail

other=${@: $#}
args=("$@")
source "$(dirname "$0")/bench_args.sh" jpeg "${args[@]:0:$#-1}"
[ -f "$other" ] || { other=${args[$#-2]}; corpus=${args[$#-1]}; }

exec python3 - "$build" "$other" "$corpus" "$quality" "${LUMATRIM_OTHER_ARGS:-}" <<'PY'
import json, pathlib, shutil, subprocess, sys, tempfile

other_args = sys.argv[5].split()

build, other, corpus, quality = pathlib.Path(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
sources = sorted(p for p in pathlib.Path(corpus).rglob("*") if p.suffix.lower() in (".jpg", ".jpeg", ".jpe"))

def run_batch(batch, folder, extra=()):
    copies = sorted(folder.iterdir())
    out = subprocess.run([batch, "--json", "--jobs", "1", "-q", quality, *extra] + [str(c) for c in copies],
                         capture_output=True, text=True).stdout
    lines = {json.loads(l)["source"]: json.loads(l) for l in out.splitlines() if l.startswith("{")}
    total = 0
    for c in copies:
        output = c.with_name(c.stem + "_reduced.jpg")
        total += output.stat().st_size if output.exists() else c.stat().st_size
    return total, lines

def decoded(path, scratch):
    pnm = scratch / "decoded.pnm"
    subprocess.run([str(build / "jpeg_tool"), "decode", str(path), str(pnm)], check=True)
    return pnm.read_bytes()

with tempfile.TemporaryDirectory() as name:
    scratch = pathlib.Path(name)
    folders = {}
    for label in ("ours", "other", "jpegoptim"):
        folders[label] = scratch / label
        folders[label].mkdir()
        for index, source in enumerate(sources):
            shutil.copyfile(source, folders[label] / f"{index:03d}_{source.stem}.jpg")
    source_bytes = sum(s.stat().st_size for s in sources)
    ours, our_lines = run_batch(str(build / "lumatrim-batch"), folders["ours"])
    theirs, _ = run_batch(other, folders["other"], other_args)
    optimized = None
    if shutil.which("jpegoptim"):
        for copy in folders["jpegoptim"].iterdir():
            subprocess.run(["jpegoptim", "-q", f"-m{quality}", "--all-progressive", str(copy)],
                           capture_output=True)
        optimized = sum(c.stat().st_size for c in folders["jpegoptim"].iterdir())
    kept = {"reduced": 0, "lossless": 0, "copy": 0}
    exact = 0
    for source, line in our_lines.items():
        if line["status"] != "ok":
            continue
        kept[line["result"]] += 1
        if line["result"] == "lossless":
            exact += decoded(source, scratch) == decoded(line["output"], scratch)
    print(f"{len(sources)} JPEGs, {source_bytes:,} bytes, quality {quality}")
    print(f"ours ({build}): {ours:,} bytes; kept {kept}")
    print(f"other ({other} {' '.join(other_args)}): {theirs:,} bytes; ours/other {ours / theirs:.4f} ({(ours / theirs - 1):+.2%})")
    if optimized is not None:
        print(f"jpegoptim -m{quality} --all-progressive: {optimized:,} bytes; ours/jpegoptim "
              f"{ours / optimized:.4f}; other/jpegoptim {theirs / optimized:.4f}")
    print(f"lossless picks decoding to exactly their source's pixels: {exact} of {kept['lossless']}")
PY
