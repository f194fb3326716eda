// Polyglot book files: the probe of a few positions (bisection over the
// sorted entries, the listing, the weighted choice) and the game's book
// move through OwnBook. Every move a book yields must be legal.
#include <cstring>
#include <string>

#include "board/legality.h"
#include "book/bookplay.h"
#include "book/polyglot.h"
#include "core/control.h"
#include "core/game.h"
#include "frontend/gamemoves.h"
#include "core/options.h"
#include "harness.h"
#include "core/searchthread.h"

namespace {

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
  for (int i = 0; i < FUZZ_POSITION_COUNT; i++) {
    fuzz_set_position(FUZZ_POSITIONS[i]);
    // The key of the file's first entry too, so that some probes find a run.
    find_book_entries(path.c_str(), book_key(Game->pos), probe);
    if (size >= BOOK_ENTRY_BYTES) {
      uint64_t firstKey = 0;
      for (int b = 0; b < KEY_BYTES; b++) firstKey = firstKey << 8 | data[b];
      find_book_entries(path.c_str(), firstKey, probe);
    }
    check_book_move(book_probe(Game->pos, path.c_str()));
    check_book_move(book_game_move());
  }
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_book)
