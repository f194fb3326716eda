// Built-in values of the evaluation parameters: one row per registry entry,
// in registry order, middlegame and endgame in centipawns. setup_eval_params
// applies the rows in this order, so a tuner can rewrite the whole file.
//
// Piece-square rows run a1, b1, ..., h8 (entry i is square i) in the
// evaluation's frame: files mirrored so that the own king stands on e-h,
// Black's squares flipped by rank. The "1" tables serve kings on the same
// wing, the "2" tables kings on opposite wings (the enemy king on a-d).
#include "eval/param_values.h"

// clang-format off
extern constexpr ParamValue BuiltinParamValues[] = {
    {"mtl_pawn", 100, 100},
    {"mtl_knight", 390, 387},
    {"mtl_bishop", 392, 400},
    {"mtl_rook", 556, 707},
    {"mtl_queen", 1209, 1277},
    {"bishop_pair", 30, 62},
    {"pawn_isolated", -8, -11},
    {"pawn_weak", -6, 4},
    {"pawn_blocked", -7, -9},
    {"pawn_doubled", -7, -2},
    {"ppawn_base", -18, 26},  // rank 2
    {"ppawn_base", -21, 27},  // rank 3
    {"ppawn_base", -21, 44},  // rank 4
    {"ppawn_base", 9, 58},  // rank 5
    {"ppawn_base", 60, 89},  // rank 6
    {"ppawn_base", 132, 163},  // rank 7
    {"ppawn_mobile", 12, 2},  // rank 2
    {"ppawn_mobile", 16, 0},  // rank 3
    {"ppawn_mobile", 22, 8},  // rank 4
    {"ppawn_mobile", 26, 29},  // rank 5
    {"ppawn_mobile", 52, 40},  // rank 6
    {"ppawn_mobile", 56, 99},  // rank 7
    {"ppawn_free", -6, 4},  // rank 2
    {"ppawn_free", -12, 2},  // rank 3
    {"ppawn_free", -31, 17},  // rank 4
    {"ppawn_free", -19, 35},  // rank 5
    {"ppawn_free", 20, 52},  // rank 6
    {"ppawn_free", 40, 106},  // rank 7
    {"ppawn_fkdist", 4, 16},  // distance 0
    {"ppawn_fkdist", 14, 47},  // distance 1
    {"ppawn_fkdist", 26, 22},  // distance 2
    {"ppawn_fkdist", 34, 9},  // distance 3
    {"ppawn_fkdist", 3, -22},  // distance 4
    {"ppawn_fkdist", 6, -49},  // distance 5
    {"ppawn_fkdist", 10, -58},  // distance 6
    {"ppawn_fkdist", -32, -41},  // distance 7
    {"ppawn_ekdist", -73, -64},  // distance 0
    {"ppawn_ekdist", -15, -23},  // distance 1
    {"ppawn_ekdist", 32, -24},  // distance 2
    {"ppawn_ekdist", 4, 53},  // distance 3
    {"ppawn_ekdist", 13, 96},  // distance 4
    {"ppawn_ekdist", 27, 120},  // distance 5
    {"ppawn_ekdist", 39, 130},  // distance 6
    {"ppawn_ekdist", 38, 118},  // distance 7
    {"ppawn_connected", -3, -12},  // rank 2
    {"ppawn_connected", -7, -2},  // rank 3
    {"ppawn_connected", 1, 11},  // rank 4
    {"ppawn_connected", 6, 2},  // rank 5
    {"ppawn_connected", 19, 52},  // rank 6
    {"ppawn_connected", 5, 76},  // rank 7
    {"candidate_passer", 0, 0},  // rank 2
    {"candidate_passer", 0, 0},  // rank 3
    {"candidate_passer", 1, 57},  // rank 4
    {"candidate_passer", 7, 73},  // rank 5
    {"candidate_passer", 5, 64},  // rank 6
    {"candidate_passer", 0, 0},  // rank 7
    {"knight_mobility", 62, 47},
    {"knight_trapped", -5, -28},
    {"knight_outpost", 35, 10},
    {"knight_outpost_atk", 9, 13},
    {"bishop_mobility", 40, 79},
    {"bishop_mob2", 8, 3},
    {"bishop_trapped", 6, -51},
    {"bishop_outpost", 45, 5},
    {"bishop_outpost_atk", 3, 12},
    {"rook_mobility", 37, 80},
    {"rook_mob2", 6, 6},
    {"rook_trapped", 3, -32},
    {"rook_openfile", 19, -6},
    {"rook_7th", 5, 25},
    {"queen_mobility", 27, 116},
    {"queen_trapped", -8, -20},
    {"pawn_shield", 35, -21},
    {"enemy_checks", -16, -32},
    {"king_danger1", -217, 8},
    {"king_danger2", -86, -4},
    {"king_trapped", 0, -45},
    {"king_pawn_dist", 12, -78},
    {"hung_pawn", -16, -51},
    {"attacked_pawn", 0, -23},
    {"hung_minor", -63, -55},
    {"attacked_minor", -7, -30},
    {"hung_major", -69, -32},
    {"ppush_threat", -16, -23},
    {"pinned_piece", -48, -84},
    {"bishop_rampawns", -9, -19},
    {"stm_bonus", 37, 19},
    {"ttune", 0, 0},  // spare entries for tuning experiments
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},
    {"ttune", 0, 0},

    // PST_P1: pawns, kings on the same wing
    {"PST_P1", 0, 0},  // a1
    {"PST_P1", 0, 0},  // b1
    {"PST_P1", 0, 0},  // c1
    {"PST_P1", 0, 0},  // d1
    {"PST_P1", 0, 0},  // e1
    {"PST_P1", 0, 0},  // f1
    {"PST_P1", 0, 0},  // g1
    {"PST_P1", 0, 0},  // h1
    {"PST_P1", -26, 5},  // a2
    {"PST_P1", -24, -2},  // b2
    {"PST_P1", -24, 0},  // c2
    {"PST_P1", -20, 1},  // d2
    {"PST_P1", -23, 26},  // e2
    {"PST_P1", 4, 26},  // f2
    {"PST_P1", 28, 7},  // g2
    {"PST_P1", -10, 0},  // h2
    {"PST_P1", -28, 2},  // a3
    {"PST_P1", -19, -8},  // b3
    {"PST_P1", -32, -1},  // c3
    {"PST_P1", -27, 6},  // d3
    {"PST_P1", -24, 15},  // e3
    {"PST_P1", -12, 16},  // f3
    {"PST_P1", 9, 6},  // g3
    {"PST_P1", -17, 5},  // h3
    {"PST_P1", -15, 12},  // a4
    {"PST_P1", -9, 4},  // b4
    {"PST_P1", -6, -7},  // c4
    {"PST_P1", -2, -7},  // d4
    {"PST_P1", 1, 4},  // e4
    {"PST_P1", -4, 12},  // f4
    {"PST_P1", 1, 15},  // g4
    {"PST_P1", -8, 9},  // h4
    {"PST_P1", -9, 28},  // a5
    {"PST_P1", 3, 10},  // b5
    {"PST_P1", -7, 8},  // c5
    {"PST_P1", 5, -4},  // d5
    {"PST_P1", 11, 10},  // e5
    {"PST_P1", 24, 5},  // f5
    {"PST_P1", 16, 15},  // g5
    {"PST_P1", 5, 15},  // h5
    {"PST_P1", -7, 41},  // a6
    {"PST_P1", 8, 27},  // b6
    {"PST_P1", 15, 13},  // c6
    {"PST_P1", 23, 0},  // d6
    {"PST_P1", 30, 8},  // e6
    {"PST_P1", 57, 14},  // f6
    {"PST_P1", 53, 20},  // g6
    {"PST_P1", 12, 12},  // h6
    {"PST_P1", 32, 34},  // a7
    {"PST_P1", 27, 32},  // b7
    {"PST_P1", 28, 22},  // c7
    {"PST_P1", 30, 8},  // d7
    {"PST_P1", 25, 6},  // e7
    {"PST_P1", 12, -1},  // f7
    {"PST_P1", -3, -3},  // g7
    {"PST_P1", -19, -10},  // h7
    {"PST_P1", 0, 0},  // a8
    {"PST_P1", 0, 0},  // b8
    {"PST_P1", 0, 0},  // c8
    {"PST_P1", 0, 0},  // d8
    {"PST_P1", 0, 0},  // e8
    {"PST_P1", 0, 0},  // f8
    {"PST_P1", 0, 0},  // g8
    {"PST_P1", 0, 0},  // h8

    // PST_CP: pawn with a friendly pawn beside it
    {"PST_CP", 0, 0},  // a1
    {"PST_CP", 0, 0},  // b1
    {"PST_CP", 0, 0},  // c1
    {"PST_CP", 0, 0},  // d1
    {"PST_CP", 0, 0},  // e1
    {"PST_CP", 0, 0},  // f1
    {"PST_CP", 0, 0},  // g1
    {"PST_CP", 0, 0},  // h1
    {"PST_CP", 1, 0},  // a2
    {"PST_CP", -3, 8},  // b2
    {"PST_CP", -4, 10},  // c2
    {"PST_CP", -1, 0},  // d2
    {"PST_CP", 0, -2},  // e2
    {"PST_CP", -3, 3},  // f2
    {"PST_CP", -5, 5},  // g2
    {"PST_CP", -9, -10},  // h2
    {"PST_CP", 0, 2},  // a3
    {"PST_CP", 5, 8},  // b3
    {"PST_CP", 5, 9},  // c3
    {"PST_CP", 7, 9},  // d3
    {"PST_CP", 10, 8},  // e3
    {"PST_CP", 7, 8},  // f3
    {"PST_CP", -1, 9},  // g3
    {"PST_CP", 1, 1},  // h3
    {"PST_CP", 0, 6},  // a4
    {"PST_CP", -2, 9},  // b4
    {"PST_CP", 8, 14},  // c4
    {"PST_CP", 7, 16},  // d4
    {"PST_CP", 7, 17},  // e4
    {"PST_CP", 18, 15},  // f4
    {"PST_CP", 6, 10},  // g4
    {"PST_CP", 2, 3},  // h4
    {"PST_CP", 11, 13},  // a5
    {"PST_CP", 16, 16},  // b5
    {"PST_CP", 17, 15},  // c5
    {"PST_CP", 16, 23},  // d5
    {"PST_CP", 21, 26},  // e5
    {"PST_CP", 19, 23},  // f5
    {"PST_CP", 11, 21},  // g5
    {"PST_CP", 9, 14},  // h5
    {"PST_CP", 14, 20},  // a6
    {"PST_CP", 16, 21},  // b6
    {"PST_CP", 18, 24},  // c6
    {"PST_CP", 22, 28},  // d6
    {"PST_CP", 22, 27},  // e6
    {"PST_CP", 18, 24},  // f6
    {"PST_CP", 16, 22},  // g6
    {"PST_CP", 14, 20},  // h6
    {"PST_CP", 24, 34},  // a7
    {"PST_CP", 26, 36},  // b7
    {"PST_CP", 28, 38},  // c7
    {"PST_CP", 30, 40},  // d7
    {"PST_CP", 30, 40},  // e7
    {"PST_CP", 28, 38},  // f7
    {"PST_CP", 26, 36},  // g7
    {"PST_CP", 24, 34},  // h7
    {"PST_CP", 0, 0},  // a8
    {"PST_CP", 0, 0},  // b8
    {"PST_CP", 0, 0},  // c8
    {"PST_CP", 0, 0},  // d8
    {"PST_CP", 0, 0},  // e8
    {"PST_CP", 0, 0},  // f8
    {"PST_CP", 0, 0},  // g8
    {"PST_CP", 0, 0},  // h8

    // PST_DP: pawn defended by a friendly pawn
    {"PST_DP", 0, 0},  // a1
    {"PST_DP", 0, 0},  // b1
    {"PST_DP", 0, 0},  // c1
    {"PST_DP", 0, 0},  // d1
    {"PST_DP", 0, 0},  // e1
    {"PST_DP", 0, 0},  // f1
    {"PST_DP", 0, 0},  // g1
    {"PST_DP", 0, 0},  // h1
    {"PST_DP", 0, 0},  // a2
    {"PST_DP", 0, 0},  // b2
    {"PST_DP", 0, 0},  // c2
    {"PST_DP", 0, 0},  // d2
    {"PST_DP", 0, 0},  // e2
    {"PST_DP", 0, 0},  // f2
    {"PST_DP", 0, 0},  // g2
    {"PST_DP", 0, 0},  // h2
    {"PST_DP", 12, 7},  // a3
    {"PST_DP", 11, 11},  // b3
    {"PST_DP", 16, 16},  // c3
    {"PST_DP", 13, 15},  // d3
    {"PST_DP", 21, 21},  // e3
    {"PST_DP", 6, 16},  // f3
    {"PST_DP", 14, -8},  // g3
    {"PST_DP", 15, 3},  // h3
    {"PST_DP", -2, 11},  // a4
    {"PST_DP", 7, 11},  // b4
    {"PST_DP", 14, 18},  // c4
    {"PST_DP", 16, 16},  // d4
    {"PST_DP", 12, 9},  // e4
    {"PST_DP", 10, -5},  // f4
    {"PST_DP", 7, 8},  // g4
    {"PST_DP", 6, 7},  // h4
    {"PST_DP", 0, 2},  // a5
    {"PST_DP", 6, 4},  // b5
    {"PST_DP", 14, 24},  // c5
    {"PST_DP", 13, 12},  // d5
    {"PST_DP", 20, 17},  // e5
    {"PST_DP", 16, 15},  // f5
    {"PST_DP", 4, 14},  // g5
    {"PST_DP", 9, 5},  // h5
    {"PST_DP", 6, 14},  // a6
    {"PST_DP", 11, 17},  // b6
    {"PST_DP", 23, 30},  // c6
    {"PST_DP", 24, 30},  // d6
    {"PST_DP", 22, 28},  // e6
    {"PST_DP", 20, 28},  // f6
    {"PST_DP", 18, 20},  // g6
    {"PST_DP", 11, 12},  // h6
    {"PST_DP", 20, 26},  // a7
    {"PST_DP", 22, 28},  // b7
    {"PST_DP", 24, 32},  // c7
    {"PST_DP", 26, 34},  // d7
    {"PST_DP", 26, 34},  // e7
    {"PST_DP", 24, 30},  // f7
    {"PST_DP", 22, 29},  // g7
    {"PST_DP", 20, 28},  // h7
    {"PST_DP", 0, 0},  // a8
    {"PST_DP", 0, 0},  // b8
    {"PST_DP", 0, 0},  // c8
    {"PST_DP", 0, 0},  // d8
    {"PST_DP", 0, 0},  // e8
    {"PST_DP", 0, 0},  // f8
    {"PST_DP", 0, 0},  // g8
    {"PST_DP", 0, 0},  // h8

    // PST_N1: knights, kings on the same wing
    {"PST_N1", -45, -40},  // a1
    {"PST_N1", -27, -29},  // b1
    {"PST_N1", -27, -20},  // c1
    {"PST_N1", -15, -17},  // d1
    {"PST_N1", -12, -14},  // e1
    {"PST_N1", -17, -21},  // f1
    {"PST_N1", -31, -24},  // g1
    {"PST_N1", -45, -40},  // h1
    {"PST_N1", -32, -27},  // a2
    {"PST_N1", -21, -13},  // b2
    {"PST_N1", -9, -9},  // c2
    {"PST_N1", 7, -5},  // d2
    {"PST_N1", 8, 2},  // e2
    {"PST_N1", 6, -8},  // f2
    {"PST_N1", -6, -11},  // g2
    {"PST_N1", -16, -27},  // h2
    {"PST_N1", -24, -19},  // a3
    {"PST_N1", -5, -5},  // b3
    {"PST_N1", -4, 1},  // c3
    {"PST_N1", 8, 9},  // d3
    {"PST_N1", 5, 11},  // e3
    {"PST_N1", 8, 7},  // f3
    {"PST_N1", 22, 0},  // g3
    {"PST_N1", -13, -15},  // h3
    {"PST_N1", -2, -12},  // a4
    {"PST_N1", -3, 1},  // b4
    {"PST_N1", 17, 11},  // c4
    {"PST_N1", 10, 17},  // d4
    {"PST_N1", 13, 18},  // e4
    {"PST_N1", 23, 9},  // f4
    {"PST_N1", 6, 3},  // g4
    {"PST_N1", -3, -14},  // h4
    {"PST_N1", -6, -11},  // a5
    {"PST_N1", -7, -4},  // b5
    {"PST_N1", 12, 11},  // c5
    {"PST_N1", 18, 18},  // d5
    {"PST_N1", 11, 15},  // e5
    {"PST_N1", 32, 16},  // f5
    {"PST_N1", 10, 4},  // g5
    {"PST_N1", -2, -13},  // h5
    {"PST_N1", -16, -17},  // a6
    {"PST_N1", -1, 2},  // b6
    {"PST_N1", 6, 2},  // c6
    {"PST_N1", 18, 13},  // d6
    {"PST_N1", 25, 15},  // e6
    {"PST_N1", 31, 7},  // f6
    {"PST_N1", 16, 2},  // g6
    {"PST_N1", -14, -17},  // h6
    {"PST_N1", -25, -20},  // a7
    {"PST_N1", -12, -9},  // b7
    {"PST_N1", -6, -2},  // c7
    {"PST_N1", 4, 8},  // d7
    {"PST_N1", 6, 3},  // e7
    {"PST_N1", 1, 0},  // f7
    {"PST_N1", -10, -10},  // g7
    {"PST_N1", -27, -23},  // h7
    {"PST_N1", -52, -43},  // a8
    {"PST_N1", -25, -25},  // b8
    {"PST_N1", -19, -17},  // c8
    {"PST_N1", -15, -14},  // d8
    {"PST_N1", -15, -14},  // e8
    {"PST_N1", -21, -18},  // f8
    {"PST_N1", -25, -25},  // g8
    {"PST_N1", -50, -40},  // h8

    // PST_B1: bishops, kings on the same wing
    {"PST_B1", -23, -17},  // a1
    {"PST_B1", 0, -13},  // b1
    {"PST_B1", -2, -3},  // c1
    {"PST_B1", 9, -3},  // d1
    {"PST_B1", -5, 0},  // e1
    {"PST_B1", -12, -5},  // f1
    {"PST_B1", -10, -12},  // g1
    {"PST_B1", -15, -14},  // h1
    {"PST_B1", 7, -12},  // a2
    {"PST_B1", 15, -3},  // b2
    {"PST_B1", 14, -8},  // c2
    {"PST_B1", -5, 2},  // d2
    {"PST_B1", 6, 1},  // e2
    {"PST_B1", 8, -2},  // f2
    {"PST_B1", 27, -12},  // g2
    {"PST_B1", 3, -8},  // h2
    {"PST_B1", 9, -10},  // a3
    {"PST_B1", 18, 1},  // b3
    {"PST_B1", 11, 4},  // c3
    {"PST_B1", 0, 14},  // d3
    {"PST_B1", 1, 10},  // e3
    {"PST_B1", 21, 8},  // f3
    {"PST_B1", 18, 0},  // g3
    {"PST_B1", 4, -8},  // h3
    {"PST_B1", -2, -8},  // a4
    {"PST_B1", 8, 5},  // b4
    {"PST_B1", 12, 4},  // c4
    {"PST_B1", 11, 4},  // d4
    {"PST_B1", 11, 5},  // e4
    {"PST_B1", 4, 5},  // f4
    {"PST_B1", 2, 5},  // g4
    {"PST_B1", 8, -3},  // h4
    {"PST_B1", -5, -5},  // a5
    {"PST_B1", -7, -4},  // b5
    {"PST_B1", 5, 6},  // c5
    {"PST_B1", 8, 1},  // d5
    {"PST_B1", 5, 3},  // e5
    {"PST_B1", 7, 5},  // f5
    {"PST_B1", -2, 1},  // g5
    {"PST_B1", -5, -10},  // h5
    {"PST_B1", -9, -9},  // a6
    {"PST_B1", -1, 0},  // b6
    {"PST_B1", 6, 3},  // c6
    {"PST_B1", 4, 3},  // d6
    {"PST_B1", 4, 3},  // e6
    {"PST_B1", 13, 9},  // f6
    {"PST_B1", 2, 0},  // g6
    {"PST_B1", -2, -6},  // h6
    {"PST_B1", -14, -10},  // a7
    {"PST_B1", -4, 2},  // b7
    {"PST_B1", -6, -2},  // c7
    {"PST_B1", -4, 4},  // d7
    {"PST_B1", -5, 3},  // e7
    {"PST_B1", -2, -1},  // f7
    {"PST_B1", -4, -3},  // g7
    {"PST_B1", -20, -11},  // h7
    {"PST_B1", -19, -13},  // a8
    {"PST_B1", -10, -9},  // b8
    {"PST_B1", -11, -6},  // c8
    {"PST_B1", -13, -5},  // d8
    {"PST_B1", -14, -7},  // e8
    {"PST_B1", -12, -6},  // f8
    {"PST_B1", -11, -11},  // g8
    {"PST_B1", -21, -17},  // h8

    // PST_R1: rooks, kings on the same wing
    {"PST_R1", -3, 0},  // a1
    {"PST_R1", 2, -6},  // b1
    {"PST_R1", -1, 1},  // c1
    {"PST_R1", 4, 2},  // d1
    {"PST_R1", 15, -11},  // e1
    {"PST_R1", 1, -1},  // f1
    {"PST_R1", -17, -4},  // g1
    {"PST_R1", -18, -13},  // h1
    {"PST_R1", -8, -3},  // a2
    {"PST_R1", -10, -5},  // b2
    {"PST_R1", -5, -2},  // c2
    {"PST_R1", -1, -6},  // d2
    {"PST_R1", -7, -9},  // e2
    {"PST_R1", -1, -5},  // f2
    {"PST_R1", -8, -4},  // g2
    {"PST_R1", -29, -7},  // h2
    {"PST_R1", -13, 0},  // a3
    {"PST_R1", -12, 1},  // b3
    {"PST_R1", -4, -2},  // c3
    {"PST_R1", -3, 1},  // d3
    {"PST_R1", 11, -1},  // e3
    {"PST_R1", -3, -3},  // f3
    {"PST_R1", -2, -4},  // g3
    {"PST_R1", -20, -1},  // h3
    {"PST_R1", -10, 4},  // a4
    {"PST_R1", -7, 2},  // b4
    {"PST_R1", 0, 6},  // c4
    {"PST_R1", 3, 2},  // d4
    {"PST_R1", 4, 3},  // e4
    {"PST_R1", -2, 2},  // f4
    {"PST_R1", -4, 1},  // g4
    {"PST_R1", -7, 0},  // h4
    {"PST_R1", -4, 12},  // a5
    {"PST_R1", 0, 11},  // b5
    {"PST_R1", 5, 11},  // c5
    {"PST_R1", 11, 10},  // d5
    {"PST_R1", 10, 9},  // e5
    {"PST_R1", 7, 5},  // f5
    {"PST_R1", 3, 6},  // g5
    {"PST_R1", -5, 6},  // h5
    {"PST_R1", 6, 12},  // a6
    {"PST_R1", 7, 9},  // b6
    {"PST_R1", 10, 12},  // c6
    {"PST_R1", 14, 7},  // d6
    {"PST_R1", 14, 10},  // e6
    {"PST_R1", 9, 6},  // f6
    {"PST_R1", 8, 7},  // g6
    {"PST_R1", -1, 5},  // h6
    {"PST_R1", 8, 7},  // a7
    {"PST_R1", 11, 10},  // b7
    {"PST_R1", 19, 11},  // c7
    {"PST_R1", 23, 14},  // d7
    {"PST_R1", 22, 12},  // e7
    {"PST_R1", 21, 16},  // f7
    {"PST_R1", 18, 11},  // g7
    {"PST_R1", 17, 11},  // h7
    {"PST_R1", 7, 7},  // a8
    {"PST_R1", 10, 12},  // b8
    {"PST_R1", 13, 14},  // c8
    {"PST_R1", 15, 13},  // d8
    {"PST_R1", 16, 11},  // e8
    {"PST_R1", 11, 10},  // f8
    {"PST_R1", 11, 9},  // g8
    {"PST_R1", 8, 7},  // h8

    // PST_Q1: queens, kings on the same wing
    {"PST_Q1", -13, -13},  // a1
    {"PST_Q1", -12, -7},  // b1
    {"PST_Q1", -4, -7},  // c1
    {"PST_Q1", -4, -7},  // d1
    {"PST_Q1", -1, -5},  // e1
    {"PST_Q1", -7, -5},  // f1
    {"PST_Q1", -10, -9},  // g1
    {"PST_Q1", -13, -11},  // h1
    {"PST_Q1", -10, -11},  // a2
    {"PST_Q1", -3, -3},  // b2
    {"PST_Q1", -2, -3},  // c2
    {"PST_Q1", 4, 0},  // d2
    {"PST_Q1", 9, 1},  // e2
    {"PST_Q1", 1, -3},  // f2
    {"PST_Q1", -4, -4},  // g2
    {"PST_Q1", -14, -8},  // h2
    {"PST_Q1", -10, -5},  // a3
    {"PST_Q1", 2, 5},  // b3
    {"PST_Q1", -2, 7},  // c3
    {"PST_Q1", -2, 8},  // d3
    {"PST_Q1", 3, 10},  // e3
    {"PST_Q1", 1, 6},  // f3
    {"PST_Q1", 8, 2},  // g3
    {"PST_Q1", -4, -3},  // h3
    {"PST_Q1", -16, 1},  // a4
    {"PST_Q1", -4, 5},  // b4
    {"PST_Q1", -1, 8},  // c4
    {"PST_Q1", -5, 12},  // d4
    {"PST_Q1", 3, 17},  // e4
    {"PST_Q1", 4, 7},  // f4
    {"PST_Q1", 7, 7},  // g4
    {"PST_Q1", 2, -1},  // h4
    {"PST_Q1", -7, -1},  // a5
    {"PST_Q1", 2, 9},  // b5
    {"PST_Q1", -1, 8},  // c5
    {"PST_Q1", 1, 12},  // d5
    {"PST_Q1", 8, 17},  // e5
    {"PST_Q1", 11, 9},  // f5
    {"PST_Q1", 0, 5},  // g5
    {"PST_Q1", -4, -1},  // h5
    {"PST_Q1", -9, -3},  // a6
    {"PST_Q1", 0, 4},  // b6
    {"PST_Q1", 4, 9},  // c6
    {"PST_Q1", 9, 11},  // d6
    {"PST_Q1", 4, 8},  // e6
    {"PST_Q1", 11, 7},  // f6
    {"PST_Q1", 8, 3},  // g6
    {"PST_Q1", -3, -3},  // h6
    {"PST_Q1", -10, -9},  // a7
    {"PST_Q1", -10, -1},  // b7
    {"PST_Q1", 2, 4},  // c7
    {"PST_Q1", 5, 5},  // d7
    {"PST_Q1", 5, 6},  // e7
    {"PST_Q1", 6, 2},  // f7
    {"PST_Q1", 1, -2},  // g7
    {"PST_Q1", -5, -8},  // h7
    {"PST_Q1", -12, -12},  // a8
    {"PST_Q1", -6, -7},  // b8
    {"PST_Q1", -4, -4},  // c8
    {"PST_Q1", -3, -2},  // d8
    {"PST_Q1", -2, -1},  // e8
    {"PST_Q1", -4, -3},  // f8
    {"PST_Q1", -6, -8},  // g8
    {"PST_Q1", -10, -10},  // h8

    // PST_K: king (files a-d are never used: the own king is mirrored to e-h)
    {"PST_K", 0, 0},  // a1
    {"PST_K", 0, 0},  // b1
    {"PST_K", 0, 0},  // c1
    {"PST_K", 0, 0},  // d1
    {"PST_K", -20, -67},  // e1
    {"PST_K", -32, -46},  // f1
    {"PST_K", 10, -63},  // g1
    {"PST_K", 4, -82},  // h1
    {"PST_K", 0, 0},  // a2
    {"PST_K", 0, 0},  // b2
    {"PST_K", 0, 0},  // c2
    {"PST_K", 0, 0},  // d2
    {"PST_K", -31, -34},  // e2
    {"PST_K", -27, -35},  // f2
    {"PST_K", 3, -43},  // g2
    {"PST_K", 11, -58},  // h2
    {"PST_K", 0, 0},  // a3
    {"PST_K", 0, 0},  // b3
    {"PST_K", 0, 0},  // c3
    {"PST_K", 0, 0},  // d3
    {"PST_K", -33, -16},  // e3
    {"PST_K", -33, -15},  // f3
    {"PST_K", -17, -29},  // g3
    {"PST_K", -22, -43},  // h3
    {"PST_K", 0, 0},  // a4
    {"PST_K", 0, 0},  // b4
    {"PST_K", 0, 0},  // c4
    {"PST_K", 0, 0},  // d4
    {"PST_K", -43, -1},  // e4
    {"PST_K", -38, -1},  // f4
    {"PST_K", -36, -16},  // g4
    {"PST_K", -35, -30},  // h4
    {"PST_K", 0, 0},  // a5
    {"PST_K", 0, 0},  // b5
    {"PST_K", 0, 0},  // c5
    {"PST_K", 0, 0},  // d5
    {"PST_K", -48, 6},  // e5
    {"PST_K", -47, -1},  // f5
    {"PST_K", -43, -11},  // g5
    {"PST_K", -43, -26},  // h5
    {"PST_K", 0, 0},  // a6
    {"PST_K", 0, 0},  // b6
    {"PST_K", 0, 0},  // c6
    {"PST_K", 0, 0},  // d6
    {"PST_K", -51, 2},  // e6
    {"PST_K", -49, 5},  // f6
    {"PST_K", -46, -2},  // g6
    {"PST_K", -47, -25},  // h6
    {"PST_K", 0, 0},  // a7
    {"PST_K", 0, 0},  // b7
    {"PST_K", 0, 0},  // c7
    {"PST_K", 0, 0},  // d7
    {"PST_K", -56, -24},  // e7
    {"PST_K", -52, -15},  // f7
    {"PST_K", -50, -21},  // g7
    {"PST_K", -51, -46},  // h7
    {"PST_K", 0, 0},  // a8
    {"PST_K", 0, 0},  // b8
    {"PST_K", 0, 0},  // c8
    {"PST_K", 0, 0},  // d8
    {"PST_K", -60, -50},  // e8
    {"PST_K", -57, -45},  // f8
    {"PST_K", -55, -50},  // g8
    {"PST_K", -56, -78},  // h8

    // PST_P2: pawns, kings on different wings
    {"PST_P2", 0, 0},  // a1
    {"PST_P2", 0, 0},  // b1
    {"PST_P2", 0, 0},  // c1
    {"PST_P2", 0, 0},  // d1
    {"PST_P2", 0, 0},  // e1
    {"PST_P2", 0, 0},  // f1
    {"PST_P2", 0, 0},  // g1
    {"PST_P2", 0, 0},  // h1
    {"PST_P2", -21, 3},  // a2
    {"PST_P2", -18, 11},  // b2
    {"PST_P2", -20, 3},  // c2
    {"PST_P2", -22, 6},  // d2
    {"PST_P2", -13, 17},  // e2
    {"PST_P2", 4, 6},  // f2
    {"PST_P2", 27, 2},  // g2
    {"PST_P2", 0, -6},  // h2
    {"PST_P2", -30, -2},  // a3
    {"PST_P2", -26, -3},  // b3
    {"PST_P2", -22, 1},  // c3
    {"PST_P2", -31, 3},  // d3
    {"PST_P2", -15, 9},  // e3
    {"PST_P2", -7, 17},  // f3
    {"PST_P2", 7, 3},  // g3
    {"PST_P2", 1, 8},  // h3
    {"PST_P2", -8, 3},  // a4
    {"PST_P2", -1, 7},  // b4
    {"PST_P2", 3, 5},  // c4
    {"PST_P2", 1, 5},  // d4
    {"PST_P2", -2, 14},  // e4
    {"PST_P2", 6, 14},  // f4
    {"PST_P2", -4, 14},  // g4
    {"PST_P2", -2, 19},  // h4
    {"PST_P2", 11, 8},  // a5
    {"PST_P2", 18, 10},  // b5
    {"PST_P2", 9, 5},  // c5
    {"PST_P2", 9, 7},  // d5
    {"PST_P2", 5, 15},  // e5
    {"PST_P2", 6, 18},  // f5
    {"PST_P2", 6, 29},  // g5
    {"PST_P2", -5, 32},  // h5
    {"PST_P2", 23, 16},  // a6
    {"PST_P2", 29, 4},  // b6
    {"PST_P2", 24, 15},  // c6
    {"PST_P2", 25, 7},  // d6
    {"PST_P2", 26, 13},  // e6
    {"PST_P2", 21, 26},  // f6
    {"PST_P2", 14, 36},  // g6
    {"PST_P2", 5, 37},  // h6
    {"PST_P2", 27, 9},  // a7
    {"PST_P2", 28, 10},  // b7
    {"PST_P2", 28, 11},  // c7
    {"PST_P2", 25, 9},  // d7
    {"PST_P2", 22, 16},  // e7
    {"PST_P2", 10, 23},  // f7
    {"PST_P2", 2, 30},  // g7
    {"PST_P2", -7, 31},  // h7
    {"PST_P2", 0, 0},  // a8
    {"PST_P2", 0, 0},  // b8
    {"PST_P2", 0, 0},  // c8
    {"PST_P2", 0, 0},  // d8
    {"PST_P2", 0, 0},  // e8
    {"PST_P2", 0, 0},  // f8
    {"PST_P2", 0, 0},  // g8
    {"PST_P2", 0, 0},  // h8

    // PST_N2: knights, kings on different wings
    {"PST_N2", -45, -40},  // a1
    {"PST_N2", -27, -25},  // b1
    {"PST_N2", -22, -20},  // c1
    {"PST_N2", -19, -16},  // d1
    {"PST_N2", -17, -14},  // e1
    {"PST_N2", -11, -21},  // f1
    {"PST_N2", -27, -24},  // g1
    {"PST_N2", -45, -40},  // h1
    {"PST_N2", -27, -27},  // a2
    {"PST_N2", -17, -12},  // b2
    {"PST_N2", -7, -4},  // c2
    {"PST_N2", 7, -3},  // d2
    {"PST_N2", -4, 1},  // e2
    {"PST_N2", 0, -7},  // f2
    {"PST_N2", -9, -12},  // g2
    {"PST_N2", -22, -26},  // h2
    {"PST_N2", -19, -18},  // a3
    {"PST_N2", -3, -4},  // b3
    {"PST_N2", -4, 3},  // c3
    {"PST_N2", 14, 9},  // d3
    {"PST_N2", 18, 14},  // e3
    {"PST_N2", 15, 5},  // f3
    {"PST_N2", 6, -2},  // g3
    {"PST_N2", -13, -17},  // h3
    {"PST_N2", -9, -13},  // a4
    {"PST_N2", 8, 2},  // b4
    {"PST_N2", 18, 17},  // c4
    {"PST_N2", 18, 15},  // d4
    {"PST_N2", 12, 15},  // e4
    {"PST_N2", 14, 11},  // f4
    {"PST_N2", 2, 2},  // g4
    {"PST_N2", -19, -13},  // h4
    {"PST_N2", -3, -13},  // a5
    {"PST_N2", 11, -1},  // b5
    {"PST_N2", 27, 12},  // c5
    {"PST_N2", 28, 17},  // d5
    {"PST_N2", 29, 17},  // e5
    {"PST_N2", 16, 12},  // f5
    {"PST_N2", 10, 4},  // g5
    {"PST_N2", -9, -12},  // h5
    {"PST_N2", -8, -16},  // a6
    {"PST_N2", 14, 2},  // b6
    {"PST_N2", 29, 8},  // c6
    {"PST_N2", 27, 12},  // d6
    {"PST_N2", 19, 13},  // e6
    {"PST_N2", 14, 10},  // f6
    {"PST_N2", 1, 4},  // g6
    {"PST_N2", -15, -15},  // h6
    {"PST_N2", -20, -24},  // a7
    {"PST_N2", -8, -10},  // b7
    {"PST_N2", -1, -1},  // c7
    {"PST_N2", 5, 4},  // d7
    {"PST_N2", 0, 4},  // e7
    {"PST_N2", -3, 2},  // f7
    {"PST_N2", -14, -8},  // g7
    {"PST_N2", -25, -22},  // h7
    {"PST_N2", -50, -40},  // a8
    {"PST_N2", -25, -25},  // b8
    {"PST_N2", -20, -18},  // c8
    {"PST_N2", -15, -14},  // d8
    {"PST_N2", -15, -13},  // e8
    {"PST_N2", -20, -18},  // f8
    {"PST_N2", -25, -25},  // g8
    {"PST_N2", -50, -40},  // h8

    // PST_B2: bishops, kings on different wings
    {"PST_B2", -19, -16},  // a1
    {"PST_B2", -8, -12},  // b1
    {"PST_B2", -9, -3},  // c1
    {"PST_B2", -10, -5},  // d1
    {"PST_B2", -5, -6},  // e1
    {"PST_B2", -10, -5},  // f1
    {"PST_B2", -9, -11},  // g1
    {"PST_B2", -19, -15},  // h1
    {"PST_B2", -6, -11},  // a2
    {"PST_B2", 3, -6},  // b2
    {"PST_B2", 6, 0},  // c2
    {"PST_B2", 5, -3},  // d2
    {"PST_B2", 3, 3},  // e2
    {"PST_B2", 14, -1},  // f2
    {"PST_B2", 28, -1},  // g2
    {"PST_B2", -4, -10},  // h2
    {"PST_B2", 4, -8},  // a3
    {"PST_B2", 9, -1},  // b3
    {"PST_B2", 8, 5},  // c3
    {"PST_B2", 15, 6},  // d3
    {"PST_B2", 14, 5},  // e3
    {"PST_B2", 11, 6},  // f3
    {"PST_B2", 6, -3},  // g3
    {"PST_B2", 0, -7},  // h3
    {"PST_B2", -4, -6},  // a4
    {"PST_B2", 7, 4},  // b4
    {"PST_B2", 10, 4},  // c4
    {"PST_B2", 16, 9},  // d4
    {"PST_B2", 16, 10},  // e4
    {"PST_B2", 14, 6},  // f4
    {"PST_B2", 4, 1},  // g4
    {"PST_B2", -4, -6},  // h4
    {"PST_B2", -3, -7},  // a5
    {"PST_B2", 6, 3},  // b5
    {"PST_B2", 7, 3},  // c5
    {"PST_B2", 15, 11},  // d5
    {"PST_B2", 13, 5},  // e5
    {"PST_B2", 7, 6},  // f5
    {"PST_B2", 6, 4},  // g5
    {"PST_B2", -10, -7},  // h5
    {"PST_B2", -4, -7},  // a6
    {"PST_B2", 7, 1},  // b6
    {"PST_B2", 12, 9},  // c6
    {"PST_B2", 9, 5},  // d6
    {"PST_B2", 10, 9},  // e6
    {"PST_B2", 6, 7},  // f6
    {"PST_B2", 2, 3},  // g6
    {"PST_B2", -9, -7},  // h6
    {"PST_B2", -13, -11},  // a7
    {"PST_B2", 0, -1},  // b7
    {"PST_B2", 1, -1},  // c7
    {"PST_B2", -1, 5},  // d7
    {"PST_B2", -5, 1},  // e7
    {"PST_B2", -4, -3},  // f7
    {"PST_B2", -5, -3},  // g7
    {"PST_B2", -12, -9},  // h7
    {"PST_B2", -20, -16},  // a8
    {"PST_B2", -10, -10},  // b8
    {"PST_B2", -12, -8},  // c8
    {"PST_B2", -14, -6},  // d8
    {"PST_B2", -14, -4},  // e8
    {"PST_B2", -12, -7},  // f8
    {"PST_B2", -10, -8},  // g8
    {"PST_B2", -20, -15},  // h8

    // PST_R2: rooks, kings on different wings
    {"PST_R2", -13, -6},  // a1
    {"PST_R2", 8, -13},  // b1
    {"PST_R2", 0, -9},  // c1
    {"PST_R2", 1, -8},  // d1
    {"PST_R2", 17, -7},  // e1
    {"PST_R2", 1, -2},  // f1
    {"PST_R2", -9, -6},  // g1
    {"PST_R2", -27, 3},  // h1
    {"PST_R2", -9, -9},  // a2
    {"PST_R2", 2, -5},  // b2
    {"PST_R2", -2, -6},  // c2
    {"PST_R2", -2, -4},  // d2
    {"PST_R2", -9, -6},  // e2
    {"PST_R2", -9, -5},  // f2
    {"PST_R2", -10, -4},  // g2
    {"PST_R2", -15, -5},  // h2
    {"PST_R2", -3, -1},  // a3
    {"PST_R2", -4, -4},  // b3
    {"PST_R2", -2, -3},  // c3
    {"PST_R2", 0, 0},  // d3
    {"PST_R2", -6, -2},  // e3
    {"PST_R2", -6, -2},  // f3
    {"PST_R2", -7, 1},  // g3
    {"PST_R2", -14, -1},  // h3
    {"PST_R2", 0, 1},  // a4
    {"PST_R2", 1, 1},  // b4
    {"PST_R2", -1, -2},  // c4
    {"PST_R2", 1, 2},  // d4
    {"PST_R2", 0, 5},  // e4
    {"PST_R2", -3, 3},  // f4
    {"PST_R2", -3, 3},  // g4
    {"PST_R2", -12, 0},  // h4
    {"PST_R2", 5, 5},  // a5
    {"PST_R2", 5, 6},  // b5
    {"PST_R2", 7, 6},  // c5
    {"PST_R2", 6, 8},  // d5
    {"PST_R2", 3, 9},  // e5
    {"PST_R2", 2, 7},  // f5
    {"PST_R2", 0, 9},  // g5
    {"PST_R2", -4, 7},  // h5
    {"PST_R2", 10, 9},  // a6
    {"PST_R2", 12, 7},  // b6
    {"PST_R2", 10, 5},  // c6
    {"PST_R2", 10, 6},  // d6
    {"PST_R2", 9, 8},  // e6
    {"PST_R2", 8, 10},  // f6
    {"PST_R2", 5, 8},  // g6
    {"PST_R2", 0, 7},  // h6
    {"PST_R2", 20, 8},  // a7
    {"PST_R2", 22, 9},  // b7
    {"PST_R2", 23, 11},  // c7
    {"PST_R2", 23, 15},  // d7
    {"PST_R2", 23, 17},  // e7
    {"PST_R2", 21, 16},  // f7
    {"PST_R2", 15, 11},  // g7
    {"PST_R2", 14, 9},  // h7
    {"PST_R2", 11, 8},  // a8
    {"PST_R2", 14, 4},  // b8
    {"PST_R2", 14, 6},  // c8
    {"PST_R2", 14, 10},  // d8
    {"PST_R2", 12, 11},  // e8
    {"PST_R2", 10, 10},  // f8
    {"PST_R2", 9, 9},  // g8
    {"PST_R2", 5, 3},  // h8

    // PST_Q2: queens, kings on different wings
    {"PST_Q2", -14, -13},  // a1
    {"PST_Q2", -11, -9},  // b1
    {"PST_Q2", -6, -4},  // c1
    {"PST_Q2", -2, -3},  // d1
    {"PST_Q2", -7, -2},  // e1
    {"PST_Q2", -12, -4},  // f1
    {"PST_Q2", -10, -8},  // g1
    {"PST_Q2", -14, -12},  // h1
    {"PST_Q2", -10, -8},  // a2
    {"PST_Q2", -5, -2},  // b2
    {"PST_Q2", 2, 1},  // c2
    {"PST_Q2", 0, 4},  // d2
    {"PST_Q2", 8, 4},  // e2
    {"PST_Q2", 1, 3},  // f2
    {"PST_Q2", -6, -2},  // g2
    {"PST_Q2", -10, -8},  // h2
    {"PST_Q2", -5, -4},  // a3
    {"PST_Q2", 6, 2},  // b3
    {"PST_Q2", 3, 6},  // c3
    {"PST_Q2", 2, 8},  // d3
    {"PST_Q2", 0, 8},  // e3
    {"PST_Q2", 3, 6},  // f3
    {"PST_Q2", 0, 3},  // g3
    {"PST_Q2", -11, -5},  // h3
    {"PST_Q2", -3, -2},  // a4
    {"PST_Q2", 1, 4},  // b4
    {"PST_Q2", 0, 9},  // c4
    {"PST_Q2", 0, 12},  // d4
    {"PST_Q2", 1, 10},  // e4
    {"PST_Q2", 0, 8},  // f4
    {"PST_Q2", -4, 4},  // g4
    {"PST_Q2", -6, -2},  // h4
    {"PST_Q2", -2, -2},  // a5
    {"PST_Q2", 6, 4},  // b5
    {"PST_Q2", 3, 8},  // c5
    {"PST_Q2", 5, 13},  // d5
    {"PST_Q2", 4, 14},  // e5
    {"PST_Q2", -1, 8},  // f5
    {"PST_Q2", -5, 4},  // g5
    {"PST_Q2", -5, -2},  // h5
    {"PST_Q2", 2, -4},  // a6
    {"PST_Q2", 5, 2},  // b6
    {"PST_Q2", 7, 6},  // c6
    {"PST_Q2", 4, 8},  // d6
    {"PST_Q2", 3, 9},  // e6
    {"PST_Q2", -1, 7},  // f6
    {"PST_Q2", -1, 3},  // g6
    {"PST_Q2", -6, -3},  // h6
    {"PST_Q2", -1, -8},  // a7
    {"PST_Q2", 6, -2},  // b7
    {"PST_Q2", 4, 2},  // c7
    {"PST_Q2", 2, 4},  // d7
    {"PST_Q2", 0, 4},  // e7
    {"PST_Q2", 0, 3},  // f7
    {"PST_Q2", -5, 0},  // g7
    {"PST_Q2", -7, -8},  // h7
    {"PST_Q2", -11, -12},  // a8
    {"PST_Q2", -6, -8},  // b8
    {"PST_Q2", -4, -4},  // c8
    {"PST_Q2", -1, -2},  // d8
    {"PST_Q2", -2, -2},  // e8
    {"PST_Q2", -4, -4},  // f8
    {"PST_Q2", -6, -8},  // g8
    {"PST_Q2", -12, -13},  // h8
};
// clang-format on

// A row left out would leave a nameless entry at the end of the table.
static_assert(every_row_named(BuiltinParamValues));
