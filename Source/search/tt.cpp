#include "search/tt.h"

#include <cstdlib>
#include <memory>
#include <new>

#include "board/legality.h"
#include "board/zobrist.h"
#include "core/control.h"
#include "core/options.h"
#include "core/output.h"
#include "platform/platform.h"
#include "search/score.h"

TTEntry* ttTable = nullptr;
uint32_t ttEntries = 0;

namespace {

static_assert(sizeof(TTEntry) == 16, "the entry count per megabyte assumes 16-byte entries");

constexpr uint64_t BYTES_PER_MB = uint64_t(1) << 20;
constexpr uint64_t ENTRIES_PER_MB = BYTES_PER_MB / sizeof(TTEntry);
// Buckets overlap; the spare entries behind the last addressable one keep
// the last bucket inside the allocation.
constexpr uint32_t SPARE_ENTRIES = 16;
// The entry count is 32-bit: 2^31 entries of 16 bytes are 32768 MB.
constexpr uint64_t MAX_TABLE_MB = 32768;
constexpr int BUCKET_SIZE = 4;
constexpr size_t TABLE_ALIGNMENT = 64;  // a bucket spans at most two cache lines
// Shifts scores into a positive range before they are mixed into the check.
constexpr uint32_t CHECK_SCORE_OFFSET = 15000;
// An entry of the same position yields to a store at most this much shallower.
constexpr int SAME_POSITION_DEPTH_SLACK = 3;
// An entry of the current search yields to a store at most this much shallower.
constexpr int CURRENT_SEARCH_DEPTH_SLACK = 7;
// Scores from earlier in the fifty-move count decay by this many 256ths per ply.
constexpr int FIFTY_DECAY_DIVISOR = 256;
constexpr uint32_t HASHFULL_MIN_ENTRIES = 3000;
constexpr uint32_t HASHFULL_SAMPLE = 1000;

constexpr auto RELAXED = std::memory_order_relaxed;

size_t table_bytes(uint64_t entries) { return size_t(entries + SPARE_ENTRIES) * sizeof(TTEntry); }

// Every probe lands on a random bucket: on huge pages the page translation
// for it is far more often already cached. The release repeats the choice
// from the same size.
size_t table_alignment(size_t bytes) { return bytes >= HUGE_PAGE_BYTES ? HUGE_PAGE_BYTES : TABLE_ALIGNMENT; }

uint32_t check_word(uint64_t key, Move move, int storedScore) {
  return uint32_t(key) ^ (uint32_t(move) << 16) ^ uint32_t(storedScore + int(CHECK_SCORE_OFFSET));
}

TTEntry* bucket_of(uint64_t key) { return ttTable + key % ttEntries; }

bool table_usable() { return Control.ttInUse && ttTable && ttEntries > 0; }

// Mate-like scores are kept relative to the node that stores them, so the
// same mate found through different path lengths reads the same distance.
int score_to_table(int score, int ply) {
  if (score <= MATED_RANGE) return score - ply;
  if (score >= MATING_RANGE) return score + ply;
  return score;
}

// Back to the probing node's distance; other scores fade toward a draw the
// nearer the fifty-move rule has come since they were stored.
int score_from_table(int score, int ply, int storedFifty, int currentFifty) {
  if (score <= MATED_RANGE) return score + ply;
  if (score >= MATING_RANGE) return score - ply;
  if (storedFifty < currentFifty)
    score -= (currentFifty - storedFifty) * score / FIFTY_DECAY_DIVISOR;
  return score;
}

// Shallowest of the four entries; ties go to the earlier one.
TTEntry* shallowest(TTEntry* b) {
  TTEntry* first = b[1].depth.load(RELAXED) < b[0].depth.load(RELAXED) ? &b[1] : &b[0];
  TTEntry* second = b[3].depth.load(RELAXED) < b[2].depth.load(RELAXED) ? &b[3] : &b[2];
  return second->depth.load(RELAXED) < first->depth.load(RELAXED) ? second : first;
}

// The entry a store of this depth may overwrite, or nullptr when the bucket
// holds nothing it may displace.
TTEntry* replacement_slot(TTEntry* b, uint32_t lock, int depth) {
  for (int i = 0; i < BUCKET_SIZE; i++) {
    if (b[i].lock.load(RELAXED) != lock) continue;
    bool deeper = b[i].depth.load(RELAXED) - SAME_POSITION_DEPTH_SLACK > depth;
    return deeper && b[i].bound.load(RELAXED) != BOUND_UPPER ? nullptr : &b[i];
  }
  for (int i = 0; i < BUCKET_SIZE; i++)
    if (b[i].age.load(RELAXED) != uint8_t(Control.ttAge)) return &b[i];
  TTEntry* victim = shallowest(b);
  return victim->depth.load(RELAXED) - CURRENT_SEARCH_DEPTH_SLACK <= depth ? victim : nullptr;
}

int clamp_thread_count(int threads) {
  if (threads < 1) return 1;
  return threads > MAX_THREADS ? MAX_THREADS : threads;
}

struct ClearShare {
  ThreadHandle handle;
  uint64_t first, count;
};

void clear_share(void* argument) {
  auto* share = static_cast<ClearShare*>(argument);
  std::uninitialized_value_construct_n(ttTable + share->first, share->count);
}

// Every entry of the allocation to zero, split over one worker per
// configured search thread; the last share takes the remainder.
void clear_all_entries() {
  uint64_t total = uint64_t(ttEntries) + SPARE_ENTRIES;
  int workers = clamp_thread_count(Options.Threads);
  ClearShare shares[MAX_THREADS];
  uint64_t part = total / uint64_t(workers);
  for (int i = 0; i < workers; i++) {
    shares[i].first = part * uint64_t(i);
    shares[i].count = i == workers - 1 ? total - shares[i].first : part;
    if (!start_thread(shares[i].handle, clear_share, &shares[i])) std::exit(EXIT_THREAD_FAILURE);
  }
  for (int i = 0; i < workers; i++)
    if (!join_thread(shares[i].handle)) std::exit(EXIT_THREAD_FAILURE);
}

}  // namespace

