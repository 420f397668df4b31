#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

"""Writes rotated.jpg: a 4x2 picture, left half red and right half blue, stored with the EXIF
orientation 6 ("rotate 90 degrees clockwise to view"). Upright it is 2x4, red on top."""
import pathlib
from PIL import Image

picture = Image.new("RGB", (4, 2), (255, 0, 0))
picture.paste((0, 0, 255), (2, 0, 4, 2))
exif = Image.Exif()
exif[0x0112] = 6
picture.save(pathlib.Path(__file__).parent / "rotated.jpg", quality=95, exif=exif.tobytes())
