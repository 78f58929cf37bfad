"""A card that starts failing in the middle of a run, on the kernel's own
vfat and exfat drivers in a small VM (vm.py): the card is a device-mapper
device that strace lets the program reach only so far; at the write of the
61st rename the device is switched to the `error` target, so that every
write after it fails, as on a card pulled or gone bad.

The run must end in order; the card, mounted again, must hold every picture:
under the new name where the console said "Successfully renamed", under the
old or the new name where it said that the write failed, under its old name
where nothing was renamed, and under no name that the console never gave it.

Usage: failing_card_test.py STATIC_STAMPWISE [PICTURES]"""

import hashlib
import os
import random
import shutil
import subprocess
import sys
import tarfile
import tempfile

import pictures
import vm
from words import WORDS

FAIL_AT = 61  # the rename that meets the failed card

# name, mkfs command, mount options. The program is held at its FAIL_AT-th
# renameat2 call (a swap on vfat, a rename on exfat), and the card fails
# there: the renames of that group, written together, meet the failed card.
FILE_SYSTEMS = [
    ("vfat", ["mkfs.vfat", "-F", "32"], "-t vfat"),
    ("exfat", ["mkfs.exfat"], "-t exfat"),
]


def guest_script(input_device):
    lines = []
    for i, (_, _, options) in enumerate(FILE_SYSTEMS):
        card = "/dev/vd" + chr(ord("a") + i)
        lines.append("""
mount {o} {card} /mnt && tar -xf {tar} -C /mnt && umount /mnt
size=$(blockdev --getsz {card})
dmsetup create card --table "0 $size linear {card} 0" && dmsetup mknodes
rm -f /tmp/st; mount {o} /dev/mapper/card /mnt && cd /mnt
printf 'Cam1\\n\\n' | NO_STOP_MESSAGE=1 strace -qq -o /tmp/st -e trace=renameat2 \\
  -e inject=renameat2:delay_enter=3000000:when={n} /bin/stampwise > /tmp/out 2> /tmp/err &
program=$!
while calls=$(grep -c 'renameat2(' /tmp/st 2>/dev/null); [ "${{calls:-0}}" -lt {n} ] &&
      kill -0 $program; do sleep 0.1; done
dmsetup suspend --nolockfs --noflush card
dmsetup load card --table "0 $size error" && dmsetup resume card
wait $program; echo $? > /results/{i}.status
cp /tmp/out /results/{i}.out; cp /tmp/err /results/{i}.err
cd /; umount /mnt || umount -l /mnt
dmsetup remove card || dmsetup remove --force card
mount {o} {card} /mnt && (cd /mnt/Cam1 && md5sum * > /results/{i}.manifest); umount /mnt
""".format(o=options, card=card, tar=input_device, n=FAIL_AT, i=i))
    return "\n".join(lines)


def check(name, results, i, originals):
    """What the remounted card holds against what the console said; the
    console's counts."""
    status = results.get("%d.status" % i, b"").strip()
    if status != b"0":
        raise AssertionError("%s: exit status %r, %r" % (name, status, results.get("%d.err" % i)))
    said = pictures.said(results["%d.out" % i])
    found = {}
    for line in results["%d.manifest" % i].decode().splitlines():
        digest, file_name = line.split("  ", 1)
        found.setdefault(digest, []).append(file_name)
    counts = {"renamed": 0, "not written": 0}
    for digest, old in originals.items():
        tried, end = said.get(old, [[], None])
        names = sorted(found.get(digest, []))
        if end == "renamed":
            allowed = [[tried[-1]]]
        elif end == "not written":
            allowed = [[old], [tried[-1]], sorted([old, tried[-1]])]
        else:
            allowed = [[old]]
        if names not in allowed:
            raise AssertionError("%s: %s, said %s as %r, is on the card as %r"
                                 % (name, old, end, tried[-1:], names))
        if end in counts:
            counts[end] += 1
    if WORDS["kClosing"].encode() not in results["%d.out" % i]:
        raise AssertionError("%s: no closing line" % name)
    final = (WORDS["kNotWritten"] + "Cam1: ").encode() in results["%d.out" % i]
    return counts, final


def main():
    program = os.path.abspath(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    vm.require("failing card", ["mkfs.vfat", "mkfs.exfat"])
    scratch = tempfile.mkdtemp(prefix="stampwise-failing-")
    try:
        folder = os.path.join(scratch, "Cam1")
        pictures.make_bursts(folder, count, random.Random(count))
        originals = {hashlib.md5(name.encode()).hexdigest(): name for name in os.listdir(folder)}
        tar = os.path.join(scratch, "input.tar")
        with tarfile.open(tar, "w", format=tarfile.USTAR_FORMAT) as t:
            t.add(folder, arcname="Cam1")
        shutil.rmtree(folder)
        images = []
        for i, (_, mkfs, _) in enumerate(FILE_SYSTEMS):
            images.append(os.path.join(scratch, "%d.img" % i))
            with open(images[-1], "wb") as f:
                f.truncate(40 << 20)
            subprocess.run(mkfs + [images[-1]], check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        results = vm.run(program, images + [tar],
                         guest_script("/dev/vd" + chr(ord("a") + len(images))))
        failures = []
        for i, (name, _, _) in enumerate(FILE_SYSTEMS):
            try:
                counts, final = check(name, results, i, originals)
                print("%s: %d said renamed and on the card, %d said not written, "
                      "the run's final write said failed: %s" % (
                          name, counts["renamed"], counts["not written"], final))
                # The groups written before the failure said success; the
                # one that met it, not written.
                if not 0 < counts["renamed"] < FAIL_AT or not counts["not written"] or not final:
                    failures.append("%s: the card did not fail at rename %d" % (name, FAIL_AT))
            except (AssertionError, KeyError, ValueError) as e:
                failures.append(str(e))
        if failures:
            print(results.get("log", b"").decode(errors="replace")[-3000:])
            for failure in failures:
                print("FAILED " + failure)
            sys.exit(1)
        print("failing card: every picture where the console said, on %d file systems"
              % len(FILE_SYSTEMS))
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
