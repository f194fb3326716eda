// Polyglot opening books: the position key, the 16-byte entries, the move
// code and the weighted choice of a book move. A book is a file of entries
// sorted by key; nothing of it is kept in memory between probes.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/position.h"

constexpr int BOOK_ENTRY_BYTES = 16;
constexpr int BOOK_MAX_ENTRIES = 128;  // entries of one key considered by a probe

struct BookEntry {
  uint64_t key;
  uint16_t move;    // Polyglot move code
  uint16_t weight;
  uint32_t learn;   // read, not used
};

// The Polyglot key; the en-passant file counts only when a pawn of the
// side to move stands beside the pawn that just made the double step.
uint64_t book_key(const Position& pos);
// Reads the next entry; 0, or 1 at the end of the file (or a short read).
int read_book_entry(std::FILE* file, BookEntry* entry);
// Writes the entry as 16 big-endian bytes; false when the write fails.
bool write_book_entry(std::FILE* file, const BookEntry& entry);
// Polyglot move code to the engine's Move: king takes own rook on e1/e8 is
// castling, promotion bits become promotion flags.
Move book_move_to_move(uint16_t code);
// The engine's move in the position to the Polyglot move code (castling as
// the king taking its own rook).
uint16_t move_to_book_move(const Position& pos, Move m);

// What one probe saw of a book: its entries for the key, in file order.
struct BookProbe {
  BookEntry entries[BOOK_MAX_ENTRIES];
  int count;
  bool unsorted;    // the bisection met keys out of order
  long tailBytes;   // bytes after the last whole entry
};
// Collects the entries of `key`, at most BOOK_MAX_ENTRIES; false when the
// file cannot be opened (empty name included).
bool find_book_entries(const char* path, uint64_t key, BookProbe& out);

// Adjusted weights of the entries (out[i], scaled to 10000 over the total
// weight) for the variety setting 0..100 (25 keeps the book's proportions);
// returns their sum, or -1 when the total weight is 0.
int64_t book_adjusted_weights(const BookEntry* entries, int count, int variety, int64_t* out);
// The index chosen for the random pick; weight-0 entries are never
// chosen unless nothing else qualifies (then the first entry).
int book_pick_index(const BookEntry* entries, const int64_t* adjusted, int count, int64_t pick);
// The random pick from one rand() value and the adjusted sum.
int64_t book_random_pick(int randValue, int64_t adjustedSum);

// Probes the book file for the position: the listing of its moves is
// printed, then the chosen move if it is valid here, else MOVE_NONE.
Move book_probe(const Position& pos, const char* path);
