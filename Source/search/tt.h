// The transposition table shared by all search threads, without locks.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/position.h"

constexpr int BOUND_UPPER = 1;  // the true score is at most the stored one
constexpr int BOUND_LOWER = 2;  // at least the stored one
constexpr int BOUND_EXACT = 3;

// 16 bytes; every field is read and written as one relaxed atomic value,
// the check word tying key, move and score together against torn entries.
struct TTEntry {
  std::atomic<uint32_t> lock;   // upper half of the key
  std::atomic<uint32_t> check;  // lower key half ^ (move << 16) ^ (score + 15000)
  std::atomic<uint16_t> move;
  std::atomic<int16_t> score;
  std::atomic<int8_t> depth;
  std::atomic<uint8_t> bound;
  std::atomic<uint8_t> age;
  std::atomic<uint8_t> fiftyAtStore;
};

extern TTEntry* ttTable;
extern uint32_t ttEntries;

struct TTHit {
  Move move;
  int score;  // adjusted to the probing node: mate distance and fifty decay
  int depth;
  int bound;
  int fiftyAtStore;
};

// (Re)allocates the table for Options.Hash megabytes (recorded in
// Control.hashSize), announces the size and clears it; the first call also
// draws the hashing keys. 0 when memory is short: the previous table, if
// any, stays as it was.
// Hash 0 leaves no addressable entries: probes miss and stores do nothing.
int tt_allocate();
void tt_free();
bool tt_allocated();
// Zeroes every entry on one worker thread per configured search thread;
// nothing while the table is switched off (Control.ttInUse).
void tt_clear();
bool tt_probe(const Position& pos, int ply, TTHit& hit);
// Starts loading the bucket of a position about to be searched, so that its
// probe a few hundred instructions later finds it in the cache instead of
// waiting for memory; changes nothing the search sees.
void tt_prefetch(uint64_t key);
void tt_store(const Position& pos, int ply, int depth, int score, int bound, Move move);
// Fraction of a sample of entries written by the current search.
float tt_hashfull();
