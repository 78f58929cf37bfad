#!/usr/bin/env bash
# Ctrl+C in a Windows console while the Windows program renames: Wine in
# tmux, with a Wine server of the test's own whose renames strace slows to
# 0.2 s; Wine hands Ctrl+C to the program as a console's CTRL_C_EVENT.
# After it every rename on the disk has its success line, the run says it
# was interrupted, the list file is gone, and the status is that of an
# interrupted console program (0xC000013A, of which Linux sees 0x3A).
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

wineboot -i </dev/null >/dev/null 2>&1
wineserver -k >/dev/null 2>&1 || true
wineserver -w
# Wine's server makes the renames: one of the test's own, slowed.
strace -f -qq -o /dev/null -e trace=rename -e inject=rename:delay_exit=200000 \
  wineserver -f -p </dev/null >/dev/null 2>&1 &
server=$!

make_pictures "$scratch"
# A shell trap with a handler is not inherited: the program gets Ctrl+C,
# and the shell lives on to say its status.
tmux_ -f /dev/null new-session -d -x 120 -y 80 -c "$scratch" \
  "bash -c 'trap : INT; wine \"$program\"; echo \"exit status \$?\"; sleep 600'"
wait_for "$(word Instruction3)" 60
tmux_ send-keys Cam1 Enter
wait_for "Cam1/2015-05-03 10-20-13.jpg" 30
tmux_ send-keys C-c
wait_for "exit status 58" 30
check_interrupted "$scratch"
