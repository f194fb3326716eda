// The search's score scale: mates, tablebase results and the window
// bounds around them. The node search and the hash table (which stores
// mate scores relative to the node) both read it.
#pragma once

constexpr int MATE = 10000;
constexpr int INFINITE_SCORE = 10001;
constexpr int MATED_RANGE = -9800;  // scores at or below are being mated
constexpr int MATING_RANGE = 9799;  // at or above deliver mate
// A tablebase win seen at ply p scores TB_WIN - p.
constexpr int TB_WIN = 9800;
// Tablebase result of a node that was not probed; otherwise WDL + 2.
constexpr int TB_NOT_PROBED = -1;
