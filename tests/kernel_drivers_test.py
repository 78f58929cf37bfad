"""The program on the kernel's own card and disk drivers, as Linux mounts
camera cards and Windows disks: vfat with its defaults and with the options
a desktop's automounter gives (udisks), exfat and ntfs3, each in a small
virtual machine (vm.py), since this host's kernel may have none of them.

On each: a run over about 1000 pictures with a letter-case twin; every
picture still there once, nothing left to rename, no stamp under two names,
and the renames made the way the file system needs, as strace shows:
renameat2(RENAME_NOREPLACE), or on vfat a reservation written to the card
first, which the picture then swaps names with (RENAME_EXCHANGE).
On vfat also two runs on one folder, started in two working directories
and naming it two ways: the second is refused, whichever starts first; and
a folder on a card mounted with a character set that is not UTF-8, whose
last name's long entry the program cannot count from its bytes as UTF-8:
the folder must not grow while a group holds its new names.
Without QEMU or the kernel it says what is missing and skips, which counts
as a failure under CI.

Usage: kernel_drivers_test.py STATIC_STAMPWISE"""

import collections
import hashlib
import io
import os
import random
import shutil
import subprocess
import sys
import tarfile
import tempfile
import time

import pictures
import vm
from words import WORDS

SUCCESS = WORDS["kSuccess"].strip()

PICTURES = 1000
TWINS = ["2015-12-31 23-59-59 (2).JPG", "2015-12-31 23-59-59-1.jpg",
         "2015-12-31 23-59-59 [1].jpg", "2016-01-01 00-00-01.JPG"]

# name, mkfs command, mount options, the way the renames take
FILE_SYSTEMS = [
    ("vfat", ["mkfs.vfat", "-F", "32"], "-t vfat", "exchange"),
    ("vfat, udisks", ["mkfs.vfat", "-F", "32"],
     "-t vfat -o shortname=mixed,utf8=1,showexec,flush", "exchange"),
    ("exfat", ["mkfs.exfat"], "-t exfat", "renameat2"),
    ("ntfs3", ["mkntfs", "-F", "-Q", "-q"], "-t ntfs3", "renameat2"),
]


def input_tar(scratch):
    """The pictures as a raw tar on a disk of their own; and their contents."""
    folder = os.path.join(scratch, "Cam1")
    pictures.make_bursts(folder, PICTURES - len(TWINS), random.Random(PICTURES))
    for name in TWINS:
        pictures.write(os.path.join(folder, name), name.encode())
    path = os.path.join(scratch, "input.tar")
    with tarfile.open(path, "w", format=tarfile.USTAR_FORMAT) as t:
        t.add(folder, arcname="Cam1")
    expected = collections.Counter(hashlib.md5(c).hexdigest()
                                   for c in pictures.contents(folder).elements())
    shutil.rmtree(folder)
    return path, expected


def guest_script(count, input_device):
    lines = []
    for i, (_, _, options, _) in enumerate(FILE_SYSTEMS[:count]):
        lines.append(
            "mount %s /dev/vd%s /mnt && tar -xf %s -C /mnt && cd /mnt && "
            "cut -d' ' -f1 /proc/uptime > /results/%d.began && "
            "printf 'Cam1\\n\\n' | NO_STOP_MESSAGE=1 strace -f -o /tmp/st "
            "-e trace=renameat2,link,rename /bin/stampwise > /tmp/out; echo $? > /results/%d.status; "
            "cut -d' ' -f1 /proc/uptime > /results/%d.ended; "
            "cd /mnt/Cam1 && md5sum * > /results/%d.manifest; cd /; "
            "grep -c 'RENAME_NOREPLACE) = 0' /tmp/st > /results/%d.noreplace; "
            "grep -c -e ' link(' /tmp/st > /results/%d.other; "
            "grep -c -e 'RENAME_EXCHANGE) = 0' /tmp/st > /results/%d.over; "
            "grep -c '^%s' /tmp/out > /results/%d.renamed; "
            "umount /mnt" % (options, chr(ord("a") + i), input_device, i, i, i, i, i, i, i,
                             SUCCESS, i))
    return "\n".join(lines)


