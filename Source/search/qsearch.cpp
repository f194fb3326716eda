#include "search/qsearch.h"

#include <algorithm>
#include <atomic>

#include "board/attacks.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/picker.h"
#include "board/see.h"
#include "core/control.h"
#include "core/searchthread.h"
#include "search/search.h"
#include "search/searchtrace.h"
#include "search/tt.h"

namespace {

// Delta margins: what a capture may fall short of the best score and still
// be tried; the razoring call from above the horizon looks wider.
constexpr int DELTA_MARGIN = 150;
constexpr int RAZOR_DELTA_MARGIN = 450;
// Below this depth only recaptures on the last move's square go on.
constexpr int RECAPTURE_ONLY_DEPTH = -3;
// Gain estimates of moves whose worth is not the captured piece: a check,
// taking the material the opponent's defence rests on, a pawn about to
// promote.
constexpr int CHECK_GAIN = 20000;
constexpr int DECISIVE_GAIN = 5000;
constexpr int PROMOTING_PAWN_GAIN = 1500;
// With this much non-pawn material or less, a side cannot win or defend
// without its pawns.
constexpr int MINIMAL_MATERIAL = 3;
constexpr int MOVER_IS_KING_LOSS = 9999;


int gain_estimate(Position& pos, int side, const MoveEntry& e) {
  if (gives_check(pos, side, e)) return CHECK_GAIN;
  int them = side ^ 1, victim = type_of(e.captured);
  if (victim == PAWN && pos.matValue[them] <= MINIMAL_MATERIAL && piece_count(pos, them, PAWN) == 1)
    return DECISIVE_GAIN;
  if (victim > PAWN && piece_count(pos, them, PAWN) == 0 &&
      pos.matValue[them] - MatValueInc[victim] <= MINIMAL_MATERIAL)
    return DECISIVE_GAIN;
  if (type_of(e.piece) == PAWN && rank_of(move_to(e.move) ^ flip_for(side)) >= SEVENTH_RANK)
    return PROMOTING_PAWN_GAIN;
  return SeeValue[victim];
}

// Two-step estimate of what the mover loses on the destination: the
// opponent's cheapest attacker takes, the side to move's cheapest
// recapturer takes back, the rest by the exchange sequence.
int mover_loss(const Position& pos, int side, int from, int to, int mover) {
  int them = side ^ 1;
  Bitboard occ = occupancy(pos) & ~bit(from);
  int a = least_attacker(pos, to, them, occ);
  if (a == NO_SQUARE) return 0;
  if (mover == KING) return MOVER_IS_KING_LOSS;
  occ &= ~bit(a);
  int r = least_attacker(pos, to, side, occ);
  if (r == NO_SQUARE) return SeeValue[mover];
  int attacker = type_of(pos.board[a]);
  if (attacker == KING) return 0;
  int back = see_swap(pos, them, to, type_of(pos.board[r]), occ & ~bit(r));
  int regain = std::max(0, SeeValue[attacker] - back);
  return std::max(0, SeeValue[mover] - regain);
}

bool exchange_prunes(const Position& pos, int side, const MoveEntry& e, int gain) {
  int mover = type_of(e.piece), to = move_to(e.move);
  if (ExchangeScale[type_of(e.captured)] >= ExchangeScale[mover]) return false;
  if (mover == PAWN && to == pos.epSquare) return false;
  return gain - mover_loss(pos, side, move_from(e.move), to, mover) < LOSING_EXCHANGE;
}

}  // namespace

int qsearch(Position& pos, int side, int ply, int depth, int alpha, int beta, int nodeType,
            Move* pv) {
  SearchThread* t = pos.owner;
  PlyRecord& pr = t->plies[ply];
  int ev = pr.staticEval;
  if (ev >= beta) return beta;
  int best = std::max(alpha, ev);
  pr.moveCount = 0;
  pr.pickStage = depth < 0 ? 0 : PICK_CHECKS;
  int margin = depth >= 1 ? RAZOR_DELTA_MARGIN : DELTA_MARGIN;
  int lastTo = move_to(t->lastMove);
  Move cutMove = MOVE_NONE;
  Move line[MAX_PLY];

  while (MoveEntry* e = next_move(pos)) {
    Move m = e->move;
    if (depth < RECAPTURE_ONLY_DEPTH && move_to(m) != lastTo) continue;
    int gain = gain_estimate(pos, side, *e);
    if (ev + gain <= best - margin) continue;
    if (exchange_prunes(pos, side, *e, gain)) continue;
    if (!move_is_legal(pos, side, m)) continue;

    if (trace_file_on()) trace_move(t, ply, m);
    make_move(pos, m);
    tt_prefetch(pos.key);
    int v = -search(pos, side ^ 1, ply + 1, depth - 1, -beta, -best, -nodeType, line);
    unmake_move(pos);
    if (search_stopped()) return 0;
    pr.moveCount++;
    if (v <= best) continue;
    pv[ply] = m;
    pv[ply + 1] = 0;
    best = v;
    if (v >= beta) {
      cutMove = m;
      break;
    }
    pv_copy(pv, line, m, ply);
  }

  if (depth >= 0 && best >= beta && Control.ttInUse)
    tt_store(pos, ply, depth, best, BOUND_LOWER, cutMove);
  return best;
}
