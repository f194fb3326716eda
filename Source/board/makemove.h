// Playing and taking back moves with every incremental update.
#pragma once

#include "core/position.h"

void make_move(Position& pos, Move m);
void unmake_move(Position& pos);
void make_null_move(Position& pos);
void unmake_null_move(Position& pos);
