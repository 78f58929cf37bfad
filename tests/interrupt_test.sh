#!/usr/bin/env bash
# Ctrl+C in a real pseudo-terminal while the program renames, slowed by
# strace to 0.2 s a rename: while it runs, the screen keeps up with the
# disk; after Ctrl+C, every rename on the disk has its success line, the
# run says it was interrupted, nothing is left behind, and the status is
# that of Ctrl+C (130). Then the terminal closed under a run: its hangup
# ends the run as Ctrl+C does, though no line can reach the screen any
# more: the list file removed, the status the hangup's (129).
# Usage: interrupt_test.sh STAMPWISE
set -euo pipefail
program=$1
scratch=$(mktemp -d)
socket="stampwise-interrupt-$$"
source "$(dirname "$0")/screen.sh"
trap 'tmux_ kill-server >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT

# The program slowed, in a tmux session; a shell trap with a handler is not
# inherited: the program gets the interrupt, and the shell lives on to
# write its status into $scratch/status.
start_slowed() {
  rm -rf "$scratch/Cam1" "$scratch/status"
  make_pictures "$scratch"
  tmux_ -f /dev/null new-session -d -x 100 -y 50 -c "$scratch" \
    "bash -c 'trap : INT HUP; strace -f -qq -o /dev/null -e trace=renameat2 \
       -e inject=renameat2:delay_exit=200000 \"$program\"; echo \$? > status; sleep 600'"
  wait_for "$(word Instruction3)"
  tmux_ send-keys Cam1 Enter
  wait_for "Cam1/2015-05-03 10-20-13.jpg"
}

# Waits for the status, at most 20 s; says it.
status() {
  for _ in $(seq 200); do [ -s "$scratch/status" ] && break; sleep 0.1; done
  cat "$scratch/status"
}

start_slowed
said() { tmux_ capture-pane -p -S - | grep -c "^$(word Success)" || true; }
# Each attempt shows within about 0.2 s of its end: at most one rename
# ahead of the screen, and its line a moment later.
for _ in 1 2 3; do
  on_disk=$(renamed_in "$scratch")
  sleep 0.3
  test "$(said)" -ge "$on_disk"
done
tmux_ send-keys C-c
test "$(status)" -eq 130
check_interrupted "$scratch"

tmux_ kill-server
start_slowed
tmux_ kill-server  # the terminal's window closed
test "$(status)" -eq 129
test ! -e "$scratch/AllFiles.txt"
test "$(ls "$scratch/Cam1" | wc -l)" -eq 50
echo "terminal closed after $(renamed_in "$scratch") renames: the list removed, status 129"
