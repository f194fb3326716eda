#include "board/draw.h"

#include "board/legality.h"
#include "core/searchthread.h"

namespace {

// Too few reversible half-moves for any repetition to exist.
// The fifty-move rule: more than a hundred half-moves without progress.

}  // namespace

bool is_draw(Position& pos, int pliesFromRoot) {
  if (pos.fifty < MIN_REPETITION_FIFTY) return false;
  // Past the fifty-move limit every node inside the search is a draw; at
  // the root the game is over only when no move is left to play, otherwise
  // the repetition test still decides.
  if (pos.fifty > FIFTY_MOVE_LIMIT && (pliesFromRoot > 0 || has_no_legal_move(pos))) return true;
  const SearchThread* t = pos.owner;
  int current = t->undoIndex;
  bool seenBeforeRoot = false;
  for (int j = current - 2; j >= 0; j -= 2) {
    const UndoRecord& u = t->undo[j];
    if (u.move == MOVE_NONE) return false;
    if (u.key != pos.key) continue;
    if (j > current - pliesFromRoot || seenBeforeRoot) return true;
    seenBeforeRoot = true;
  }
  return false;
}
