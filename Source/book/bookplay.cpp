#include "book/bookplay.h"

#include "board/draw.h"
#include "board/makemove.h"
#include "book/polyglot.h"
#include "core/game.h"
#include "core/options.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "search/threadrecord.h"

namespace {

// A book move that repeats the position a third time, or lands in a game
// already drawn by the fifty-move rule, would throw away the game.
bool book_move_draws(Move m) {
  make_move(Game->pos, m);
  bool draw = is_draw(Game->pos, 0);
  unmake_move(Game->pos);
  reset_ply_lists(Game);
  return draw;
}

}  // namespace

Move book_game_move() {
  int ply = game_ply();
  Move m = MOVE_NONE;
  if (ply < Options.OwnBook_Depth) m = book_probe(Game->pos, Options.OwnBook_File);
  if (m == MOVE_NONE && ply < Options.OwnBook2_Depth) m = book_probe(Game->pos, Options.OwnBook2_File);
  if (m != MOVE_NONE && book_move_draws(m)) return MOVE_NONE;
  return m;
}

void list_game_books() {
  book_probe(Game->pos, Options.OwnBook_File);
  print_line("");
  book_probe(Game->pos, Options.OwnBook2_File);
  print_line("");
}
