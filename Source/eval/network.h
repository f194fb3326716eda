// The neural network evaluation: weights, features and the per-thread
// incrementally updated first layer.
#pragma once

#include <cstdint>

struct SearchThread;
struct NetWorkspace;

// Share of the blended heads given to the middlegame head per unit of
// non-pawn material on the board (reaching 1 at about 62 units); the
// trainer blends the same way.
constexpr double MIX_PER_MATERIAL_UNIT = 0.016;

// Loads the network named by the NN_File setting: "embedded" (built in),
// "new" (random, also written to "nn.bin") or a file path. 1 on success,
// 0 when the file cannot be opened, is short or damaged (the previous
// network stays; with none yet, a file that cannot be opened ends the
// program).
int load_network();
// Score in centipawns for the side to move, -1919..1919; NO_EVAL when the
// working memory cannot be had.
int nn_evaluate(SearchThread* t);
// The same without touching the evaluation cache or its counters (for
// benchmarks of the network alone).
int nn_evaluate_uncached(SearchThread* t);
void free_net_workspace(NetWorkspace* w);
// The last network score this thread computed (for the evaluation trace).
int last_network_score(const SearchThread* t);
