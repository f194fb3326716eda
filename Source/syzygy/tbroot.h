// The tablebase decision at the root: a move that keeps the best result
// reachable under the fifty-move rule, chosen by distance to zeroing.
#pragma once

#include "core/position.h"
#include "syzygy/tbposition.h"

constexpr int TB_ROOT_FAILED = -1;

// WDL + 2 of the root under its fifty-move count (0 loss .. 4 win) with
// the chosen move and |DTZ| of the root, or TB_ROOT_FAILED when the
// tables cannot decide (castling rights, an invalid or too large
// position, a missing table, no qualifying move).
int tb_probe_root(const Position& pos, Move* move, int* wdlPlus2, int* absDtz);

// The legal moves that keep the root's result (for a won root the moves
// that still win, for a drawn root the drawing moves; a lost root keeps
// them all) into `keep` (room for TB_ROOT_MAX_MOVES); their number, or
// TB_ROOT_FAILED. Lets the search choose freely among them while the
// fifty count is too young for the root decision to be played at once.
constexpr int TB_ROOT_MAX_MOVES = TB_MAX_MOVES;
int tb_root_keepers(const Position& pos, Move* keep);

// Whether the position can be given to the tables at all: one king a
// side, consistent piece sets, no pawn on the first or last rank, the
// side not to move not in check, no castling rights.
bool tb_position_valid(const Position& pos);
