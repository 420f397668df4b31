#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The GIF route over every GIF of the public corpus, at the default effort and at --effort fast:
# each output must show the same pictures for the same time (as browsers count delays) with the
# same loop count as its source (bench/gif_equivalence), and open in PIL, ImageMagick and Qt.
# The corpus is not part of the repository: it is looked for beside the checkout
# (../shared/corpus/public/gif, as bench/ does) or in LUMATRIM_GIF_CORPUS; without it the check
# is skipped with a message. Needs python3-pil and imagemagick (.ci/run installs them).
#
#   .ci/gif_equivalence.sh [BUILD_DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
corpus=${LUMATRIM_GIF_CORPUS:-$root/../shared/corpus/public/gif}
if ! compgen -G "$corpus/*.gif" > /dev/null; then
    echo "== GIF equivalence: skipped, no GIF corpus at $corpus"
    exit 0
fi

status=0
for effort in default fast; do
    work=$(mktemp -d)
    cp "$corpus"/*.gif "$work"/
    echo "== GIF equivalence, --effort $effort, $(ls "$work" | wc -l) files of $corpus"
    if ! "$build/lumatrim-batch" --effort "$effort" "$work"/*.gif > "$work/batch.log" 2>&1; then
        cat "$work/batch.log"
        status=1
    fi
    # Only the differences and the count are of interest; the exit code says whether all agree.
    "$root/bench/gif_equivalence" --decoders --dir "$work" > "$work/report.txt" || status=1
    grep -v '^same ' "$work/report.txt" | sed '/^$/d'
    if [ -x "$build/gif_qt_decode" ]; then
        "$build/gif_qt_decode" "$work"/*_reduced.gif || status=1
    else
        echo "gif_qt_decode not built: Qt's reading not checked"
    fi
    rm -rf "$work"
done
exit "$status"
