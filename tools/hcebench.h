// Speed of the hand-crafted evaluation along random game lines.
#pragma once

struct SearchThread;

// Hand-crafted evaluations per second on one thread. Positions (not in
// check) are gathered from random games from the start position first,
// then evaluated `passes` times each, always at ply 1 so the result cache
// is never read. With usePawnCache the evaluations run at ply 2 on an
// emptied result-cache slot, so only the pawn cache is read. Returns 0
// when no thread record can be had. Needs the board tables, keys,
// evaluation parameters and the king-and-pawn table.
double bench_hce_evals_per_second(int positions, int passes, bool usePawnCache, unsigned seed);

// Evaluators of the form the search-like benchmark walk calls, for the
// position on the thread: at ply 1, so the result cache is never read
// (the pawn cache neither), and at the thread's own ply, reading both
// caches from ply 2 on as the search does.
int hce_bench_eval_uncached(SearchThread* t);
int hce_bench_eval_cached(SearchThread* t);
