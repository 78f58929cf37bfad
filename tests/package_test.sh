#!/usr/bin/env bash
# Builds the Debian package, has lintian judge it, unpacks it into a
# scratch root and runs the installed program on a copy of the sample folder.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$build" && cpack -G DEB -B "$scratch/pkg" >/dev/null)
deb=$(ls "$scratch"/pkg/stampwise_1.0.0_*.deb)
dpkg-deb --field "$deb" Package Version Section Depends Maintainer Description
dpkg-deb --field "$deb" Depends | grep -q 'libstdc++6'
# Debian's own judge: no error and no warning.
# Its status is 0 or 1 for a verdict (1: errors found); anything else, such
# as lintian failing to run at all, gives none, and fails the test.
status=0
lintian --tag-display-limit 0 "$deb" >"$scratch/lintian.out" 2>"$scratch/lintian.err" || status=$?
cat "$scratch/lintian.out"
if [ "$status" -gt 1 ]; then
  echo "lintian gave no verdict (status $status):" >&2
  cat "$scratch/lintian.err" >&2
  exit 1
fi
# `! cmd` would not stop a `set -e` script: each check below fails itself.
if [ "$status" -eq 1 ] || grep -qE '^[EW]: ' "$scratch/lintian.out"; then
  echo "lintian found errors or warnings" >&2
  exit 1
fi
dpkg -x "$deb" "$scratch/root"
test -x "$scratch/root/usr/bin/stampwise"
grep -q '^License: Expat' "$scratch/root/usr/share/doc/stampwise/copyright"
zcat "$scratch/root/usr/share/doc/stampwise/changelog.gz" | grep -q '^stampwise (1.0.0)'
zcat "$scratch/root/usr/share/man/man1/stampwise.1.gz" | groff -ww -z -man 2>&1 |
  tee "$scratch/groff.err"
test ! -s "$scratch/groff.err"

mkdir "$scratch/work"
cp -r "$source/sample/Cam1" "$scratch/work/"
cd "$scratch/work"
printf 'Cam1\n\n' | NO_STOP_MESSAGE=1 "$scratch/root/usr/bin/stampwise" >out
grep -c "^$(python3 "$source/tests/words.py" Success)" out | grep -qx 6
test "$(ls Cam1 | wc -l)" -eq 12
if ls Cam1 | grep -q -E '^.{19}(-|.[([])'; then
  echo "names left to rename" >&2
  exit 1
fi
test ! -e AllFiles.txt
echo "installed program renamed the sample folder"
