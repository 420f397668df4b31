# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Lumatrim developers

"""Helpers shared by the comparison scripts."""
import pathlib, resource, subprocess, sys, time


def corpus_files(corpus, pattern):
    files = sorted(pathlib.Path(corpus).glob(pattern))
    if not files:
        sys.exit(f"no {pattern} files in {corpus}")
    return files


def timed(command):
    """Seconds one run of the command takes; its output is thrown away."""
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def _processor_seconds_of_children():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def timed_with_processor(command, shell=False):
    """(elapsed, processor) seconds of one run; a shell's time includes its pipe's programs."""
    processor, start = _processor_seconds_of_children(), time.perf_counter()
    subprocess.run(command, shell=shell, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    return time.perf_counter() - start, _processor_seconds_of_children() - processor
