"""A small virtual machine for the tests that need the kernel's own card and
disk drivers (vfat, exfat, ntfs3, dm-log-writes), which the host kernel may
not have: QEMU boots Debian's cloud kernel, which scripts/install_deps.sh
unpacks into KERNEL_DIR, with an initramfs of busybox, those modules, the
statically linked program, and strace and dmsetup with their libraries. The host hands
disks in (file-system images, a raw tar of input) and reads a raw tar of
results back from the last disk. The VM is always stopped."""

import gzip
import os
import shutil
import subprocess
import sys
import tarfile
import tempfile

SKIP = 77
KERNEL_DIR = "/var/cache/stampwise/kernel"
MODULES = ["virtio_blk", "fat", "vfat", "exfat", "ntfs3", "nls_cp437", "nls_ascii",
           "nls_iso8859-1", "nls_utf8", "dm-mod", "dm-log-writes", "dm-delay"]
RESULTS_MIB = 64


def require(test, tools):
    """Ends the test with the skip status, or as a failure under CI, when
    this machine lacks what the VM or the test (`tools`) needs, and says
    what in one line."""
    lacking = [t for t in ["qemu-system-x86_64", "busybox", "cpio", "strace", "dmsetup"] + tools
               if shutil.which(t) is None]
    if not os.path.exists(os.path.join(KERNEL_DIR, "vmlinuz")):
        lacking.append(KERNEL_DIR)
    if lacking:
        print("%s: skipped, this machine lacks: %s" % (test, ", ".join(lacking)))
        sys.exit(1 if os.environ.get("CI") == "true" else SKIP)


def _copy_with_libraries(program, root):
    """A dynamically linked host program and the libraries it loads."""
    shutil.copy(program, os.path.join(root, "bin", os.path.basename(program)))
    libraries = subprocess.run(["ldd", program], capture_output=True, text=True).stdout
    for word in libraries.split():
        if word.startswith("/"):
            target = root + word
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copy(word, target)


def _initramfs(scratch, program, script, results, tools):
    root = os.path.join(scratch, "initramfs")
    for d in ["bin", "mod", "mnt", "proc", "sys", "dev", "tmp"]:
        os.makedirs(os.path.join(root, d), exist_ok=True)
    shutil.copy(shutil.which("busybox"), os.path.join(root, "bin", "busybox"))
    shutil.copy(program, os.path.join(root, "bin", "stampwise"))
    for tool in tools:
        shutil.copy(tool, os.path.join(root, "bin", os.path.basename(tool)))
    for tool in ["strace", "dmsetup"]:
        _copy_with_libraries(shutil.which(tool), root)
    for module in MODULES:
        shutil.copy(os.path.join(KERNEL_DIR, module + ".ko"), os.path.join(root, "mod"))
    with open(os.path.join(root, "init"), "w") as f:
        f.write("#!/bin/busybox sh\n"
                "/bin/busybox --install -s /bin\n"
                "mount -t proc proc /proc; mount -t sysfs sys /sys; mount -t devtmpfs dev /dev\n"
                "for m in %s; do insmod /mod/$m.ko; done\n"
                "mkdir -p /results\n"
                "(\n%s\n) > /results/log 2>&1\n"
                "tar -cf %s -C /results .\n"
                "sync\n"
                "poweroff -f\n" % (" ".join(MODULES), script, results))
    os.chmod(os.path.join(root, "init"), 0o755)
    listing = subprocess.run(["find", "."], cwd=root, capture_output=True, check=True).stdout
    archive = subprocess.run(["cpio", "-o", "-H", "newc"], cwd=root, input=listing,
                             capture_output=True, check=True).stdout
    path = os.path.join(scratch, "initrd.gz")
    with gzip.open(path, "wb", compresslevel=1) as f:
        f.write(archive)
    return path


def run(program, disks, script, timeout=600, tools=()):
    """Boots the VM with `disks` (image paths, in order /dev/vda, /dev/vdb,
    ...) and one results disk after them, runs `script` (busybox sh; what it
    leaves in /results comes back, its output as 'log') and
    returns {name: bytes} of /results, with the guest's console as 'console'.
    `tools`: statically linked programs of the host's to put in /bin."""
    scratch = tempfile.mkdtemp(prefix="stampwise-vm-")
    try:
        initrd = _initramfs(scratch, program, script, "/dev/vd" + chr(ord("a") + len(disks)),
                            tools)
        results = os.path.join(scratch, "results")
        with open(results, "wb") as f:
            f.truncate(RESULTS_MIB << 20)
        argv = ["qemu-system-x86_64", "-accel", "tcg", "-cpu", "max", "-m", "1024",
                "-nographic", "-no-reboot", "-kernel", os.path.join(KERNEL_DIR, "vmlinuz"),
                "-initrd", initrd, "-append", "console=ttyS0 quiet panic=-1"]
        for disk in disks + [results]:
            argv += ["-drive", "file=%s,if=virtio,format=raw" % disk]
        with subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT) as qemu:
            try:
                console = qemu.communicate(timeout=timeout)[0]
            finally:
                qemu.kill()
        found = {"console": console}
        try:
            with tarfile.open(results) as t:
                for member in t.getmembers():
                    if member.isfile():
                        found[os.path.normpath(member.name)] = t.extractfile(member).read()
        except tarfile.ReadError:
            pass  # the guest never got to write them: its console says why
        return found
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
