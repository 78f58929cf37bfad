"""While the program runs, another process keeps creating files under the
names that the program is about to try. Nothing may be replaced: every
picture and every file of the other process survives.
Usage: interference_test.py STAMPWISE [ROUNDS]"""

import calendar
import os
import random
import shutil
import sys
import tempfile
import time

import pictures

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
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("interference: %d rounds over %d pictures, %d files made by another process "
          "under names about to be tried; nothing replaced, nothing lost"
          % (rounds, PICTURES, intruders))


if __name__ == "__main__":
    main()
