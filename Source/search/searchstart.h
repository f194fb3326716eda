// Starting a search: the settings it copies, the master thread that runs
// it with its secondary threads, and the answer it leaves behind.
#pragma once

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
