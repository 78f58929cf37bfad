#!/usr/bin/env bash
# Another program beside the Windows program under Wine, played by
# windows_helper: one that holds the picture folder's lock as a run with
# other rights (an administrator's) holds it, with a security that lets no
# other run open it; and one that holds the list file open without sharing
# it. Each time the run says why on standard error, writes the problem
# message, and renames nothing.
# Usage: windows_another_program_test.sh STAMPWISE.EXE WINDOWS_HELPER.EXE
set -euo pipefail
program=$(realpath "$1")
helper=$(realpath "$2")
words="$(dirname "$(realpath "$0")")/words.py"
scratch=$(mktemp -d)
export WINEDEBUG=-all WINEPREFIX="$scratch/prefix"
trap 'exec 3>&- || true; wineserver -k >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT
cd "$scratch"
mkdir Cam1
printf jpeg >"Cam1/2015-05-03 10-20-30 (2).JPG"
wineboot -i </dev/null >/dev/null 2>&1

# what the helper does, and to which name | what the run says of it
rows=("lock Cam1|Cam1: $(python3 "$words" AnotherRunInFolder)"
      "hold AllFiles.txt|AllFiles.txt: The file is in use by another program")
for row in "${rows[@]}"; do
  rm -f holding held
  mkfifo holding
  # shellcheck disable=SC2086
  wine "$helper" ${row%%|*} <holding >held 2>&1 &
  exec 3>holding
  for _ in $(seq 300); do grep -q ready held && break; sleep 0.1; done
  grep -q ready held
  printf 'Cam1\n\n' | NO_STOP_MESSAGE=1 wine "$program" >out 2>err
  exec 3>&-
  wait
  said=$(tr -d '\r' <err)
  if [ "$said" != "${row#*|}" ] || ! grep -qF "$(python3 "$words" Problem)" out ||
     [ ! -e "Cam1/2015-05-03 10-20-30 (2).JPG" ]; then
    echo "another program, ${row%%|*}: the run said '$said'" >&2
    exit 1
  fi
  echo "another program, ${row%%|*}: '$said', nothing renamed"
done
