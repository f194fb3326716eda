// Debugging views of the search: the move trace file "trace.txt" (console
// "trace") and the path to a tagged position (console "tag").
#pragma once

#include "core/control.h"
#include "core/types.h"

struct SearchThread;

// Whether moves made by the search go to the trace file.
inline bool trace_file_on() { return Control.traceDepth > 0; }

// Writes a move about to be made at `ply` (the ply of the node making it)
// when the ply is within the trace depth. Thread 0 only: the file is one
// shared line of text. The first move of a new iteration (the main
// iteration depth changed since the last entry) opens a "SEARCH DEPTH"
// block. Opens the file on first use; ends the program (status 0) when it
// cannot.
void trace_move(SearchThread* t, int ply, Move m);
// A null move at `ply`, written whatever the trace depth.
void trace_null_move(SearchThread* t, int ply);
// The next entry opens a "SEARCH DEPTH" block even if the depth repeats
// the last one written (a new search that starts at depth 1 again).
void trace_new_search();
// Closes the file; the next entry starts a new one.
void trace_close();

// Whether this node is the tagged position.
inline bool is_tagged_node(uint64_t key) { return Control.traceTag && key == Control.traceTag; }
// Prints the ply records from the root to this node and the board.
void print_tagged_path(SearchThread* t, int ply);
