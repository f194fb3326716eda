#include "book/polyglot.h"

#include <cstdlib>
#include <cstring>

#include "board/bitboard.h"
#include "board/fen.h"
#include "board/legality.h"
#include "book/polyglot_random.h"
#include "core/control.h"
#include "core/options.h"
#include "core/output.h"

namespace {

constexpr int SQUARE_BITS = 6;
constexpr int SQUARE_MASK = 63;
constexpr int PROMOTION_SHIFT = 12;
constexpr int PROMOTION_MASK = 7;
constexpr int KINDS_PER_TYPE = 2;  // black then white for each piece type
constexpr int SQUARES = 64;
constexpr int VARIETY_NEUTRAL = 25;
constexpr int PERCENT = 100;
constexpr int64_t WEIGHT_SCALE = 10000;
// The random pick: rand() spread by a fixed linear step, then a share of
// the adjusted sum in steps of a thousandth.
constexpr uint32_t PICK_MULTIPLIER = 98765;
constexpr uint32_t PICK_OFFSET = 123456789;
constexpr uint32_t PICK_STEPS = 1000;
constexpr double PICK_STEP = 0.001;
constexpr int LISTING_SIZE = 1024;      // "info string ( book moves are: " and 128 moves

// Promotion piece of the Polyglot code (index) as the engine's flag.
constexpr int PROMOTION_CODES = 5;
constexpr Move PromotionFlag[PROMOTION_CODES] = {0, FLAG_N_LONG, FLAG_B, FLAG_R, FLAG_Q_SHORT};

uint64_t read_big_endian(const unsigned char* bytes, int count) {
  uint64_t v = 0;
  for (int i = 0; i < count; i++) v = v << 8 | bytes[i];
  return v;
}

void write_big_endian(unsigned char* bytes, uint64_t v, int count) {
  for (int i = count - 1; i >= 0; i--, v >>= 8) bytes[i] = static_cast<unsigned char>(v & 0xFF);
}

bool read_entry_at(std::FILE* file, long index, BookEntry& entry) {
  if (std::fseek(file, index * BOOK_ENTRY_BYTES, SEEK_SET) != 0) return false;
  return read_book_entry(file, &entry) == 0;
}

// First index whose key is not below `key`, by bisection; -1 when the file
// holds no entry or a read fails. Keys met out of order mark the book
// unsorted: the bisection cannot be trusted there.
long lower_bound_index(std::FILE* file, long count, uint64_t key, BookProbe& out) {
  BookEntry e;
  if (count <= 0 || !read_entry_at(file, count - 1, e)) return -1;
  long lo = -1, hi = count - 1;
  uint64_t loKey = 0, hiKey = e.key;
  while (hi - lo > 1) {
    long mid = (lo + hi) / 2;
    if (!read_entry_at(file, mid, e)) return -1;
    if (e.key < loKey || e.key > hiKey) out.unsorted = true;
    if (key <= e.key) {
      hi = mid;
      hiKey = e.key;
    } else {
      lo = mid;
      loKey = e.key;
    }
  }
  return hi;
}

void square_text(uint16_t code, char* out) {
  std::snprintf(out, 8, "%s%s", SquareName[(code >> SQUARE_BITS) & SQUARE_MASK],
                SquareName[code & SQUARE_MASK]);
}

// Messages for what the Polyglot format leaves open about damaged books.
void report_damage(const char* path, const BookProbe& probe) {
  const char* prefix = Control.uciMode ? "info string " : "";
  if (probe.tailBytes)
    print_linef("%sbook %s: %ld bytes after the last whole entry are ignored", prefix, path,
                probe.tailBytes);
  if (probe.unsorted) print_linef("%sbook %s is not sorted by key; no book move", prefix, path);
}

void list_moves(const BookProbe& probe, const int64_t* adjusted, int64_t adjustedSum) {
  int64_t total = 0;
  for (int i = 0; i < probe.count; i++) total += probe.entries[i].weight;
  char line[LISTING_SIZE] = "info string ( book moves are: ";
  for (int i = 0; i < probe.count; i++) {
    const BookEntry& e = probe.entries[i];
    if (e.weight == 0) continue;
    char text[8];
    square_text(e.move, text);
    if (Control.uciMode) {
      std::strcat(text, " ");
      std::strcat(line, text);
    } else if (Control.noise < QUIET_NOISE) {
      double share = adjustedSum > 0 ? double(adjusted[i]) * PERCENT / double(adjustedSum) : 0.0;
      print_linef("  %s  cnt= %5d, weight= %5.2f%% -> %5.2f%%", text, e.weight,
                  double(e.weight) * PERCENT / double(total), share);
    }
  }
  if (!Control.uciMode) return;
  std::strcat(line, " )");
  print_line(line);
}

}  // namespace

