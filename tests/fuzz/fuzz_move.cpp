// Move text against a few positions: the coordinate reader of "position
// ... moves", the console's reader of every written form and the PGN
// reader's SAN. The first byte picks the position and the Chess960 switch.
// A move a reader accepts must be legal (where it promises that), must
// play and take back cleanly, and its SAN must read back as the same move.
#include <string>

#include "board/fen.h"
#include "board/legality.h"
#include "board/notation.h"
#include "book/pgn.h"
#include "frontend/control.h"
#include "frontend/game.h"
#include "harness.h"
#include "search/searchthread.h"

namespace {

constexpr const char* POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "rk2r3/8/8/3pP3/8/8/8/RK2R3 w KQkq d6 0 1",  // Chess960 castling, en passant
    "3k4/8/8/8/8/8/8/R3K2R b KQ - 0 1",
    "8/8/8/8/8/2k5/1p6/3K4 b - - 0 1",
};
constexpr int POSITION_COUNT = int(sizeof POSITIONS / sizeof POSITIONS[0]);
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
  if (!set_game_position(POSITIONS[(data[0] & 0x7f) % POSITION_COUNT])) fuzz_fail("bad position");
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
