// Scaling of drawish endings: too little material to win, the wrong rook
// pawn, bishops of opposite colours, a small pawn edge, one piece against
// several.
#pragma once

#include "core/position.h"

// Factor 0..1 that the tapered score s (White's view) is multiplied by.
float scale_factor(const Position& pos, int s);
