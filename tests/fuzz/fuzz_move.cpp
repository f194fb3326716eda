// Move text against a few positions: the coordinate reader of "position
// ... moves", the console's reader of every written form and the PGN
// reader's SAN. The first byte picks the position and the Chess960 switch.
// A move a reader accepts must be legal (where it promises that), must
// play and take back cleanly, and its SAN must read back as the same move.
#include <string>

#include "board/legality.h"
#include "board/notation.h"
#include "book/pgn.h"
#include "core/control.h"
#include "core/game.h"
#include "frontend/gamemoves.h"
#include "harness.h"
#include "core/searchthread.h"

namespace {

constexpr int SAN_TEXT_SIZE = 16;

// SAN of a legal move must read back as that move.
void check_san(Move m) {
  char san[SAN_TEXT_SIZE];
  move_to_san(Game->pos, m, san);
  Move again = MOVE_NONE;
  if (!read_pgn_move(Game->pos, san, &again) || again != m) fuzz_fail("SAN does not read back");
}

void check_legal_move(Move m) {
  if (!move_is_legal(Game->pos, Game->pos.side, m)) fuzz_fail("a reader accepted an illegal move");
  check_san(m);
  if (play_game_move(m)) take_back_game_move();
}

}  // namespace

int fuzz_move(const uint8_t* data, size_t size) {
  fuzz_start_engine();
  if (size == 0) return 0;
  Control.chess960 = uint8_t(data[0] >> 7);
  fuzz_set_position(FUZZ_POSITIONS[(data[0] & 0x7f) % FUZZ_POSITION_COUNT]);
  std::string text = fuzz_text(data + 1, size - 1);
  Move m = MOVE_NONE;
  if (parse_move_in(Game->pos, text.c_str(), &m)) check_legal_move(m);
  if (read_pgn_move(Game->pos, text.c_str(), &m)) check_legal_move(m);
  // The coordinate reader only promises a move the pieces can make; the
  // game must still play and take it back.
  m = game_move_from_text(text.c_str());
  if (m != MOVE_NONE && play_game_move(m)) take_back_game_move();
  Control.chess960 = 0;
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_move)
