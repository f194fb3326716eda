#!/usr/bin/env bash
# A match of two engines the way the networks and tunings were measured:
# fastchess, paired colours from the UHO openings in random order, one
# thread and 16 MB each, two games at a time, the PGN and the log kept.
#
# Usage: tools/match.sh NAME LIMIT ENGINE_A ENGINE_B [fastchess options...]
#   LIMIT    nodes=N (fixed nodes a move, for screening: load-proof) or
#            tc=5+0.05 (a time control, for what ships: run on a quiet machine)
#   ENGINE   "path[;option=value...]", e.g. "build/zerv;NN_File=/tmp/g3.nn"
#            or "/usr/games/ethereal-chess"; arguments after a space
# Extra options go to fastchess, e.g. -rounds 200, or an SPRT:
#   -sprt elo0=0 elo1=10 alpha=0.05 beta=0.1 model=normalized
# Environment: ZERV_OPENINGS (EPD file), ZERV_MATCH_DIR (output folder),
# ZERV_HASH (megabytes each, default 16), FASTCHESS (the binary).
set -euo pipefail
[ $# -ge 4 ] || { sed -n 2,14p "$0"; exit 2; }
name=$1 limit=$2 a=$3 b=$4
shift 4
here=$(cd "$(dirname "$0")/.." && pwd)
fastchess=${FASTCHESS:-$here/../shared/tools/fastchess}
openings=${ZERV_OPENINGS:-$here/../shared/data/openings/uho_4060_v3_20k.epd}
out=${ZERV_MATCH_DIR:-/tmp}
hash=${ZERV_HASH:-16}
mkdir -p "$out"

# "path;opt=v;opt=v" into fastchess engine arguments.
engine_args() {
  local desc=$1 label=$2 path rest
  path=${desc%%;*}
  local cmd=${path%% *} args=""
  [ "$cmd" != "$path" ] && args=${path#* }
  printf '%s\n' -engine "cmd=$cmd" "name=$label"
  [ -n "$args" ] && printf '%s\n' "args=$args"
  if [ "$desc" != "$path" ]; then
    rest=${desc#*;}
    IFS=';' read -ra opts <<< "$rest"
    for o in "${opts[@]}"; do printf '%s\n' "option.$o"; done
  fi
}

case $limit in
  nodes=*) each=(tc=inf "$limit") ;;
  tc=*) each=("$limit") ;;
  *) echo "LIMIT must be nodes=N or tc=T+I" >&2; exit 2 ;;
esac

mapfile -t ea < <(engine_args "$a" "${name}_A")
mapfile -t eb < <(engine_args "$b" "${name}_B")
"$fastchess" "${ea[@]}" "${eb[@]}" \
  -each proto=uci "${each[@]}" option.Threads=1 option.Hash="$hash" \
  -openings file="$openings" format=epd order=random \
  -repeat -concurrency 2 -recover \
  -pgnout file="$out/$name.pgn" \
  "$@" 2>&1 | tee "$out/$name.log"
