"""Where the program's time goes, in the two figures that do not move from
run to run: the share of perf samples in the program's own code and the C
and C++ libraries (the rest is the kernel: the renames themselves), and the
getdents64 calls it makes against one plain read of the same folder.

The share moves by a percent or more from run to run: it is taken from
five runs, and the median decides. How much of it any program would show
depends on the machine (where a virtual machine's timer lands after a
system call): so each run also replays the renames the program made with
the benchmark's bare loop of renameat2 calls, and prints that loop's share.

Usage: profile.py BUILD_DIR [N]   (N = 100000)"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

import bench  # (the benchmark's folders and its reading of the echo lines)


def make(work, n):
    shutil.rmtree(work, ignore_errors=True)
    bench.make_folder(os.path.join(work, "Cam1"), n, 0)


def getdents(argv, cwd, stdin=b"", env=None):
    log = os.path.join(cwd, "..", "strace.log")
    subprocess.run(["strace", "-c", "-e", "trace=getdents64", "-o", log] + argv, cwd=cwd,
                   input=stdin, stdout=subprocess.DEVNULL, env=env, check=True)
    m = re.search(r"^\s*[\d.]+\s+[\d.]+\s+\d+\s+(\d+)\s+(?:\d+\s+)?getdents64", open(log).read(),
                  re.M)
    return int(m.group(1)) if m else 0


def perf_shares(argv, work, scratch, env, stdin=b"Cam1\n\n"):
    """The share of samples outside the kernel, the shares by object, and
    what the program wrote."""
    data = os.path.join(scratch, "perf.data")
    output = subprocess.run(["perf", "record", "-q", "-F", "4999", "-o", data] + argv, cwd=work,
                            input=stdin, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            env=env, check=True).stdout
    report = subprocess.run(["perf", "report", "-i", data, "--sort", "dso", "--stdio", "-q"],
                            capture_output=True, text=True, check=True).stdout
    shares = {}
    for line in report.splitlines():
        m = re.match(r"\s*([\d.]+)%\s+(\S+)", line)
        if m:
            shares[m.group(2)] = float(m.group(1))
    own = sum(v for k, v in shares.items()
              if k in ("stampwise", "stampwise_replay", "[unknown]")
              or k.startswith(("libc", "libstdc++", "libm")))
    return own, shares, output


def main():
    build = os.path.abspath(sys.argv[1])
    n = int(sys.argv[2]) if len(sys.argv) > 2 else 100000
    program = os.path.join(build, "stampwise")
    replay = os.path.join(build, "bench", "stampwise_replay")
    scratch = tempfile.mkdtemp(prefix="stampwise-profile-")
    work = os.path.join(scratch, "work")
    env = dict(os.environ, NO_STOP_MESSAGE="1")
    try:
        owns, floors = [], []
        renames = os.path.join(scratch, "renames")
        for _ in range(5):
            make(work, n)
            own, shares, output = perf_shares([program], work, scratch, env)
            owns.append(own)
            print("perf samples by object: " + ", ".join(
                "%s %.1f %%" % kv for kv in sorted(shares.items(), key=lambda kv: -kv[1])))
            bench.write_attempts(renames, bench.attempts_from(output, renamed_only=True))
            make(work, n)
            floors.append(perf_shares([replay, renames], work, scratch, env, b"")[0])
        owns.sort()
        floors.sort()
        print("program, C and C++ libraries: %s %% of the samples, median %.1f %% "
              "(target: at most 6 %%)" % (", ".join("%.1f" % o for o in owns), owns[2]))
        print("the same renames by a bare loop, outside the kernel: %s %%, median %.1f %%"
              % (", ".join("%.1f" % f for f in floors), floors[2]))

        make(work, n)
        by_program = getdents([program], work, b"Cam1\n\n", env)
        plain = getdents(["ls", "-f", "Cam1"], work)
        print("getdents64 calls: program %d, one plain read of the folder (ls -f) %d"
              % (by_program, plain))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
