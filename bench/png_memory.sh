#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Peak memory of the PNG route on a SIZE x SIZE RGBA picture of noise over a gradient (made with
# ImageMagick; it barely compresses, so its file is about as large as its pixels), one
# `lumatrim-batch --jobs 1 --effort EFFORT` process under /usr/bin/time -v for each effort.
# "extra/picture" is (peak - peak for a 1 x 1 picture) / (4 bytes x pixels): at most 3.
#
#   bench/png_memory.sh [-b BUILD_DIR] [-s SIZE]
set -euo pipefail
source "$(dirname "$0")/bench_args.sh" png "$@"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size "${size}x$size" gradient:red-blue \
    \( -size "${size}x$size" xc: +noise Random -channel A -evaluate multiply 0.3 +channel \) \
    -compose blend -define compose:args=50 -composite \
    -alpha on -channel A -fx "0.5+0.5*u.r" +channel -depth 8 "PNG32:$work/noise.png"
convert -size 1x1 xc:red "PNG32:$work/empty.png"

peak() { # effort, file: the peak resident set in KiB
    rm -f "$work"/*_reduced.png
    /usr/bin/time -v "$build/lumatrim-batch" --jobs 1 --effort "$1" "$2" 2>&1 >/dev/null |
        awk '/Maximum resident/ { print $NF }'
}

echo "effort   peak KiB   extra/picture   ($size x $size RGBA, $(stat -c %s "$work/noise.png") bytes)"
for effort in fast default; do
    empty=$(peak "$effort" "$work/empty.png")
    full=$(peak "$effort" "$work/noise.png")
    awk -v e="$effort" -v f="$full" -v z="$empty" -v s="$size" \
        'BEGIN { printf "%-8s %9d   %.2f\n", e, f, (f - z) * 1024 / (4 * s * s) }'
done
