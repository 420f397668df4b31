# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers
# shellcheck shell=bash

# Sourced by slurm_recipe.sh: a one-node Slurm cluster that lives in one scratch folder. Its
# munge key and socket, slurm.conf, state, spool, PID and log files are all there, its ports
# are ones nothing listens on, and its daemons run in the foreground as children of this shell,
# so the machine's own /etc/munge, /etc/slurm and daemons are never touched and the cluster is
# stopped by the PIDs it started with. Needs root (slurmd starts jobs as their user).

slurm_cluster_pids=()
slurm_cluster_folder=""

# Prints a TCP port on 127.0.0.1 that nothing answers on.
slurm_free_port() {
    local port
    for _ in $(seq 100); do
        port=$((20000 + RANDOM % 30000))
        if ! (exec 3<> "/dev/tcp/127.0.0.1/$port") 2> /dev/null &&
            ! (exec 3<> "/dev/tcp/127.0.0.1/$((port + 1))") 2> /dev/null; then
            echo "$port"
            return 0
        fi
    done
    return 1
}

# slurm_write_conf FOLDER HOST PORT: slurmctld on PORT, slurmd on PORT + 1, one node of
# nproc CPUs. Every cgroup plugin is off (process tracking by /proc, no task binding, no
# accounting), so nothing depends on the machine's cgroup set-up or on a database.
slurm_write_conf() {
    local folder=$1 host=$2 port=$3
    cat > "$folder/slurm.conf" << EOF
ClusterName=lumatrim
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$port
SlurmdPort=$((port + 1))
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$folder/munge.socket
StateSaveLocation=$folder/state
SlurmdSpoolDir=$folder/spool
SlurmctldPidFile=$folder/slurmctld.pid
SlurmdPidFile=$folder/slurmd.pid
PlugStackConfig=$folder/plugstack.conf
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
MpiDefault=none
SwitchType=switch/none
MailProg=/bin/true
ReturnToService=2
SlurmdParameters=config_overrides
NodeName=lumatrim NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=batch Nodes=lumatrim Default=YES MaxTime=INFINITE State=UP
EOF
    : > "$folder/plugstack.conf"
}

# slurm_cluster_daemon NAME COMMAND...: starts COMMAND in the background, its output in
# FOLDER/NAME.log, and remembers its PID.
slurm_cluster_daemon() {
    local name=$1
    shift
    "$@" > "$slurm_cluster_folder/$name.log" 2>&1 &
    slurm_cluster_pids+=($!)
}

# slurm_cluster_wait SECONDS COMMAND...: runs COMMAND every fifth of a second until it
# succeeds or SECONDS have passed, or a daemon of the cluster has ended.
slurm_cluster_wait() {
    local tenths=$(($1 * 5)) pid
    shift
    while [ "$tenths" -gt 0 ]; do
        "$@" > /dev/null 2>&1 && return 0
        for pid in "${slurm_cluster_pids[@]}"; do
            kill -0 "$pid" 2> /dev/null || return 1
        done
        sleep 0.2
        tenths=$((tenths - 1))
    done
    return 1
}

slurm_node_idle() { [ "$(sinfo -h -n lumatrim -o %t)" = idle ]; }

# slurm_cluster_why: the last lines of each daemon's log, to say why the cluster did not start.
slurm_cluster_why() {
    local log
    for log in "$slurm_cluster_folder"/*.log; do
        [ -f "$log" ] || continue
        echo "--- $(basename "$log"):"
        grep -v 'pmix' "$log" | tail -n 5
    done
}

# slurm_cluster_start FOLDER: munged, slurmctld and slurmd from FOLDER, and SLURM_CONF set
# for the client commands. Returns 1, having said why, when the node is not up within 30 s.
# munged refuses a socket in a folder that not everyone may enter, so every folder above
# FOLDER must be open to all for entering.
slurm_cluster_start() {
    slurm_cluster_folder=$1
    local folder=$1 host port
    host=$(uname -n)
    host=${host%%.*}
    port=$(slurm_free_port) || { echo "no free TCP port for slurmctld"; return 1; }
    mkdir -p "$folder/state" "$folder/spool"
    chmod 755 "$folder"
    mungekey --create --keyfile="$folder/munge.key" || return 1
    slurm_cluster_daemon munged munged --foreground --key-file="$folder/munge.key" \
        --socket="$folder/munge.socket" --pid-file="$folder/munged.pid" \
        --seed-file="$folder/munged.seed"
    if ! slurm_cluster_wait 10 munge --socket="$folder/munge.socket" --no-input; then
        echo "munged did not start"
        slurm_cluster_why
        return 1
    fi
    slurm_write_conf "$folder" "$host" "$port"
    export SLURM_CONF="$folder/slurm.conf"
    slurm_cluster_daemon slurmctld slurmctld -D -f "$SLURM_CONF"
    slurm_cluster_daemon slurmd slurmd -D -f "$SLURM_CONF" -N lumatrim
    if ! slurm_cluster_wait 30 slurm_node_idle; then
        echo "the Slurm node did not come up"
        slurm_cluster_why
        return 1
    fi
}

# slurm_cluster_stop: cancels what is still queued or running and waits for the job steps to
# end (slurmstepd leaves slurmd's process tree, so it is watched through its socket in the
# spool), then ends the daemons, last started first, each by its PID (SIGKILL after 10 s).
# Never fails: it runs from an EXIT trap.
slurm_cluster_stop() {
    local pid index tenths
    if [ ${#slurm_cluster_pids[@]} -ge 3 ] && kill -0 "${slurm_cluster_pids[1]}" 2> /dev/null; then
        scancel --quiet --user="$(id -un)" 2> /dev/null || true
        slurm_cluster_wait 10 slurm_queue_empty || true
        slurm_cluster_wait 10 slurm_steps_ended || true
    fi
    for ((index = ${#slurm_cluster_pids[@]} - 1; index >= 0; index--)); do
        pid=${slurm_cluster_pids[index]}
        kill -TERM "$pid" 2> /dev/null || true
        for ((tenths = 50; tenths > 0; tenths--)); do
            kill -0 "$pid" 2> /dev/null || break
            sleep 0.2
        done
        kill -KILL "$pid" 2> /dev/null || true
        wait "$pid" 2> /dev/null || true
    done
    slurm_cluster_pids=()
}

slurm_queue_empty() { [ -z "$(squeue -h -o %i)" ]; }
slurm_steps_ended() { [ -z "$(find "$slurm_cluster_folder/spool" -type s)" ]; }
