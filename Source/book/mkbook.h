// Book creation: counts, for the opening plies of every game of a PGN file,
// how each move scored for the side that played it, keeps the moves that
// did well and writes them as a Polyglot book.
#pragma once

#include <cstdint>

#include "book/polyglot.h"
#include "core/types.h"

constexpr int BOOK_PLY_LIMIT = 36;  // plies entered per game: the opening only
constexpr const char* BOOK_OUTPUT_FILE = "tmp_book.bin";

// Statistics of one move in one position.
struct BookNode {
  uint64_t key;
  uint32_t wins, losses, draws;  // for the side that played the move
  Move move;
  uint16_t bookMove;             // the move's Polyglot code
};

// draws + 4 * wins - 2 * losses.
int64_t book_node_score(const BookNode& node);
// The entries of one key's nodes (in creation order): the moves with more
// than two wins and a score above 9, weighted by score scaled so that the
// best weighs at most 60000, heaviest first. Returns their number.
int book_run_entries(const BookNode* run, int count, BookEntry* out);

// Reads the PGN file and writes the book to `bookPath`. Returns false when
// the PGN file cannot be read or memory runs out (no book is written then).
bool make_book_file(const char* pgnPath, const char* bookPath);
// The -mkbook mode: the book "tmp_book.bin" in the current directory.
void make_book(const char* pgnPath);
