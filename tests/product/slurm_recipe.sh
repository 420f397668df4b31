#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

# The Slurm job array of docs/scale-out.md, submitted as written (but for the folder, the array
# and the CPUs per task) to a one-node cluster started here, over a list whose names collide: the merged report and the files left equal one run's,
# exactly the array task whose shard holds a failing item fails, and a second submission of
# the same array does what a second run does and nothing more. Skipped (status 77, saying why)
# where Slurm cannot start; needs root. Installs nothing: CI installs LUMATRIM_CI_PACKAGES.
# Usage: slurm_recipe.sh SOURCE_FOLDER FOLDER_OF_LUMATRIM_BATCH
set -euo pipefail
skip() {
    echo "Slurm recipe skipped: $*"
    exit 77
}
[ "$(id -u)" -eq 0 ] || skip "starting slurmd needs root"
for tool in mungekey munged munge slurmctld slurmd sbatch squeue sinfo scontrol scancel; do
    command -v "$tool" > /dev/null || skip "$tool is not installed (packages: munge, slurmctld, slurmd, slurm-client)"
done
# Inside a Slurm job of its own (a CI runner may be one), its variables would steer sbatch.
for variable in $(compgen -e); do
    case $variable in SLURM_* | SBATCH_*) unset "$variable" ;; esac
done
source_folder=$(cd "$1" && pwd)
batch_folder=$(cd "$2" && pwd)
export PATH="$batch_folder:$PATH"
here=$(dirname "$0")
source "$here/recipe_tree.sh"
source "$here/slurm_cluster.sh"

# The Slurm section's code blocks: 1 is the batch script, 2 the submission.
recipe_block() {
    awk -v wanted="$1" '/^## Slurm job array/ { section = 1; next } section && /^## / { exit }
        section && /^```/ { if (fenced && count == wanted) exit; count += !fenced
                            fenced = !fenced; next }
        fenced && count == wanted' "$source_folder/docs/scale-out.md"
}
# The document's folder, array and CPUs per task are a site's; this machine's replace them.
shards=3
# Under /tmp whatever TMPDIR says: munged wants every folder above its socket open to all.
scratch=$(mktemp -d /tmp/lumatrim-slurm-XXXXXX)
trap 'slurm_cluster_stop; rm -rf "$scratch"' EXIT
trap 'exit 130' INT TERM HUP
chmod 755 "$scratch"
tree="$scratch/shared/images"
script=$(recipe_block 1 | sed -E -e "s|/shared/images|$tree|g" \
    -e "s|^#SBATCH --array=0-[0-9]+$|#SBATCH --array=0-$((shards - 1))|" \
    -e 's|^#SBATCH --cpus-per-task=[0-9]+$|#SBATCH --cpus-per-task=1|')
submission=$(recipe_block 2 | sed "s|/shared/images|$tree|g")
for wanted in "--array=0-$((shards - 1))" --cpus-per-task=1 "cd $tree" lumatrim-batch; do
    grep -q -e "$wanted" <<< "$script" || {
        echo "the Slurm script of docs/scale-out.md has changed: no $wanted"
        exit 1
    }
done
grep -q 'job=$(sbatch --parsable lumatrim.sbatch)' <<< "$submission" ||
    { echo "the Slurm submission of docs/scale-out.md has changed"; exit 1; }

started=$(date +%s)
slurm_cluster_start "$scratch/cluster" || skip "the one-node cluster did not start (above)"
echo "one-node cluster up: munged, slurmctld, slurmd with $(nproc) CPUs, in $(($(date +%s) - started)) s"

# submit_array: the document's submission from the shared folder, waited for; then each array
# task must have ended with 1 where its shard's report holds an error, else 0.
submit_array() {
    local job task report expected actual codes=()
    job=$(cd "$tree" && eval "$submission" > /dev/null && echo "$job")
    slurm_cluster_wait 120 slurm_queue_empty || { echo "the jobs did not end"; squeue; exit 1; }
    for ((task = 0; task < shards; task++)); do
        report="$tree/reports/report-$task.jsonl"
        [ -f "$report" ] || { echo "array task $task left no report"; exit 1; }
        expected=0:0
        grep -q '"status":"error"' "$report" && expected=1:0
        actual=$(scontrol -o show job "${job}_$task" | grep -o ' ExitCode=[0-9:]*' | cut -d= -f2)
        [ "$actual" = "$expected" ] || {
            echo "array task $task ended with ${actual:-nothing}, its report wants $expected"
            exit 1
        }
        codes+=("$actual")
    done
    echo "array tasks 0 to $((shards - 1)) ended with exit codes ${codes[*]}, as their reports say"
}
# One run over the whole list; missing.png makes it end with 1.
plain_run() {
    local status=0
    (cd "$scratch/one" && lumatrim-batch --json - < list.txt 2> /dev/null |
        LC_ALL=C sort > report.jsonl) || status=$?
    [ "$status" -eq 1 ] || { echo "one run ended with $status"; exit 1; }
}
same_as_one_run() {
    diff -r -x lumatrim.sbatch -x reports "$scratch/one" "$tree"
    echo "$1: $(wc -l < "$tree/report.jsonl") report lines and every file as one run leaves them"
}

make_recipe_tree "$source_folder" "$scratch/one"
make_recipe_tree "$source_folder" "$tree"
printf '%s\n' "$script" > "$tree/lumatrim.sbatch"
plain_run
submit_array
same_as_one_run "first submission, $shards array tasks"
cp -a "$tree" "$scratch/first"

# A second run over the same list replaces each output whole with the same bytes; whatever it
# passes over or redoes, the array must do the same and leave no file added or changed.
plain_run
submit_array
same_as_one_run "second submission"
diff -r -x report.jsonl -x reports "$scratch/first" "$tree"
cmp -s "$scratch/first/report.jsonl" "$tree/report.jsonl" && same="the same" || same="another"
echo "second submission: no file added or changed, $same report as the first"
echo "Slurm recipe passed in $(($(date +%s) - started)) s"
