// The working record of one hand-crafted evaluation: attack maps, king
// zones, pawn sets and the two packed score accumulators, built afresh by
// every call and passed to each group of terms.
#pragma once

#include <cstdint>

#include "core/position.h"
#include "eval/params.h"

// The groups of terms the trace reports, in evaluation order.
enum TraceCategory {
  TRACE_PAWNS,
  TRACE_KNIGHTS,
  TRACE_BISHOPS,
  TRACE_ROOKS,
  TRACE_QUEENS,
  TRACE_KING,
  TRACE_PASSERS,
  TRACE_THREATS,
  TRACE_SPECIAL,
  TRACE_CATEGORIES
};

struct EvalInfo {
  // Per colour. Sliders' maps see through the pieces that stand behind
  // them on the same line (bishops and rooks through queens, rooks through
  // own rooks); the queens' map uses the real occupancy.
  Bitboard pawnAttacks[2], knightAttacks[2], bishopAttacks[2], rookAttacks[2];
  Bitboard queenAttacks[2], kingAttacks[2];
  Bitboard attacked[2];      // by anything of the colour
  Bitboard attackedTwice[2];  // by at least two of its units
  Bitboard upToMinors[2];    // pawn, knight and bishop attacks
  Bitboard upToRooks[2];     // ... and rook attacks
  Bitboard upToQueens[2];    // ... and queen attacks
  Bitboard kingZone[2];      // the 3x3 block around the king, moved off the edge
  int attackUnits[2];        // weight of the attack on this colour's king
  Bitboard outposts[2];      // squares this colour's pieces can hold safely
  int mirror[2];             // square XOR for this colour's piece-square lookups
  uint32_t score[2];         // packed mg + eg * 65536, wrapping
  int threatWord[2];         // what this colour stands to lose, for the search

  // Shared.
  Bitboard occupied, pawns, passed, candidates;
  Bitboard hanging, freePassers;  // for the trace
  float phase;                    // 0 with all pieces on, 1 with none
  int sameWing;
  int traceLevel;
  // Piece-square tables chosen by whether both kings stand on one wing.
  const EvalParam *pstPawn, *pstKnight, *pstBishop, *pstRook, *pstQueen;

  // Trace: the packed change of each colour's score per category.
  uint32_t traceMark[2];
  uint32_t traceDelta[2][TRACE_CATEGORIES];
};

// Step one of an evaluation: maps, zones, pawn sets, mirrors and phase.
void setup_eval_info(const Position& pos, EvalInfo& ei, int traceLevel);

// Adds a weight to an accumulator (penalties are negative weights); the
// packed sum wraps like the 32-bit word it stands for.
inline void add_packed(uint32_t& acc, const EvalParam& p, int times = 1) {
  acc += uint32_t(p.packed) * uint32_t(times);
}
inline void add_term(EvalInfo& ei, int colour, const EvalParam& p, int times = 1) {
  add_packed(ei.score[colour], p, times);
}
// A weight scaled by a factor: each half scaled from its float copy and
// truncated on its own, so scaling never bleeds between the halves.
inline void add_fraction(EvalInfo& ei, int colour, const EvalParam& p, float f) {
  ei.score[colour] += uint32_t(pack_score(int(f * p.mg), int(f * p.eg)));
}

// Closes a trace category: the change of each colour's sum since the last
// mark is booked to it. Costs nothing when not tracing.
inline void trace_mark(EvalInfo& ei, TraceCategory category) {
  if (!ei.traceLevel) return;
  for (int c = WHITE; c <= BLACK; c++) {
    ei.traceDelta[c][category] += ei.score[c] - ei.traceMark[c];
    ei.traceMark[c] = ei.score[c];
  }
}

// The packed pair tapered by the phase and truncated toward zero.
inline int taper(int32_t packed, float phase) {
  return int(float(packed_mg(packed)) * (1.0f - phase) + float(packed_eg(packed)) * phase);
}
