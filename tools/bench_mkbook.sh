#!/bin/sh
# Book creation speed, games per second, side by side with Debian's
# "polyglot make-book" on the same file when it is installed.
#
# The shared PGN files are concatenated COPIES times over. Polyglot reads
# neither games that start from a "[FEN" tag nor a byte-order mark, so the
# side-by-side file holds the standard-start samples only; Zerv alone is
# also timed on all shared files.
#
# Usage: tools/bench_mkbook.sh ZERV DATA_DIR [COPIES]   (COPIES rounded up to a power of two)
set -e
ZERV=$(realpath "$1")
DATA=$(realpath "$2")
COPIES=${3:-4096}
POLYGLOT=$(command -v polyglot || ls /usr/games/polyglot 2>/dev/null || true)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

S="$DATA/pgn/samples"
STANDARD="$S/anastasian-lewis.pgn $S/chessbase-empty-line.pgn $S/kasparov-deep-blue-1997.pgn \
$S/molinari-bordais-1979.pgn $S/nepomniachtchi-liren-game1.pgn $S/uci-moves.pgn"
# The file is doubled until it holds COPIES copies or more: few processes.
repeat() {  # repeat OUT COPIES FILES...
  out=$1 copies=$2
  shift 2
  for f in "$@"; do cat "$f"; echo; done > "$out"
  n=1
  while [ $n -lt "$copies" ]; do
    cat "$out" "$out" > "$out.tmp" && mv "$out.tmp" "$out"
    n=$((n * 2))
  done
}
repeat standard.pgn "$COPIES" $STANDARD
# engine-games.pgn is large already: fewer copies give a file of similar size.
repeat all.pgn $((COPIES / 100 + 1)) "$DATA/pgn/engine-games.pgn" "$S"/*.pgn

games() { grep -c '^\[Result' "$1"; }
# timed GAMES OUTPUT COMMAND...: wall-clock and processor (user + system)
# games per second; the processor figure is the fairer one on a busy machine.
timed() {
  n=$1 out=$2
  shift 2
  /usr/bin/time -f "%e %U %S" -o time.txt "$@" > "$out" 2>&1 || true
  awk -v n="$n" '{ printf "%d games, %.2f s wall = %.0f games/s, %.2f s processor = %.0f games/s\n",
                   n, $1, n / ($1 + 1e-9), $2 + $3, n / ($2 + $3 + 1e-9) }' time.txt
}

if [ -n "$(awk '$1 > 0.5' /proc/loadavg)" ]; then
  echo "measured under load (load average $(cut -d' ' -f1-3 /proc/loadavg))"
fi
N=$(games standard.pgn)
echo "standard-start file: $N games, $(du -h standard.pgn | cut -f1)"
printf "  zerv -mkbook:       "; timed "$N" zerv.out "$ZERV" -mkbook standard.pgn
if [ -n "$POLYGLOT" ]; then
  # The same 36 plies per game; beyond them one sample holds a null move
  # ("Z0") that polyglot refuses.
  printf "  polyglot make-book: "; timed "$N" pg.out "$POLYGLOT" make-book -pgn standard.pgn -bin polyglot.bin -max-ply 36
  grep -q "all done" pg.out || echo "  (polyglot failed: $(tail -1 pg.out))"
else
  echo "  polyglot not installed: no side-by-side figure"
fi
N=$(games all.pgn)
echo "all shared files: $N games, $(du -h all.pgn | cut -f1)"
printf "  zerv -mkbook:       "; timed "$N" zerv.out "$ZERV" -mkbook all.pgn
