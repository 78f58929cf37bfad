# Sourced by the tests that use the program in tmux as a person would: a
# tmux server of the test's own, waiting for text to appear on screen, and
# the program's words (word NAME, as console/words.hpp has kNAME). Set
# `socket` first.

tmux_() { tmux -L "$socket" "$@"; }
words_py="$(dirname "${BASH_SOURCE[0]}")/words.py"
word() { python3 "$words_py" "$@"; }

# Waits until the screen shows $1, at most $2 seconds (10 by default).
wait_for() {
  for _ in $(seq $((${2:-10} * 10))); do
    tmux_ capture-pane -p | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  echo "never appeared on the screen: $1"
  tmux_ capture-pane -p
  return 1
}

# Fifty pictures of one minute in $1/Cam1, each holding its own bytes.
make_pictures() {
  mkdir "$1/Cam1"
  for s in $(seq 10 59); do printf 'jpeg %s' "$s" >"$1/Cam1/2015-05-03 10-20-$s (2).JPG"; done
}

# The pictures of $1/Cam1 renamed so far.
renamed_in() { ls "$1/Cam1" | grep -vc '(2)' || true; }

# After Ctrl+C: the screen says the run was interrupted after as many
# renames as $1/Cam1 shows, each with its success line; none lost, the list
# file gone, no closing line. Returns 1 otherwise.
check_interrupted() {
  local screen renamed said
  screen=$(tmux_ capture-pane -p -S -)
  renamed=$(renamed_in "$1")
  said=$(grep -c "^$(word Success)" <<<"$screen" || true)
  grep -qxF -- "$(word interrupted "$renamed")" <<<"$screen" || return 1
  [ "$said" -eq "$renamed" ] && [ "$renamed" -lt 50 ] || return 1
  [ "$(ls "$1/Cam1" | wc -l)" -eq 50 ] && [ ! -e "$1/AllFiles.txt" ] || return 1
  if grep -qF -- "$(word Closing)" <<<"$screen"; then return 1; fi
  echo "interrupted after $renamed renames, each said"
}
