// Probing the tables: win/draw/loss with the captures and en passant
// resolved, and the distance to the next zeroing move.
#pragma once

#include "syzygy/tbposition.h"

// WDL results from the side to move's view.
constexpr int WDL_LOSS = -2;
constexpr int WDL_BLESSED_LOSS = -1;
constexpr int WDL_DRAW = 0;
constexpr int WDL_CURSED_WIN = 1;
constexpr int WDL_WIN = 2;

// Results as the search keeps them: WDL + 2, so loss..win is 0..4 and a
// negative value stays free for "not probed".
constexpr int WDL_OFFSET = 2;
constexpr int TB_RESULT_LOSS = WDL_LOSS + WDL_OFFSET;
constexpr int TB_RESULT_DRAW = WDL_DRAW + WDL_OFFSET;
constexpr int TB_RESULT_WIN = WDL_WIN + WDL_OFFSET;

// Both set *success to 0 when a table the answer needs is missing or
// damaged (the result is then meaningless) and leave it alone otherwise.
// The position must have no castling rights.
int tb_probe_wdl(const TbPosition& p, int* success);
// Signed plies to the next zeroing move (positive when the side to move
// wins, 0 for a draw, -1 when checkmated); above 100 in magnitude for
// cursed wins and blessed losses.
int tb_probe_dtz(const TbPosition& p, int* success);
// The material key from White's point of view, or from the side to
// move's when `mover` is set.
uint64_t tb_position_key(const TbPosition& p, bool mover);
