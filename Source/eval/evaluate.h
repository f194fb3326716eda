// The evaluation entry point of the search: chooses the network or the
// hand-crafted evaluation, adds contempt and fifty-move scaling.
#pragma once

struct SearchThread;

int evaluate(SearchThread* t, int side, int ply, int inCheck);
// Whether the hand-crafted evaluation scores this position (network off,
// lopsided material or the simplest endings).
bool uses_hand_crafted(const SearchThread* t);
