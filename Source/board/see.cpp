#include "board/see.h"

#include <algorithm>

#include "board/attacks.h"

// Values in force until the evaluation parameters write their own.
int SeeValue[7] = {0, 100, 335, 335, 535, 1035, 10000};

int see_swap(const Position& pos, int side, int sq, int pieceType, Bitboard occ) {
  int a = least_attacker(pos, sq, side, occ);
  if (a == NO_SQUARE) return 0;
  if (pieceType == KING) return SEE_KING_CAPTURE;
  int v = SeeValue[pieceType] - see_swap(pos, side ^ 1, sq, type_of(pos.board[a]), occ & ~bit(a));
  return std::max(v, 0);
}

namespace {

// Value of attacking the piece on `to` with side's least valuable attacker.
int threat_value(const Position& pos, int side, int to) {
  Bitboard occ = occupancy(pos);
  int a = least_attacker(pos, to, side, occ);
  if (a == NO_SQUARE) return 0;
  int victim = type_of(pos.board[to]);
  if (victim == KING) return SEE_KING_CAPTURE;
  int gain = SeeValue[victim];
  return std::max(0, gain - see_swap(pos, side ^ 1, to, type_of(pos.board[a]), occ & ~bit(a)));
}

}  // namespace

// The first capture is forced; from the second on either side may stop,
// and pieces behind the capturers join as the occupancy shrinks.
int see(const Position& pos, int side, int from, int to) {
  if (from == NO_SQUARE) return threat_value(pos, side, to);
  int gain = SeeValue[type_of(pos.board[to])];
  int mover = type_of(pos.board[from]);
  Bitboard occ1 = occupancy(pos) & ~bit(from);
  int r1 = least_attacker(pos, to, side ^ 1, occ1);
  if (r1 == NO_SQUARE) return gain;
  if (mover == KING) return gain - SEE_KING_CAPTURE;  // walking into a defended square
  Bitboard occ2 = occ1 & ~bit(r1);
  int a2 = least_attacker(pos, to, side, occ2);
  if (a2 == NO_SQUARE) return gain - SeeValue[mover];
  int recapturer = type_of(pos.board[r1]);
  if (recapturer == KING) return gain;  // the king cannot take on a defended square
  int back = see_swap(pos, side ^ 1, to, type_of(pos.board[a2]), occ2 & ~bit(a2));
  return gain - std::max(0, SeeValue[mover] - std::max(0, SeeValue[recapturer] - back));
}
