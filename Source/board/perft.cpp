#include "board/perft.h"

#include "board/attacks.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/picker.h"

void perft(SearchThread* t, int side, int ply, int depth) {
  Position& pos = t->pos;
  if (depth <= 0) {  // the empty line is the single leaf
    t->nodes++;
    return;
  }
  PlyRecord& pr = t->plies[ply];
  pr.checker = uint8_t(find_checker(pos, pos.kingSq[side], side ^ 1, occupancy(pos)));
  pr.hashMove = MOVE_NONE;
  pr.inCheck = pr.checker != NO_SQUARE;
  pr.pickStage = PICK_FULL;
  while (MoveEntry* e = next_move(pos)) {
    if (!move_is_legal(pos, side, e->move)) continue;
    if (depth == 1) {  // the last ply is counted without being played
      t->nodes++;
      continue;
    }
    make_move(pos, e->move);
    perft(t, side ^ 1, ply + 1, depth - 1);
    unmake_move(pos);
  }
}
