// Built-in values of the evaluation parameters: one row per registry entry,
// in registry order, middlegame and endgame in centipawns. setup_eval_params
// applies the rows in this order, so a tuner can rewrite the whole file.
//
// Piece-square rows run a1, b1, ..., h8 (entry i is square i) in the
// evaluation's frame: files mirrored so that the own king stands on e-h,
// Black's squares flipped by rank. The "1" tables serve kings on the same
// wing, the "2" tables kings on opposite wings (the enemy king on a-d).
#include "param_values.h"

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
    {"PST_CP", 1, 1},  // b2
    {"PST_CP", 2, 1},  // c2
    {"PST_CP", 3, 1},  // d2
    {"PST_CP", 3, 1},  // e2
    {"PST_CP", 2, 1},  // f2
    {"PST_CP", 1, 1},  // g2
    {"PST_CP", 1, 0},  // h2
    {"PST_CP", 2, 2},  // a3
    {"PST_CP", 3, 3},  // b3
    {"PST_CP", 5, 3},  // c3
    {"PST_CP", 7, 4},  // d3
    {"PST_CP", 7, 4},  // e3
    {"PST_CP", 5, 3},  // f3
    {"PST_CP", 3, 3},  // g3
    {"PST_CP", 2, 2},  // h3
    {"PST_CP", 4, 5},  // a4
    {"PST_CP", 6, 6},  // b4
    {"PST_CP", 8, 7},  // c4
    {"PST_CP", 12, 8},  // d4
    {"PST_CP", 12, 8},  // e4
    {"PST_CP", 8, 7},  // f4
    {"PST_CP", 6, 6},  // g4
    {"PST_CP", 4, 5},  // h4
    {"PST_CP", 8, 10},  // a5
    {"PST_CP", 10, 12},  // b5
    {"PST_CP", 12, 13},  // c5
    {"PST_CP", 16, 15},  // d5
    {"PST_CP", 16, 15},  // e5
    {"PST_CP", 12, 13},  // f5
    {"PST_CP", 10, 12},  // g5
    {"PST_CP", 8, 10},  // h5
    {"PST_CP", 14, 20},  // a6
    {"PST_CP", 16, 22},  // b6
    {"PST_CP", 18, 24},  // c6
    {"PST_CP", 22, 26},  // d6
    {"PST_CP", 22, 26},  // e6
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
    {"PST_DP", 1, 2},  // a3
    {"PST_DP", 2, 2},  // b3
    {"PST_DP", 4, 3},  // c3
    {"PST_DP", 6, 3},  // d3
    {"PST_DP", 6, 3},  // e3
    {"PST_DP", 4, 3},  // f3
    {"PST_DP", 2, 2},  // g3
    {"PST_DP", 1, 2},  // h3
    {"PST_DP", 3, 4},  // a4
    {"PST_DP", 5, 5},  // b4
    {"PST_DP", 7, 6},  // c4
    {"PST_DP", 10, 7},  // d4
    {"PST_DP", 10, 7},  // e4
    {"PST_DP", 7, 6},  // f4
    {"PST_DP", 5, 5},  // g4
    {"PST_DP", 3, 4},  // h4
    {"PST_DP", 6, 9},  // a5
    {"PST_DP", 8, 10},  // b5
    {"PST_DP", 10, 11},  // c5
    {"PST_DP", 14, 12},  // d5
    {"PST_DP", 14, 12},  // e5
    {"PST_DP", 10, 11},  // f5
    {"PST_DP", 8, 10},  // g5
    {"PST_DP", 6, 9},  // h5
    {"PST_DP", 12, 16},  // a6
    {"PST_DP", 14, 18},  // b6
    {"PST_DP", 16, 20},  // c6
    {"PST_DP", 20, 22},  // d6
    {"PST_DP", 20, 22},  // e6
    {"PST_DP", 16, 20},  // f6
    {"PST_DP", 14, 18},  // g6
    {"PST_DP", 12, 16},  // h6
    {"PST_DP", 20, 28},  // a7
    {"PST_DP", 22, 30},  // b7
    {"PST_DP", 24, 32},  // c7
    {"PST_DP", 26, 34},  // d7
    {"PST_DP", 26, 34},  // e7
    {"PST_DP", 24, 32},  // f7
    {"PST_DP", 22, 30},  // g7
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
    {"PST_N1", -28, -26},  // b1
    {"PST_N1", -22, -20},  // c1
    {"PST_N1", -18, -16},  // d1
    {"PST_N1", -16, -16},  // e1
    {"PST_N1", -14, -20},  // f1
    {"PST_N1", -24, -26},  // g1
    {"PST_N1", -45, -40},  // h1
    {"PST_N1", -30, -26},  // a2
    {"PST_N1", -18, -12},  // b2
    {"PST_N1", -6, -4},  // c2
    {"PST_N1", 0, 0},  // d2
    {"PST_N1", 2, 0},  // e2
    {"PST_N1", 4, -4},  // f2
    {"PST_N1", -10, -12},  // g2
    {"PST_N1", -22, -26},  // h2
    {"PST_N1", -25, -18},  // a3
    {"PST_N1", -8, -2},  // b3
    {"PST_N1", 6, 6},  // c3
    {"PST_N1", 10, 12},  // d3
    {"PST_N1", 12, 12},  // e3
    {"PST_N1", 14, 6},  // f3
    {"PST_N1", 4, -2},  // g3
    {"PST_N1", -15, -18},  // h3
    {"PST_N1", -18, -14},  // a4
    {"PST_N1", 0, 4},  // b4
    {"PST_N1", 10, 12},  // c4
    {"PST_N1", 18, 18},  // d4
    {"PST_N1", 20, 18},  // e4
    {"PST_N1", 18, 12},  // f4
    {"PST_N1", 8, 4},  // g4
    {"PST_N1", -12, -14},  // h4
    {"PST_N1", -12, -14},  // a5
    {"PST_N1", 5, 4},  // b5
    {"PST_N1", 15, 14},  // c5
    {"PST_N1", 24, 20},  // d5
    {"PST_N1", 28, 20},  // e5
    {"PST_N1", 30, 14},  // f5
    {"PST_N1", 22, 4},  // g5
    {"PST_N1", -5, -14},  // h5
    {"PST_N1", -15, -16},  // a6
    {"PST_N1", 0, 2},  // b6
    {"PST_N1", 15, 10},  // c6
    {"PST_N1", 22, 16},  // d6
    {"PST_N1", 28, 16},  // e6
    {"PST_N1", 35, 10},  // f6
    {"PST_N1", 15, 2},  // g6
    {"PST_N1", -10, -16},  // h6
    {"PST_N1", -25, -22},  // a7
    {"PST_N1", -15, -10},  // b7
    {"PST_N1", -5, 0},  // c7
    {"PST_N1", 0, 4},  // d7
    {"PST_N1", 5, 4},  // e7
    {"PST_N1", 0, 0},  // f7
    {"PST_N1", -10, -10},  // g7
    {"PST_N1", -25, -22},  // h7
    {"PST_N1", -50, -40},  // a8
    {"PST_N1", -25, -25},  // b8
    {"PST_N1", -20, -18},  // c8
    {"PST_N1", -15, -14},  // d8
    {"PST_N1", -15, -14},  // e8
    {"PST_N1", -20, -18},  // f8
    {"PST_N1", -25, -25},  // g8
    {"PST_N1", -50, -40},  // h8

    // PST_B1: bishops, kings on the same wing
    {"PST_B1", -20, -16},  // a1
    {"PST_B1", -8, -10},  // b1
    {"PST_B1", -12, -8},  // c1
    {"PST_B1", -8, -6},  // d1
    {"PST_B1", -8, -6},  // e1
    {"PST_B1", -14, -8},  // f1
    {"PST_B1", -8, -10},  // g1
    {"PST_B1", -20, -16},  // h1
    {"PST_B1", -4, -10},  // a2
    {"PST_B1", 14, -4},  // b2
    {"PST_B1", 6, 0},  // c2
    {"PST_B1", 4, 2},  // d2
    {"PST_B1", 6, 2},  // e2
    {"PST_B1", 6, 0},  // f2
    {"PST_B1", 16, -4},  // g2
    {"PST_B1", -4, -10},  // h2
    {"PST_B1", -2, -8},  // a3
    {"PST_B1", 10, 0},  // b3
    {"PST_B1", 10, 6},  // c3
    {"PST_B1", 12, 6},  // d3
    {"PST_B1", 10, 6},  // e3
    {"PST_B1", 12, 6},  // f3
    {"PST_B1", 10, 0},  // g3
    {"PST_B1", -2, -8},  // h3
    {"PST_B1", -4, -6},  // a4
    {"PST_B1", 6, 2},  // b4
    {"PST_B1", 14, 6},  // c4
    {"PST_B1", 14, 10},  // d4
    {"PST_B1", 14, 10},  // e4
    {"PST_B1", 12, 6},  // f4
    {"PST_B1", 6, 2},  // g4
    {"PST_B1", -4, -6},  // h4
    {"PST_B1", -6, -6},  // a5
    {"PST_B1", 4, 2},  // b5
    {"PST_B1", 8, 6},  // c5
    {"PST_B1", 14, 10},  // d5
    {"PST_B1", 14, 10},  // e5
    {"PST_B1", 10, 6},  // f5
    {"PST_B1", 6, 2},  // g5
    {"PST_B1", -6, -6},  // h5
    {"PST_B1", -8, -8},  // a6
    {"PST_B1", 6, 2},  // b6
    {"PST_B1", 10, 6},  // c6
    {"PST_B1", 8, 6},  // d6
    {"PST_B1", 8, 6},  // e6
    {"PST_B1", 12, 6},  // f6
    {"PST_B1", 6, 2},  // g6
    {"PST_B1", -6, -8},  // h6
    {"PST_B1", -12, -10},  // a7
    {"PST_B1", -2, -2},  // b7
    {"PST_B1", 0, 0},  // c7
    {"PST_B1", -4, 2},  // d7
    {"PST_B1", -4, 2},  // e7
    {"PST_B1", 0, 0},  // f7
    {"PST_B1", -2, -2},  // g7
    {"PST_B1", -12, -10},  // h7
    {"PST_B1", -20, -16},  // a8
    {"PST_B1", -10, -10},  // b8
    {"PST_B1", -12, -8},  // c8
    {"PST_B1", -14, -6},  // d8
    {"PST_B1", -14, -6},  // e8
    {"PST_B1", -12, -8},  // f8
    {"PST_B1", -10, -10},  // g8
    {"PST_B1", -20, -16},  // h8

    // PST_R1: rooks, kings on the same wing
    {"PST_R1", -6, -6},  // a1
    {"PST_R1", -2, -4},  // b1
    {"PST_R1", 4, -2},  // c1
    {"PST_R1", 8, 0},  // d1
    {"PST_R1", 8, 0},  // e1
    {"PST_R1", 4, -2},  // f1
    {"PST_R1", -4, -4},  // g1
    {"PST_R1", -14, -6},  // h1
    {"PST_R1", -16, -6},  // a2
    {"PST_R1", -8, -4},  // b2
    {"PST_R1", -6, -4},  // c2
    {"PST_R1", -4, -4},  // d2
    {"PST_R1", -4, -4},  // e2
    {"PST_R1", -6, -4},  // f2
    {"PST_R1", -8, -4},  // g2
    {"PST_R1", -16, -6},  // h2
    {"PST_R1", -12, -2},  // a3
    {"PST_R1", -6, -2},  // b3
    {"PST_R1", -4, -2},  // c3
    {"PST_R1", -2, -2},  // d3
    {"PST_R1", -2, -2},  // e3
    {"PST_R1", -4, -2},  // f3
    {"PST_R1", -6, -2},  // g3
    {"PST_R1", -12, -2},  // h3
    {"PST_R1", -8, 0},  // a4
    {"PST_R1", -4, 0},  // b4
    {"PST_R1", -2, 0},  // c4
    {"PST_R1", 0, 0},  // d4
    {"PST_R1", 0, 0},  // e4
    {"PST_R1", -2, 0},  // f4
    {"PST_R1", -4, 0},  // g4
    {"PST_R1", -8, 0},  // h4
    {"PST_R1", -4, 4},  // a5
    {"PST_R1", 0, 4},  // b5
    {"PST_R1", 2, 4},  // c5
    {"PST_R1", 4, 4},  // d5
    {"PST_R1", 4, 4},  // e5
    {"PST_R1", 2, 4},  // f5
    {"PST_R1", 0, 4},  // g5
    {"PST_R1", -4, 4},  // h5
    {"PST_R1", 2, 6},  // a6
    {"PST_R1", 6, 6},  // b6
    {"PST_R1", 8, 6},  // c6
    {"PST_R1", 10, 6},  // d6
    {"PST_R1", 10, 6},  // e6
    {"PST_R1", 8, 6},  // f6
    {"PST_R1", 6, 6},  // g6
    {"PST_R1", 2, 6},  // h6
    {"PST_R1", 18, 12},  // a7
    {"PST_R1", 20, 14},  // b7
    {"PST_R1", 22, 16},  // c7
    {"PST_R1", 24, 16},  // d7
    {"PST_R1", 24, 16},  // e7
    {"PST_R1", 22, 16},  // f7
    {"PST_R1", 20, 14},  // g7
    {"PST_R1", 18, 12},  // h7
    {"PST_R1", 8, 6},  // a8
    {"PST_R1", 10, 6},  // b8
    {"PST_R1", 12, 8},  // c8
    {"PST_R1", 14, 8},  // d8
    {"PST_R1", 14, 8},  // e8
    {"PST_R1", 12, 8},  // f8
    {"PST_R1", 10, 6},  // g8
    {"PST_R1", 8, 6},  // h8

    // PST_Q1: queens, kings on the same wing
    {"PST_Q1", -14, -12},  // a1
    {"PST_Q1", -10, -8},  // b1
    {"PST_Q1", -6, -4},  // c1
    {"PST_Q1", 0, -2},  // d1
    {"PST_Q1", -4, -2},  // e1
    {"PST_Q1", -8, -4},  // f1
    {"PST_Q1", -10, -8},  // g1
    {"PST_Q1", -14, -12},  // h1
    {"PST_Q1", -10, -8},  // a2
    {"PST_Q1", -4, -2},  // b2
    {"PST_Q1", 0, 2},  // c2
    {"PST_Q1", 2, 4},  // d2
    {"PST_Q1", 2, 4},  // e2
    {"PST_Q1", 0, 2},  // f2
    {"PST_Q1", -4, -2},  // g2
    {"PST_Q1", -10, -8},  // h2
    {"PST_Q1", -8, -4},  // a3
    {"PST_Q1", -2, 2},  // b3
    {"PST_Q1", 2, 6},  // c3
    {"PST_Q1", 0, 8},  // d3
    {"PST_Q1", 2, 8},  // e3
    {"PST_Q1", 2, 6},  // f3
    {"PST_Q1", 0, 2},  // g3
    {"PST_Q1", -8, -4},  // h3
    {"PST_Q1", -6, -2},  // a4
    {"PST_Q1", -2, 4},  // b4
    {"PST_Q1", 2, 8},  // c4
    {"PST_Q1", 2, 12},  // d4
    {"PST_Q1", 2, 12},  // e4
    {"PST_Q1", 2, 8},  // f4
    {"PST_Q1", 0, 4},  // g4
    {"PST_Q1", -6, -2},  // h4
    {"PST_Q1", -6, -2},  // a5
    {"PST_Q1", -2, 4},  // b5
    {"PST_Q1", 2, 8},  // c5
    {"PST_Q1", 4, 12},  // d5
    {"PST_Q1", 4, 12},  // e5
    {"PST_Q1", 6, 8},  // f5
    {"PST_Q1", 4, 4},  // g5
    {"PST_Q1", -4, -2},  // h5
    {"PST_Q1", -6, -4},  // a6
    {"PST_Q1", -2, 2},  // b6
    {"PST_Q1", 2, 6},  // c6
    {"PST_Q1", 4, 8},  // d6
    {"PST_Q1", 6, 8},  // e6
    {"PST_Q1", 8, 6},  // f6
    {"PST_Q1", 6, 2},  // g6
    {"PST_Q1", -2, -4},  // h6
    {"PST_Q1", -6, -8},  // a7
    {"PST_Q1", -4, -2},  // b7
    {"PST_Q1", 0, 2},  // c7
    {"PST_Q1", 2, 4},  // d7
    {"PST_Q1", 4, 4},  // e7
    {"PST_Q1", 6, 2},  // f7
    {"PST_Q1", 2, -2},  // g7
    {"PST_Q1", -4, -8},  // h7
    {"PST_Q1", -10, -12},  // a8
    {"PST_Q1", -6, -8},  // b8
    {"PST_Q1", -4, -4},  // c8
    {"PST_Q1", -2, -2},  // d8
    {"PST_Q1", -2, -2},  // e8
    {"PST_Q1", -4, -4},  // f8
    {"PST_Q1", -6, -8},  // g8
    {"PST_Q1", -10, -12},  // h8

    // PST_K: king (files a-d are never used: the own king is mirrored to e-h)
    {"PST_K", 0, 0},  // a1
    {"PST_K", 0, 0},  // b1
    {"PST_K", 0, 0},  // c1
    {"PST_K", 0, 0},  // d1
    {"PST_K", -12, -59},  // e1
    {"PST_K", -26, -39},  // f1
    {"PST_K", 9, -59},  // g1
    {"PST_K", 5, -88},  // h1
    {"PST_K", 0, 0},  // a2
    {"PST_K", 0, 0},  // b2
    {"PST_K", 0, 0},  // c2
    {"PST_K", 0, 0},  // d2
    {"PST_K", -22, -34},  // e2
    {"PST_K", -18, -28},  // f2
    {"PST_K", -2, -40},  // g2
    {"PST_K", -4, -62},  // h2
    {"PST_K", 0, 0},  // a3
    {"PST_K", 0, 0},  // b3
    {"PST_K", 0, 0},  // c3
    {"PST_K", 0, 0},  // d3
    {"PST_K", -32, -12},  // e3
    {"PST_K", -30, -12},  // f3
    {"PST_K", -20, -22},  // g3
    {"PST_K", -22, -42},  // h3
    {"PST_K", 0, 0},  // a4
    {"PST_K", 0, 0},  // b4
    {"PST_K", 0, 0},  // c4
    {"PST_K", 0, 0},  // d4
    {"PST_K", -42, 2},  // e4
    {"PST_K", -40, 2},  // f4
    {"PST_K", -34, -8},  // g4
    {"PST_K", -34, -28},  // h4
    {"PST_K", 0, 0},  // a5
    {"PST_K", 0, 0},  // b5
    {"PST_K", 0, 0},  // c5
    {"PST_K", 0, 0},  // d5
    {"PST_K", -48, 4},  // e5
    {"PST_K", -46, 4},  // f5
    {"PST_K", -42, -6},  // g5
    {"PST_K", -42, -26},  // h5
    {"PST_K", 0, 0},  // a6
    {"PST_K", 0, 0},  // b6
    {"PST_K", 0, 0},  // c6
    {"PST_K", 0, 0},  // d6
    {"PST_K", -52, -6},  // e6
    {"PST_K", -50, -4},  // f6
    {"PST_K", -48, -12},  // g6
    {"PST_K", -48, -32},  // h6
    {"PST_K", 0, 0},  // a7
    {"PST_K", 0, 0},  // b7
    {"PST_K", 0, 0},  // c7
    {"PST_K", 0, 0},  // d7
    {"PST_K", -56, -24},  // e7
    {"PST_K", -54, -22},  // f7
    {"PST_K", -52, -30},  // g7
    {"PST_K", -52, -50},  // h7
    {"PST_K", 0, 0},  // a8
    {"PST_K", 0, 0},  // b8
    {"PST_K", 0, 0},  // c8
    {"PST_K", 0, 0},  // d8
    {"PST_K", -60, -50},  // e8
    {"PST_K", -58, -48},  // f8
    {"PST_K", -56, -56},  // g8
    {"PST_K", -56, -76},  // h8

    // PST_P2: pawns, kings on different wings
    {"PST_P2", 0, 0},  // a1
    {"PST_P2", 0, 0},  // b1
    {"PST_P2", 0, 0},  // c1
    {"PST_P2", 0, 0},  // d1
    {"PST_P2", 0, 0},  // e1
    {"PST_P2", 0, 0},  // f1
    {"PST_P2", 0, 0},  // g1
    {"PST_P2", 0, 0},  // h1
    {"PST_P2", -24, 2},  // a2
    {"PST_P2", -22, -2},  // b2
    {"PST_P2", -22, 0},  // c2
    {"PST_P2", -20, 2},  // d2
    {"PST_P2", -22, 20},  // e2
    {"PST_P2", 6, 18},  // f2
    {"PST_P2", 26, 6},  // g2
    {"PST_P2", 12, 2},  // h2
    {"PST_P2", -14, 0},  // a3
    {"PST_P2", -10, -6},  // b3
    {"PST_P2", -20, -2},  // c3
    {"PST_P2", -22, 4},  // d3
    {"PST_P2", -18, 12},  // e3
    {"PST_P2", -10, 12},  // f3
    {"PST_P2", 2, 6},  // g3
    {"PST_P2", -10, 4},  // h3
    {"PST_P2", 4, 4},  // a4
    {"PST_P2", 6, 0},  // b4
    {"PST_P2", -2, -4},  // c4
    {"PST_P2", 0, -4},  // d4
    {"PST_P2", 4, 4},  // e4
    {"PST_P2", -8, 8},  // f4
    {"PST_P2", -10, 10},  // g4
    {"PST_P2", -12, 10},  // h4
    {"PST_P2", 18, 10},  // a5
    {"PST_P2", 20, 6},  // b5
    {"PST_P2", 10, 4},  // c5
    {"PST_P2", 8, -2},  // d5
    {"PST_P2", 10, 8},  // e5
    {"PST_P2", 4, 8},  // f5
    {"PST_P2", -4, 14},  // g5
    {"PST_P2", -8, 16},  // h5
    {"PST_P2", 30, 16},  // a6
    {"PST_P2", 34, 12},  // b6
    {"PST_P2", 24, 8},  // c6
    {"PST_P2", 22, 2},  // d6
    {"PST_P2", 24, 8},  // e6
    {"PST_P2", 20, 14},  // f6
    {"PST_P2", 10, 20},  // g6
    {"PST_P2", 0, 22},  // h6
    {"PST_P2", 30, 18},  // a7
    {"PST_P2", 32, 16},  // b7
    {"PST_P2", 28, 14},  // c7
    {"PST_P2", 26, 10},  // d7
    {"PST_P2", 20, 12},  // e7
    {"PST_P2", 10, 16},  // f7
    {"PST_P2", 0, 20},  // g7
    {"PST_P2", -10, 24},  // h7
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
    {"PST_N2", -28, -26},  // b1
    {"PST_N2", -22, -20},  // c1
    {"PST_N2", -18, -16},  // d1
    {"PST_N2", -16, -16},  // e1
    {"PST_N2", -14, -20},  // f1
    {"PST_N2", -24, -26},  // g1
    {"PST_N2", -45, -40},  // h1
    {"PST_N2", -28, -26},  // a2
    {"PST_N2", -16, -12},  // b2
    {"PST_N2", -6, -4},  // c2
    {"PST_N2", 0, 0},  // d2
    {"PST_N2", 2, 0},  // e2
    {"PST_N2", 4, -4},  // f2
    {"PST_N2", -10, -12},  // g2
    {"PST_N2", -24, -26},  // h2
    {"PST_N2", -20, -18},  // a3
    {"PST_N2", -4, -2},  // b3
    {"PST_N2", 8, 6},  // c3
    {"PST_N2", 12, 12},  // d3
    {"PST_N2", 12, 12},  // e3
    {"PST_N2", 14, 6},  // f3
    {"PST_N2", 2, -2},  // g3
    {"PST_N2", -18, -18},  // h3
    {"PST_N2", -12, -14},  // a4
    {"PST_N2", 8, 4},  // b4
    {"PST_N2", 16, 12},  // c4
    {"PST_N2", 20, 18},  // d4
    {"PST_N2", 18, 18},  // e4
    {"PST_N2", 12, 12},  // f4
    {"PST_N2", 4, 4},  // g4
    {"PST_N2", -15, -14},  // h4
    {"PST_N2", -5, -14},  // a5
    {"PST_N2", 18, 4},  // b5
    {"PST_N2", 28, 14},  // c5
    {"PST_N2", 28, 20},  // d5
    {"PST_N2", 25, 20},  // e5
    {"PST_N2", 18, 14},  // f5
    {"PST_N2", 8, 4},  // g5
    {"PST_N2", -12, -14},  // h5
    {"PST_N2", -8, -16},  // a6
    {"PST_N2", 15, 2},  // b6
    {"PST_N2", 30, 10},  // c6
    {"PST_N2", 28, 16},  // d6
    {"PST_N2", 22, 16},  // e6
    {"PST_N2", 15, 10},  // f6
    {"PST_N2", 0, 2},  // g6
    {"PST_N2", -15, -16},  // h6
    {"PST_N2", -20, -22},  // a7
    {"PST_N2", -8, -10},  // b7
    {"PST_N2", 0, 0},  // c7
    {"PST_N2", 5, 4},  // d7
    {"PST_N2", 0, 4},  // e7
    {"PST_N2", -5, 0},  // f7
    {"PST_N2", -15, -10},  // g7
    {"PST_N2", -25, -22},  // h7
    {"PST_N2", -50, -40},  // a8
    {"PST_N2", -25, -25},  // b8
    {"PST_N2", -20, -18},  // c8
    {"PST_N2", -15, -14},  // d8
    {"PST_N2", -15, -14},  // e8
    {"PST_N2", -20, -18},  // f8
    {"PST_N2", -25, -25},  // g8
    {"PST_N2", -50, -40},  // h8

    // PST_B2: bishops, kings on different wings
    {"PST_B2", -20, -16},  // a1
    {"PST_B2", -8, -10},  // b1
    {"PST_B2", -12, -8},  // c1
    {"PST_B2", -8, -6},  // d1
    {"PST_B2", -8, -6},  // e1
    {"PST_B2", -14, -8},  // f1
    {"PST_B2", -8, -10},  // g1
    {"PST_B2", -20, -16},  // h1
    {"PST_B2", -4, -10},  // a2
    {"PST_B2", 10, -4},  // b2
    {"PST_B2", 6, 0},  // c2
    {"PST_B2", 4, 2},  // d2
    {"PST_B2", 6, 2},  // e2
    {"PST_B2", 6, 0},  // f2
    {"PST_B2", 18, -4},  // g2
    {"PST_B2", -4, -10},  // h2
    {"PST_B2", -2, -8},  // a3
    {"PST_B2", 8, 0},  // b3
    {"PST_B2", 10, 6},  // c3
    {"PST_B2", 12, 6},  // d3
    {"PST_B2", 14, 6},  // e3
    {"PST_B2", 12, 6},  // f3
    {"PST_B2", 10, 0},  // g3
    {"PST_B2", -2, -8},  // h3
    {"PST_B2", -4, -6},  // a4
    {"PST_B2", 6, 2},  // b4
    {"PST_B2", 14, 6},  // c4
    {"PST_B2", 14, 10},  // d4
    {"PST_B2", 16, 10},  // e4
    {"PST_B2", 16, 6},  // f4
    {"PST_B2", 6, 2},  // g4
    {"PST_B2", -4, -6},  // h4
    {"PST_B2", -4, -6},  // a5
    {"PST_B2", 8, 2},  // b5
    {"PST_B2", 10, 6},  // c5
    {"PST_B2", 14, 10},  // d5
    {"PST_B2", 14, 10},  // e5
    {"PST_B2", 8, 6},  // f5
    {"PST_B2", 4, 2},  // g5
    {"PST_B2", -6, -6},  // h5
    {"PST_B2", -6, -8},  // a6
    {"PST_B2", 8, 2},  // b6
    {"PST_B2", 12, 6},  // c6
    {"PST_B2", 10, 6},  // d6
    {"PST_B2", 8, 6},  // e6
    {"PST_B2", 8, 6},  // f6
    {"PST_B2", 4, 2},  // g6
    {"PST_B2", -8, -8},  // h6
    {"PST_B2", -10, -10},  // a7
    {"PST_B2", 0, -2},  // b7
    {"PST_B2", 2, 0},  // c7
    {"PST_B2", -2, 2},  // d7
    {"PST_B2", -4, 2},  // e7
    {"PST_B2", -2, 0},  // f7
    {"PST_B2", -4, -2},  // g7
    {"PST_B2", -12, -10},  // h7
    {"PST_B2", -20, -16},  // a8
    {"PST_B2", -10, -10},  // b8
    {"PST_B2", -12, -8},  // c8
    {"PST_B2", -14, -6},  // d8
    {"PST_B2", -14, -6},  // e8
    {"PST_B2", -12, -8},  // f8
    {"PST_B2", -10, -10},  // g8
    {"PST_B2", -20, -16},  // h8

    // PST_R2: rooks, kings on different wings
    {"PST_R2", 2, -6},  // a1
    {"PST_R2", 4, -4},  // b1
    {"PST_R2", 6, -2},  // c1
    {"PST_R2", 8, 0},  // d1
    {"PST_R2", 6, 0},  // e1
    {"PST_R2", 2, -2},  // f1
    {"PST_R2", -4, -4},  // g1
    {"PST_R2", -14, -6},  // h1
    {"PST_R2", -8, -6},  // a2
    {"PST_R2", -4, -4},  // b2
    {"PST_R2", -4, -4},  // c2
    {"PST_R2", -4, -4},  // d2
    {"PST_R2", -6, -4},  // e2
    {"PST_R2", -8, -4},  // f2
    {"PST_R2", -10, -4},  // g2
    {"PST_R2", -16, -6},  // h2
    {"PST_R2", -4, -2},  // a3
    {"PST_R2", -2, -2},  // b3
    {"PST_R2", -2, -2},  // c3
    {"PST_R2", -2, -2},  // d3
    {"PST_R2", -4, -2},  // e3
    {"PST_R2", -6, -2},  // f3
    {"PST_R2", -8, -2},  // g3
    {"PST_R2", -12, -2},  // h3
    {"PST_R2", -2, 0},  // a4
    {"PST_R2", 0, 0},  // b4
    {"PST_R2", 0, 0},  // c4
    {"PST_R2", 0, 0},  // d4
    {"PST_R2", -2, 0},  // e4
    {"PST_R2", -4, 0},  // f4
    {"PST_R2", -6, 0},  // g4
    {"PST_R2", -10, 0},  // h4
    {"PST_R2", 2, 4},  // a5
    {"PST_R2", 4, 4},  // b5
    {"PST_R2", 4, 4},  // c5
    {"PST_R2", 4, 4},  // d5
    {"PST_R2", 2, 4},  // e5
    {"PST_R2", 0, 4},  // f5
    {"PST_R2", -2, 4},  // g5
    {"PST_R2", -6, 4},  // h5
    {"PST_R2", 8, 6},  // a6
    {"PST_R2", 10, 6},  // b6
    {"PST_R2", 10, 6},  // c6
    {"PST_R2", 10, 6},  // d6
    {"PST_R2", 8, 6},  // e6
    {"PST_R2", 6, 6},  // f6
    {"PST_R2", 4, 6},  // g6
    {"PST_R2", 0, 6},  // h6
    {"PST_R2", 22, 12},  // a7
    {"PST_R2", 24, 14},  // b7
    {"PST_R2", 24, 16},  // c7
    {"PST_R2", 24, 16},  // d7
    {"PST_R2", 22, 16},  // e7
    {"PST_R2", 20, 16},  // f7
    {"PST_R2", 18, 14},  // g7
    {"PST_R2", 16, 12},  // h7
    {"PST_R2", 12, 6},  // a8
    {"PST_R2", 14, 6},  // b8
    {"PST_R2", 14, 8},  // c8
    {"PST_R2", 14, 8},  // d8
    {"PST_R2", 12, 8},  // e8
    {"PST_R2", 10, 8},  // f8
    {"PST_R2", 8, 6},  // g8
    {"PST_R2", 6, 6},  // h8

    // PST_Q2: queens, kings on different wings
    {"PST_Q2", -14, -12},  // a1
    {"PST_Q2", -10, -8},  // b1
    {"PST_Q2", -6, -4},  // c1
    {"PST_Q2", 0, -2},  // d1
    {"PST_Q2", -4, -2},  // e1
    {"PST_Q2", -8, -4},  // f1
    {"PST_Q2", -10, -8},  // g1
    {"PST_Q2", -14, -12},  // h1
    {"PST_Q2", -10, -8},  // a2
    {"PST_Q2", -4, -2},  // b2
    {"PST_Q2", 0, 2},  // c2
    {"PST_Q2", 2, 4},  // d2
    {"PST_Q2", 2, 4},  // e2
    {"PST_Q2", 0, 2},  // f2
    {"PST_Q2", -4, -2},  // g2
    {"PST_Q2", -10, -8},  // h2
    {"PST_Q2", -6, -4},  // a3
    {"PST_Q2", -2, 2},  // b3
    {"PST_Q2", 2, 6},  // c3
    {"PST_Q2", 0, 8},  // d3
    {"PST_Q2", 2, 8},  // e3
    {"PST_Q2", 2, 6},  // f3
    {"PST_Q2", 0, 2},  // g3
    {"PST_Q2", -8, -4},  // h3
    {"PST_Q2", -4, -2},  // a4
    {"PST_Q2", 0, 4},  // b4
    {"PST_Q2", 2, 8},  // c4
    {"PST_Q2", 2, 12},  // d4
    {"PST_Q2", 2, 12},  // e4
    {"PST_Q2", 0, 8},  // f4
    {"PST_Q2", -2, 4},  // g4
    {"PST_Q2", -6, -2},  // h4
    {"PST_Q2", -2, -2},  // a5
    {"PST_Q2", 4, 4},  // b5
    {"PST_Q2", 4, 8},  // c5
    {"PST_Q2", 4, 12},  // d5
    {"PST_Q2", 2, 12},  // e5
    {"PST_Q2", 0, 8},  // f5
    {"PST_Q2", -2, 4},  // g5
    {"PST_Q2", -6, -2},  // h5
    {"PST_Q2", 0, -4},  // a6
    {"PST_Q2", 6, 2},  // b6
    {"PST_Q2", 6, 6},  // c6
    {"PST_Q2", 4, 8},  // d6
    {"PST_Q2", 2, 8},  // e6
    {"PST_Q2", 0, 6},  // f6
    {"PST_Q2", -2, 2},  // g6
    {"PST_Q2", -6, -4},  // h6
    {"PST_Q2", -2, -8},  // a7
    {"PST_Q2", 4, -2},  // b7
    {"PST_Q2", 4, 2},  // c7
    {"PST_Q2", 2, 4},  // d7
    {"PST_Q2", 0, 4},  // e7
    {"PST_Q2", -2, 2},  // f7
    {"PST_Q2", -4, -2},  // g7
    {"PST_Q2", -6, -8},  // h7
    {"PST_Q2", -10, -12},  // a8
    {"PST_Q2", -6, -8},  // b8
    {"PST_Q2", -4, -4},  // c8
    {"PST_Q2", -2, -2},  // d8
    {"PST_Q2", -2, -2},  // e8
    {"PST_Q2", -4, -4},  // f8
    {"PST_Q2", -6, -8},  // g8
    {"PST_Q2", -10, -12},  // h8
};

// A row left out would leave a nameless entry at the end of the table.
static_assert(every_row_named(BuiltinParamValues));
