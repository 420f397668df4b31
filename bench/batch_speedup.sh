#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The parallel speed-up of lumatrim-batch: the whole corpus reduced with -j 1 and with -j 2 (or
# the job counts given), each timed by hyperfine as the median of several runs. The corpus is
# copied first, since outputs land beside their sources; every run reduces the same copies.
#
#   bench/batch_speedup.sh [-b BUILD_DIR] [-r RUNS] [-j "1 2"] [CORPUS_DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
runs=5
jobs="1 2"
while getopts "b:r:j:" option; do
    case $option in
        b) build=$OPTARG ;;
        r) runs=$OPTARG ;;
        j) jobs=$OPTARG ;;
        *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
corpus=$(cd "${1:-$root/../shared/corpus/public}" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/lumatrim-speedup-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cp -r "$corpus"/. "$work/corpus"/
chmod -R u+w "$work/corpus"
find "$work/corpus" -type f ! -name '*_reduced.*' | sort > "$work/list"

echo "== $(wc -l < "$work/list") files, $(du -sh "$work/corpus" | cut -f1), $(nproc) cores"
echo "== load before: $(uptime)"
hyperfine --runs "$runs" --warmup 1 --export-json "$work/times.json" \
    --parameter-list jobs "${jobs// /,}" \
    "'$build/lumatrim-batch' --json -j {jobs} - < '$work/list' > /dev/null 2>&1 || true"
echo "== load after: $(uptime)"

python3 - "$work/times.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
medians = {int(r["parameters"]["jobs"]): r["median"] for r in results}
base = medians[min(medians)]
for jobs, median in sorted(medians.items()):
    print(f"-j {jobs}: median {median:.2f} s, speed-up {base / median:.2f}x over -j {min(medians)}")
PY
