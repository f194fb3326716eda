#include "board/attacks.h"

#include "board/bitboard.h"

bool square_attacked(const Position& pos, int sq, int colour) {
  const Bitboard* p = &pos.pieces[colour * 8];
  if (PawnAttacks[colour ^ 1][sq] & p[PAWN]) return true;
  if (KnightAttacks[sq] & p[KNIGHT]) return true;
  if (KingAttacks[sq] & p[KING]) return true;
  Bitboard occ = occupancy(pos);
  Bitboard diag = BishopPseudo[sq] & (p[BISHOP] | p[QUEEN]);
  while (diag)
    if (!(Between[pop_lsb(diag)][sq] & occ)) return true;
  Bitboard lines = RookPseudo[sq] & (p[ROOK] | p[QUEEN]);
  while (lines)
    if (!(Between[pop_lsb(lines)][sq] & occ)) return true;
  return false;
}

namespace {

// Lowest square of `set` with a clear line to sq through occ, else 64.
int first_unblocked(Bitboard set, int sq, Bitboard occ) {
  while (set) {
    int from = pop_lsb(set);
    if (!(Between[from][sq] & occ)) return from;
  }
  return NO_SQUARE;
}

}  // namespace

int least_attacker(const Position& pos, int sq, int colour, Bitboard occ) {
  const Bitboard* p = &pos.pieces[colour * 8];
  Bitboard set = PawnAttacks[colour ^ 1][sq] & p[PAWN] & occ;
  if (set) return lsb(set);
  if ((set = KnightAttacks[sq] & p[KNIGHT] & occ)) return lsb(set);
  int from = first_unblocked(BishopPseudo[sq] & p[BISHOP] & occ, sq, occ);
  if (from != NO_SQUARE) return from;
  from = first_unblocked(RookPseudo[sq] & p[ROOK] & occ, sq, occ);
  if (from != NO_SQUARE) return from;
  from = first_unblocked((BishopPseudo[sq] | RookPseudo[sq]) & p[QUEEN] & occ, sq, occ);
  if (from != NO_SQUARE) return from;
  if ((set = KingAttacks[sq] & p[KING] & occ)) return lsb(set);
  return NO_SQUARE;
}

int find_checker(const Position& pos, int sq, int colour, Bitboard occ) {
  const Bitboard* p = &pos.pieces[colour * 8];
  Bitboard set = PawnAttacks[colour ^ 1][sq] & p[PAWN];
  if (set) return lsb(set);
  if ((set = KnightAttacks[sq] & p[KNIGHT])) return lsb(set);
  int from = first_unblocked(BishopPseudo[sq] & p[BISHOP], sq, occ);
  if (from != NO_SQUARE) return from;
  from = first_unblocked(RookPseudo[sq] & p[ROOK], sq, occ);
  if (from != NO_SQUARE) return from;
  from = first_unblocked((BishopPseudo[sq] | RookPseudo[sq]) & p[QUEEN], sq, occ);
  if (from != NO_SQUARE) return from;
  if ((set = KingAttacks[sq] & p[KING])) return lsb(set);
  return NO_SQUARE;
}
