// The kings: piece-square value, pawn shield, safe checks, the danger sum
// of the enemy attack, queen contact checks, a king without moves, and the
// king's distance to the pawns in the ending.
#pragma once

#include "eval/evalinfo.h"

// White's king, then Black's; needs every attack map of both colours.
void evaluate_kings(const Position& pos, EvalInfo& ei);

// Weight of the danger sum d (nothing below 2, capped at 39): grows
// quadratically, flattening at the top.
float king_danger_factor(int danger);
