// The node search: pruning, extensions, probing, and its move loop.
#pragma once

#include "../board/position.h"

constexpr int MATE = 10000;
constexpr int INFINITE_SCORE = 10001;
constexpr int MATED_RANGE = -9800;  // scores at or below are being mated
constexpr int MATING_RANGE = 9799;  // at or above deliver mate
constexpr int MAX_SEARCH_PLY = 65;

int search(Position& pos, int side, int ply, int depth, int alpha, int beta, int nodeType, Move* pv);
int search_moves(Position& pos, int side, int ply, int depth, int alpha, int beta, int inCheck,
                 int nodeType, Move* pv);
// dst[ply] = move, then src's line from ply + 1 on, up to and with its 0.
void pv_copy(Move* dst, const Move* src, Move move, int ply);
