// Pawn structure: material, piece-square values, defended and side-by-side
// pawns, isolated, weak and doubled pawns (kept in the per-thread pawn
// cache), and blocked pawns, which depend on the pieces.
#pragma once

#include <cstdint>

#include "eval/evalinfo.h"

struct SearchThread;

// The pawn cache key: the pawn key and which wing each king stands on,
// since the piece-square mirroring follows the kings.
uint64_t pawn_cache_key(const Position& pos, const EvalInfo& ei);
// The cached part, packed per colour.
void pawn_structure(const Position& pos, const EvalInfo& ei, int32_t score[2]);
// Adds the pawn terms to both colours, reading the pawn cache from ply 2
// on (the root always recomputes) and storing what it computes.
void evaluate_pawns(SearchThread* t, EvalInfo& ei, int ply);
