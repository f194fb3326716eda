#include "search/history.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int16_t HISTORY_START = 2048;
constexpr int HISTORY_MAX = 16384;
// Depth stops adding weight beyond this.
constexpr int WEIGHT_DEPTH_CAP = 16;
constexpr double BONUS_SCALE = 16.0, MALUS_SCALE = 8.0;
constexpr int GRAVITY_DIVISOR = 1024;

}  // namespace

void reset_order_tables(SearchThread* t) {
  for (auto& row : t->history)
    for (auto& h : row) h = HISTORY_START;
  std::memset(t->counterMove1, 0, sizeof t->counterMove1);
  std::memset(t->counterMove2, 0, sizeof t->counterMove2);
  std::memset(t->followUpMove, 0, sizeof t->followUpMove);
  for (PlyRecord& pr : t->plies) pr.hashMove = pr.killer1 = pr.killer2 = pr.checkKiller = 0;
  for (int d = 0; d < MAX_PLY; d++) {
    double root = std::sqrt(double(std::min(d, WEIGHT_DEPTH_CAP)));
    t->historyBonus[d] = int(std::lround(BONUS_SCALE * root));
    t->historyMalus[d] = int(std::lround(MALUS_SCALE * root));
  }
}

// Gravity updates: a success moves the entry toward the maximum by a share
// of the remaining distance, a failure toward zero by a share of the entry,
// so the table stays in range without clamping.
void update_order_tables(SearchThread* t, int ply, int depth, const MoveEntry& e, int value,
                         int alpha) {
  if (depth <= 0) return;
  depth = std::min(depth, MAX_PLY - 1);
  int16_t& h = t->history[e.piece][move_to(e.move)];
  if (value <= alpha) {
    h = int16_t(h - h * t->historyMalus[depth] / GRAVITY_DIVISOR);
    return;
  }
  h = int16_t(h + (HISTORY_MAX - h) * t->historyBonus[depth] / GRAVITY_DIVISOR);
  PlyRecord& pr = t->plies[ply];
  if (pr.inCheck) {
    pr.checkKiller = e.move;
  } else if (e.move != pr.killer1) {
    pr.killer2 = pr.killer1;
    pr.killer1 = e.move;
  }
  const MoveEntry* p1 = t->plies[ply - 1].currentMove;
  if (!p1 || !p1->move) return;
  int to1 = move_to(p1->move);
  if (e.move != t->counterMove1[p1->piece][to1]) {
    t->counterMove2[p1->piece][to1] = t->counterMove1[p1->piece][to1];
    t->counterMove1[p1->piece][to1] = e.move;
  }
  const MoveEntry* p2 = ply >= 3 ? t->plies[ply - 2].currentMove : nullptr;
  if (p2 && p2->move) t->followUpMove[p2->piece][move_to(p2->move)] = e.move;
}
