#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The desktop entry and the AppStream description validate, and the programs, the AppStream
# releases and the package's changelog all name the version the build has.
# Usage: release_files.sh SOURCE_FOLDER VERSION LUMATRIM LUMATRIM_BATCH
set -euo pipefail
source_folder=$1 version=$2
for tool in desktop-file-validate appstreamcli; do
    command -v $tool > /dev/null || { echo "$tool is not installed"; exit 77; }
done
status=0
fail() { echo "$*"; status=1; }

desktop-file-validate "$source_folder/resources/lumatrim.desktop" || status=1
# No network: the validator would otherwise try to fetch the URLs it is given.
appstreamcli validate --no-net "$source_folder"/resources/*.metainfo.xml || status=1

for program in "$3" "$4"; do
    answer=$("$program" --version)
    [ "$answer" = "$(basename "$program") $version" ] || fail "$program --version: $answer"
done
grep -q "<release version=\"$version\"" "$source_folder"/resources/*.metainfo.xml ||
    fail "the AppStream description has no release $version"
head -n 1 "$source_folder/packaging/debian/changelog" | grep -q "^lumatrim ($version)" ||
    fail "packaging/debian/changelog does not start with version $version"
exit $status
