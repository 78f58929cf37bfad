#!/usr/bin/env bash
# Runs two builds of the program on copies of the sample folder and fails
# unless their console output and the renamed folders are the same.
# Usage: same_output.sh "COMMAND A" "COMMAND B"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for side in a b; do
  mkdir -p "$scratch/$side"
  cp -r "$root/sample/Cam1" "$scratch/$side/"
done
(cd "$scratch/a" && printf 'Cam1\n\n' | NO_STOP_MESSAGE=1 $1 >../a.out)
(cd "$scratch/b" && printf 'Cam1\n\n' | NO_STOP_MESSAGE=1 $2 >../b.out)
cmp "$scratch/a.out" "$scratch/b.out"
diff <(cd "$scratch/a/Cam1" && ls | sort) <(cd "$scratch/b/Cam1" && ls | sort)
success=$(python3 "$(dirname "$0")/../tests/words.py" Success)
grep -q "^$success" "$scratch/a.out"
echo "same output: $(wc -c <"$scratch/a.out") bytes, $(grep -c "^$success" "$scratch/a.out") pictures renamed"
