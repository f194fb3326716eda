#include "eval/threats.h"

#include "eval/geometry.h"

namespace {

constexpr int HUNG_PAWN_THREAT = 64;
constexpr int HUNG_PIECE_THREAT = 256;

// Squares where a piece of c can be taken for free or with gain in count.
Bitboard weak_squares(const EvalInfo& ei, int c) {
  int e = c ^ 1;
  return (ei.attacked[e] & ~ei.attacked[c]) |
         (ei.attackedTwice[e] & ~ei.attackedTwice[c] & ~ei.pawnAttacks[c]);
}

void attacked_pawns(const Position& pos, EvalInfo& ei, int c, Bitboard weak) {
  int e = c ^ 1;
  // Pawns in pawn contact are a matter of structure, not of threats.
  Bitboard targets = piece_set(pos, c, PAWN) & ei.attacked[e] & ~ei.pawnAttacks[WHITE] & ~ei.pawnAttacks[BLACK];
  Bitboard hung = targets & weak;
  add_term(ei, c, *W.hung_pawn, popcount(hung));
  add_term(ei, c, *W.attacked_pawn, popcount(targets & ~hung));
  ei.threatWord[c] += HUNG_PAWN_THREAT * popcount(hung);
  ei.hanging |= hung;
}

// Returns the pieces counted as hanging.
Bitboard attacked_pieces(const Position& pos, EvalInfo& ei, int c, Bitboard weak) {
  int e = c ^ 1;
  Bitboard minors = (piece_set(pos, c, KNIGHT) | piece_set(pos, c, BISHOP)) & ei.attacked[e];
  Bitboard hungMinors = minors & (ei.pawnAttacks[e] | weak);
  Bitboard loose = minors & ~hungMinors & ~ei.pawnAttacks[c];
  Bitboard hungMajors = (piece_set(pos, c, ROOK) | piece_set(pos, c, QUEEN)) & ei.upToMinors[e];
  add_term(ei, c, *W.hung_minor, popcount(hungMinors));
  add_term(ei, c, *W.attacked_minor, popcount(loose));
  add_term(ei, c, *W.hung_major, popcount(hungMajors));
  ei.threatWord[c] += HUNG_PIECE_THREAT * popcount(hungMinors | hungMajors);
  ei.hanging |= hungMinors | hungMajors;
  return hungMinors | hungMajors;
}

// Enemy pawn pushes to safe squares that would attack c's pieces.
void push_threats(const Position& pos, EvalInfo& ei, int c, Bitboard alreadyHung) {
  int e = c ^ 1;
  Bitboard empty = ~ei.occupied;
  Bitboard unsafe = ei.pawnAttacks[c] | (ei.attacked[c] & ~ei.pawnAttacks[e]);
  Bitboard single = forward_one(e, piece_set(pos, e, PAWN)) & empty;
  Bitboard twice = forward_one(e, single & (e == WHITE ? RANK_3 : RANK_6)) & empty;
  Bitboard landing = (single | twice) & ~unsafe;
  Bitboard pieces = colour_set(pos, c) & ~piece_set(pos, c, PAWN) & ~piece_set(pos, c, KING);
  add_term(ei, c, *W.ppush_threat, popcount(pawn_attack_set(e, landing) & pieces & ~alreadyHung));
}

// Own pieces standing alone between a slider and what stands behind them.
Bitboard pinned_between(const EvalInfo& ei, int target, Bitboard lineSliders,
                        Bitboard diagonalSliders, Bitboard ownPieces) {
  Bitboard pinned = 0;
  Bitboard attackers = (RookPseudo[target] & lineSliders) | (BishopPseudo[target] & diagonalSliders);
  while (attackers) {
    Bitboard between = Between[target][pop_lsb(attackers)] & ei.occupied;
    if (popcount(between) == 1) pinned |= between & ownPieces;
  }
  return pinned;
}

void pins(const Position& pos, EvalInfo& ei, int c) {
  int e = c ^ 1;
  Bitboard own = colour_set(pos, c) & ~piece_set(pos, c, PAWN);
  Bitboard eq = piece_set(pos, e, QUEEN);
  Bitboard pinned = pinned_between(ei, pos.kingSq[c], piece_set(pos, e, ROOK) | eq,
                                   piece_set(pos, e, BISHOP) | eq, own);
  if (Bitboard queens = piece_set(pos, c, QUEEN)) {
    // The first queen counted from the own side of the board (rank by
    // rank from the back rank, a-file first), so both colours choose alike.
    int queen = c == WHITE ? lsb(queens) : lsb(__builtin_bswap64(queens)) ^ RANK_FLIP;
    pinned |= pinned_between(ei, queen, piece_set(pos, e, ROOK), piece_set(pos, e, BISHOP), own);
  }
  add_term(ei, c, *W.pinned_piece, popcount(pinned));
}

}  // namespace

void evaluate_threats(const Position& pos, EvalInfo& ei) {
  for (int c = WHITE; c <= BLACK; c++) {
    Bitboard weak = weak_squares(ei, c);
    attacked_pawns(pos, ei, c, weak);
    Bitboard hung = attacked_pieces(pos, ei, c, weak);
    push_threats(pos, ei, c, hung);
    pins(pos, ei, c);
  }
  trace_mark(ei, TRACE_THREATS);
}
