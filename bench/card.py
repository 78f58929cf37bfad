"""The program on a model of an SD card, on the kernel's own drivers in the
tests' small VM (tests/vm.py): a device-mapper `delay` device, 2 ms a
write and 15 ms a cache flush, under vfat, vfat mounted with `flush` as
desktops mount cards, and exfat, on small cards (512-byte clusters for
FAT32) and as cards come formatted: FAT32 with 32 KiB clusters (cards of 4
to 32 GB) and exFAT with 128 KiB (64 GB and up). For each, a folder of
1 000 pictures in bursts of two (500 renamed) is put on a fresh card; the
program's run is timed, then the very same rename attempts, read back from
its echo lines, are replayed with a bare loop of renameat2(RENAME_NOREPLACE)
and one sync at its end, as the program ends with one, on a fresh copy of
the card, and both folders must end alike. Prints the medians of three
runs and their ratio; and, from one more run of the program through
dm-log-writes, the card's writes and flushes for each rename.

cmake -S . -B build -DSTAMPWISE_REQUIRE_TESTS=ON && cmake --build build &&
python3 bench/card.py build"""

import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tarfile
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
import pictures  # noqa: E402
import power_cut_test  # noqa: E402  (the dm-log-writes log's reader)
import vm  # noqa: E402
from words import WORDS  # noqa: E402

# An empty card: its mkfs command and size in MiB. A fresh card is the first
# 16 MiB of one, where FAT and exFAT keep everything but the files' data.
CARDS = [
    (["mkfs.vfat", "-F", "32"], 40),                      # 512-byte clusters
    (["mkfs.exfat"], 40),
    (["mkfs.vfat", "-F", "32", "-s", "64"], 2100),        # 32 KiB clusters
    (["mkfs.exfat", "-c", "128K"], 1024),                 # 128 KiB clusters
]
# name, which empty card, mount options
MOUNTS = [("vfat", 0, "-t vfat"), ("vfat flush", 0, "-t vfat -o flush"), ("exfat", 1, "-t exfat"),
          ("vfat 32K", 2, "-t vfat"), ("exfat 128K", 3, "-t exfat")]
WRITE_MS, FLUSH_MS = 2, 15
LOG_MIB = 256


def guest_script(runs, card, tar, logs):
    """Times each run from /proc/uptime; leaves NAME.RUN.{program,plain,same},
    and NAME.logged, the output of a run through dm-log-writes."""
    lines = ["now() { cut -d' ' -f1 /proc/uptime; }",
             "size=$(blockdev --getsz %s)" % card,
             # an empty card, made on the host, copied and filled
             "fresh() { dd if=$1 of=%s bs=1M count=16 2>/dev/null && mount $2 %s /mnt && "
             "tar -xf %s -C /mnt && umount /mnt && sync && echo 3 > /proc/sys/vm/drop_caches; }"
             % (card, card, tar),
             # reads plain, writes and flushes delayed
             "table=\"0 $size delay %s 0 0 %s 0 %d %s 0 %d\"" % (card, card, WRITE_MS, card,
                                                                  FLUSH_MS)]
    for i, (_, empty, options) in enumerate(MOUNTS):
        fresh = "fresh /dev/vd%s \"%s\"" % (chr(ord("a") + empty), options)
        for run in range(runs):
            for what in ["program", "plain"]:
                lines.append("""
{fresh}
dmsetup create slow --table "$table" && dmsetup mknodes
mount {o} /dev/mapper/slow /mnt && mkdir -p /tmp/w && cd /mnt
start=$(now)
if [ {what} = program ]; then
  printf 'Cam1\\n\\n' | NO_STOP_MESSAGE=1 /bin/stampwise > /tmp/out.{i}.{run} 2>/dev/null
else
  /bin/stampwise_replay_static --echo /tmp/out.{i}.{run} Cam1 > /dev/null && sync
fi
end=$(now)
ls Cam1 > /tmp/{what}.list
cd /; umount /mnt; dmsetup remove slow
echo "$start $end" > /results/{i}.{run}.{what}
""".format(fresh=fresh, o=options, i=i, run=run, what=what))
            lines.append("cmp -s /tmp/program.list /tmp/plain.list && touch /results/%d.%d.same"
                         % (i, run))
        # Every write of one more run, logged; the card filled before.
        lines.append("""
{fresh}
dmsetup create lw --table "0 $size log-writes {card} {log}" && dmsetup mknodes
mount {o} /dev/mapper/lw /mnt && cd /mnt
printf 'Cam1\\n\\n' | NO_STOP_MESSAGE=1 /bin/stampwise > /results/{i}.logged 2>/dev/null
cd /; umount /mnt; dmsetup remove lw
""".format(fresh=fresh, card=card, log=logs[i], o=options, i=i))
    return "\n".join(lines)


