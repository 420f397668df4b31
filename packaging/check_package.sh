#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# Builds the Debian package in BUILD_FOLDER, checks it with lintian, installs it, reduces the
# sample images with the installed programs in a scratch folder, removes it again and checks
# that nothing of it is left. Needs root, apt, lintian and a built BUILD_FOLDER.
# Usage: packaging/check_package.sh BUILD_FOLDER
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "$1" && pwd)

if dpkg-query -W -f='${Status}' lumatrim 2> /dev/null | grep -q "ok installed"; then
    echo "lumatrim is installed already; this check would remove it" >&2
    exit 1
fi

echo "== Packaging"
rm -f "$build"/lumatrim_*.deb
(cd "$build" && cpack -G DEB > /dev/null)
package=$(echo "$build"/lumatrim_*_amd64.deb)
[ -f "$package" ] || { echo "no lumatrim_<version>_amd64.deb in $build" >&2; exit 1; }
dpkg-deb --field "$package" Package Version Depends
lintian --fail-on error "$package"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/lumatrim-package-XXXXXX")
remove_package() { DEBIAN_FRONTEND=noninteractive apt-get remove -y lumatrim > /dev/null; }
# A check that fails half-way leaves the system as it found it.
trap 'rm -rf "$scratch"; remove_package 2> /dev/null || true' EXIT

echo "== Installing $(basename "$package")"
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$package" > /dev/null
mapfile -t installed < <(dpkg -L lumatrim)
/usr/bin/lumatrim --version
/usr/bin/lumatrim-batch --version
if [ -e /usr/lib/lumatrim/optipng ]; then
    echo "the package ships its own optipng link" >&2
    exit 1
fi

echo "== Reducing the samples with the installed program"
mkdir "$scratch/images"
cp samples/*.* "$scratch/images"/
rm "$scratch/images/LICENSES.tsv"
# A chunk unsafe to copy makes our optimizer leave this PNG to optipng.
cp tests/data/png/posbar-unsafe-chunk.png "$scratch/images"/
samples=$(ls "$scratch/images" | wc -l)
(cd "$scratch/images" && /usr/bin/lumatrim-batch --json -- *) > "$scratch/report.jsonl"
cat "$scratch/report.jsonl"
[ "$(grep -c '"status":"ok"' "$scratch/report.jsonl")" -eq "$samples" ] ||
    { echo "not every sample was reduced" >&2; exit 1; }
# optipng from the system reduces this one; a copy would mean it was not found.
grep -q '"source":"posbar-unsafe-chunk.png".*"result":"reduced"' \
    "$scratch/report.jsonl" || { echo "the installed program did not run optipng" >&2; exit 1; }

echo "== Removing the package"
remove_package
state=$(dpkg-query -W -f='${Status}' lumatrim 2> /dev/null || true)
[ -z "$state" ] || [ "$state" = "unknown ok not-installed" ] ||
    { echo "after removal the package is \"$state\"" >&2; exit 1; }
left=0
for path in "${installed[@]}"; do
    [ -e "$path" ] || [ -L "$path" ] || continue
    # Folders that other packages hold too, like /usr/bin, stay.
    [ -d "$path" ] && dpkg -S "$path" > /dev/null 2>&1 && continue
    echo "left after removal: $path" >&2
    left=1
done
[ $left -eq 0 ]
echo "== The package installs, runs and removes cleanly"
