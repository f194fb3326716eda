// Iterative deepening and the root move loop.
#pragma once


struct SearchThread;

// The progress lock (a block of progress lines) and the statistics lock
// (per-depth node counts); 0, or the status the program ends with.
int init_search_locks();
// The body of every search thread; returns when the search is over.
void search_driver(int threadIndex);
