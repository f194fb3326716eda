// Move-ordering tables: history, killers, counter and follow-up moves.
#pragma once

#include "core/searchthread.h"

void reset_order_tables(SearchThread* t);
// Update after a quiet move (promotions and castling included) at `ply`
// scored `value` against the node's current alpha.
void update_order_tables(SearchThread* t, int ply, int depth, const MoveEntry& e, int value,
                         int alpha);
