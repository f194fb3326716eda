// Polyglot book files: the probe of a few positions (bisection over the
// sorted entries, the listing, the weighted choice) and the game's book
// move through OwnBook. Every move a book yields must be legal.
#include <cstring>
#include <string>

#include "board/fen.h"
#include "board/legality.h"
#include "book/bookplay.h"
#include "book/polyglot.h"
#include "frontend/control.h"
#include "frontend/game.h"
#include "frontend/options.h"
#include "harness.h"
#include "search/searchthread.h"

namespace {

constexpr const char* POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
    "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2",
    "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3",
    "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1",
};

constexpr int KEY_BYTES = 8;  // an entry starts with its big-endian key

void check_book_move(Move m) {
  if (m != MOVE_NONE && !move_is_legal(Game->pos, Game->pos.side, m))
    fuzz_fail("the book chose an illegal move");
}

}  // namespace

int fuzz_book(const uint8_t* data, size_t size) {
  fuzz_reset_engine();
  std::string path = fuzz_write_file("book.bin", data, size);
  Options.OwnBook = 1;
  Options.OwnBook_Depth = Options.OwnBook2_Depth = 60;
  std::strcpy(Options.OwnBook_File, path.c_str());
  std::strcpy(Options.OwnBook2_File, path.c_str());
  BookProbe probe;
  for (const char* fen : POSITIONS) {
    if (!set_game_position(fen)) fuzz_fail("bad position");
    // The key of the file's first entry too, so that some probes find a run.
    find_book_entries(path.c_str(), book_key(Game->pos), probe);
    if (size >= BOOK_ENTRY_BYTES) {
      uint64_t firstKey = 0;
      for (int i = 0; i < KEY_BYTES; i++) firstKey = firstKey << 8 | data[i];
      find_book_entries(path.c_str(), firstKey, probe);
    }
    check_book_move(book_probe(Game->pos, path.c_str()));
    check_book_move(book_game_move());
  }
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_book)
