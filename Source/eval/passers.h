// Passed pawns (rank, mobility, a free path, king distances, support) and
// candidate passers; passed pawns also raise the enemy's threat word.
#pragma once

#include "eval/evalinfo.h"

// Both colours; needs every attack map.
void evaluate_passers(const Position& pos, EvalInfo& ei);
