"""Measures stampwise against the floor of its job.

For each N: generates a folder of N pictures in bursts of three (a plain
stamp and two suffixed names, triggers some seconds apart; each file holds its own name),
runs stampwise on it with the folder name and ENTER on standard input,
timing the whole process and reading its peak memory; then replays the
very same rename attempts, read back from the program's echo lines, on an
identical folder with a minimal loop of renameat2(RENAME_NOREPLACE) calls,
and checks that both folders end identical. Prints the medians of the runs.

Usage: bench.py BUILD_DIR [N ...] [--runs R]"""

import argparse
import os
import random
import shutil
import subprocess
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
import pictures  # noqa: E402  (the tests' folders of pictures in bursts)
from words import WORDS  # noqa: E402


def make_folder(folder, n, seed):
    pictures.make_bursts(folder, n, random.Random(seed), gaps=(2, 20))


def timed(measure, argv, cwd, stdin_bytes=b""):
    """Runs argv in cwd through the measure helper; returns (wall seconds,
    cpu seconds, peak KiB, stdout)."""
    with tempfile.TemporaryDirectory() as io:
        stdin_path, stdout_path = os.path.join(io, "in"), os.path.join(io, "out")
        with open(stdin_path, "wb") as f:
            f.write(stdin_bytes)
        figures = subprocess.run([measure, stdin_path, stdout_path] + argv, cwd=cwd,
                                 check=True, capture_output=True).stdout.split()
        wall, cpu, peak, code = float(figures[0]), float(figures[1]), int(figures[2]), int(figures[3])
        if code != 0:
            sys.exit("%s exited with %d" % (argv[0], code))
        with open(stdout_path, "rb") as f:
            output = f.read()
    return wall, cpu, peak, output


def attempts_from(output, renamed_only=False):
    """(old, new) pairs from the echo lines: two lines with a leading blank
    a try, the success line and the closing line in between. renamed_only:
    only the tries that the success line follows."""
    pairs = []
    lines = output.split(b"\r\n")
    i = 0
    while i + 1 < len(lines):
        a, b = lines[i], lines[i + 1]
        if a.startswith(b" Cam1/") and b.startswith(b" Cam1/"):
            if not renamed_only or (i + 2 < len(lines) and lines[i + 2].startswith(WORDS["kSuccess"].encode())):
                pairs.append((a[1:], b[1:]))
            i += 2
        else:
            i += 1
    return pairs


def write_attempts(path, pairs):
    """The pairs as the replay reads them: NUL after each name."""
    with open(path, "wb") as f:
        f.write(b"".join(old + b"\0" + new + b"\0" for old, new in pairs))


def listing(folder):
    return sorted(os.listdir(folder))


def one_run(program, replay, measure, n, seed, scratch):
    prog_dir = os.path.join(scratch, "program")
    floor_dir = os.path.join(scratch, "floor")
    for d in (prog_dir, floor_dir):
        shutil.rmtree(d, ignore_errors=True)
        make_folder(os.path.join(d, "Cam1"), n, seed)

    wall, cpu, peak, output = timed(measure, [program], prog_dir, b"Cam1\n\n")
    pairs = attempts_from(output)
    attempts_file = os.path.join(scratch, "attempts")
    write_attempts(attempts_file, pairs)
    floor_wall, floor_cpu, _, _ = timed(measure, [replay, attempts_file], floor_dir)

    if listing(os.path.join(prog_dir, "Cam1")) != listing(os.path.join(floor_dir, "Cam1")):
        sys.exit("the program's folder and the floor's differ for N = %d" % n)
    return wall, cpu, peak, floor_wall, floor_cpu, len(pairs)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", help="the build folder, with stampwise and bench/")
    parser.add_argument("sizes", nargs="*", type=int, default=[20000, 100000])
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    program = os.path.join(build, "stampwise")
    replay = os.path.join(build, "bench", "stampwise_replay")
    measure = os.path.join(build, "bench", "stampwise_measure")

    scratch = tempfile.mkdtemp(prefix="stampwise-bench-")
    per_picture, floor_per_picture = {}, {}
    try:
        print("%8s %10s %10s %10s %7s %12s %10s %9s" % (
            "N", "attempts", "program s", "floor s", "ratio", "us/picture", "cpu s", "peak MiB"))
        for n in args.sizes:
            runs = [one_run(program, replay, measure, n, seed, scratch) for seed in range(args.runs)]
            wall = statistics.median(r[0] for r in runs)
            cpu = statistics.median(r[1] for r in runs)
            peak = max(r[2] for r in runs) / 1024
            floor = statistics.median(r[3] for r in runs)
            ratio = statistics.median(r[0] / r[3] for r in runs)
            per_picture[n] = wall / n * 1e6
            floor_per_picture[n] = floor / n * 1e6
            print("%8d %10d %10.3f %10.3f %7.2f %12.2f %10.3f %9.1f" % (
                n, runs[0][5], wall, floor, ratio, per_picture[n], cpu, peak))
        if len(args.sizes) >= 2:
            small, large = args.sizes[0], args.sizes[-1]
            print("time per picture at N = %d over N = %d: %.2f (the floor's own: %.2f)" % (
                large, small, per_picture[large] / per_picture[small],
                floor_per_picture[large] / floor_per_picture[small]))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
