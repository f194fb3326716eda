// Move-level tests of the move loop (search_moves itself is declared in
// search.h with the node it belongs to).
#pragma once

#include "core/position.h"

struct MoveEntry;

// The move's flags for the ply record (MF_* in search.h): capture (en
// passant included), check (direct or uncovered), and the pawn flags.
int search_move_flags(Position& pos, int side, const MoveEntry& e);
// Late-move pruning keeps a quiet move whose piece, on its new square,
// attacks a worthwhile enemy piece it did not attack before, or joins an
// attack on the squares around the enemy king.
bool move_threatens(const Position& pos, int side, const MoveEntry& e);
