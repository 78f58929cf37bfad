"""The program on every file system that pictures live on, each one really
mounted: ext4, xfs and btrfs on loop devices, tmpfs, exFAT and FAT32 through
FUSE as camera cards are, and NTFS through ntfs-3g and lowntfs-3g.

On each: a whole run (every picture still there once, none left to rename,
the same final folder as on ext4); a run with another process creating, right
after each rename, the name the program tries next (nothing replaced); and
the way the rename took there (renameat2, link or reservation), so that a
silent fall-back shows; a named pipe under a burst name, where the file
system makes them; on exFAT, a reservation that another program writes
into before the picture is renamed over it, and an interrupt at each step
of a run's end; and on FAT32 a small folder listed in the card's root,
whose list must read back as written. Needs root, loop devices and
/dev/fuse: without them
it says what is missing and skips, which counts as a failure under CI.

Usage: file_systems_test.py STAMPWISE"""

import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

import interference_test
import pictures
import words
from words import WORDS

SKIP = 77
PICTURES = 3000
FAT_PICTURES = 150  # fusefat creates files slowly

# name, driver, image size in MiB (0: no image), pictures, expected way
FILE_SYSTEMS = [
    ("ext4", "kernel", 64, PICTURES, "renameat2"),
    ("xfs", "kernel", 320, PICTURES, "renameat2"),
    ("btrfs", "kernel", 128, PICTURES, "renameat2"),
    ("tmpfs", "kernel", 0, PICTURES, "renameat2"),
    ("exFAT", "exfat-fuse", 64, PICTURES, "reservation"),
    ("FAT32", "fusefat", 64, FAT_PICTURES, "reservation"),
    ("NTFS", "ntfs-3g", 64, PICTURES, "link"),
    ("NTFS, ignore_case", "lowntfs-3g", 64, PICTURES, "link"),
]

TOOLS = ["losetup", "strace", "mkfs.ext4", "mkfs.xfs", "mkfs.btrfs", "mkfs.exfat",
         "mkfs.vfat", "mkntfs", "mount.exfat-fuse", "fusefat", "ntfs-3g", "lowntfs-3g"]


def missing():
    """What this machine lacks for the matrix, in a few words, or None."""
    if os.geteuid() != 0:
        return "root"
    if not os.path.exists("/dev/fuse"):
        return "/dev/fuse"
    if not os.path.exists("/dev/loop-control"):
        return "loop devices"
    lacking = [t for t in TOOLS if shutil.which(t) is None]
    return ", ".join(lacking) if lacking else None


