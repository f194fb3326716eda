#!/bin/bash
# Tuning-position speed: positions per second of "-mktune1" at a fixed
# depth, one thread, on game positions with results made by "-scan_pgn2"
# from the shared engine games. The engine's start-up is timed apart
# (-mkconfig) and taken off.
#
# Usage: tools/bench_mktune.sh ZERV DATA_DIR [POSITIONS] [DEPTH]
set -e
ZERV=$(realpath "$1")
DATA=$(realpath "$2")
POSITIONS=${3:-400}
DEPTH=${4:-4}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

"$ZERV" -scan_pgn2 "$DATA/pgn/engine-games.pgn" -o games.epd > /dev/null
# Every 50th position: openings, middle games and endings alike.
awk 'NR % 50 == 0' games.epd | head -n "$POSITIONS" > input.epd
count=$(wc -l < input.epd)

# Wall and processor seconds of one run, as "wall cpu".
seconds() {
  local TIMEFORMAT='%R %U %S'
  { time "$ZERV" "$@" > /dev/null < /dev/null 2>&1; } 2>&1 | awk '{ print $1, $2 + $3 }'
}
read -r startWall startCpu <<< "$(seconds -d "$DEPTH" -mkconfig)"
read -r wall cpu <<< "$(seconds -d "$DEPTH" -mktune1 input.epd -o tune.epd)"
written=$(wc -l < tune.epd)
awk -v n="$count" -v w="$written" -v d="$DEPTH" -v wall="$wall" -v cpu="$cpu" \
    -v sw="$startWall" -v sc="$startCpu" 'BEGIN {
  printf "mktune1 depth %d: %d positions (%d written), start-up taken off:\n", d, n, w
  printf "  %.2f s wall, %.0f positions per second\n", wall - sw, n / (wall - sw)
  printf "  %.2f s processor, %.0f positions per processor second\n", cpu - sc, n / (cpu - sc)
}'
