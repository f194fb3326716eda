// Iterative deepening, the root move loop and the progress output.
#pragma once

#include "../board/types.h"

struct SearchThread;

// The body of every search thread; returns when the search is over.
void search_driver(int threadIndex);
void report_root_best(SearchThread* t);
void print_pv_line(int threadIndex, int multipv, int depth, int score, const Move* line);
float effective_branching_factor();
// Sums the per-thread counters into the search control record.
void collect_stats();
