#include "eval/passers.h"

#include "board/see.h"
#include "eval/geometry.h"

namespace {

// How much the king distances to the square ahead matter by relative rank.
constexpr float KingDistanceWeight[8] = {0.0f, 0.16f, 0.18f, 0.36f, 0.57f, 0.78f, 1.0f, 1.0f};
// A candidate is worth more the farther the enemy king is from its path.
constexpr float CandidateKingFactor[8] = {0.0f, 0.15f, 0.3f, 0.45f, 0.6f, 0.75f, 0.9f, 1.0f};
// What a passed pawn threatens to cost the enemy, by relative rank.
constexpr int PasserThreat[8] = {0, 0, 0, 150, 300, 600, 1200, 0};
constexpr int HALVED = 2;     // mobile but not free
constexpr int QUARTERED = 4;  // stopped
constexpr int FIRST_CANDIDATE_RANK = 3;

// Where the pawn goes next; from its first rank a free square ahead means
// it can make the double step.
int stop_square(int c, int sq, int r, Bitboard occupied) {
  int stop = sq + pawn_step(c);
  if (r == SECOND_RANK && !(occupied & bit(stop))) stop += pawn_step(c);
  return stop;
}

// No square ahead is contested by the enemy beyond what the owner covers.
bool path_is_free(const Position& pos, const EvalInfo& ei, int c, Bitboard ahead) {
  int e = c ^ 1;
  if (ahead & ei.upToMinors[e]) return false;
  Bitboard covered = ei.attacked[c] & ~ei.attackedTwice[e];
  return !(ahead & (ei.attacked[e] | colour_set(pos, e)) & ~covered);
}

void passer(const Position& pos, EvalInfo& ei, int c, int sq) {
  int e = c ^ 1, r = relative_rank(c, sq), i = r - 1;
  Bitboard ahead = front_span(c, sq);
  int stop = stop_square(c, sq, r, ei.occupied);
  add_term(ei, c, W.ppawn_base[i]);
  bool mobile = !(ei.occupied & bit(stop)) && see(pos, c, sq, stop) >= 0;
  bool free = mobile && path_is_free(pos, ei, c, ahead);
  if (mobile) add_term(ei, c, W.ppawn_mobile[i]);
  if (free) {
    add_term(ei, c, W.ppawn_free[i]);
    ei.freePassers |= bit(sq);
  }
  int target = r < SEVENTH_RANK ? stop + pawn_step(c) : stop;
  add_fraction(ei, c, W.ppawn_fkdist[distance(pos.kingSq[c], target)], KingDistanceWeight[r]);
  add_fraction(ei, c, W.ppawn_ekdist[distance(pos.kingSq[e], target)], KingDistanceWeight[r]);
  if (ei.pawnAttacks[c] & bit(stop)) add_term(ei, c, W.ppawn_connected[i]);
  ei.threatWord[e] += PasserThreat[r] / (free ? 1 : mobile ? HALVED : QUARTERED);
}

// A half-open pawn that can force its way through: no more enemy control
// of its path than friendly pawns beside it to support the advance.
void candidate(const Position& pos, EvalInfo& ei, int c, int sq) {
  int e = c ^ 1, r = relative_rank(c, sq);
  Bitboard ahead = front_span(c, sq);
  if (ahead & ei.occupied) return;
  int contest = ((ahead & ei.attackedTwice[e]) != 0) + popcount(ahead & ei.attacked[e]);
  if (contest > popcount(SideNeighbours[sq] & piece_set(pos, c, PAWN))) return;
  int seventh = make_square(file_of(sq), c == WHITE ? SEVENTH_RANK : LAST_RANK - SEVENTH_RANK);
  add_fraction(ei, c, W.candidate_passer[r - 1], CandidateKingFactor[distance(pos.kingSq[e], seventh)]);
}

}  // namespace

void evaluate_passers(const Position& pos, EvalInfo& ei) {
  for (int c = WHITE; c <= BLACK; c++) {
    for (Bitboard b = ei.passed & piece_set(pos, c, PAWN); b;) {
      int sq = pop_lsb(b);
      int r = relative_rank(c, sq);
      // A pawn behind another on its file is not the one that runs.
      if (r < SECOND_RANK || r > SEVENTH_RANK || (front_span(c, sq) & ei.pawns)) continue;
      passer(pos, ei, c, sq);
    }
    for (Bitboard b = ei.candidates & piece_set(pos, c, PAWN); b;) {
      int sq = pop_lsb(b);
      int r = relative_rank(c, sq);
      if (r >= FIRST_CANDIDATE_RANK && r <= SEVENTH_RANK) candidate(pos, ei, c, sq);
    }
  }
  trace_mark(ei, TRACE_PASSERS);
}
