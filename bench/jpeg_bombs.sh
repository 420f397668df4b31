#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Peak memory and time of JPEG "bombs": files of a few hundred bytes whose frame header declares
# 16384 x 16384 pixels (the largest picture allowed), as baseline, progressive and arithmetic-
# coded progressive files, next to a real 12-megapixel photo ($LUMATRIM_PHOTO, by default the
# public corpus's digikam-data_body-background.jpg), through each lumatrim-batch given.
# Each line: the batch, the file, its bytes, the item's status and damaged flag from --json,
# the peak resident memory (/usr/bin/time -v, kB) and the elapsed seconds.
# Needs cjpeg and jpegtran (Debian: libjpeg-turbo-progs) and /usr/bin/time.
#
#   bench/jpeg_bombs.sh [BATCH...]   (default: build/lumatrim-batch)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
batches=("$@")
[ ${#batches[@]} -gt 0 ] || batches=("$root/build/lumatrim-batch")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# A 16 x 16 picture of noise (the same every run), encoded small, its frame header then made to
# say 16384 x 16384.
python3 - "$scratch" <<'PY'
import os, random, sys
with open(os.path.join(sys.argv[1], "noise.ppm"), "wb") as f:
    f.write(b"P6\n16 16\n255\n" + random.Random(1).randbytes(16 * 16 * 3))
PY
cjpeg -quality 50 "$scratch/noise.ppm" > "$scratch/baseline.jpg"
jpegtran -progressive "$scratch/baseline.jpg" > "$scratch/progressive.jpg"
jpegtran -progressive -arithmetic "$scratch/baseline.jpg" > "$scratch/arithmetic.jpg"
python3 - "$scratch" <<'PY'
import os, sys
for name in ("baseline", "progressive", "arithmetic"):
    data = bytearray(open(os.path.join(sys.argv[1], name + ".jpg"), "rb").read())
    at = 2
    while data[at + 1] not in (0xC0, 0xC2, 0xCA):
        at += 2 + (data[at + 2] << 8 | data[at + 3])
    data[at + 5:at + 9] = (16384).to_bytes(2, "big") * 2
    open(os.path.join(sys.argv[1], name + "_bomb.jpg"), "wb").write(data)
PY
photo=${LUMATRIM_PHOTO:-$root/../shared/corpus/public/jpeg/digikam-data_body-background.jpg}
cp "$photo" "$scratch/photo.jpg"

printf "%-22s %9s %-16s %10s %8s  %s\n" file bytes "status (json)" "peak kB" seconds batch
for batch in "${batches[@]}"; do
    for file in baseline_bomb progressive_bomb arithmetic_bomb photo; do
        rm -f "$scratch/${file}_reduced.jpg"
        /usr/bin/time -v -o "$scratch/time.txt" "$batch" --json --jobs 1 "$scratch/$file.jpg" \
            > "$scratch/out.json" 2> /dev/null || true
        status=$(python3 -c 'import json,sys; l=json.loads(open(sys.argv[1]).readline()); print(l["status"], "damaged" if l.get("damaged") else "")' "$scratch/out.json")
        peak=$(awk -F: '/Maximum resident/ {gsub(/ /, "", $2); print $2}' "$scratch/time.txt")
        elapsed=$(awk '/Elapsed \(wall clock\)/ {print $NF}' "$scratch/time.txt")
        printf "%-22s %9d %-16s %10s %8s  %s\n" "$file" \
            "$(stat -c %s "$scratch/$file.jpg")" "$status" "$peak" "$elapsed" "$batch"
    done
done
