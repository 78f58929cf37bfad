#!/usr/bin/env bash
# Builds the zip for Windows users and checks what it holds: the program,
# the license and a README, the texts with CR LF line ends.
# Usage: zip_package_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G ZIP -B "$scratch" >/dev/null)
python3 - "$scratch"/stampwise-*-win64.zip <<'PY'
import sys, zipfile
path = sys.argv[1]
with zipfile.ZipFile(path) as z:
    names = sorted(n for n in z.namelist() if not n.endswith("/"))
    top = names[0].split("/")[0]
    expected = [top + "/" + n for n in ["LICENSE.txt", "README.txt", "stampwise.exe"]]
    assert names == expected, names
    assert z.read(top + "/stampwise.exe")[:2] == b"MZ"
    for text in ["LICENSE.txt", "README.txt"]:
        data = z.read(top + "/" + text)
        assert data.count(b"\n") == data.count(b"\r\n") > 0, text + ": not CR LF"
    assert b"MIT License" in z.read(top + "/LICENSE.txt")
    readme = z.read(top + "/README.txt").decode()
    for words in ["Double-click", "Not renamed", "ENTER"]:
        assert words in readme, words
print(path.rsplit("/", 1)[1] + ":", ", ".join(names))
PY