int tt_allocate() {
  init_zobrist();
  uint64_t megabytes = Options.Hash > 0 ? uint64_t(Options.Hash) : 0;
  if (megabytes > MAX_TABLE_MB) megabytes = MAX_TABLE_MB;
  uint64_t entries = megabytes * ENTRIES_PER_MB;
  size_t bytes = table_bytes(entries);
  // The new table is obtained before the old one goes, so a size the
  // machine cannot give leaves the table in use untouched.
  size_t alignment = table_alignment(bytes);
  void* memory = ::operator new(bytes, std::align_val_t(alignment), std::nothrow);
  if (!memory) return 0;
  if (alignment == HUGE_PAGE_BYTES) advise_huge_pages(memory, bytes);
  tt_free();
  ttTable = static_cast<TTEntry*>(memory);
  ttEntries = uint32_t(entries);
  Control.hashSize = uint32_t(megabytes);
  print_linef("info string allocated %d Mbytes for hash table", int(megabytes));
  // A search with no table switched the table off; a table with entries
  // is there to be used again.
  if (entries > 0) Control.ttInUse = 1;
  // A fresh table starts empty whether or not the search uses it yet.
  clear_all_entries();
  return 1;
}

bool tt_allocated() { return ttTable != nullptr; }

void tt_free() {
  if (ttTable) ::operator delete(ttTable, std::align_val_t(table_alignment(table_bytes(ttEntries))));
  ttTable = nullptr;
  ttEntries = 0;
  Control.hashSize = 0;
}

void tt_clear() {
  if (Control.ttInUse && ttTable) clear_all_entries();
}

bool tt_probe(const Position& pos, int ply, TTHit& hit) {
  if (!table_usable()) return false;
  TTEntry* b = bucket_of(pos.key);
  uint32_t lock = uint32_t(pos.key >> 32);
  for (int i = 0; i < BUCKET_SIZE; i++) {
    TTEntry& e = b[i];
    if (e.lock.load(RELAXED) != lock) continue;
    Move move = e.move.load(RELAXED);
    int stored = e.score.load(RELAXED);
    // A mixture of two writes or another position with the same upper key
    // half: the rest of the bucket is not worth trying.
    if (check_word(pos.key, move, stored) != e.check.load(RELAXED)) return false;
    if (move != MOVE_NONE && !stored_move_is_valid(pos, move)) return false;
    hit.move = move;
    hit.fiftyAtStore = e.fiftyAtStore.load(RELAXED);
    hit.score = score_from_table(stored, ply, hit.fiftyAtStore, pos.fifty);
    hit.depth = e.depth.load(RELAXED);
    hit.bound = e.bound.load(RELAXED);
    return true;
  }
  return false;
}

void tt_prefetch(uint64_t key) {
  if (!table_usable()) return;
  const TTEntry* b = bucket_of(key);
  // A bucket at any 16-byte offset may cross into a second cache line.
  __builtin_prefetch(b);
  __builtin_prefetch(b + BUCKET_SIZE - 1);
}

void tt_store(const Position& pos, int ply, int depth, int score, int bound, Move move) {
  if (!table_usable()) return;
  uint32_t lock = uint32_t(pos.key >> 32);
  TTEntry* e = replacement_slot(bucket_of(pos.key), lock, depth);
  if (!e) return;
  int written = score_to_table(score, ply);
  e->lock.store(lock, RELAXED);
  e->check.store(check_word(pos.key, move, int16_t(written)), RELAXED);
  e->move.store(move, RELAXED);
  e->score.store(int16_t(written), RELAXED);
  e->depth.store(int8_t(depth), RELAXED);
  e->bound.store(uint8_t(bound), RELAXED);
  e->age.store(uint8_t(Control.ttAge), RELAXED);
  e->fiftyAtStore.store(pos.fifty, RELAXED);
}

float tt_hashfull() {
  if (!ttTable || ttEntries < HASHFULL_MIN_ENTRIES) return 0.0f;
  const TTEntry* sample = ttTable + (ttEntries / 2 - HASHFULL_SAMPLE / 2);
  int current = 0;
  for (uint32_t i = 0; i < HASHFULL_SAMPLE; i++)
    if (sample[i].age.load(RELAXED) == uint8_t(Control.ttAge)) current++;
  return float(current) / float(HASHFULL_SAMPLE);
}
