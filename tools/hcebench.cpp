#include "hcebench.h"

#include <chrono>
#include <random>
#include <vector>

#include "board/attacks.h"
#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "core/searchthread.h"
#include "eval/hce.h"
#include "search/threadrecord.h"

namespace {

// Long enough to reach endings, short enough for the game undo stack.
constexpr int MAX_LINE_PLIES = 160;

bool in_check(const Position& pos) { return square_attacked(pos, pos.kingSq[pos.side], pos.side ^ 1); }

// A random legal move of the side to move, or MOVE_NONE.
Move random_move(SearchThread* t, std::mt19937& rng) {
  t->ply = ROOT_PLY;
  std::vector<Move> legal;
  for (MoveEntry* e = generate_all(t->pos); e->move != MOVE_END; e++)
    if (move_is_legal(t->pos, t->pos.side, e->move)) legal.push_back(e->move);
  return legal.empty() ? MOVE_NONE : legal[rng() % legal.size()];
}

std::vector<Position> gather_positions(SearchThread* t, int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<Position> positions;
  positions.reserve(count);
  while (int(positions.size()) < count) {
    set_position(t->pos, START_FEN);
    for (int n = 0; n < MAX_LINE_PLIES && int(positions.size()) < count; n++) {
      Move m = random_move(t, rng);
      if (m == MOVE_NONE) break;
      make_move(t->pos, m);
      if (!in_check(t->pos)) positions.push_back(t->pos);
    }
  }
  return positions;
}

}  // namespace

double bench_hce_evals_per_second(int positions, int passes, bool usePawnCache, unsigned seed) {
  SearchThread* t = new_search_thread();
  if (!t || positions <= 0 || passes <= 0) {
    free_search_thread(t);
    return 0;
  }
  std::vector<Position> line = gather_positions(t, positions, seed);
  set_position(t->pos, START_FEN);
  int ply = usePawnCache ? FIRST_CACHED_PLY : ROOT_PLY;
  volatile int sink = 0;
  auto start = std::chrono::steady_clock::now();
  for (int p = 0; p < passes; p++)
    for (const Position& pos : line) {
      t->pos = pos;
      if (usePawnCache) t->evalCache[eval_cache_index(pos.key, pos.side)].key = ~pos.key;
      sink = sink + hce_evaluate(t, pos.side, ply, 0);
    }
  std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  free_search_thread(t);
  return seconds.count() > 0 ? double(line.size()) * passes / seconds.count() : 0;
}

int hce_bench_eval_uncached(SearchThread* t) { return hce_evaluate(t, t->pos.side, ROOT_PLY, 0); }

int hce_bench_eval_cached(SearchThread* t) { return hce_evaluate(t, t->pos.side, t->ply, 0); }
