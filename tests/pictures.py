"""Folders of camera-trap pictures for the tests that run the real program,
and the checks that every one of those tests makes: no picture lost, none
replaced, none left under two names."""

import collections
import os
import subprocess
import time

from words import WORDS

FORMS = ["{} ({}).JPG", "{}-{}.jpg", "{} [{}].jpg"]

EPOCH = 1430611200  # 2015-05-03 00:00:00 UTC


def stamp(seconds):
    """The stamp of a moment given in seconds since EPOCH."""
    t = time.gmtime(EPOCH + seconds)
    return time.strftime("%Y-%m-%d %H-%M-%S", t)


def make_bursts(folder, pictures, rng, burst=3, gaps=(4, 30)):
    """Writes `pictures` files in bursts of `burst`, triggers `gaps` seconds
    apart: the first of each burst under its plain stamp, the others with a
    suffix. Each file's content is its own name, so that a test can follow
    every picture."""
    os.makedirs(folder, exist_ok=True)
    second = 0
    made = 0
    while made < pictures:
        second += rng.randint(*gaps)
        base = stamp(second)
        form = rng.choice(FORMS)
        for n in range(1, burst + 1):
            if made == pictures:
                break
            name = base + ".jpg" if n == 1 else form.format(base, n)
            write(os.path.join(folder, name), name.encode())
            made += 1


def write(path, content):
    with open(path, "wb") as f:
        f.write(content)


def contents(folder):
    """Every file's content, counted."""
    found = collections.Counter()
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), "rb") as f:
            found[f.read()] += 1
    return found


def check_intact(folder, expected):
    """Every picture still there, byte for byte, under exactly one name."""
    found = contents(folder)
    if found != expected:
        lost = expected - found
        twice = found - expected
        raise AssertionError("pictures lost: %d, extra names: %d (e.g. %r %r)"
                             % (sum(lost.values()), sum(twice.values()),
                                list(lost)[:3], list(twice)[:3]))


def selected(name):
    return (len(name) >= 21 and name[20] in "([") or (len(name) >= 20 and name[19] == "-")


def check_done(folder):
    """No suffixed name left; every stamp once, whatever its letter case."""
    names = os.listdir(folder)
    left = [n for n in names if selected(n)]
    if left:
        raise AssertionError("still to rename: %r" % left[:5])
    stamps = collections.Counter(n[:19].upper() for n in names)
    twice = [s for s, c in stamps.items() if c > 1]
    if twice:
        raise AssertionError("stamps under more than one name: %r" % twice[:5])


def start(program, work_dir, folder_name="Cam1"):
    env = dict(os.environ, NO_STOP_MESSAGE="1")
    process = subprocess.Popen([program], cwd=work_dir, stdin=subprocess.PIPE,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
    process.stdin.write((folder_name + "\n\n").encode())
    process.stdin.close()
    return process


def run(program, work_dir, folder_name="Cam1"):
    process = start(program, work_dir, folder_name)
    err = process.stderr.read()
    status = process.wait(timeout=600)
    if status != 0:
        raise AssertionError("exit status %d: %s" % (status, err.decode(errors="replace")))


def said(out, folder="Cam1"):
    """What the console says of each picture: {old name: [names tried, end]},
    the end "renamed" (the success line), "not written" (renamed, but the
    write to the disk failed), "left" (a Not renamed line) or None."""
    lines = out.decode(errors="replace").split("\r\n")
    echo = " " + folder + "/"
    pictures = {}
    i = 0
    while i < len(lines):
        if lines[i].startswith(echo) and i + 1 < len(lines) and lines[i + 1].startswith(echo):
            old, new = lines[i][len(echo):], lines[i + 1][len(echo):]
            entry = pictures.setdefault(old, [[], None])
            entry[0].append(new)
            follow = lines[i + 2] if i + 2 < len(lines) else ""
            i += 2
            if follow.startswith(WORDS["kSuccess"]) and follow.endswith(echo[1:] + new):
                entry[1], i = "renamed", i + 1
            elif follow.startswith(" %s%s%s: " % (WORDS["kNotWritten"], echo[1:], new)):
                entry[1], i = "not written", i + 1
            continue
        left = " " + WORDS["kNotRenamed"] + echo[1:]
        if lines[i].startswith(left):
            old = lines[i][len(left):].split(": ", 1)[0]
            pictures.setdefault(old, [[], None])[1] = "left"
        i += 1
    return pictures
