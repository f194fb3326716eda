#include "board/movegen.h"

#include "board/bitboard.h"

namespace {

inline MoveEntry* emit(const Position& pos, MoveEntry* list, int from, int to, int flags = 0) {
  list->move = make_move_code(from, to, flags);
  list->score = 0;
  list->piece = pos.board[from];
  list->captured = pos.board[to];
  return list + 1;
}

// Pawn moves given as a destination set and a fixed from-to offset.
inline MoveEntry* emit_pawn_set(const Position& pos, MoveEntry* list, Bitboard dests, int offset) {
  while (dests) {
    int to = pop_lsb(dests);
    list = emit(pos, list, to - offset, to);
  }
  return list;
}

// Every piece of the kind, ascending, to every square of its attack set
// within `targets`, ascending.
template <int Type>
MoveEntry* emit_piece_moves(const Position& pos, int side, MoveEntry* list, Bitboard targets) {
  Bitboard occ = occupancy(pos);
  Bitboard set = piece_set(pos, side, Type);
  while (set) {
    int from = pop_lsb(set);
    Bitboard a = Type == KNIGHT   ? KnightAttacks[from]
                 : Type == BISHOP ? bishop_attacks(from, occ)
                 : Type == ROOK   ? rook_attacks(from, occ)
                                  : bishop_attacks(from, occ) | rook_attacks(from, occ);
    a &= targets;
    while (a) list = emit(pos, list, from, pop_lsb(a));
  }
  return list;
}

MoveEntry* emit_officer_moves(const Position& pos, int side, MoveEntry* list, Bitboard targets) {
  list = emit_piece_moves<KNIGHT>(pos, side, list, targets);
  list = emit_piece_moves<BISHOP>(pos, side, list, targets);
  list = emit_piece_moves<ROOK>(pos, side, list, targets);
  return emit_piece_moves<QUEEN>(pos, side, list, targets);
}

inline Bitboard forward(Bitboard b, int side, int squares) {
  return side == WHITE ? b << squares : b >> squares;
}

constexpr Bitboard PROMOTION_RANKS = RANK_1 | RANK_8;
constexpr int PROMOTION_FLAGS[4] = {FLAG_Q_SHORT, FLAG_N_LONG, FLAG_B, FLAG_R};

MoveEntry* emit_promotion(const Position& pos, MoveEntry* list, int from, int to, bool under) {
  for (int i = 0; i < (under ? 4 : 1); i++) list = emit(pos, list, from, to, PROMOTION_FLAGS[i]);
  return list;
}

MoveEntry* emit_castling(const Position& pos, int side, MoveEntry* list) {
  Bitboard occ = occupancy(pos);
  int king = pos.kingSq[side];
  int backRank = side == WHITE ? 0 : 56;
  for (int longSide = 0; longSide < 2; longSide++) {
    int c = side * 2 + longSide;
    if (!(pos.castling & (1 << c)) || (pos.castlePath[c] & occ)) continue;
    int to = backRank + (longSide ? 2 : 6);
    list->move = make_move_code(king, to, longSide ? FLAG_N_LONG : FLAG_Q_SHORT);
    list->score = 0;
    list->piece = pos.board[king];
    list->captured = 0;
    list++;
  }
  return list;
}

}  // namespace

