#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The GNU parallel recipe of docs/scale-out.md, run on this machine with two job slots over a
# list whose names collide, leaves the same files and the same merged report as one run.
# Usage: parallel_recipe.sh SOURCE_FOLDER FOLDER_OF_LUMATRIM_BATCH
set -euo pipefail
command -v parallel > /dev/null || { echo "GNU parallel is not installed"; exit 77; }
source_folder=$(cd "$1" && pwd)
export PATH="$2:$PATH"

# The recipe's commands, without the lines that set its hosts, shards, list and folder.
recipe=$(awk '/^## GNU parallel over SSH/ { section = 1 } section && /^```sh/ { block = 1; next }
              block && /^```/ { exit } block' "$source_folder/docs/scale-out.md" |
         grep -Ev '^(HOSTS|N|LIST)=|^cd ')
[ -n "$recipe" ] || { echo "no GNU parallel recipe in docs/scale-out.md"; exit 1; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/lumatrim-recipe-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
source "$(dirname "$0")/recipe_tree.sh"
make_recipe_tree "$source_folder" "$scratch/one"
make_recipe_tree "$source_folder" "$scratch/shards"

one_status=0
(cd "$scratch/one" && lumatrim-batch --json - < list.txt 2> /dev/null |
    LC_ALL=C sort > report.jsonl) || one_status=$?
recipe_status=0
(cd "$scratch/shards" && HOSTS=2/: N=3 LIST=list.txt && eval "$recipe") 2> /dev/null ||
    recipe_status=$?

# missing.png fails in both.
[ "$one_status" -eq 1 ] || { echo "one run ended with $one_status"; exit 1; }
[ "$recipe_status" -ne 0 ] || { echo "the recipe did not report the failed shard"; exit 1; }
diff -r "$scratch/one" "$scratch/shards"
echo "$(wc -l < "$scratch/one/report.jsonl") report lines and every file alike"
