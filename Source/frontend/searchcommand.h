// The search as the command loop runs it: started after "go" (or at
// once from the book), stopped, and answered with "bestmove" or the
// console's move line.
#pragma once

// Stops a running search and waits until it has finished, without printing
// its answer.
void stop_and_wait();
// Stops any search and ends the command loop ("quit", or input gone).
void quit_engine();
// The search start, the books, then the search threads; a book move or a
// game drawn by the fifty-move rule answers at once. `requested` is
// STATE_GO or STATE_GO_PONDER.
void begin_search(int requested);
// Whether the finished search (state) is answered now: not a pondering or
// an infinite one, which wait for "ponderhit" or "stop".
bool answer_due(int state);
// A finished search whose answer waits for a command.
bool answer_held(int state);
// The final progress line and the answer; the console game goes on.
void answer_search();
