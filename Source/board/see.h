// Static exchange evaluation.
#pragma once

#include "core/position.h"

// Exchange values by piece type, written by the evaluation parameter set-up.
extern int SeeValue[7];
constexpr int SEE_KING_CAPTURE = 9999;

// Value for `side` of moving from `from` to `to` (then best play by both
// sides on that square); with from = 64, the value of attacking the piece
// on `to` with side's least valuable attacker.
int see(const Position& pos, int side, int from, int to);
int see_swap(const Position& pos, int side, int sq, int pieceType, Bitboard occ);
