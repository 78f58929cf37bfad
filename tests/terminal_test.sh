#!/usr/bin/env bash
# The program in a real pseudo-terminal, used as a person would: wait until
# the instructions are on the screen, type the folder name, wait for the
# closing line, press ENTER. A prompt still sitting in a buffer while the
# program waits for input makes this fail.
# Usage: terminal_test.sh STAMPWISE SOURCE_DIR
set -euo pipefail
program=$1
source=$2
scratch=$(mktemp -d)
socket="stampwise-test-$$"
source "$(dirname "$0")/screen.sh"
trap 'tmux_ kill-server >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT

cp -r "$source/sample/Cam1" "$scratch/"
tmux_ -f /dev/null new-session -d -x 100 -y 50 -c "$scratch" \
  "'$program'; echo \"exit status \$?\"; sleep 600"

wait_for "$(word Instruction3)"
tmux_ send-keys Cam1 Enter
wait_for "$(word Closing)"
screen=$(tmux_ capture-pane -p)
test "$(grep -c "^$(word Success)" <<<"$screen")" -eq 6
grep -qF "$(word Success)                      Cam1/2015-05-03 10-20-32.jpg" <<<"$screen"
# The list is gone once the closing line is shown, not only at the end.
test ! -e "$scratch/AllFiles.txt"
tmux_ send-keys Enter
wait_for "exit status 0"
test "$(ls "$scratch/Cam1" | wc -l)" -eq 12
test -e "$scratch/Cam1/2015-05-04 00-00-01.jpg"
test ! -e "$scratch/AllFiles.txt"
echo "terminal dialogue as expected"
