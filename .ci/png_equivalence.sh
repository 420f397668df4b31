#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The PNG route over every PNG of the public corpus and a generated APNG, at the default effort
# and at --effort fast: each output must decode to exactly its source's samples and keep its
# colour chunks, and the APNG its frames and their timing (bench/png_equivalence), and open in PIL.
# The corpus is looked for beside the checkout (../shared/corpus/public/png) or in
# LUMATRIM_PNG_CORPUS; without it only the APNG is checked. Needs python3-pil and imagemagick.
#
#   .ci/png_equivalence.sh [BUILD_DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
corpus=${LUMATRIM_PNG_CORPUS:-$root/../shared/corpus/public/png}

# Three frames of different sizes and offsets, with their own delays and disposals.
make_apng() {
    /usr/bin/python3 - "$1" <<'PY'
import sys
from PIL import Image, ImageDraw
frames = []
for n in range(3):
    frame = Image.new("RGBA", (48, 32), (0, 0, 0, 0))
    draw = ImageDraw.Draw(frame)
    draw.ellipse((4 + 10 * n, 4, 24 + 10 * n, 28), fill=(200, 40 * n, 90, 255))
    frames.append(frame)
frames[0].save(sys.argv[1], save_all=True, append_images=frames[1:], duration=[70, 120, 300],
               loop=0, disposal=[0, 1, 2], optimize=False)
PY
}

status=0
for effort in default fast; do
    work=$(mktemp -d)
    if compgen -G "$corpus/*.png" > /dev/null; then
        cp "$corpus"/*.png "$work"/
    else
        echo "== PNG equivalence: no PNG corpus at $corpus, the generated APNG only"
    fi
    make_apng "$work/generated-animation.png"
    echo "== PNG equivalence, --effort $effort, $(ls "$work" | wc -l) files"
    if ! "$build/lumatrim-batch" --effort "$effort" "$work"/*.png > "$work/batch.log" 2>&1; then
        cat "$work/batch.log"
        status=1
    fi
    # Only the differences and the count are of interest; the exit code says whether all agree.
    "$root/bench/png_equivalence" --decoders --dir "$work" > "$work/report.txt" || status=1
    grep -v '^same ' "$work/report.txt" | sed '/^$/d'
    rm -rf "$work"
done
exit "$status"
