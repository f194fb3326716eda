// Leaf counting of the legal move tree, for checking the generator.
#pragma once

#include "core/searchthread.h"

void perft(SearchThread* t, int side, int ply, int depth);
