// The limits of one UCI "go": what the command names, on top of the
// limits every search starts from, and the root moves it may consider.
#pragma once


struct SearchLimits;

// Fills `limits` for the "go" arguments on the game position: `base`
// (the command line's limits and the clocks assumed when none is named)
// with what the arguments name applied on top, so that nothing of an
// earlier "go" carries over. Returns the state to request: go, or go
// with ponder.
int read_go_limits(const char* args, const SearchLimits& base, SearchLimits& limits);