uint64_t book_key(const Position& pos) {
  uint64_t key = 0;
  for (Bitboard b = occupancy(pos); b;) {
    int sq = pop_lsb(b);
    int piece = pos.board[sq];
    int kind = KINDS_PER_TYPE * (type_of(piece) - 1) + (colour_of(piece) == WHITE ? 1 : 0);
    key ^= PolyglotRandom[SQUARES * kind + sq];
  }
  for (int c = 0; c < 4; c++)
    if (pos.castling & (1 << c)) key ^= PolyglotRandom[POLYGLOT_CASTLE_BASE + c];
  int ep = pos.epSquare;
  if (ep < SQUARES && (PawnAttacks[pos.side ^ 1][ep] & piece_set(pos, pos.side, PAWN)))
    key ^= PolyglotRandom[POLYGLOT_EP_BASE + file_of(ep)];
  if (pos.side == WHITE) key ^= PolyglotRandom[POLYGLOT_TURN];
  return key;
}

int read_book_entry(std::FILE* file, BookEntry* entry) {
  unsigned char bytes[BOOK_ENTRY_BYTES];
  if (std::fread(bytes, 1, BOOK_ENTRY_BYTES, file) != size_t(BOOK_ENTRY_BYTES)) return 1;
  entry->key = read_big_endian(bytes, 8);
  entry->move = static_cast<uint16_t>(read_big_endian(bytes + 8, 2));
  entry->weight = static_cast<uint16_t>(read_big_endian(bytes + 10, 2));
  entry->learn = static_cast<uint32_t>(read_big_endian(bytes + 12, 4));
  return 0;
}

bool write_book_entry(std::FILE* file, const BookEntry& entry) {
  unsigned char bytes[BOOK_ENTRY_BYTES];
  write_big_endian(bytes, entry.key, 8);
  write_big_endian(bytes + 8, entry.move, 2);
  write_big_endian(bytes + 10, entry.weight, 2);
  write_big_endian(bytes + 12, entry.learn, 4);
  return std::fwrite(bytes, 1, BOOK_ENTRY_BYTES, file) == size_t(BOOK_ENTRY_BYTES);
}

Move book_move_to_move(uint16_t code) {
  int from = (code >> SQUARE_BITS) & SQUARE_MASK, to = code & SQUARE_MASK;
  int promotion = (code >> PROMOTION_SHIFT) & PROMOTION_MASK;
  if (from == SQ_E1 && to == SQ_H1) return make_move_code(SQ_E1, SQ_G1, FLAG_Q_SHORT);
  if (from == SQ_E1 && to == SQ_A1) return make_move_code(SQ_E1, SQ_C1, FLAG_N_LONG);
  if (from == SQ_E8 && to == SQ_H8) return make_move_code(SQ_E8, SQ_G8, FLAG_Q_SHORT);
  if (from == SQ_E8 && to == SQ_A8) return make_move_code(SQ_E8, SQ_C8, FLAG_N_LONG);
  Move flag = promotion < PROMOTION_CODES ? PromotionFlag[promotion] : 0;
  return make_move_code(from, to, flag);
}

