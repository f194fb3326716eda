// The named, tunable weights of the hand-crafted evaluation.
#pragma once

#include <cstdint>

#include "eval/param_values.h"

// One registry entry: the packed middlegame/endgame pair the evaluation
// sums, and float copies that keep repeated percentage scaling exact.
struct EvalParam {
  int32_t packed;  // mg + eg * 65536
  float mg;
  float eg;
  char name[24];
};

extern EvalParam Params[PARAM_COUNT];
extern int ParamCount;

inline int32_t pack_score(int mg, int eg) { return int32_t(uint32_t(mg) + uint32_t(eg) * 65536u); }
inline int packed_mg(int32_t packed) { return int16_t(uint16_t(uint32_t(packed) & 0xFFFF)); }
inline int packed_eg(int32_t packed) { return (packed + 32768) >> 16; }

// References into the registry, one per parameter name; a multi-valued
// parameter or a piece-square table points at its first entry.
struct EvalWeights {
  const EvalParam *mtl_pawn, *mtl_knight, *mtl_bishop, *mtl_rook, *mtl_queen;
  const EvalParam *bishop_pair, *pawn_isolated, *pawn_weak, *pawn_blocked, *pawn_doubled;
  const EvalParam *ppawn_base, *ppawn_mobile, *ppawn_free, *ppawn_fkdist, *ppawn_ekdist;
  const EvalParam *ppawn_connected, *candidate_passer;
  const EvalParam *knight_mobility, *knight_trapped, *knight_outpost, *knight_outpost_atk;
  const EvalParam *bishop_mobility, *bishop_mob2, *bishop_trapped, *bishop_outpost;
  const EvalParam *bishop_outpost_atk;
  const EvalParam *rook_mobility, *rook_mob2, *rook_trapped, *rook_openfile, *rook_7th;
  const EvalParam *queen_mobility, *queen_trapped;
  const EvalParam *pawn_shield, *enemy_checks, *king_danger1, *king_danger2, *king_trapped;
  const EvalParam *king_pawn_dist;
  const EvalParam *hung_pawn, *attacked_pawn, *hung_minor, *attacked_minor, *hung_major;
  const EvalParam *ppush_threat, *pinned_piece, *bishop_rampawns, *stm_bonus;
  const EvalParam* ttune;
  const EvalParam *PST_P1, *PST_CP, *PST_DP, *PST_N1, *PST_B1, *PST_R1, *PST_Q1, *PST_K;
  const EvalParam *PST_P2, *PST_N2, *PST_B2, *PST_R2, *PST_Q2;
};
extern EvalWeights W;

// Registers every parameter, applies the built-in values, "params.txt"
// and the personality scaling, and sets the exchange values.
void setup_eval_params();
void set_next_param(const char* name, int mg, int eg);
void load_params_file(const char* path);
// Scales every entry whose name contains `text`; 1 when none matched.
int scale_params(const char* text, int mgPercent, int egPercent);
// A table title and its 64 entries, rank 8 first, mg then eg.
void print_pst(const char* title, const EvalParam* table);
// Every non-table entry and then the thirteen tables (trace level 2).
void print_param_list();
