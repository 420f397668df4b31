#!/usr/bin/env bash
# Builds the GIF fuzzer with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and runs it
# from the seed corpus (small real GIFs). Any crash, sanitizer report, hang (10 s), or allocation
# beyond the reader's limit fails the run.
#
# Inputs are capped at 4096 bytes. The reader allocates a frame only for pixels its data can
# produce (2731 per data byte) plus one 2^22-pixel allowance per file, so one input can ask for
# at most about 15.4 M pixels (plus 1/8 for the mask): 64 MB bounds every allocation.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${LUMATRIM_FUZZ_BUILD:-$root/build-fuzz}
seconds=${LUMATRIM_FUZZ_SECONDS:-60}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DLUMATRIM_FUZZ=ON -DLUMATRIM_CORE_ONLY=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
cmake --build "$build" -j2 --target gif_load_fuzzer

# New inputs go to a scratch folder; the checked-in seeds are only read.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/gif_load_fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=64 \
    -timeout=10 -max_len=4096 -print_final_stats=1 -artifact_prefix="$build/" \
    "$work" "$root/fuzz/corpus/gif"
