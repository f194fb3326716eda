// What the search tells the user while it runs and when it ends: the
// progress lines (UCI "info" or the console's form) and the statistics
// they show. The one place where the search writes UCI or console text.
#pragma once

#include "core/types.h"

struct MoveEntry;
struct SearchThread;

// The lock that keeps a block of progress lines together; 0, or the
// status the program ends with.
int init_report_lock();
// "info depth ... / info currmove ..." while a long iteration runs (UCI
// mode, after the progress delay and the noise level's seconds).
void print_current_move(const MoveEntry& e, int number);
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