def seconds(results, key):
    start, end = results[key].split()
    return float(end) - float(start)


def per_rename(log, renamed):
    """The card's writes and flushes for each rename, from a dm-log-writes
    log: a write is an entry with sectors, a flush one that asks for it."""
    entries, _ = power_cut_test.read_log(log)
    flags = [(f, n) for f, _, n, _, _ in entries if not f & power_cut_test.LOG_MARK]
    writes = sum(1 for f, n in flags if n and not f & power_cut_test.LOG_DISCARD)
    flushes = sum(1 for f, _ in flags if f & power_cut_test.LOG_FLUSH)
    return writes / renamed, flushes / renamed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", help="the build folder, with tests/stampwise_static")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--pictures", type=int, default=1000)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    program = os.path.join(build, "tests", "stampwise_static")
    replay = os.path.join(build, "bench", "stampwise_replay_static")
    vm.require("card benchmark", ["mkfs.vfat", "mkfs.exfat"])
    scratch = tempfile.mkdtemp(prefix="stampwise-card-")
    results = {}
    try:
        folder = os.path.join(scratch, "Cam1")
        pictures.make_bursts(folder, args.pictures, random.Random(1), burst=2)
        tar = os.path.join(scratch, "input.tar")
        with tarfile.open(tar, "w", format=tarfile.USTAR_FORMAT) as t:
            t.add(folder, arcname="Cam1")
        images = []
        for i, (mkfs, mib) in enumerate(CARDS + [(None, max(m for _, m in CARDS))]):
            images.append(os.path.join(scratch, "%d.img" % i))
            with open(images[-1], "wb") as f:
                f.truncate(mib << 20)
            if mkfs:
                subprocess.run(mkfs + [images[-1]], check=True, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
        logs = []
        for i in range(len(MOUNTS)):
            logs.append(os.path.join(scratch, "log%d.img" % i))
            with open(logs[-1], "wb") as f:
                f.truncate(LOG_MIB << 20)
        devices = ["/dev/vd%s" % chr(ord("a") + n) for n in range(len(images) + 1 + len(logs))]
        card, tar_device = devices[len(images) - 1], devices[len(images)]
        raw = vm.run(program, images + [tar] + logs,
                     guest_script(args.runs, card, tar_device, devices[len(images) + 1:]),
                     timeout=3000, tools=[replay])
        results = {k: v.decode() for k, v in raw.items() if k != "console"}
        if os.environ.get("STAMPWISE_CARD_LOG"):
            print(results.get("log", "")[-4000:])
        print("%-11s %10s %10s %7s %9s %9s   (median of %d; %d ms a write, %d ms a flush)"
              % ("mount", "program s", "plain s", "ratio", "writes/r", "flushes/r", args.runs,
                 WRITE_MS, FLUSH_MS))
        for i, (name, _, _) in enumerate(MOUNTS):
            prog = [seconds(results, "%d.%d.program" % (i, r)) for r in range(args.runs)]
            plain = [seconds(results, "%d.%d.plain" % (i, r)) for r in range(args.runs)]
            alike = all("%d.%d.same" % (i, r) in results for r in range(args.runs))
            renamed = results["%d.logged" % i].count(WORDS["kSuccess"])
            writes, flushes = per_rename(logs[i], renamed)
            print("%-11s %10.2f %10.2f %7.2f %9.2f %9.2f%s" % (
                name, statistics.median(prog), statistics.median(plain),
                statistics.median(p / q for p, q in zip(prog, plain)), writes, flushes,
                "" if alike else "   FOLDERS DIFFER"))
    except KeyError as e:
        print("the guest left no result %s:\n%s" % (e, results.get("log", "")[-3000:]))
        sys.exit(1)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
