// King and pawn against king: a win/draw table over every placement with
// the pawn side folded to White and the pawn onto files a-d.
#pragma once

#include <cstdint>

#include "core/position.h"

// Table entries after the build: only these two remain.
constexpr uint8_t KPK_DRAW = 1;
constexpr uint8_t KPK_WIN = 2;

// Pawn squares on files a-d: index = file + 4 * rank.
constexpr int KPK_PAWN_SQUARES = 32;
// [0: pawn side to move, 1: lone king to move][pawn][pawn side's king][lone king]
extern uint8_t KPKTable[2][KPK_PAWN_SQUARES][64][64];  // 64 squares per king

// Builds the table; needs the board tables (init_board_tables) first.
void init_kpk_table();

// The table entry for a position of king and pawn against king, seen with
// the pawn side as White and the pawn on files a-d.
uint8_t kpk_probe(const Position& pos, int pawnSide);

// Score of king and pawn against a bare king for the pawn side: a small
// race term (lone king's distance to the queening square, pawn rank, own
// king's distance) plus a large bonus when the table says the pawn wins.
int kpk_score(const Position& pos, int pawnSide);
