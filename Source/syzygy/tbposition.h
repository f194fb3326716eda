// The tablebase prober's own view of a position (eight bitboards) and the
// small move generator it needs: positions of at most six pieces, no
// castling, moves made on copies.
#pragma once

#include "core/position.h"

struct TbPosition {
  Bitboard white, black, kings, queens, rooks, bishops, knights, pawns;
  uint8_t rule50;
  uint8_t ep;  // en-passant square, 0 when there is none
  bool turn;   // true when White is to move
};

// A move of the prober: promotion is the promoted piece type or 0.
struct TbMove {
  uint8_t from, to, promotion;
  bool enPassant;
};

// Six pieces give far fewer moves than this (four queens and a king
// stay below 120).
constexpr int TB_MAX_MOVES = 192;
constexpr int TB_MAX_PIECES = 6;

TbPosition tb_position_from(const Position& pos);

inline Bitboard tb_occupied(const TbPosition& p) { return p.white | p.black; }
inline Bitboard tb_mine(const TbPosition& p) { return p.turn ? p.white : p.black; }
inline Bitboard tb_theirs(const TbPosition& p) { return p.turn ? p.black : p.white; }
// Bitboard of one piece type (both colours), PAWN..KING.
Bitboard tb_type_set(const TbPosition& p, int type);
// Piece type on a square, 0 when empty.
int tb_type_at(const TbPosition& p, int sq);

// Whether the king of the side not to move stands attacked (the position
// could not arise) or, with `ofMover`, whether the side to move is in check.
bool tb_king_attacked(const TbPosition& p, bool ofMover);

// Pseudo-legal moves into `out` (room for TB_MAX_MOVES): captures only
// (en passant excluded) or every move (en passant included). The count.
int tb_generate(const TbPosition& p, bool capturesOnly, TbMove* out);
// The position after the move; false when the move leaves the mover's
// king in check.
bool tb_play(const TbPosition& p, const TbMove& m, TbPosition& out);
bool tb_is_capture(const TbPosition& p, const TbMove& m);
bool tb_is_zeroing(const TbPosition& p, const TbMove& m);
// No legal move and in check.
bool tb_is_mate(const TbPosition& p);
// Number of legal moves, split into en-passant captures and the rest.
void tb_count_legal(const TbPosition& p, int& enPassant, int& others);
