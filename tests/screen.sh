# Sourced by the tests that use the program in tmux as a person would: a
# tmux server of the test's own, and waiting for text to appear on screen.
# Set `socket` first.

tmux_() { tmux -L "$socket" "$@"; }

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
