// Threats against each colour: hanging and attacked pieces, pawn pushes
// that would fork or chase pieces, and pins against the king or queen.
#pragma once

#include "eval/evalinfo.h"

// Both colours; needs every attack map. Fills the threat words and the
// hanging-piece set.
void evaluate_threats(const Position& pos, EvalInfo& ei);
