// Attack tests on a position.
#pragma once

#include "core/position.h"

// Whether any piece of `colour` attacks `sq` with the board occupancy.
bool square_attacked(const Position& pos, int sq, int colour);
// Square of the least valuable piece of `colour` inside `occ` attacking `sq`
// through `occ` (pawn, knight, bishop, rook, queen, king; lowest square
// first within a kind), or 64.
int least_attacker(const Position& pos, int sq, int colour, Bitboard occ);
// First piece of `colour` attacking `sq` (same order), blocked by `occ`;
// 64 when none. Used to find the checking piece.
int find_checker(const Position& pos, int sq, int colour, Bitboard occ);
