#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Every source file starts with its licence and copyright lines: C++, CMake, shell, Python,
# manual pages, XML, and every script (a file that starts with "#!").
# Usage: spdx_headers.sh SOURCE_FOLDER
set -euo pipefail
cd "$1"

if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
    list_files() { git ls-files --cached --others --exclude-standard; }
else
    list_files() { find . -path './build*' -prune -o -path ./.git -prune -o -type f -print; }
fi

missing=0
while IFS= read -r file; do
    [ -f "$file" ] || continue
    case "$file" in
    *.cpp | *.h | *.py | *.sh | *.cmake | */CMakeLists.txt | CMakeLists.txt | *.1 | *.xml) ;;
    *) [ "$(head -c 2 "$file")" = "#!" ] || continue ;;
    esac
    header=$(head -n 4 "$file")
    if ! grep -q 'SPDX-License-Identifier: GPL-3.0-or-later' <<< "$header" ||
        ! grep -q 'SPDX-FileCopyrightText: ' <<< "$header"; then
        echo "no SPDX header: $file"
        missing=1
    fi
done < <(list_files)
exit $missing
