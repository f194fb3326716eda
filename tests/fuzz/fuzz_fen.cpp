// FEN text as "position fen" hands it to the game: set-up with its checks,
// then the position must survive move generation two plies deep and its
// own FEN must set up the same position again.
#include <string>

#include "board/fen.h"
#include "board/perft.h"
#include "core/control.h"
#include "core/game.h"
#include "frontend/gamemoves.h"
#include "harness.h"
#include "core/searchthread.h"

namespace {

constexpr int PERFT_DEPTH = 2;
constexpr int FEN_TEXT_SIZE = 128;

void check_position() {
  Game->nodes = 0;
  perft(Game, Game->pos.side, 1, PERFT_DEPTH);
  char fen[FEN_TEXT_SIZE];
  position_to_fen(Game->pos, fen, false);
  uint64_t key = Game->pos.key;
  if (!set_game_position(fen)) fuzz_fail("the engine refuses its own FEN");
  if (Game->pos.key != key) fuzz_fail("FEN round trip changed the position");
}

}  // namespace

int fuzz_fen(const uint8_t* data, size_t size) {
  fuzz_start_engine();
  std::string fen = fuzz_text(data, size);
  // Castling letters mean other rooks in Chess960: both readings.
  for (int chess960 = 0; chess960 <= 1; chess960++) {
    Control.chess960 = uint8_t(chess960);
    set_game_position(START_FEN);
    if (set_game_position(fen.c_str())) check_position();
  }
  Control.chess960 = 0;
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_fen)
