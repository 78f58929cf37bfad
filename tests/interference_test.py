"""While the program runs, another process keeps creating files under the
names that the program is about to try. Nothing may be replaced: every
picture and every file of the other process survives. Then a second run
starts in the same working directory while the first holds its list: it
must say so and stop, and the first must end as if alone.
Usage: interference_test.py STAMPWISE [ROUNDS]"""

import calendar
import os
import random
import resource
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import pictures
from words import WORDS

PICTURES = 3000


def intrude(folder, names, process):
    """Creates the names, never replacing, until the program has ended."""
    made = {}
    while process.poll() is None:
        for name in names:
            if name in made:
                continue
            try:
                fd = os.open(os.path.join(folder, name), os.O_CREAT | os.O_EXCL | os.O_WRONLY)
            except FileExistsError:
                continue
            content = ("intruder " + name).encode()
            os.write(fd, content)
            os.close(fd)
            made[name] = content
    return made


def two_runs(program, scratch, rng, held_call, elsewhere=False):
    """The first run is held for a moment by strace, which delays its first
    `held_call`: the folder read of the listing, or the rename that puts the
    list in place; the second run starts then, in the same working
    directory on another folder, or (`elsewhere`) in another one on the
    same folder, named another way."""
    work = tempfile.mkdtemp(dir=scratch)
    first, second = os.path.join(work, "Cam1"), os.path.join(work, "Cam2")
    pictures.make_bursts(first, 300, rng)
    pictures.make_bursts(second, 30, rng)
    expected, untouched = pictures.contents(first), sorted(os.listdir(second))
    env = dict(os.environ, NO_STOP_MESSAGE="1")
    typed = os.path.join(scratch, "typed")
    pictures.write(typed, b"Cam1\n\n")
    with open(typed, "rb") as stdin:
        held = subprocess.Popen(["strace", "-f", "-o", "/dev/null", "-e", "trace=" + held_call,
                                 "-e", "inject=%s:delay_exit=1500000:when=1" % held_call,
                                 program],
                                cwd=work, stdin=stdin, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, env=env)
    time.sleep(0.5)
    if elsewhere:
        typed = b"../" + os.path.basename(work).encode() + b"/./Cam1"
        said = WORDS["kAnotherRunInFolder"].encode()
        other = subprocess.run([program], cwd=tempfile.mkdtemp(dir=scratch), input=typed + b"\n\n",
                               capture_output=True, env=env, timeout=60)
    else:
        typed, said = WORDS["kListFileName"].encode(), WORDS["kAnotherRun"].encode()
        other = subprocess.run([program], cwd=work, input=b"Cam2\n\n", capture_output=True,
                               env=env, timeout=60)
    out, err = held.communicate(timeout=120)
    if other.returncode != 0 or other.stderr != typed + b": " + said + b"\n":
        raise AssertionError("second run: status %d, %r" % (other.returncode, other.stderr))
    if WORDS["kProblem"].encode() not in other.stdout:
        raise AssertionError("second run: no problem message")
    if held.returncode != 0 or WORDS["kNotRenamed"].encode() in out or err:
        raise AssertionError("first run: status %d, %r" % (held.returncode, err))
    pictures.check_intact(first, expected)
    pictures.check_done(first)
    if sorted(os.listdir(second)) != untouched or os.path.exists(os.path.join(work, "AllFiles.txt")):
        raise AssertionError("the second run changed something")


def closed_error(program, scratch):
    """Started with standard error closed: the list file must not take its
    number, or the line about a name with a line feed would become a line
    of the list. That line cannot be written: a failed console write, 127,
    and nothing renamed."""
    work = tempfile.mkdtemp(dir=scratch)
    folder = os.path.join(work, "Cam1")
    os.makedirs(folder)
    names = ["2015-05-03 10-20-30 (2).jpg", "a\nb"]
    for name in names:
        pictures.write(os.path.join(folder, name), name.encode())
    run = subprocess.run([program], cwd=work, input=b"Cam1\n\n", capture_output=False,
                         stdout=subprocess.PIPE, env=dict(os.environ, NO_STOP_MESSAGE="1"),
                         preexec_fn=lambda: os.close(2), timeout=60)
    if run.returncode != 127 or WORDS["kSuccess"].encode() in run.stdout:
        raise AssertionError("standard error closed: status %d, %r"
                             % (run.returncode, run.stdout[-300:]))
    if sorted(os.listdir(folder)) != sorted(names):
        raise AssertionError("standard error closed: %r" % os.listdir(folder))
    for name in os.listdir(work):
        if not name.startswith(WORDS["kListFileName"]):
            continue
        with open(os.path.join(work, name), "rb") as f:
            if WORDS["kLineFeedNames"].encode() in f.read():
                raise AssertionError("standard error closed: the list took its number")


def list_not_written(program, scratch):
    """A list file that cannot be written (a file size limit of 0) is a
    failed write of the list file: status 127, the list file named."""
    work = tempfile.mkdtemp(dir=scratch)
    pictures.make_bursts(os.path.join(work, "Cam1"), 3, random.Random(1))

    def no_file_size():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (0, 0))
    run = subprocess.run([program], cwd=work, input=b"Cam1\n\n", capture_output=True,
                         preexec_fn=no_file_size, timeout=60)
    if run.returncode != 127 or b"unit 1 is AllFiles.txt" not in run.stderr:
        raise AssertionError("list not written: status %d, %r" % (run.returncode, run.stderr))


def main():
    program = os.path.abspath(sys.argv[1])
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    rng = random.Random(int(os.environ.get("STAMPWISE_SEED", time.time())))
    scratch = tempfile.mkdtemp(prefix="stampwise-interfere-")
    intruders = 0
    try:
        folder = os.path.join(scratch, "Cam1")
        for _ in range(rounds):
            shutil.rmtree(folder, ignore_errors=True)
            pictures.make_bursts(folder, PICTURES, rng)
            expected = pictures.contents(folder)
            # The plain names one to four seconds after each suffixed picture.
            targets = []
            for name in sorted(os.listdir(folder)):
                if pictures.selected(name):
                    base = time.strptime(name[:19], "%Y-%m-%d %H-%M-%S")
                    seconds = calendar.timegm(base) - pictures.EPOCH
                    targets += [pictures.stamp(seconds + d) + ".jpg" for d in range(1, 5)]
            process = pictures.start(program, scratch)
            made = intrude(folder, targets, process)
            err = process.stderr.read()
            process.stderr.close()
            if process.wait() != 0:
                raise AssertionError("exit status %d: %s" % (process.returncode, err))
            for name, content in made.items():
                expected[content] += 1
            pictures.check_intact(folder, expected)
            pictures.check_done(folder)
            intruders += len(made)
        # strace holds the first of two runs at a chosen moment.
        if shutil.which("strace"):
            for held_call in ["getdents64", "rename"]:
                for elsewhere in [False, True]:
                    two_runs(program, scratch, rng, held_call, elsewhere)
        elif os.environ.get("CI") == "true":
            raise AssertionError("two runs: this machine lacks strace")
        else:
            print("interference: two runs skipped, this machine lacks strace")
        closed_error(program, scratch)
        list_not_written(program, scratch)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("interference: %d rounds over %d pictures, %d files made by another process "
          "under names about to be tried; nothing replaced, nothing lost; a second run "
          "in the same working directory, or on the same folder from another one, stopped in "
          "order, while the first listed and after; "
          "standard error closed" % (rounds, PICTURES, intruders))


if __name__ == "__main__":
    main()
