// The search threads' records: one per thread slot, made on first use,
// set up from the game record before every search, freed when the thread
// count shrinks or the program ends.
#pragma once

#include "core/types.h"

struct SearchThread;

// Record per thread slot, created on first use.
extern SearchThread* Threads[MAX_THREADS];

// Sets up record i from the game record; 0, or -1 when memory is short.
int thread_setup(int index);
// After a search on `threads` threads: frees the secondary threads'
// records, and the main one too when so many threads searched that
// keeping it would hold much memory for nothing.
void release_helper_records(int threads);
void free_thread_records();
// Guards the records against being freed while another thread reads them.
void lock_thread_records();
void unlock_thread_records();
