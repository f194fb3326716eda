// Elementary endings scored by rule before any general term: bare minor
// pieces, king and pawn against king, bishop and knight mate, and the
// mop-up of a bare king by a rook or queen.
#pragma once

#include "core/position.h"

// True when the position is one of those endings; the score is then in
// centipawns from the side to move's view.
bool special_ending_score(const Position& pos, int* score);
