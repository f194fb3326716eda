// Repetition and fifty-move draws.
#pragma once

#include "core/position.h"

// `pliesFromRoot` plies of the current line lie inside the search; an
// earlier occurrence inside them is enough for a draw, older history needs
// two (threefold repetition).
bool is_draw(Position& pos, int pliesFromRoot);
