#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

"""Writes the expected frames of every GIF here, decoded by ImageMagick, for gif_real_files_test.

For NAME.gif: NAME.frames holds one line per frame, "width height left top", and NAME.rgba the
frames' pixels one after another (red, green, blue, alpha; alpha 0 for a transparent pixel), each
frame uncomposited at its own size. Run once after adding a fixture; the tests read the results.
"""
import pathlib
import subprocess

here = pathlib.Path(__file__).resolve().parent
for gif in sorted(here.glob("*.gif")):
    geometry = subprocess.run(
        ["identify", "-format", "%w %h %X %Y\n", str(gif)],
        check=True, capture_output=True, text=True).stdout.split("\n")
    lines, pixels = [], b""
    for n, line in enumerate(filter(None, geometry)):
        w, h, x, y = line.split()
        lines.append(f"{w} {h} {int(x)} {int(y)}")
        pixels += subprocess.run(["convert", f"{gif}[{n}]", "-depth", "8", "rgba:-"],
                                 check=True, capture_output=True).stdout
    gif.with_suffix(".frames").write_text("\n".join(lines) + "\n")
    gif.with_suffix(".rgba").write_bytes(pixels)
