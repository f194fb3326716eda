// Pseudo-legal move generation into MoveEntry lists.
#pragma once

#include "core/searchthread.h"

MoveEntry* generate_captures(const Position& pos, int side, MoveEntry* list, int target);
MoveEntry* generate_promotions(const Position& pos, int side, bool underPromotions,
                               MoveEntry* list);
// Non-capturing pushes onto the seventh rank, made by the callers of the two
// generators above.
MoveEntry* generate_seventh_pushes(const Position& pos, int side, MoveEntry* list);
MoveEntry* generate_quiets(const Position& pos, int side, MoveEntry* list, int target);
// Every pseudo-legal move of the side to move into the current ply's list;
// terminates it and sets the next plies' list starts. Returns the list.
MoveEntry* generate_all(Position& pos);
// The same moves into a caller's list (room for MAX_PLY_MOVES); returns the
// end, unterminated, and leaves the ply lists alone.
MoveEntry* generate_all_into(const Position& pos, MoveEntry* list);
// Closes a list at `end` and sets the starts of the next two plies' lists.
void close_list(SearchThread* t, int ply, MoveEntry* end);
