#include "book/mkbook.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "book/pgn.h"
#include "core/output.h"
#include "platform/platform.h"

namespace {

constexpr int CHAIN_BITS = 14;
constexpr int CHAINS = 1 << CHAIN_BITS;  // chain = the key's top bits, so chains run in key order
constexpr int CHAIN_SHIFT = 64 - CHAIN_BITS;
constexpr uint32_t MIN_KEPT_WINS = 2;    // kept with more wins than this
constexpr int64_t MIN_KEPT_SCORE = 9;    // and a score above this
constexpr double MAX_WEIGHT = 60000.0;   // the best move's weight, within 16 bits
constexpr int WIN_POINTS = 4, LOSS_POINTS = 2;
constexpr uint64_t DOT_EVERY_GAMES = 1024;
constexpr uint32_t FIRST_CAPACITY = 1 << 16;
constexpr uint64_t MOVE_SPREAD = 0x9E3779B97F4A7C15ULL;  // odd multiplier mixing the move into the key
constexpr int MAX_RUN = 1024;  // nodes of one key; more than any position has moves

// The statistics: nodes in creation order, found again through an
// open-addressing index on key and move (slot = node number + 1, 0 empty).
struct BookStats {
  BookNode* nodes;
  uint32_t count, capacity;
  uint32_t* index;
  uint32_t indexMask;
  bool failed;  // memory ran out
};

uint32_t slot_of(uint64_t key, Move move, uint32_t mask) {
  uint64_t h = key ^ (uint64_t(move) + 1) * MOVE_SPREAD;
  return uint32_t(h ^ h >> 32) & mask;
}

bool rebuild_index(BookStats& s, uint32_t size) {
  uint32_t* index = static_cast<uint32_t*>(std::calloc(size, sizeof(uint32_t)));
  if (!index) return false;
  std::free(s.index);
  s.index = index;
  s.indexMask = size - 1;
  for (uint32_t i = 0; i < s.count; i++) {
    uint32_t slot = slot_of(s.nodes[i].key, s.nodes[i].move, s.indexMask);
    while (index[slot]) slot = (slot + 1) & s.indexMask;
    index[slot] = i + 1;
  }
  return true;
}

// Room for one more node, the index kept at most half full.
bool make_room(BookStats& s) {
  if (s.count == s.capacity) {
    uint32_t capacity = s.capacity ? s.capacity * 2 : FIRST_CAPACITY;
    void* grown = std::realloc(s.nodes, size_t(capacity) * sizeof(BookNode));
    if (!grown) return false;
    s.nodes = static_cast<BookNode*>(grown);
    s.capacity = capacity;
  }
  if (2 * (s.count + 1) > s.indexMask + 1) return rebuild_index(s, (s.indexMask + 1) * 2);
  return true;
}

bool count_move(BookStats& s, uint64_t key, Move move, uint16_t bookMove, int outcome) {
  uint32_t slot = slot_of(key, move, s.indexMask);
  for (; s.index[slot]; slot = (slot + 1) & s.indexMask) {
    BookNode& n = s.nodes[s.index[slot] - 1];
    if (n.key != key || n.move != move) continue;
    (outcome > 0 ? n.wins : outcome < 0 ? n.losses : n.draws)++;
    return true;
  }
  if (!make_room(s)) return false;
  slot = slot_of(key, move, s.indexMask);
  while (s.index[slot]) slot = (slot + 1) & s.indexMask;
  s.nodes[s.count] = {key, outcome > 0 ? 1u : 0u, outcome < 0 ? 1u : 0u, outcome == 0 ? 1u : 0u,
                      move, bookMove};
  s.index[slot] = ++s.count;
  return true;
}

// The PGN reader's visitor: one game move with its game's result.
bool record_move(void* context, const Position& before, Move move, int result) {
  BookStats& s = *static_cast<BookStats*>(context);
  int outcome = result == PGN_DRAW ? 0 : result == before.side ? 1 : -1;
  if (count_move(s, book_key(before), move, move_to_book_move(before, move), outcome)) return true;
  s.failed = true;
  return false;
}

void free_stats(BookStats& s) {
  std::free(s.nodes);
  std::free(s.index);
  s = {};
}

// Node numbers in key order, nodes of one key in creation order: first
// spread over the chains by the key's top bits (a stable counting sort),
// then each chain put in key order.
uint32_t* key_order(const BookStats& s) {
  uint32_t* order = static_cast<uint32_t*>(std::malloc(size_t(s.count + 1) * sizeof(uint32_t)));
  uint32_t* start = static_cast<uint32_t*>(std::calloc(CHAINS + 1, sizeof(uint32_t)));
  uint32_t* fill = static_cast<uint32_t*>(std::malloc((CHAINS + 1) * sizeof(uint32_t)));
  if (order && start && fill) {
    for (uint32_t i = 0; i < s.count; i++) start[(s.nodes[i].key >> CHAIN_SHIFT) + 1]++;
    for (int c = 0; c < CHAINS; c++) start[c + 1] += start[c];
    std::memcpy(fill, start, (CHAINS + 1) * sizeof(uint32_t));
    for (uint32_t i = 0; i < s.count; i++) order[fill[s.nodes[i].key >> CHAIN_SHIFT]++] = i;
    auto byKey = [&](uint32_t a, uint32_t b) { return s.nodes[a].key < s.nodes[b].key; };
    for (int c = 0; c < CHAINS; c++) std::stable_sort(order + start[c], order + start[c + 1], byKey);
  } else {
    std::free(order);
    order = nullptr;
  }
  std::free(start);
  std::free(fill);
  return order;
}

bool write_entries(const BookStats& s, const uint32_t* order, std::FILE* file) {
  BookNode run[MAX_RUN];
  BookEntry entries[MAX_RUN];
  bool ok = true;
  for (uint32_t i = 0; i < s.count && ok;) {
    int n = 0;
    uint64_t key = s.nodes[order[i]].key;
    for (; i < s.count && s.nodes[order[i]].key == key; i++)
      if (n < MAX_RUN) run[n++] = s.nodes[order[i]];
    int kept = book_run_entries(run, n, entries);
    for (int e = 0; e < kept && ok; e++) ok = write_book_entry(file, entries[e]);
  }
  return ok;
}

void write_book(const BookStats& s, const char* bookPath) {
  print_line("\nwriting book file ...");
  if (file_exists(bookPath)) delete_file(bookPath);
  std::FILE* file = std::fopen(bookPath, "wb");
  uint32_t* order = file ? key_order(s) : nullptr;
  if (file && !order) print_line("info string not enough memory to sort the book");
  if (order && !write_entries(s, order, file)) print_linef("info string could not write %s", bookPath);
  std::free(order);
  if (file) std::fclose(file);
}

}  // namespace

