#!/usr/bin/env bash
# The whole training pipeline at a tiny size: self-play games, scored PGN
# games turned into records, a network trained on both (also with rows
# shared by the king wings), the piece-square tuner, the whole-evaluation
# tuner with the engine searching on its file, and the engine loading the
# trained network and searching with it.
# Usage: tools/net_pipeline_smoke.sh BUILD_DIR (tools and engine built there)
set -euo pipefail
build=$1
data="$(cd "$(dirname "$0")/.." && pwd)/../shared/data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

openings="$data/openings/noob_3moves_20k.epd"
"$build/selfplay" -out "$work/sp.bin" -games 6 -nodes 1000 -hce -seed 1 "$openings" >/dev/null
# A run cut off in the middle of a game continues to the same data.
head -c 3000 "$work/sp.bin" > "$work/cut.bin"
"$build/selfplay" -out "$work/cut.bin" -games 6 -nodes 1000 -hce -seed 1 "$openings" >/dev/null
cmp "$work/sp.bin" "$work/cut.bin"
# Iterations finished past a soft node limit, openings a search finds
# lopsided left out: the games still give records.
"$build/selfplay" -out "$work/soft.bin" -games 4 -nodes 4000 -soft-nodes 500 -balance 100 -hce -seed 1 "$openings" \
  >/dev/null
test -s "$work/soft.bin"
"$build/pgn_to_records" "$work/pgn.bin" "$data/pgn/engine-games.pgn"
"$build/train_net" -epochs 2 -batch 1024 -lambda 0.7 -out "$work/net.nn" "$work/sp.bin" "$work/pgn.bin" | tee "$work/train.log"
grep -q "self-check" "$work/train.log"
# Rows shared by both king wings, folded into the file as it is written:
# the engine's scores of that file match the trainer's folded network.
"$build/train_net" -epochs 1 -batch 1024 -factorise -out "$work/factor.nn" "$work/sp.bin" "$work/pgn.bin" \
  > "$work/factor.log"
grep -Eq "self-check .* rounded weights max [01] cp" "$work/factor.log"
# The streamed path: merge and shuffle, train one epoch, then continue the
# run from its checkpoint for a second.
"$build/prepare_data" -out "$work/train.bin" -valid "$work/valid.bin" -tmp "$work" "$work/sp.bin" "$work/pgn.bin" \
  > "$work/prepare.log"
grep -q "training" "$work/prepare.log"
"$build/train_net" -epochs 1 -batch 1024 -window 5000 -valid "$work/valid.bin" -out "$work/stream.nn" \
  "$work/train.bin" >/dev/null
"$build/train_net" -epochs 2 -batch 1024 -window 5000 -valid "$work/valid.bin" -resume -out "$work/stream.nn" \
  "$work/train.bin" > "$work/resume.log"
grep -q "^resuming epoch 2" "$work/resume.log"
grep -q "^epoch 2 lr" "$work/resume.log"
"$build/tune_pst" -iterations 20 -min-count 50 -out "$work/params.txt" "$work/sp.bin" "$work/pgn.bin" >/dev/null
test "$(wc -l < "$work/params.txt")" -gt 900
# The whole evaluation, two rounds, towards half score and half result; the
# engine reads the file as params.txt from its folder without a misplaced
# name and searches differently.
mkdir "$work/full"
"$build/tune_eval" -iterations 20 -rounds 2 -min-count 50 -lambda 0.5 -out "$work/full/params.txt" \
  "$work/sp.bin" "$work/pgn.bin" >/dev/null
engine="$(cd "$build" && pwd)/zerv"
tuned=$(cd "$work/full" && "$engine" -use_hce -d 4 -bench)
test "$(echo "$tuned" | grep -c '^error')" -eq 0
test "$(echo "$tuned" | grep -o 'nodes= [0-9]*')" != "$("$engine" -use_hce -d 4 -bench | grep -o 'nodes= [0-9]*')"

answer=$(printf 'uci\nsetoption name NN_File value %s\nposition startpos moves e2e4\ngo depth 6\n' "$work/net.nn" \
  | (cat; sleep 3; echo quit) | "$build/zerv")
echo "$answer" | grep -q "info string loaded $work/net.nn"
echo "$answer" | grep -q "^bestmove [a-h][1-8][a-h][1-8]"
echo "pipeline smoke test passed"
