#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Builds the fuzz targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and runs
# each from its seed corpus (small real files) for LUMATRIM_FUZZ_SECONDS (60). Any crash,
# sanitizer report, hang (10 s), or allocation beyond the readers' limits fails the run.
#
# The JPEG layer's libjpeg is the system's: it is not instrumented, so its own faults show only
# as crashes. The BMP, JPEG and PNG targets allow 2^20 pixels (4 MB at 32 bits, 8 MB for a
# 16-bit PNG); libspng, the system's too, is not instrumented either.
# Inputs are capped at 4096 bytes. The GIF reader allocates a frame only for pixels its data can
# produce (2731 per data byte) plus one 2^22-pixel allowance per file, so one input can ask for
# at most about 15.4 M pixels (plus 1/8 for the mask): 64 MB bounds every allocation.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${LUMATRIM_FUZZ_BUILD:-$root/build-fuzz}
seconds=${LUMATRIM_FUZZ_SECONDS:-60}
# target name and seed folder under fuzz/corpus
targets=("gif_load_fuzzer gif" "gif_pipeline_fuzzer gif" "gif_rebuild_fuzzer gif"
    "bmp_load_fuzzer bmp" "jpeg_fuzzer jpeg"
    "jpeg_encode_fuzzer jpegenc" "png_fuzzer png")

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DLUMATRIM_FUZZ=ON -DLUMATRIM_CORE_ONLY=OFF -DLUMATRIM_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
# LUMATRIM_FUZZ_ONLY="name ..." runs only the targets named.
if [ -n "${LUMATRIM_FUZZ_ONLY:-}" ]; then
    chosen=()
    for target in "${targets[@]}"; do
        [[ " $LUMATRIM_FUZZ_ONLY " == *" ${target%% *} "* ]] && chosen+=("$target")
    done
    targets=("${chosen[@]}")
fi
for target in "${targets[@]}"; do
    cmake --build "$build" -j2 --target "${target%% *}"
done

for target in "${targets[@]}"; do
    name=${target%% *}
    seeds=$root/fuzz/corpus/${target##* }
    # New inputs go to a scratch folder; the checked-in seeds are only read.
    work=$(mktemp -d)
    echo "== $name: $seconds s"
    "$build/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=64 \
        -timeout=10 -max_len=4096 -print_final_stats=1 -artifact_prefix="$build/$name-" \
        "$work" "$seeds"
    rm -rf "$work"
done
