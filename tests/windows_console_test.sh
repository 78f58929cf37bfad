#!/usr/bin/env bash
# The Windows program in a real console, as a user in a console window whose
# code page is not UTF-8 meets it: Wine's cmd in tmux, set to code page 850.
# Typed folder names outside ASCII must arrive intact, the echo lines must
# show them, and the console must keep its code page after the run.
# Usage: windows_console_test.sh STAMPWISE.EXE
set -euo pipefail
program=$1
scratch=$(mktemp -d)
socket="stampwise-console-$$"
source "$(dirname "$0")/screen.sh"
trap 'tmux_ kill-server >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT
export LANG=C.UTF-8 WINEDEBUG=-all

folders=("Kamera_Süd" "Фото_1")
for folder in "${folders[@]}"; do
  mkdir "$scratch/$folder"
  printf jpeg >"$scratch/$folder/2015-05-03 10-20-30 (2).JPG"
done
tmux_ -f /dev/null new-session -d -x 120 -y 50 -c "$scratch" "wine cmd"

# Clears the screen and runs one cmd command.
type_command() {
  tmux_ send-keys cls Enter
  sleep 0.5
  tmux_ send-keys "$1" Enter
}

wait_for ">" 30
type_command "chcp 850"
wait_for "Active code page: 850"
for folder in "${folders[@]}"; do
  type_command "Z:$program"
  wait_for "$(word Instruction3)" 30
  tmux_ send-keys "$folder" Enter
  wait_for "$(word Closing)"
  # The run's own held list must not keep it there until the window closes.
  test ! -e "$scratch/AllFiles.txt"
  wait_for " $folder/2015-05-03 10-20-30 (2).JPG"
  wait_for "$(word Success)"
  tmux_ send-keys Enter
  wait_for "$(word Stop)"
  test -e "$scratch/$folder/2015-05-03 10-20-31.jpg"
  type_command "chcp"
  wait_for "Active code page: 850"
done
echo "typed names arrived intact; the console kept code page 850"
