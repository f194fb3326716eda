#!/usr/bin/env bash
# Seed inputs taken from the shared test data at run time (nothing large
# or copied from elsewhere is committed): make_corpus.sh DATA_DIR OUT_DIR
# fills OUT_DIR/<harness>/ for the harnesses whose inputs are data files.
set -eu  # no pipefail: "head" closing a pipe early is intended here
data=$1
out=$2
repo=$(cd "$(dirname "$0")/../.." && pwd)

seed() {  # seed HARNESS NAME < content
  mkdir -p "$out/$1"
  cat > "$out/$1/$2"
}

# FEN: the perft collections' positions (first four fields) and the
# Polyglot key positions, one per file.
n=0
for f in "$data"/perft/standard.perft "$data"/perft/tricky.perft; do
  grep '^epd ' "$f" | cut -c5- | while read -r fen; do
    n=$((n + 1)); printf '%s' "$fen" | seed fen "perft-$(basename "$f" .perft)-$n"
  done
done
head -n 40 "$data/polyglot-keys.txt" | grep -v '^#' | cut -d'|' -f1 | sed 's/ *$//' |
  awk '{ print > "'"$out"'/fen/keys-" NR }' 2>/dev/null || true
grep '^epd ' "$data/perft/chess960.perft" | head -n 20 | cut -c5- |
  awk '{ print > "'"$out"'/fen/chess960-" NR }'

# EPD: a few lines of each test suite per file.
mkdir -p "$out/epd"
for f in "$data"/epd/*.epd; do
  head -n 6 "$f" | seed epd "$(basename "$f" .epd)-head"
done
head -n 4 "$data/openings/frc_3moves_10k.epd" | seed epd frc

# PGN: the small sample files whole and the first games of the big one.
mkdir -p "$out/pgn"
for f in "$data"/pgn/samples/*.pgn; do
  [ "$(stat -c %s "$f")" -le 65536 ] && head -c 65536 "$f" | seed pgn "$(basename "$f" .pgn)"
done
awk '/^\[Event /{ games++ } games <= 3' "$data/pgn/engine-games.pgn" | seed pgn engine-games-3

# Polyglot books: the small book whole and slices of whole entries of the
# large one (its start, and a run from the middle).
cat "$data/books/lasker-trap.bin" | seed book lasker-trap
head -c $((16 * 64)) "$data/books/performance.bin" | seed book performance-head
dd if="$data/books/performance.bin" bs=16 skip=40000 count=128 status=none |
  seed book performance-middle

# Networks: the built-in network whole and cut short after its header.
cat "$repo/nets/builtin.nn" | seed network builtin
head -c 18 "$repo/nets/builtin.nn" | seed network header
head -c 4096 "$repo/nets/builtin.nn" | seed network short

# Syzygy: a table number (the harness's own list) and the table's bytes.
tables=(KQvK.rtbw KQvK.rtbz KRvK.rtbw KRvK.rtbz KPvK.rtbw KPvK.rtbz KBNvK.rtbw KRvKR.rtbz
        KPPvK.rtbz KPvKP.rtbz KQvKR.rtbw KBvKP.rtbz)
for i in "${!tables[@]}"; do
  { printf "\\x$(printf '%02x' "$i")"; cat "$data/syzygy/${tables[$i]}"; } | seed syzygy "${tables[$i]}"
done