uint16_t move_to_book_move(const Position& pos, Move m) {
  int from = move_from(m), to = move_to(m), promotion = 0;
  if (move_flags(m) && type_of(pos.board[from]) == KING) {
    // Castling is written as the king taking its own rook.
    int rook = pos.castleRookSq[pos.side * 2 + ((m & FLAG_Q_SHORT) ? 0 : 1)];
    if (rook < SQUARES) to = rook;
  } else if (move_flags(m)) {
    for (int p = 1; p <= 4; p++)
      if (PromotionFlag[p] == move_flags(m)) promotion = p;
  }
  return static_cast<uint16_t>(to | from << SQUARE_BITS | promotion << PROMOTION_SHIFT);
}

bool find_book_entries(const char* path, uint64_t key, BookProbe& out) {
  out.count = 0;
  out.unsorted = false;
  out.tailBytes = 0;
  if (!path || !path[0]) return false;
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
  long count = size > 0 ? size / BOOK_ENTRY_BYTES : 0;
  out.tailBytes = size > 0 ? size % BOOK_ENTRY_BYTES : 0;
  long first = lower_bound_index(file, count, key, out);
  if (first >= 0 && !out.unsorted && std::fseek(file, first * BOOK_ENTRY_BYTES, SEEK_SET) == 0) {
    BookEntry e;
    while (out.count < BOOK_MAX_ENTRIES && read_book_entry(file, &e) == 0 && e.key == key)
      out.entries[out.count++] = e;
  }
  std::fclose(file);
  return true;
}

int64_t book_adjusted_weights(const BookEntry* entries, int count, int variety, int64_t* out) {
  int64_t total = 0;
  for (int i = 0; i < count; i++) total += entries[i].weight;
  if (count == 0 || total == 0) return -1;
  // Integer arithmetic, truncated toward zero: above 25 every move gains the
  // same share of the first move's weight (flatter), below it they lose it.
  int64_t adjustment = int64_t(variety - VARIETY_NEUTRAL) * entries[0].weight / PERCENT;
  int64_t sum = 0;
  for (int i = 0; i < count; i++) {
    int64_t w = (entries[i].weight + adjustment) * WEIGHT_SCALE / total;
    out[i] = w < 0 ? 0 : w;
    sum += out[i];
  }
  return sum;
}

int64_t book_random_pick(int randValue, int64_t adjustedSum) {
  uint32_t r = uint32_t(randValue) * PICK_MULTIPLIER + PICK_OFFSET;
  return int64_t(double(r % PICK_STEPS) * double(adjustedSum) * PICK_STEP);
}

int book_pick_index(const BookEntry* entries, const int64_t* adjusted, int count, int64_t pick) {
  int chosen = 0;
  int64_t before = 0;
  for (int i = 0; i < count; i++) {
    if (entries[i].weight == 0) continue;
    if (pick > before) chosen = i;
    before += adjusted[i];
  }
  return chosen;
}

Move book_probe(const Position& pos, const char* path) {
  BookProbe probe;
  if (!find_book_entries(path, book_key(pos), probe)) return MOVE_NONE;
  report_damage(path, probe);
  int64_t adjusted[BOOK_MAX_ENTRIES];
  int64_t sum = book_adjusted_weights(probe.entries, probe.count, Options.OwnBook_Variety, adjusted);
  if (sum < 0) return MOVE_NONE;
  int chosen = book_pick_index(probe.entries, adjusted, probe.count, book_random_pick(std::rand(), sum));
  list_moves(probe, adjusted, sum);
  Move m = book_move_to_move(probe.entries[chosen].move);
  bool valid = stored_move_is_valid(pos, m);
  if (!Control.uciMode && Control.noise < QUIET_NOISE) {
    int from = valid ? move_from(m) : SQ_A1, to = valid ? move_to(m) : SQ_A1;
    print_linef("selecting %s%s", SquareName[from], SquareName[to]);
  }
  return valid ? m : MOVE_NONE;
}
