// PGN text through the three readers that take a file: book creation
// (-mkbook), the console's "load" of one game (the first game and the one
// at a tag taken from the input's first line) and the PGN scans, the kind
// chosen by the input's length.
#include <algorithm>
#include <string>

#include "book/mkbook.h"
#include "frontend/gamerecord.h"
#include "harness.h"
#include "tools/pgnscan.h"

namespace {

constexpr size_t TAG_SIZE = 32;
constexpr int SCAN_KINDS = 4;

}  // namespace

int fuzz_pgn(const uint8_t* data, size_t size) {
  fuzz_reset_engine();
  std::string pgn = fuzz_write_file("games.pgn", data, size);
  std::string book = fuzz_scratch_dir() + "/games.bin";
  make_book_file(pgn.c_str(), book.c_str());
  load_pgn_game(pgn.c_str(), "");
  std::string first = fuzz_text(data, size);
  std::string tag = first.substr(0, std::min(first.find('\n'), TAG_SIZE));
  load_pgn_game(pgn.c_str(), tag.c_str());
  std::string scanned = fuzz_scratch_dir() + "/scan.epd";
  scan_pgn(pgn.c_str(), scanned.c_str(), 1 + int(size % SCAN_KINDS));
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_pgn)
