// Search threads: the master thread, the secondary threads and their records.
#pragma once

#include "../board/types.h"

struct SearchThread;

// Record per thread slot, created on first use.
extern SearchThread* Threads[MAX_THREADS];

// Starts the detached master thread with the state (searching or
// pondering); non-zero when it could not be started.
int start_search(int state);
// Runs the whole search on the calling thread (the -pbench benchmark).
void run_search_here();
// Sets up record i from the game record; 0, or -1 when memory is short.
int thread_setup(int index);
void free_thread_records();
