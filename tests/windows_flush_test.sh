#!/usr/bin/env bash
# The Windows program on a removable drive: every rename is flushed to the
# card, a read-only picture's too, through its folder; on a fixed disk
# nothing is. Wine runs as an unprivileged user (as root it ignores the
# read-only attribute), D: is made removable through Wine's registry, and
# Wine's relay trace counts the program's own FlushFileBuffers calls.
# Usage: windows_flush_test.sh STAMPWISE.EXE
set -euo pipefail
program=$(realpath "$1")
scratch=$(mktemp -d)
trap 'as_user wineserver -k >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
chown 65534:65534 "$scratch"
as_user() {
  setpriv --reuid=65534 --regid=65534 --clear-groups \
    env HOME="$scratch" WINEPREFIX="$scratch/prefix" WINEDEBUG="${debug:--all}" "$@"
}
success=$(python3 "$(dirname "$0")/words.py" Success)
as_user wineboot -i </dev/null >/dev/null 2>&1
as_user wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude \
  /d 'kernel32.FlushFileBuffers' /f </dev/null >/dev/null 2>&1

# drive type, the typed folder -> the program's flush calls: picture and
# folder for each of the two renames, but the read-only picture's own; the
# folder at the end. F: is a fixed drive that holds the card's folder too:
# the card is known by the folder opened, not by the name typed (Wine's
# GetVolumePathNameW follows a link, so a second drive letter stands in for
# a junction on a fixed drive).
rm -f "$scratch/prefix/dosdevices/f:"
ln -s "$scratch" "$scratch/prefix/dosdevices/f:"
as_user wine reg add 'HKLM\Software\Wine\Drives' /v 'f:' /d hd /f </dev/null >/dev/null 2>&1
for row in floppy:4:Cam1 hd:0:Cam1 floppy:4:F:/card-floppy-f/Cam1; do
  type=${row%%:*} expected=${row#*:} typed=${expected#*:} expected=${expected%%:*}
  card="$scratch/card-$type"
  [ "$typed" = Cam1 ] || card="$scratch/card-floppy-f"
  mkdir -p "$card/Cam1"
  echo picture2 >"$card/Cam1/2015-05-03 10-20-30 (2).JPG"
  echo picture3 >"$card/Cam1/2015-05-03 10-20-30 (3).JPG"
  chmod 444 "$card/Cam1/2015-05-03 10-20-30 (2).JPG"  # read-only, as a camera protects it
  chown -R 65534:65534 "$card"
  rm -f "$scratch/prefix/dosdevices/d:"
  ln -s "$card" "$scratch/prefix/dosdevices/d:"
  as_user wine reg add 'HKLM\Software\Wine\Drives' /v 'd:' /d "$type" /f </dev/null >/dev/null 2>&1
  as_user wineserver -w
  (cd "$card" && printf '%s\n\n' "$typed" | debug=+relay as_user env NO_STOP_MESSAGE=1 \
    wine "$program" >"$scratch/out" 2>"$scratch/err")
  renamed=$(grep -ac "^$success" "$scratch/out" || true)
  # The program's own calls return into the executable, loaded at 0x140000000.
  calls=$(grep -ac 'Call KERNEL32.FlushFileBuffers(.*ret=14' "$scratch/err" || true)
  failed=$(grep -a 'Ret  KERNEL32.FlushFileBuffers.*ret=14' "$scratch/err" |
    grep -vc 'retval=00000001' || true)
  if [ "$renamed" != 2 ] || [ "$calls" != "$expected" ] || [ "$failed" != 0 ]; then
    echo "drive $type: $renamed renamed, $calls flushes ($expected expected), $failed failed" >&2
    exit 1
  fi
  echo "drive $type, $typed typed: 2 renamed, a read-only picture among them; $calls flushes"
done
