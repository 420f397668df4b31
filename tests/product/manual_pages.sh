#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The manual pages format without a warning, and lumatrim-batch(1) describes every option that
# lumatrim-batch --help lists.
# Usage: manual_pages.sh SOURCE_FOLDER LUMATRIM_BATCH
set -euo pipefail
command -v groff > /dev/null || { echo "groff is not installed"; exit 77; }
pages="$1/docs/man"
status=0
for page in "$pages"/*.1; do
    warnings=$(groff -ww -z -man "$page" 2>&1)
    if [ -n "$warnings" ]; then
        echo "$page:" "$warnings"
        status=1
    fi
done
for option in $("$2" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    if ! grep -q -- "${option//-/\\\\-}" "$pages/lumatrim-batch.1"; then
        echo "lumatrim-batch.1 does not describe $option"
        status=1
    fi
done
exit $status
