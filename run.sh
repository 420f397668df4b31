#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Installs what is missing, builds Lumatrim in build/ and opens its window. Without a display it
# says so and runs the command-line tool on a copy of the sample images instead.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
lumatrim_install_missing "${LUMATRIM_PACKAGES[@]}"
lumatrim_build build

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "== Opening the Lumatrim window"
    exec build/lumatrim
fi

echo "== No display (neither DISPLAY nor WAYLAND_DISPLAY is set): the window cannot open."
echo "== Running the batch demonstration instead."
# The samples are copied, so the checkout stays clean; the outputs land beside the copies.
work=$(mktemp -d "${TMPDIR:-/tmp}/lumatrim-demo-XXXXXX")
cp samples/*.* "$work"/
rm -f "$work"/LICENSES.tsv
echo "== Reducing the sample images in $work"
status=0
build/lumatrim-batch "$work"/* || status=$?
echo "== Outputs are in $work"
exit $status
