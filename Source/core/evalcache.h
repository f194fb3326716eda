// Per-thread result caches of the evaluation.
#pragma once

#include <cstdint>

// Static evaluation of a position whose side to move is in check (none).
constexpr int NO_EVAL = -9999;

// Results of either evaluator, direct-mapped by key and side to move.
struct EvalCacheEntry {
  uint64_t key;
  uint16_t threat[2];  // threat words (white, black) of the hand-crafted evaluation
  int16_t hceScore;
  int16_t nnScore;
};
constexpr int EVAL_CACHE_SIZE = 32768;
constexpr uint64_t EVAL_CACHE_INDEX_MASK = 0x7FFE;  // the side to move fills bit 0

// Packed pawn-structure scores per colour, keyed by the pawn key and the
// kings' wings.
struct PawnCacheEntry {
  uint64_t key;
  int32_t score[2];
};
constexpr int PAWN_CACHE_SIZE = 16384;
constexpr uint64_t PAWN_CACHE_INDEX_MASK = 0x3FFF;

inline int eval_cache_index(uint64_t key, int side) {
  return int((key & EVAL_CACHE_INDEX_MASK) + uint64_t(side));
}
