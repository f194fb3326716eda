// The node search: pruning, extensions, probing, and its move loop.
#pragma once

#include "core/position.h"
#include "search/score.h"

// Flags of the move being searched (PlyRecord::moveFlags). The pawn flags
// are bit fields: 0x20 marks every advanced pawn move, 0x08 and 0x10 add
// the seventh rank and the queen promotion.
constexpr int MF_CAPTURE = 0x01;  // en passant included
constexpr int MF_CHECK = 0x02;
constexpr int MF_ADVANCED_PAWN = 0x20;  // free sixth-rank push or minor promotion
constexpr int MF_SEVENTH_RANK = 0x28;
constexpr int MF_QUEEN_PROMOTION = 0x30;
constexpr int MF_ANY = 0x3F;

// A move whose exchange loses more than this is not tried in quiescence,
// not worth a look in a shallow node, and reduced one ply more in a deeper
// one.
constexpr int LOSING_EXCHANGE = -70;

// Rough piece worth by type (none, pawn .. king) for "does the mover risk
// more than it takes".
constexpr int ExchangeScale[7] = {0, 1, 3, 3, 5, 10, 99};

// The tablebases' WDL + 2 for a node at this depth, or TB_NOT_PROBED when
// the node is not probed (castling rights, more pieces than the tables,
// six pieces too shallow, depth below 0) or the probe fails.
int probe_wdl(const Position& pos, int depth);

int search(Position& pos, int side, int ply, int depth, int alpha, int beta, int nodeType,
           Move* pv);
int search_moves(Position& pos, int side, int ply, int depth, int alpha, int beta, int inCheck,
                 int nodeType, Move* pv);
// dst[ply] = move, then src's line from ply + 1 on, up to and with its 0.
void pv_copy(Move* dst, const Move* src, Move move, int ply);
