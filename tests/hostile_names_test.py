"""Names that no camera writes: newlines, carriage returns, bytes that are
not UTF-8, 255-byte names, names of exactly 19, 20 and 21 characters, and
mixtures with real pictures. Nothing may crash and nothing may be lost.
Usage: hostile_names_test.py STAMPWISE"""

import os
import shutil
import subprocess
import sys
import tempfile

from pictures import contents
from words import line_feed_names

STAMP = b"2015-05-03 10-20-30"

HOSTILE = [
    STAMP,                                  # exactly 19
    STAMP + b"-",                           # exactly 20, selected
    STAMP + b" (",                          # exactly 21, selected
    STAMP + b" [",
    STAMP + b" 1",                          # 21, not selected
    STAMP + b" (2)\n.jpg",                  # a newline inside
    b"x\n" + STAMP + b" (3).jpg",           # a newline before a real-looking name
    STAMP + b" (4).jpg\r",                  # a CR where the line end is
    STAMP + b" (5)\r.jpg",
    b"\r\n" + STAMP + b" (6).jpg",
    STAMP + b" (7)\xff\xfe.jpg",            # not UTF-8
    b"\xff" * 19 + b"-\x80.jpg",            # not UTF-8, selected, no stamp
    STAMP + b" (8)" + b"x" * (255 - 23),    # 255 bytes, selected, path too long
    b"y" * 255,                             # 255 bytes, not selected
    STAMP.replace(b"-", b"\n") + b" (9).jpg",
    b"2015-05-03 10-20-3\n-x.jpg",
    b"-" * 30,
    b"(" * 21,
    b" " * 19 + b" (1).jpg",
    STAMP + b" (1).jpg",                    # and real pictures beside them
    STAMP + b"-2.jpg",
    STAMP + b" [3].jpg",
    b"2015-05-03 10-20-31.jpg",
]


def main():
    program = os.path.abspath(sys.argv[1])
    scratch = tempfile.mkdtemp(prefix="stampwise-hostile-")
    try:
        folder = os.path.join(scratch.encode(), b"Cam1")
        os.mkdir(folder)
        for i, name in enumerate(HOSTILE):
            with open(os.path.join(folder, name), "wb") as f:
                f.write(b"picture %d" % i)
        expected = contents(folder)
        for attempt in range(2):  # a second run over the result, too
            done = subprocess.run([program], cwd=scratch, input=b"Cam1\n\n",
                                  capture_output=True, timeout=60,
                                  env=dict(os.environ, NO_STOP_MESSAGE="1"))
            if done.returncode != 0:
                raise AssertionError("exit status %d: %r" % (done.returncode, done.stderr))
            # The names with a line feed cannot be lines of the list: said.
            with_line_feed = sum(b"\n" in name for name in HOSTILE)
            if done.stderr != line_feed_names("Cam1", with_line_feed).encode():
                raise AssertionError("standard error: %r" % done.stderr)
            if contents(folder) != expected:
                raise AssertionError("a picture was lost or doubled:\n%r"
                                     % sorted(os.listdir(folder)))
        names = os.listdir(folder)
        for renamed in (b"2015-05-03 10-20-32.jpg", b"2015-05-03 10-20-33.jpg"):
            if renamed not in names:
                raise AssertionError("the real pictures were not renamed: %r" % sorted(names))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("hostile names: %d tried, two runs each; nothing crashed, nothing lost" % len(HOSTILE))


if __name__ == "__main__":
    main()
