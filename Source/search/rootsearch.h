// Iterative deepening, the root move loop and the progress output.
#pragma once

#include "core/types.h"

struct SearchThread;

// The progress lock (a block of progress lines) and the statistics lock
// (per-depth node counts); 0, or the status the program ends with.
int init_search_locks();
// The body of every search thread; returns when the search is over.
void search_driver(int threadIndex);
// Publishes thread 0's new best line into Control and prints it.
void report_root_best(SearchThread* t);
// The progress line (UCI "info ... pv" or the console form); nothing
// before the noise level's seconds unless the search has stopped.
void print_pv_line(int threadIndex, int multipv, int depth, int score, const Move* line);
// Fourth root of the node growth over the last four completed depths;
// 2.0 when too shallow to tell.
float effective_branching_factor();
// Sums the per-thread counters into the search control record (nothing
// once the search has finished).
void collect_stats();
