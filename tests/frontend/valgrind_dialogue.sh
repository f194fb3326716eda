#!/usr/bin/env bash
# A short UCI dialogue under Valgrind's memory checker: start-up, a search
# to depth 6 after a few moves, quit. Any invalid read or write, use of an
# uninitialised value or definite leak fails the run.
#   valgrind_dialogue.sh ENGINE
set -euo pipefail
engine=$1
log=$(mktemp)
trap 'rm -f "$log"' EXIT
coproc ENGINE_PROC { valgrind --quiet --error-exitcode=1 --leak-check=full \
  --errors-for-leak-kinds=definite --log-file="$log" "$engine" 2>&1; }
send() { printf '%s\n' "$1" >&"${ENGINE_PROC[1]}"; }
send uci
send isready
send "position startpos moves e2e4 c7c5 g1f3"
send "go depth 6"
answer=""
while IFS= read -r -t 600 line <&"${ENGINE_PROC[0]}"; do
  case $line in bestmove*) answer=$line; break ;; esac
done
send quit
pid=$ENGINE_PROC_PID
status=0
wait "$pid" || status=$?
cat "$log"
if [ -z "$answer" ]; then
  echo "valgrind dialogue: no bestmove" >&2
  exit 1
fi
echo "valgrind dialogue: $answer, exit status $status"
exit "$status"