MoveEntry* generate_captures(const Position& pos, int side, MoveEntry* list, int target) {
  Bitboard enemies = colour_set(pos, side ^ 1);
  Bitboard targets = target == NO_SQUARE ? enemies : enemies & bit(target);
  Bitboard pawnTargets = targets;
  if (pos.epSquare != NO_SQUARE) pawnTargets |= bit(pos.epSquare);
  pawnTargets &= ~PROMOTION_RANKS;
  Bitboard pawns = piece_set(pos, side, PAWN);
  // Towards the a-file first, then towards the h-file.
  int westShift = side == WHITE ? 7 : 9, eastShift = side == WHITE ? 9 : 7;
  int westOffset = side == WHITE ? 7 : -9, eastOffset = side == WHITE ? 9 : -7;
  list = emit_pawn_set(pos, list, forward(pawns & ~FILE_A, side, westShift) & pawnTargets,
                       westOffset);
  list = emit_pawn_set(pos, list, forward(pawns & ~FILE_H, side, eastShift) & pawnTargets,
                       eastOffset);
  list = emit_officer_moves(pos, side, list, targets);
  int king = pos.kingSq[side];
  if (king != NO_SQUARE) {
    Bitboard a = KingAttacks[king] & enemies;
    while (a) list = emit(pos, list, king, pop_lsb(a));
  }
  return list;
}

MoveEntry* generate_promotions(const Position& pos, int side, bool underPromotions,
                               MoveEntry* list) {
  Bitboard occ = occupancy(pos), enemies = colour_set(pos, side ^ 1);
  Bitboard pawns = piece_set(pos, side, PAWN) & PromotionSource[side];
  int step = pawn_step(side);
  while (pawns) {
    int from = pop_lsb(pawns), ahead = from + step;
    if (!(occ & bit(ahead))) list = emit_promotion(pos, list, from, ahead, underPromotions);
    if (file_of(from) > 0 && (enemies & bit(ahead - 1)))
      list = emit_promotion(pos, list, from, ahead - 1, underPromotions);
    if (file_of(from) < 7 && (enemies & bit(ahead + 1)))
      list = emit_promotion(pos, list, from, ahead + 1, underPromotions);
  }
  return list;
}

MoveEntry* generate_seventh_pushes(const Position& pos, int side, MoveEntry* list) {
  Bitboard pawns = piece_set(pos, side, PAWN) & PrePromotionRank[side];
  Bitboard dests = forward(pawns, side, 8) & ~occupancy(pos);
  return emit_pawn_set(pos, list, dests, pawn_step(side));
}

MoveEntry* generate_quiets(const Position& pos, int side, MoveEntry* list, int target) {
  Bitboard empty = ~occupancy(pos);
  Bitboard allowed = empty;
  if (target != NO_SQUARE) allowed &= Between[target][pos.kingSq[side]];
  int step = pawn_step(side);
  Bitboard pawns = piece_set(pos, side, PAWN) & ~PromotionSource[side] & ~PrePromotionRank[side];
  Bitboard single = forward(pawns, side, 8) & empty;
  list = emit_pawn_set(pos, list, single & allowed, step);
  Bitboard fromSecond = forward(single & forward(SecondRank[side], side, 8), side, 8);
  list = emit_pawn_set(pos, list, fromSecond & empty & allowed, 2 * step);
  list = emit_officer_moves(pos, side, list, allowed);
  int king = pos.kingSq[side];
  if (king == NO_SQUARE) return list;
  Bitboard a = KingAttacks[king] & empty;
  while (a) list = emit(pos, list, king, pop_lsb(a));
  return emit_castling(pos, side, list);
}

void close_list(SearchThread* t, int ply, MoveEntry* end) {
  end->move = MOVE_END;
  if (ply + 1 < MAX_PLY) t->plies[ply + 1].moveList = end + 1;
  if (ply + 2 < MAX_PLY) t->plies[ply + 2].moveList = end + 2;
}

MoveEntry* generate_all_into(const Position& pos, MoveEntry* list) {
  int side = pos.side;
  MoveEntry* end = generate_captures(pos, side, list, NO_SQUARE);
  end = generate_promotions(pos, side, true, end);
  end = generate_seventh_pushes(pos, side, end);
  return generate_quiets(pos, side, end, NO_SQUARE);
}

MoveEntry* generate_all(Position& pos) {
  SearchThread* t = pos.owner;
  MoveEntry* list = t->plies[t->ply].moveList;
  close_list(t, t->ply, generate_all_into(pos, list));
  return list;
}