def two_runs_script(input_device):
    """Two runs on one vfat folder, one started in the card's folder and one
    elsewhere naming it by another path, each order once: strace holds the
    first at its listing while the second starts."""
    lines = ["mount -t vfat /dev/vda /mnt && mkdir -p /tmp/elsewhere"]
    for order in range(2):
        runs = [("/mnt/two%d" % order, "Cam1"), ("/tmp/elsewhere", "/mnt/two%d/./Cam1" % order)]
        (first_dir, first_name), (second_dir, second_name) = runs[order], runs[1 - order]
        lines.append("""
mkdir -p /mnt/two{o} && tar -xf {tar} -C /mnt/two{o}
cd {fd} && printf '{fn}\\n\\n' | NO_STOP_MESSAGE=1 strace -f -o /dev/null -e trace=getdents64 \
  -e inject=getdents64:delay_exit=2000000:when=1 /bin/stampwise > /tmp/first.{o} 2>&1 &
first=$!
sleep 1
cd {sd} && printf '{sn}\\n\\n' | NO_STOP_MESSAGE=1 /bin/stampwise > /dev/null 2> /results/two.{o}.err
echo $? > /results/two.{o}.second
wait $first; echo $? > /results/two.{o}.first
grep -c '^{success}' /tmp/first.{o} > /results/two.{o}.renamed
cd /mnt/two{o}/Cam1 && md5sum * > /results/two.{o}.manifest; cd /
""".format(o=order, tar=input_device, fd=first_dir, fn=first_name, sd=second_dir,
           sn=second_name, success=SUCCESS))
    lines.append("umount /mnt")
    return "\n".join(lines)


# A folder of 512-byte clusters, 16 slots each: ".", "..", two burst
# pictures of 4 slots, four stamps of 3, and last a name of 65 characters
# outside ASCII (6 slots) leave 4 slots, room for one new name and no more.
CHARSET = "iso8859-1"
CHARSET_NAMES = (["2015-05-03 10-20-30 (2).JPG", "2015-05-03 10-20-30 (3).JPG"]
                 + ["2015-05-03 10-20-4%d.jpg" % n for n in range(4)] + ["\u00b0" * 64 + "x"])


def charset_tar(scratch):
    """The folder as a raw tar, its names in the card's character set, made
    in the order of their slots."""
    path = os.path.join(scratch, "charset.tar")
    with tarfile.open(path, "w", format=tarfile.USTAR_FORMAT, encoding=CHARSET) as t:
        folder = tarfile.TarInfo("Cam1")
        folder.type, folder.mode = tarfile.DIRTYPE, 0o755
        t.addfile(folder)
        for name in CHARSET_NAMES:
            info = tarfile.TarInfo("Cam1/" + name)
            info.size = len(name.encode(CHARSET))
            t.addfile(info, io.BytesIO(name.encode(CHARSET)))
    return path


def charset_script(card, tar):
    return """
mount -t vfat -o iocharset={cs},utf8=0 {card} /mnt && tar -xf {tar} -C /mnt
stat -c %s /mnt/Cam1 > /results/charset.before
cd /mnt && printf 'Cam1\\n\\n' | NO_STOP_MESSAGE=1 strace -f -o /tmp/charset.st \
  -e trace=openat,fsync /bin/stampwise > /results/charset.out; echo $? > /results/charset.status
stat -c %s /mnt/Cam1 > /results/charset.after
grep 'Cam1/.*O_EXCL\\|fsync' /tmp/charset.st | sed 's/.*O_EXCL.*/reserve/; s/.*fsync.*/fsync/' \
  > /results/charset.calls
cd /; umount /mnt
""".format(cs=CHARSET, card=card, tar=tar)


def check_charset(results):
    """Both pictures renamed, each new name reserved in a group of its own,
    and the folder as large as before."""
    calls = results.get("charset.calls", b"").decode().split()
    sizes = [results.get("charset.%s" % w, b"").strip() for w in ["before", "after"]]
    renamed = results.get("charset.out", b"").count(WORDS["kSuccess"].encode())
    first_group = calls[:calls.index("fsync")] if "fsync" in calls else calls
    if results.get("charset.status", b"").strip() != b"0" or renamed != 2 or \
            first_group != ["reserve"] or sizes[0] != sizes[1] or not sizes[0]:
        raise AssertionError("vfat, %s: %d renamed, calls %r, folder %r" % (
            CHARSET, renamed, calls, sizes))


def check_two_runs(results, expected):
    """The second run of each order refused, the first alone on the folder."""
    for order in range(2):
        err = results.get("two.%d.err" % order, b"")
        if not err.endswith((": " + WORDS["kAnotherRunInFolder"] + "\n").encode()):
            raise AssertionError("two runs, order %d: the second said %r" % (order, err))
        statuses = [results.get("two.%d.%s" % (order, w), b"").strip() for w in ["first", "second"]]
        if statuses != [b"0", b"0"]:
            raise AssertionError("two runs, order %d: statuses %r" % (order, statuses))
        check_folder("two runs, order %d" % order, results["two.%d.manifest" % order], expected)


