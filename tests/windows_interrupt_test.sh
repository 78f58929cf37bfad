#!/usr/bin/env bash
# Ctrl+C in a Windows console while the Windows program renames on a
# removable drive: Wine in tmux, with a Wine server of the test's own whose
# renames strace slows to 0.2 s; Wine hands Ctrl+C to the program as a
# console's CTRL_C_EVENT. After it every rename on the disk has its success
# line, the run says it was interrupted, the list file is gone, and the
# status is that of an interrupted console program (0xC000013A, of which
# Linux sees 0x3A). Then the same with the output piped into a reader that
# the same Ctrl+C ends (`stampwise | more`): the writes that fail after it
# change nothing.
# Usage: windows_interrupt_test.sh STAMPWISE.EXE
set -euo pipefail
program=$(realpath "$1")
scratch=$(mktemp -d)
socket="stampwise-winint-$$"
source "$(dirname "$0")/screen.sh"
export LANG=C.UTF-8 WINEDEBUG=-all WINEPREFIX="$scratch/prefix"
server=""
trap 'tmux_ kill-server >/dev/null 2>&1 || true; wineserver -k >/dev/null 2>&1 || true
      [ -z "$server" ] || kill "$server" 2>/dev/null || true; rm -rf "$scratch"' EXIT

# D: is a removable drive, the card, where each rename is flushed.
card="$scratch/card"
mkdir "$card"
wineboot -i </dev/null >/dev/null 2>&1
ln -s "$card" "$WINEPREFIX/dosdevices/d:"
wine reg add 'HKLM\Software\Wine\Drives' /v 'd:' /d floppy /f </dev/null >/dev/null 2>&1

# Starts the program on D:, its output through `$1`, and presses Ctrl+C
# once it renames; its status lands in $scratch/status. Each run has a
# Wine server of its own, which makes the renames: slowed.
interrupt() {
  tmux_ kill-server >/dev/null 2>&1 || true
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  strace -f -qq -o /dev/null -e trace=rename -e inject=rename:delay_exit=200000 \
    wineserver -f -p </dev/null >/dev/null 2>&1 &
  server=$!
  rm -rf "$card/Cam1" "$scratch/status"
  make_pictures "$card"
  sleep 1  # the server ready, before a program would start one of its own
  # A shell trap with a handler is not inherited: the program gets Ctrl+C,
  # and the shell lives on to say its status.
  tmux_ -f /dev/null new-session -d -x 120 -y 80 -c "$card" \
    "bash -c 'trap : INT; wine \"$program\" $1; echo \${PIPESTATUS[0]} > \"$scratch/status\"; sleep 600'"
  wait_for "$(word Instruction3)" 60
  # Through a pipe the banner shows before Wine's console has taken the
  # terminal to read from it: typed earlier, the ENTER would be a line feed.
  sleep 1
  tmux_ send-keys Cam1 Enter
  wait_for "Cam1/2015-05-03 10-20-13.jpg" 30
  tmux_ send-keys C-c
  for _ in $(seq 300); do [ -s "$scratch/status" ] && break; sleep 0.1; done
  test "$(cat "$scratch/status")" -eq 58
}

interrupt ""
check_interrupted "$card"
interrupt "| cat"
test ! -e "$card/AllFiles.txt"
test "$(ls "$card/Cam1" | wc -l)" -eq 50
echo "output piped into a reader that Ctrl+C ended: the list removed, status 58"
