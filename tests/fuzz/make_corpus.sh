#!/usr/bin/env bash
# Seed inputs taken from the shared test data at run time (nothing large
# or copied from elsewhere is committed): make_corpus.sh DATA_DIR OUT_DIR
# fills OUT_DIR/<harness>/ for the harnesses whose inputs are data files.
set -eu  # no pipefail: "head" closing a pipe early is intended here
data=$1 out=$2
repo=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$out"/{fen,epd,pgn,book,network,syzygy}
seed() { cat > "$out/$1/$2"; }  # seed HARNESS NAME < content
# One line per file: awk writes line NR of its input to OUT_DIR/fen/PREFIX-NR.
split_lines() { awk -v dir="$out/fen" -v prefix="$1" '{ printf "%s", $0 > (dir "/" prefix "-" NR) }'; }

# FEN: the perft collections' positions (the text after "epd ") and the
# Polyglot key positions.
for kind in standard tricky; do grep '^epd ' "$data/perft/$kind.perft" | cut -c5- | split_lines "perft-$kind"; done
grep '^epd ' "$data/perft/chess960.perft" | head -n 20 | cut -c5- | split_lines chess960
head -n 40 "$data/polyglot-keys.txt" | grep -v '^#' | cut -d'|' -f1 | sed 's/ *$//' | split_lines keys

# EPD: a few lines of each test suite per file.
for f in "$data"/epd/*.epd; do head -n 6 "$f" | seed epd "$(basename "$f" .epd)-head"; done
head -n 4 "$data/openings/frc_3moves_10k.epd" | seed epd frc

# PGN: the small sample files whole and the first games of the big one.
for f in "$data"/pgn/samples/*.pgn; do
  [ "$(stat -c %s "$f")" -le 65536 ] && seed pgn "$(basename "$f" .pgn)" < "$f"
done
awk '/^\[Event /{ games++ } games <= 3' "$data/pgn/engine-games.pgn" | seed pgn engine-games-3

# Polyglot books: the small book whole and slices of whole entries of the
# large one (its start, and a run from the middle).
seed book lasker-trap < "$data/books/lasker-trap.bin"
head -c $((16 * 64)) "$data/books/performance.bin" | seed book performance-head
dd if="$data/books/performance.bin" bs=16 skip=40000 count=128 status=none | seed book performance-middle

# Networks: the built-in network whole and cut short after its header.
seed network builtin < "$repo/nets/builtin.nn"
head -c 18 "$repo/nets/builtin.nn" | seed network header
head -c 4096 "$repo/nets/builtin.nn" | seed network short

# Syzygy: a table number (the harness's own list) and the table's bytes.
tables=(KQvK.rtbw KQvK.rtbz KRvK.rtbw KRvK.rtbz KPvK.rtbw KPvK.rtbz KBNvK.rtbw KRvKR.rtbz
        KPPvK.rtbz KPvKP.rtbz KQvKR.rtbw KBvKP.rtbz)
for i in "${!tables[@]}"; do
  { printf "\\x$(printf '%02x' "$i")"; cat "$data/syzygy/${tables[$i]}"; } | seed syzygy "${tables[$i]}"
done
