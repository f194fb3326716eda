#include "board/legality.h"

#include "board/attacks.h"
#include "board/bitboard.h"
#include "board/movegen.h"
#include "core/searchthread.h"

namespace {

// Castling is legal when no square the king walks over, both ends
// included, is attacked; the generator has already checked the path empty.
// The castling rook is lifted for the test: in Chess960 it may stand
// between an enemy slider and the king's path (rook b1, king d1, enemy
// queen a1) and stops shielding the moment it moves.
bool castling_is_safe(const Position& pos, int mover, int from, Move m) {
  int kingTo = (from & 56) + ((m & FLAG_Q_SHORT) ? 6 : 2);
  int rook = pos.castleRookSq[mover * 2 + ((m & FLAG_Q_SHORT) ? 0 : 1)];
  Bitboard occ = occupancy(pos) & ~bit(rook & 63);
  int step = kingTo >= from ? 1 : -1;
  for (int sq = from;; sq += step) {
    if (least_attacker(pos, sq, mover ^ 1, occ) != NO_SQUARE) return false;
    if (sq == kingTo) return true;
  }
}

}  // namespace

bool move_is_legal(const Position& pos, int mover, Move m) {
  if (m == MOVE_NONE) return false;
  int from = move_from(m), to = move_to(m);
  int type = type_of(pos.board[from]);
  if (type == KING && move_flags(m)) return castling_is_safe(pos, mover, from, m);

  int ksq = type == KING ? to : pos.kingSq[mover];
  Bitboard occ = (occupancy(pos) & ~bit(from)) | bit(to);
  Bitboard gone = bit(to);  // a captured piece attacks nothing any more
  if (type == PAWN && to == pos.epSquare) {
    int victim = to - pawn_step(mover);
    occ &= ~bit(victim);
    gone |= bit(victim);
  }
  const Bitboard* e = &pos.pieces[(mover ^ 1) * 8];
  Bitboard live = ~gone;
  if (PawnAttacks[mover][ksq] & e[PAWN] & live) return false;
  if (KnightAttacks[ksq] & e[KNIGHT] & live) return false;
  if (bishop_attacks(ksq, occ) & (e[BISHOP] | e[QUEEN]) & live) return false;
  if (rook_attacks(ksq, occ) & (e[ROOK] | e[QUEEN]) & live) return false;
  if (KingAttacks[ksq] & e[KING]) return false;
  return true;
}

bool has_no_legal_move(Position& pos) {
  for (MoveEntry* e = generate_all(pos); e->move != MOVE_END; e++)
    if (move_is_legal(pos, pos.side, e->move)) return false;
  return true;
}

bool gives_check(Position& pos, int mover, const MoveEntry& e) {
  int from = move_from(e.move), to = move_to(e.move);
  if (from == to) return false;
  int type = type_of(e.piece);
  if (type == PAWN && move_flags(e.move)) type = promotion_type(e.move);
  Bitboard& set = pos.pieces[make_piece(mover, type)];
  Bitboard saved = set;
  set |= bit(to);
  Bitboard occ = (occupancy(pos) & ~bit(from)) | bit(to);
  bool check = least_attacker(pos, pos.kingSq[mover ^ 1], mover, occ) != NO_SQUARE;
  set = saved;
  return check;
}

namespace {

bool pawn_move_is_valid(const Position& pos, int s, int from, int to) {
  int step = pawn_step(s);
  Bitboard occ = occupancy(pos);
  if (PawnAttacks[s][from] & bit(to)) {
    if (colour_set(pos, s ^ 1) & bit(to)) return true;
    return to == pos.epSquare && !(occ & bit(to)) &&
           pos.board[to - step] == make_piece(s ^ 1, PAWN);
  }
  if (to == from + step) return !(occ & bit(to));
  if (to == from + 2 * step)
    return (SecondRank[s] & bit(from)) && !(occ & (bit(to) | bit(from + step)));
  return false;
}

bool king_move_is_valid(const Position& pos, int s, int from, int to, int flags) {
  if (!flags) return KingAttacks[from] & bit(to);
  int backRank = s == WHITE ? 0 : 7;
  int c = s * 2 + ((flags & FLAG_Q_SHORT) ? 0 : 1);
  // The castling right itself is required too: without it the rook
  // square is unknown and the move cannot be played.
  return rank_of(to) == backRank && (pos.castling & (1 << c)) &&
         !(pos.castlePath[c] & occupancy(pos));
}

}  // namespace

bool stored_move_is_valid(const Position& pos, Move m) {
  int s = pos.side;
  int from = move_from(m), to = move_to(m), flags = move_flags(m);
  if (m == MOVE_NONE || from == to) return false;
  int p = pos.board[from], type = type_of(p);
  if (!p || colour_of(p) != s || type > KING) return false;
  int target = pos.board[to];
  if (target && (colour_of(target) == s || type_of(target) == KING)) return false;
  if (flags && type != PAWN && type != KING) return false;
  Bitboard occ = occupancy(pos);
  bool shapeOk;
  switch (type) {
    case PAWN: {
      bool toLastRank = PromotionSource[s] & bit(from) && rank_of(to) == (s == WHITE ? 7 : 0);
      if (bool(flags) != toLastRank) return false;
      shapeOk = pawn_move_is_valid(pos, s, from, to);
      break;
    }
    case KNIGHT: shapeOk = KnightAttacks[from] & bit(to); break;
    case BISHOP: shapeOk = (BishopPseudo[from] & bit(to)) && !(Between[from][to] & occ); break;
    case ROOK: shapeOk = (RookPseudo[from] & bit(to)) && !(Between[from][to] & occ); break;
    case QUEEN:
      shapeOk = ((BishopPseudo[from] | RookPseudo[from]) & bit(to)) && !(Between[from][to] & occ);
      break;
    default: shapeOk = king_move_is_valid(pos, s, from, to, flags); break;
  }
  return shapeOk && move_is_legal(pos, s, m);
}

bool side_to_move_in_check(const Position& pos) {
  return square_attacked(pos, pos.kingSq[pos.side], pos.side ^ 1);
}
