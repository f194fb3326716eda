// Knights, bishops, rooks and queens: material, piece-square values,
// mobility over safe squares, outposts, trapped pieces, the bishop pair,
// bishops hemmed in by rammed pawns, open files and the seventh rank.
#pragma once

#include "eval/evalinfo.h"

// All four piece kinds for both colours, knights first, so that each kind
// can avoid the squares the enemy's cheaper pieces attack.
void evaluate_pieces(const Position& pos, EvalInfo& ei);

// Mobility factor by number of safe squares, one curve per piece kind.
float knight_mobility_factor(int safeSquares);
float bishop_mobility_factor(int safeSquares);
float rook_mobility_factor(int safeSquares);
float queen_mobility_factor(int safeSquares);
