#include "syzygy/tbroot.h"

#include "board/bitboard.h"
#include "board/draw.h"
#include "syzygy/tbprobe.h"

bool tb_position_valid(const Position& pos) {
  if (pos.castling) return false;
  TbPosition p = tb_position_from(pos);
  Bitboard all = tb_occupied(p);
  if (popcount(all) > TB_MAX_PIECES || (p.white & p.black)) return false;
  if (popcount(p.kings & p.white) != 1 || popcount(p.kings & p.black) != 1) return false;
  Bitboard kinds = 0;
  for (int type = PAWN; type <= KING; type++) {
    Bitboard b = tb_type_set(p, type);
    if (kinds & b) return false;
    kinds |= b;
  }
  if (kinds != all || (p.pawns & (RANK_1 | RANK_8))) return false;
  return !tb_king_attacked(p, false);
}

static_assert(TB_ROOT_MAX_MOVES >= TB_MAX_MOVES, "every legal move fits");

namespace {

constexpr int CURSED_OFFSET = 100;

// Value of a zeroing move from the child's WDL (the mover's view):
// positive the sooner the mover's win, negative for losses.
int zeroing_value(int childWdl) {
  constexpr int BY_WDL[5] = {1, 1 + CURSED_OFFSET, 0, -1 - CURSED_OFFSET, -1};
  return BY_WDL[childWdl + WDL_OFFSET];
}

int move_value(const TbPosition& root, const TbMove& m, const TbPosition& child, int d,
               int* success) {
  if (d > 0 && tb_is_mate(child)) return 1;
  if (tb_is_zeroing(root, m)) return zeroing_value(tb_probe_wdl(child, success));
  int c = tb_probe_dtz(child, success);
  return c < 0 ? -c + 1 : c > 0 ? -c - 1 : 0;
}

Move engine_move(const TbMove& m) {
  int flags = 0;
  switch (m.promotion) {
    case QUEEN: flags = FLAG_Q_SHORT; break;
    case KNIGHT: flags = FLAG_N_LONG; break;
    case BISHOP: flags = FLAG_B; break;
    case ROOK: flags = FLAG_R; break;
    default: break;
  }
  return make_move_code(m.from, m.to, flags);
}

// The move the values pick: for a won root the fastest zeroing win, for a
// lost one the longest resistance, for a draw one of the drawing moves
// spread by the material key. -1 when none qualifies.
int choose(const int* values, int n, int d, uint64_t key) {
  int best = -1;
  if (d > 0) {
    for (int i = 0; i < n; i++)
      if (values[i] > 0 && (best < 0 || values[i] < values[best])) best = i;
  } else if (d < 0) {
    for (int i = 0; i < n; i++)
      if (values[i] < 0 && (best < 0 || values[i] < values[best])) best = i;
  } else {
    int draws = 0;
    for (int i = 0; i < n; i++) draws += values[i] == 0;
    if (!draws) return -1;
    int pick = int(key % uint64_t(draws));
    for (int i = 0; i < n; i++)
      if (values[i] == 0 && pick-- == 0) return i;
  }
  return best;
}

int root_wdl(int d, int fifty) {
  if (d > 0) return fifty + d > FIFTY_MOVE_LIMIT ? WDL_CURSED_WIN : WDL_WIN;
  if (d < 0) return fifty - d > FIFTY_MOVE_LIMIT ? WDL_BLESSED_LOSS : WDL_LOSS;
  return WDL_DRAW;
}

// Every legal root move with its value; the root's DTZ in `d`. -1 when a
// probe fails.
int root_values(const Position& pos, TbMove* moves, int* values, int& d) {
  if (!tb_position_valid(pos)) return TB_ROOT_FAILED;
  TbPosition root = tb_position_from(pos);
  int success = 1;
  d = tb_probe_dtz(root, &success);
  if (!success) return TB_ROOT_FAILED;
  int n = tb_generate(root, false, moves), legal = 0;
  for (int i = 0; i < n; i++) {
    TbPosition child;
    if (!tb_play(root, moves[i], child)) continue;
    moves[legal] = moves[i];
    values[legal++] = move_value(root, moves[i], child, d, &success);
    if (!success) return TB_ROOT_FAILED;
  }
  return legal;
}

}  // namespace

int tb_probe_root(const Position& pos, Move* move, int* wdlPlus2, int* absDtz) {
  *move = MOVE_NONE;
  TbMove moves[TB_MAX_MOVES];
  int values[TB_MAX_MOVES];
  int d;
  int legal = root_values(pos, moves, values, d);
  if (legal == TB_ROOT_FAILED) return TB_ROOT_FAILED;
  int best = choose(values, legal, d, tb_position_key(tb_position_from(pos), true));
  if (best < 0) return TB_ROOT_FAILED;
  *move = engine_move(moves[best]);
  *wdlPlus2 = root_wdl(d, pos.fifty) + WDL_OFFSET;
  *absDtz = d < 0 ? -d : d;
  return *wdlPlus2;
}

int tb_root_keepers(const Position& pos, Move* keep) {
  TbMove moves[TB_MAX_MOVES];
  int values[TB_MAX_MOVES];
  int d;
  int legal = root_values(pos, moves, values, d);
  if (legal == TB_ROOT_FAILED) return TB_ROOT_FAILED;
  int kept = 0;
  for (int i = 0; i < legal; i++)
    if (d < 0 || (d > 0 && values[i] > 0) || (d == 0 && values[i] == 0)) keep[kept++] = engine_move(moves[i]);
  return kept;
}
