// The quiescence move loop of nodes below the horizon.
#pragma once

#include "core/position.h"

int qsearch(Position& pos, int side, int ply, int depth, int alpha, int beta, int nodeType, Move* pv);
