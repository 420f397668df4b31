"""Helpers shared by the comparison scripts."""
import pathlib, subprocess, sys, time


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