def check_folder(name, manifest, expected):
    """Every picture there once, none left to rename, no stamp twice."""
    found = collections.Counter()
    names = []
    for line in manifest.decode().splitlines():
        digest, file_name = line.split("  ", 1)
        found[digest] += 1
        names.append(file_name)
    if found != expected:
        raise AssertionError("%s: pictures lost %d, extra %d" % (
            name, sum((expected - found).values()), sum((found - expected).values())))
    if [n for n in names if pictures.selected(n)]:
        raise AssertionError("%s: names left to rename" % name)
    stamps = collections.Counter(n[:19].upper() for n in names)
    if [s for s, c in stamps.items() if c > 1]:
        raise AssertionError("%s: a stamp under two names" % name)


def check(name, way, results, i, expected):
    status = results.get("%d.status" % i, b"").strip()
    if status != b"0":
        raise AssertionError("%s: exit status %r" % (name, status))
    check_folder(name, results["%d.manifest" % i], expected)
    renamed = int(results["%d.renamed" % i])
    noreplace = int(results["%d.noreplace" % i])
    over = int(results.get("%d.over" % i, b"0") or 0)
    other = int(results.get("%d.other" % i, b"0") or 0)
    by_way = noreplace if way == "renameat2" else over
    if by_way != renamed or noreplace + over != renamed or other != 0:
        raise AssertionError("%s: %d renamed, %d by renameat2, %d by exchange, "
                             "%d by links" % (name, renamed, noreplace, over, other))
    return renamed, float(results["%d.ended" % i]) - float(results["%d.began" % i])


def main():
    program = os.path.abspath(sys.argv[1])
    vm.require("kernel drivers", ["mkfs.vfat", "mkfs.exfat", "mkntfs"])
    scratch = tempfile.mkdtemp(prefix="stampwise-kernel-")
    try:
        tar, expected = input_tar(scratch)
        images = []
        for i, (name, mkfs, _, _) in enumerate(FILE_SYSTEMS):
            image = os.path.join(scratch, "%d.img" % i)
            with open(image, "wb") as f:
                f.truncate(64 << 20)
            subprocess.run(mkfs + [image], check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            images.append(image)
        charset_card = os.path.join(scratch, "charset.img")
        with open(charset_card, "wb") as f:
            f.truncate(64 << 20)
        subprocess.run(["mkfs.vfat", "-F", "32", "-s", "1", charset_card], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        began = time.monotonic()
        device = ["/dev/vd%s" % chr(ord("a") + n) for n in range(len(images) + 3)]
        input_device = device[len(images)]
        results = vm.run(program, images + [tar, charset_card, charset_tar(scratch)],
                         guest_script(len(images), input_device) + "\n" +
                         two_runs_script(input_device) + "\n" +
                         charset_script(device[-2], device[-1]))
        seconds = time.monotonic() - began
        failures = []
        rows = []
        for i, (name, _, _, way) in enumerate(FILE_SYSTEMS):
            try:
                rows.append((name, way, check(name, way, results, i, expected)))
            except (AssertionError, KeyError, ValueError) as e:
                failures.append(str(e))
        try:
            check_charset(results)
            rows_charset = "vfat, %s: the folder never grew while a group held its names" % CHARSET
        except (AssertionError, KeyError, ValueError) as e:
            failures.append(str(e))
            rows_charset = None
        try:
            check_two_runs(results, expected)
            rows_two = "two runs on one vfat folder from two working directories, each order: " \
                       "the second refused, nothing lost"
        except (AssertionError, KeyError, ValueError) as e:
            failures.append(str(e))
            rows_two = None
        for name, way, (renamed, took) in rows:
            print("%s: %d pictures, %d renamed by %s, none lost; the run %.1f s "
                  "(under strace, in the VM)" % (name, PICTURES, renamed, way, took))
        if rows_two:
            print(rows_two)
        if rows_charset:
            print(rows_charset)
        if failures:
            print(results.get("log", b"").decode(errors="replace")[-3000:])
            print(results["console"].decode(errors="replace")[-3000:])
            for failure in failures:
                print("FAILED " + failure)
            sys.exit(1)
        print("kernel drivers: every picture kept on %d mounts, one VM in %.0f s"
              % (len(rows), seconds))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
