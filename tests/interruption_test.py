"""Kills the program (SIGKILL) at random moments while it renames a folder
of a few thousand pictures; after every kill each picture must still be
there, byte for byte, under exactly one name, and a later run must finish
the job. Usage: interruption_test.py STAMPWISE [TRIALS]"""

import os
import random
import shutil
import sys
import tempfile
import time

import pictures

PICTURES = 3000


def main():
    program = os.path.abspath(sys.argv[1])
    trials = int(sys.argv[2]) if len(sys.argv) > 2 else 30
    rng = random.Random(int(os.environ.get("STAMPWISE_SEED", time.time())))
    kills = 0
    scratch = tempfile.mkdtemp(prefix="stampwise-kill-")
    try:
        # How long a whole run takes, to spread the kills over it.
        folder = os.path.join(scratch, "Cam1")
        pictures.make_bursts(folder, PICTURES, rng)
        began = time.monotonic()
        pictures.run(program, scratch)
        whole = time.monotonic() - began
        for _ in range(trials):
            shutil.rmtree(folder)
            pictures.make_bursts(folder, PICTURES, rng)
            expected = pictures.contents(folder)
            for _ in range(rng.randint(1, 3)):
                process = pictures.start(program, scratch)
                time.sleep(rng.uniform(0, whole * 1.1))
                process.kill()
                process.wait()
                process.stderr.close()
                kills += 1
                pictures.check_intact(folder, expected)
            pictures.run(program, scratch)
            pictures.check_intact(folder, expected)
            pictures.check_done(folder)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("interruption: %d kills of runs over %d pictures (a whole run: %.3f s); "
          "nothing lost, every job finished" % (kills, PICTURES, whole))


if __name__ == "__main__":
    main()
