#include "eval/evaluate.h"

#include <algorithm>

#include "core/control.h"
#include "core/evalcache.h"
#include "core/options.h"
#include "core/searchthread.h"
#include "eval/hce.h"
#include "eval/network.h"

namespace {

// Far ahead means at least this many units more, counting the leader's
// pawns once and the defender's twice.
constexpr int LOPSIDED_MARGIN = 4;
// ...against at most a queen's worth of pieces.
constexpr int LOPSIDED_DEFENDER_MAX = 10;
// Pawnless endings with at most this much material in total.
constexpr int SIMPLE_PAWNLESS_MAX = 6;

// Contempt is meant for games; depth, node and infinite searches run with
// a practically unlimited time and stay neutral.
constexpr float CONTEMPT_TIME_LIMIT = 90000.0f;
constexpr int PHASE_MIN_MATERIAL = 6;
constexpr int PHASE_MAX_PAWNS = 12;
constexpr int PHASE_FULL = 82;  // all pieces and pawns on the board
constexpr int PHASE_HALF = 41;
constexpr int FIFTY_SCALE_DIVISOR = 256;

struct MaterialSummary {
  int pawns[2];
  int units[2];  // non-pawn material: knight and bishop 3, rook 5, queen 10
};

MaterialSummary material_of(const Position& pos) {
  MaterialSummary m;
  for (int c = WHITE; c <= BLACK; c++) {
    m.pawns[c] = int(pos.matCount[c] & 15);
    m.units[c] = pos.matValue[c];
  }
  return m;
}

int contempt(const MaterialSummary& m) {
  int ph = std::max(PHASE_MIN_MATERIAL, m.units[WHITE] + m.units[BLACK]) +
           2 * std::min(PHASE_MAX_PAWNS, m.pawns[WHITE] + m.pawns[BLACK]) - PHASE_MIN_MATERIAL;
  return Options.contemptTaper * (ph - PHASE_HALF) / PHASE_HALF + Options.Contempt * ph / PHASE_FULL;
}

}  // namespace

bool uses_hand_crafted(const SearchThread* t) {
  if (!Control.useNN) return true;
  MaterialSummary m = material_of(t->pos);
  int pw = m.pawns[WHITE], pb = m.pawns[BLACK], mw = m.units[WHITE], mb = m.units[BLACK];
  if (mw + pw >= mb + 2 * pb + LOPSIDED_MARGIN && mb <= LOPSIDED_DEFENDER_MAX) return true;
  if (mb + pb >= mw + 2 * pw + LOPSIDED_MARGIN && mw <= LOPSIDED_DEFENDER_MAX) return true;
  if (pw + pb == 0 && mw + mb <= SIMPLE_PAWNLESS_MAX) return true;
  return pw + pb == 1 && mw + mb == 0;  // king and pawn against king
}

int evaluate(SearchThread* t, int side, int ply, int inCheck) {
  if (inCheck) return NO_EVAL;
  int s = uses_hand_crafted(t) ? hce_evaluate(t, side, ply, 0) : nn_evaluate(t);
  if (Control.targetTime < CONTEMPT_TIME_LIMIT) {
    int c = contempt(material_of(t->pos));
    s += side == Control.rootSide ? c : -c;
  }
  return s - s * t->pos.fifty / FIFTY_SCALE_DIVISOR;
}
