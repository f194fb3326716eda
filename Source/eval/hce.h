// The hand-crafted evaluation.
#pragma once

struct SearchThread;

// Builds the king-and-pawn table; once at start-up.
void init_kpk_table();
// Centipawns from the side to move's view; trace level 1 ("ev") and 2
// ("sp") print the term-by-term breakdown after the evaluation.
int hce_evaluate(SearchThread* t, int side, int ply, int traceLevel);
