// Legality, check and stored-move validity tests.
#pragma once

#include "core/position.h"

struct MoveEntry;

// The pseudo-legal move leaves the mover's king safe (castling: no square
// of the king's walk is attacked). MOVE_NONE is illegal.
bool move_is_legal(const Position& pos, int mover, Move m);
// The side to move has no legal move (uses the current ply's list).
bool has_no_legal_move(Position& pos);
// The side to move's king is attacked.
bool side_to_move_in_check(const Position& pos);
// The moved piece, or one it uncovers, attacks the enemy king afterwards.
bool gives_check(Position& pos, int mover, const MoveEntry& e);
// A move from the transposition table, which may belong to another
// position, is pseudo-legal here and legal.
bool stored_move_is_valid(const Position& pos, Move m);
