#!/usr/bin/env bash
# Installs what is missing, builds Lumatrim in build/ and runs it on a copy of the sample images.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
lumatrim_install_missing "${LUMATRIM_PACKAGES[@]}"
lumatrim_build build

# The samples are copied, so the checkout stays clean; the outputs land beside the copies.
work=$(mktemp -d "${TMPDIR:-/tmp}/lumatrim-demo-XXXXXX")
cp samples/*.* "$work"/
rm -f "$work"/LICENSES.tsv
echo "== Reducing the sample images in $work"
status=0
build/lumatrim-batch "$work"/* || status=$?
echo "== Outputs are in $work"
exit $status