def sh(*argv):
    subprocess.run(argv, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


class Mount:
    """One file system, mounted at `self.dir` until close()."""

    def __init__(self, scratch, name, driver, size):
        self.dir = tempfile.mkdtemp(dir=scratch, prefix="mnt-")
        self.loop = None
        image = os.path.join(scratch, re.sub(r"\W", "", name) + ".img")
        if size:
            with open(image, "wb") as f:
                f.truncate(size << 20)
        if name == "tmpfs":
            sh("mount", "-t", "tmpfs", "-o", "size=256m", "none", self.dir)
        elif driver == "kernel":
            sh("mkfs." + name, "-q", "-F" if name == "ext4" else "-f", image)
            sh("mount", "-o", "loop", image, self.dir)
        elif name == "exFAT":
            sh("mkfs.exfat", image)
            # exfat-fuse wants a block device.
            self.loop = subprocess.run(["losetup", "-f", "--show", image], check=True,
                                       capture_output=True, text=True).stdout.strip()
            sh("mount.exfat-fuse", self.loop, self.dir)
        elif name == "FAT32":
            sh("mkfs.vfat", "-F", "32", image)
            sh("fusefat", "-o", "rw+", image, self.dir)
        else:
            sh("mkntfs", "-F", "-Q", "-q", image)
            sh(driver, *(["-o", "ignore_case"] if "ignore_case" in name else []), image, self.dir)

    def close(self):
        for _ in range(50):
            if subprocess.run(["umount", self.dir], stderr=subprocess.DEVNULL).returncode == 0:
                break
            time.sleep(0.1)  # a FUSE driver still busy with the last write
        else:
            subprocess.run(["umount", "-l", self.dir], stderr=subprocess.DEVNULL)
        if self.loop:
            subprocess.run(["losetup", "-d", self.loop], stderr=subprocess.DEVNULL)


def fill(folder, count, seed):
    """Bursts in all three suffix forms, with `-1` and `[1]`, a year end, and
    a plain name taken in another letter case."""
    rng = random.Random(seed)
    pictures.make_bursts(folder, count - 4, rng)
    for name in ["2015-12-31 23-59-59 (2).JPG", "2015-12-31 23-59-59-1.jpg",
                 "2015-12-31 23-59-59 [1].jpg", "2016-01-01 00-00-01.JPG"]:
        pictures.write(os.path.join(folder, name), name.encode())


def final(folder):
    return sorted((n, open(os.path.join(folder, n), "rb").read()) for n in os.listdir(folder))


def same_folder(file_system, files):
    """What must equal ext4's final folder: lowntfs-3g with ignore_case shows
    every name in lower case, so there letter case is left out."""
    if "ignore_case" in file_system:
        return sorted((n.lower(), c) for n, c in files)
    return files


def whole_run(program, work, count):
    folder = os.path.join(work, "Cam1")
    fill(folder, count, seed=count)
    expected = pictures.contents(folder)
    began = time.monotonic()
    pictures.run(program, work)
    seconds = time.monotonic() - began
    pictures.check_intact(folder, expected)
    pictures.check_done(folder)
    result = final(folder)
    shutil.rmtree(folder)
    return seconds, result


def raced_run(program, work, count):
    """Right after the program renames the second picture of a burst, makes
    the name the third one tries next (the stamp plus two seconds)."""
    folder = os.path.join(work, "Race")
    pictures.make_bursts(folder, count, random.Random(count + 1))
    expected = pictures.contents(folder)
    seconds = {}
    for name in os.listdir(folder):
        if pictures.selected(name):
            base = name[:19]
            if base not in seconds or name < seconds[base]:
                seconds[base] = name
    seconds = sorted(seconds.items())
    made = {}
    process = pictures.start(program, work, "Race")

    def create():
        for base, second in seconds:
            while os.path.exists(os.path.join(folder, second)):
                if process.poll() is not None:
                    return
            t = time.strptime(base, "%Y-%m-%d %H-%M-%S")
            target = time.strftime("%Y-%m-%d %H-%M-%S", time.gmtime(
                time.mktime(t) - time.mktime(time.gmtime(0)) + 2)) + ".jpg"
            try:
                fd = os.open(os.path.join(folder, target), os.O_CREAT | os.O_EXCL | os.O_WRONLY)
            except FileExistsError:
                continue
            made[target] = ("creator " + target).encode()
            os.write(fd, made[target])
            os.close(fd)

    creator = threading.Thread(target=create)
    creator.start()
    err = process.stderr.read()
    status = process.wait()
    creator.join()
    if status != 0:
        raise AssertionError("exit status %d: %s" % (status, err))
    for content in made.values():
        expected[content] += 1
    pictures.check_intact(folder, expected)
    pictures.check_done(folder)
    shutil.rmtree(folder)
    return len(made)


def check_written(calls, fuse):
    """Behind FUSE every rename of a picture is followed by its fsync before
    the next one; on the kernel's journaled file systems nothing is synced."""
    renamed = re.compile(r'(?<![a-z])(renameat2|rename|link)\(.*"[^"]*\.jpg"(, \w+)?\) = 0')
    pending, renames, syncs = False, 0, 0
    for line in calls.splitlines():
        if renamed.search(line):
            if pending:
                raise AssertionError("a rename not written before the next: " + line)
            pending, renames = fuse, renames + 1
        elif re.search(r"fsync\(\d+\) += 0", line):
            pending, syncs = False, syncs + 1
    if pending or (fuse and syncs < 2 * renames) or (not fuse and syncs):
        raise AssertionError("%d renames, %d fsync calls" % (renames, syncs))


def way_taken(program, work, fuse, elsewhere=None):
    """The way the renames of a small folder took, as strace shows it; the
    folder typed in `elsewhere`, where given, as a link to it there: its
    own file system decides how they are written."""
    folder = os.path.join(work, "Way")
    pictures.make_bursts(folder, 30, random.Random(3))
    log = os.path.join(work, "strace.log")
    env = dict(os.environ, NO_STOP_MESSAGE="1")
    if elsewhere:
        os.symlink(folder, os.path.join(elsewhere, "Way"))
    subprocess.run(["strace", "-f", "-o", log, "-e",
                    "trace=renameat2,rename,link,open,openat,fsync", program],
                   cwd=elsewhere or work, input=b"Way\n\n", stdout=subprocess.DEVNULL, env=env,
                   check=True)
    if elsewhere:
        os.remove(os.path.join(elsewhere, "Way"))
    calls = open(log).read()
    check_written(calls, fuse)
    os.remove(log)
    shutil.rmtree(folder)
    ways = set()
    if re.search(r"renameat2\(.*RENAME_NOREPLACE\) = 0", calls):
        ways.add("renameat2")
    if re.search(r"link\(.*\) = 0", calls):
        ways.add("link")
    # Only picture names count: the list file is moved into place too.
    if (re.search(r'\.jpg", O_[A-Z_|]*O_EXCL[^)]*\) = \d+', calls)
            and re.search(r'rename\("[^"]*", "[^"]*\.jpg"\) = 0', calls)):
        ways.add("reservation")
    return "+".join(sorted(ways)) or "none"


def written_over(program, work):
    """Another program writes into the name that the program has reserved
    (strace holds the program a second right after it creates the
    reservation): the file written there is that program's, and the picture
    moves on to the next second."""
    folder = os.path.join(work, "Over")
    os.makedirs(folder)
    pictures.write(os.path.join(folder, "2015-05-03 10-20-30 (2).JPG"), b"picture")
    reserved = "Over/2015-05-03 10-20-31.jpg"
    typed = os.path.join(work, "typed")
    pictures.write(typed, b"Over\n\n")
    env = dict(os.environ, NO_STOP_MESSAGE="1")
    with open(typed, "rb") as stdin:
        process = subprocess.Popen(["strace", "-f", "-o", "/dev/null", "-P", reserved,
                                    "-e", "trace=openat",
                                    "-e", "inject=openat:delay_exit=1000000:when=1", program],
                                   cwd=work, stdin=stdin, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE, env=env)
    began = time.monotonic()
    while not os.path.exists(os.path.join(work, reserved)) and time.monotonic() - began < 10:
        time.sleep(0.01)
    with open(os.path.join(work, reserved), "wb") as copy:  # no O_EXCL: as cp does
        copy.write(b"COPIED")
    err = process.communicate(timeout=60)[1]
    if process.returncode != 0:
        raise AssertionError("exit status %d: %s" % (process.returncode, err))
    left = final(folder)
    os.remove(typed)
    shutil.rmtree(folder)
    if left != [("2015-05-03 10-20-31.jpg", b"COPIED"), ("2015-05-03 10-20-32.jpg", b"picture")]:
        raise AssertionError("a reservation written over: %r" % left)


def named_pipe(program, work):
    """A named pipe under a burst name is renamed like a picture, and the
    write to the disk after it never waits for a writer. False where the
    file system makes no named pipes."""
    folder = os.path.join(work, "Pipe")
    os.makedirs(folder)
    try:
        os.mkfifo(os.path.join(folder, "2015-05-03 10-20-30 (2).jpg"))
    except OSError:
        shutil.rmtree(folder)
        return False
    pictures.write(os.path.join(folder, "2015-05-03 10-20-30 (3).jpg"), b"picture")
    run = subprocess.run([program], cwd=work, input=b"Pipe\n\n", capture_output=True,
                         env=dict(os.environ, NO_STOP_MESSAGE="1"), timeout=60)
    left = sorted(os.listdir(folder))
    shutil.rmtree(folder)
    if run.returncode != 0 or left != ["2015-05-03 10-20-31.jpg", "2015-05-03 10-20-32.jpg"]:
        raise AssertionError("a named pipe: status %d, %r" % (run.returncode, left))
    return True


def interrupted_at_the_end(program, work):
    """SIGINT at each step of a run's end, sent by strace as the step's call
    begins: the last rename's folder fsync, the final syncfs, the list
    file's removal, the write of the closing line. Each time the run ends
    with SIGINT's status and its list file removed, every rename on the
    card is said, and the output ends with the Interrupted line or with the
    closing line, never with neither."""
    folder, names = os.path.join(work, "End"), []

    def run(inject=None):
        shutil.rmtree(folder, ignore_errors=True)
        pictures.make_bursts(folder, 12, random.Random(12))
        names[:] = sorted(os.listdir(folder))
        log = os.path.join(work, "strace.log")
        argv = ["strace", "-f", "-s", "256", "-o", log, "-e", "trace=fsync,syncfs,unlink,write"]
        if inject:
            argv += ["-e", "inject=%s:signal=SIGINT:when=%d" % inject]
        # A shell that started this test in the background ignores SIGINT for
        # it, and the program keeps an interrupt ignored at its start.
        done = subprocess.run(argv + [program], cwd=work, input=b"End\n\n", capture_output=True,
                              env=dict(os.environ, NO_STOP_MESSAGE="1"), timeout=120,
                              preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
        with open(log) as f:
            calls = [line.split("(", 1)[0].split()[-1] + "(" + line.split("(", 1)[1]
                     for line in f if "(" in line and " resumed>" not in line]
        os.remove(log)
        return done, calls

    def ordinal(calls, call, where):
        """Which call of its kind the first call of `call` that `where`
        picks is: 1 for the first."""
        of_kind = [c for c in calls if c.startswith(call + "(")]
        return 1 + next(i for i, c in enumerate(of_kind) if where(c, of_kind, i))

    _, calls = run()
    syncfs_at = next(i for i, c in enumerate(calls) if c.startswith("syncfs("))
    last_fsync = [c for c in calls[:syncfs_at] if c.startswith("fsync(")][-1]
    steps = [
        ("fsync", ordinal(calls, "fsync", lambda c, of, i: c is last_fsync)),
        ("syncfs", 1),
        ("unlink", ordinal(calls, "unlink", lambda c, of, i: WORDS["kListFileName"] in c)),
        ("write", ordinal(calls, "write", lambda c, of, i: WORDS["kClosing"] in c)),
    ]
    for step in steps:
        done, _ = run(step)
        lines = done.stdout.decode().split("\r\n")
        said = pictures.said(done.stdout, "End")
        renamed = [old for old, (_, end) in said.items() if end == "renamed"]
        on_card = [n for n in names if n not in os.listdir(folder)]
        ends = lines[-2] if len(lines) > 1 else ""
        if (done.returncode != -signal.SIGINT or os.path.exists(os.path.join(work, "AllFiles.txt"))
                or sorted(renamed) != sorted(on_card)
                or ends not in (words.interrupted(len(renamed)), " " + WORDS["kClosing"])):
            raise AssertionError("interrupted at %s %d: status %d, ends %r, %d said renamed, %d "
                                 "renamed" % (step + (done.returncode, ends, len(renamed),
                                                      len(on_card))))
    shutil.rmtree(folder)


def small_list(program, work):
    """The program started in the card's root on a folder of a dozen names:
    the list it reads back must be the list it wrote (fusefat has read back
    NUL bytes there). Either every picture is renamed, or the run ends with
    status 127 naming the list file, and renames nothing."""
    folder = os.path.join(work, "Few")
    pictures.make_bursts(folder, 12, random.Random(12))
    expected = pictures.contents(folder)
    before = sorted(os.listdir(folder))
    run = subprocess.run([program], cwd=work, input=b"Few\n\n", capture_output=True,
                         env=dict(os.environ, NO_STOP_MESSAGE="1"), timeout=120)
    pictures.check_intact(folder, expected)
    if run.returncode == 127:
        if b"unit 1 is AllFiles.txt" not in run.stderr or sorted(os.listdir(folder)) != before:
            raise AssertionError("a list read back wrong: %r" % run.stderr)
        os.remove(os.path.join(work, "AllFiles.txt"))
        how = "list read back wrong: 127"
    else:
        pictures.check_done(folder)
        how = "renamed"
    shutil.rmtree(folder)
    return how


def main():
    # A time-out ends the test with SIGTERM: turn it into an exception, so
    # that every mount is still unmounted and every loop device detached.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("file systems: stopped"))
    program = os.path.abspath(sys.argv[1])
    lacking = missing()
    if lacking:
        print("file systems: skipped, this machine lacks: " + lacking)
        sys.exit(1 if os.environ.get("CI") == "true" else SKIP)
    scratch = tempfile.mkdtemp(prefix="stampwise-fs-")
    reference = {}
    rows = []
    failures = []
    try:
        for name, driver, size, count, expected_way in FILE_SYSTEMS:
            mount = None
            try:
                mount = Mount(scratch, name, driver, size)
                seconds, result = whole_run(program, mount.dir, count)
                if name == "ext4":
                    reference[count] = (seconds, result)
                    _, reference[FAT_PICTURES] = whole_run(program, mount.dir, FAT_PICTURES)
                    reference[FAT_PICTURES] = (None, reference[FAT_PICTURES])
                elif same_folder(name, result) != same_folder(name, reference[count][1]):
                    raise AssertionError("final folder differs from ext4's")
                raced = raced_run(program, mount.dir, count)
                way = way_taken(program, mount.dir, driver != "kernel")
                if way != expected_way:
                    raise AssertionError("renamed by %s, expected %s" % (way, expected_way))
                if name == "exFAT":
                    if way_taken(program, mount.dir, True, tempfile.mkdtemp(dir=scratch)) != way:
                        raise AssertionError("typed through a link, renamed another way")
                    way += ", also typed through a link"
                    written_over(program, mount.dir)
                    interrupted_at_the_end(program, mount.dir)
                    way += ", interrupted at each step of the end"
                if named_pipe(program, mount.dir):
                    way += ", named pipe renamed"
                if name == "FAT32":
                    way += ", a dozen names: " + small_list(program, mount.dir)
                if driver == "ntfs-3g":
                    # The link way: a second run on the same folder, from
                    # another working directory, is refused.
                    interference_test.two_runs(program, mount.dir, random.Random(5), "getdents64",
                                               elsewhere=True)
                    way += ", a second run refused"
                rows.append((name, driver, way, count, seconds, raced))
            except (AssertionError, subprocess.CalledProcessError, OSError) as e:
                detail = getattr(e, "stderr", None)
                failures.append("%s: %s %s" % (name, e, detail.decode() if detail else ""))
            finally:
                if mount:
                    mount.close()
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    per_picture = reference[PICTURES][0] / PICTURES if PICTURES in reference else None
    print("| file system | driver | rename way | pictures | time | per picture against ext4 |"
          " names made by the racing creator |")
    print("|---|---|---|--:|--:|--:|--:|")
    for name, driver, way, count, seconds, raced in rows:
        ratio = "%.1f" % (seconds / count / per_picture) if per_picture else "-"
        print("| %s | %s | %s | %d | %.2f s | %s | %d |"
              % (name, driver, way, count, seconds, ratio, raced))
    for failure in failures:
        print("FAILED " + failure)
    if failures:
        sys.exit(1)
    print("file systems: every picture kept on %d file systems" % len(rows))


if __name__ == "__main__":
    main()
