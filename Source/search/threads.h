// Search threads: the master thread, the secondary threads and their records.
#pragma once

#include "core/types.h"

struct SearchThread;

// Record per thread slot, created on first use.
extern SearchThread* Threads[MAX_THREADS];

// The search start, before every search: timer, root side, table age,
// cleared results, the settings copied for the search, evaluation
// parameters when changed, the target time and the position log lines.
void prepare_search();
// Sets up the records and starts the detached master thread with the
// state (searching, pondering or tool search); non-zero when it could not
// be started. The master marks the state finished when all is done.
int start_search(int state);
// Runs the whole search on the calling thread (the -pbench benchmark).
void run_search_here();
// Sets up record i from the game record; 0, or -1 when memory is short.
int thread_setup(int index);
void free_thread_records();
// Guards the records against being freed while another thread reads them.
void lock_thread_records();
void unlock_thread_records();
