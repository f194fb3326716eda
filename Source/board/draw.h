// Repetition and fifty-move draws.
#pragma once

#include "core/position.h"

// `pliesFromRoot` plies of the current line lie inside the search; an
// earlier occurrence inside them is enough for a draw, older history needs
// two (threefold repetition).
// Half-moves without a capture or pawn move after which the game is drawn.
constexpr int FIFTY_MOVE_LIMIT = 100;
// A repetition needs at least this many reversible half-moves.
constexpr int MIN_REPETITION_FIFTY = 4;

bool is_draw(Position& pos, int pliesFromRoot);