int64_t book_node_score(const BookNode& node) {
  return int64_t(node.draws) + WIN_POINTS * int64_t(node.wins) - LOSS_POINTS * int64_t(node.losses);
}

int book_run_entries(const BookNode* run, int count, BookEntry* out) {
  auto kept = [](const BookNode& n) {
    return n.wins > MIN_KEPT_WINS && book_node_score(n) > MIN_KEPT_SCORE;
  };
  int64_t best = 0;
  for (int i = 0; i < count; i++)
    if (kept(run[i])) best = std::max(best, book_node_score(run[i]));
  double factor = best > 0 ? std::min(MAX_WEIGHT / double(best), 1.0) : 1.0;
  int n = 0;
  for (int i = 0; i < count; i++) {
    if (!kept(run[i])) continue;
    auto weight = uint16_t(int64_t(double(book_node_score(run[i])) * factor));
    out[n++] = {run[i].key, run[i].bookMove, weight, 0};
  }
  std::stable_sort(out, out + n, [](const BookEntry& a, const BookEntry& b) { return a.weight > b.weight; });
  return n;
}

bool make_book_file(const char* pgnPath, const char* bookPath) {
  PgnReader* reader = static_cast<PgnReader*>(std::malloc(sizeof(PgnReader)));
  if (!reader || !open_pgn(*reader, pgnPath, BOOK_PLY_LIMIT)) {
    std::free(reader);
    return false;
  }
  BookStats stats = {};
  stats.failed = !rebuild_index(stats, FIRST_CAPACITY);
  print_linef(" Creating file %s from games in %s", BOOK_OUTPUT_FILE, pgnPath);
  while (!stats.failed && read_pgn_line(*reader)) {
    uint64_t games = reader->games;
    if (!take_pgn_line(*reader, record_move, &stats)) break;
    if (reader->games != games && reader->games % DOT_EVERY_GAMES == 0) {
      std::fputc('.', stdout);
      std::fflush(stdout);
    }
  }
  uint64_t games = reader->games;
  close_pgn(*reader);
  std::free(reader);
  bool ok = !stats.failed;
  if (ok) write_book(stats, bookPath);
  else print_line("info string not enough memory for the book statistics; no book written");
  if (ok) print_linef("\nngames= %llu, nmoves= %u", static_cast<unsigned long long>(games), stats.count);
  if (ok) print_line("done\n");
  free_stats(stats);
  return ok;
}

void make_book(const char* pgnPath) { make_book_file(pgnPath, BOOK_OUTPUT_FILE); }
