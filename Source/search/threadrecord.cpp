#include "search/threadrecord.h"

#include <cstdlib>
#include <cstring>

#include "core/searchthread.h"
#include "eval/network.h"

SearchThread* new_search_thread() {
  auto* t = static_cast<SearchThread*>(std::calloc(1, sizeof(SearchThread)));
  if (!t) return nullptr;
  t->pos.owner = t;
  t->pos.kingSq[WHITE] = t->pos.kingSq[BLACK] = NO_SQUARE;
  t->pos.epSquare = NO_SQUARE;
  for (auto& sq : t->pos.castleRookSq) sq = NO_SQUARE;
  reset_ply_lists(t);
  return t;
}

void free_search_thread(SearchThread* t) {
  if (!t) return;
  free_net_workspace(t->net);
  std::free(t);
}

void reset_ply_lists(SearchThread* t) {
  std::memset(&t->moveBuffer[0], 0, sizeof(MoveEntry));
  t->plies[0].moveList = t->plies[0].currentMove = &t->moveBuffer[0];
  t->plies[1].moveList = t->plies[1].currentMove = &t->moveBuffer[1];
  t->moveBuffer[1].move = MOVE_END;
  t->ply = ROOT_PLY;
}
