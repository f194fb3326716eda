// The search's score scale: mates, tablebase results and the window
// bounds around them. The node search and the hash table (which stores
// mate scores relative to the node) both read it.
#pragma once

#include "core/types.h"

constexpr int MATE = 10000;
constexpr int INFINITE_SCORE = 10001;
// A tablebase win seen at ply p scores TB_WIN - p.
constexpr int TB_WIN = 9800;
// Scores beyond the tablebase wins can only be mates.
constexpr int MATED_RANGE = -TB_WIN;      // scores at or below are being mated
constexpr int MATING_RANGE = TB_WIN - 1;  // at or above deliver mate
// Mates are shown as such ("score mate N") up to this many moves away, so
// from MATE_SHOWN_FROM on; "go mate" takes no more either.
constexpr int MAX_MATE_MOVES = 50;
constexpr int MATE_SHOWN_FROM = MATE - PLIES_PER_MOVE * MAX_MATE_MOVES;
// Tablebase result of a node that was not probed; otherwise WDL + 2.
constexpr int TB_NOT_PROBED = -1;
