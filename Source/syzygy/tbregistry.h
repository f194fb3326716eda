// The tables found on disk: one entry per material signature, looked up
// by material key through a small hash, WDL files mapped on first use and
// DTZ files held in a most-recently-used cache.
#pragma once

#include <atomic>
#include <cstdint>

#include "syzygy/tbfile.h"

constexpr int TBMAX_PIECE = 254;
constexpr int TBMAX_PAWN = 256;
constexpr int HSHMAX = 5;
constexpr int TB_HASH_BITS = 10;
constexpr int TB_HASH_BUCKETS = 1 << TB_HASH_BITS;
constexpr int DTZ_ENTRIES = 64;
constexpr int TB_NAME_SIZE = 16;

struct TbEntry {
  uint64_t key;  // material key with the first-named side as White
  std::atomic<uint8_t> ready;
  bool failed;      // the WDL file is missing or damaged: never tried again
  bool dtzFailed;   // likewise for the DTZ file
  uint8_t numPieces;
  bool symmetric, hasPawns;
  uint8_t pawns[2];   // pawn tables: the colour with fewer (but some) pawns first
  uint8_t encoding;   // pawnless tables: 0 with three or more single pieces, 2 with only the kings
  uint8_t directory;  // index into the path list
  char name[TB_NAME_SIZE];
  TbTable wdl;
};

struct TbHashSlot {
  std::atomic<uint64_t> key;  // cleared when the signature is disabled
  TbEntry* entry;
};

extern int tbLargest;

// Sets the tables up from a list of directories separated by ";" or ":"
// (a drive letter's colon, as in C:/tb, stays), releasing the previous set;
// prints "info string found %d tablebases".
void tb_init(const char* paths);
// Releases every mapping (the end of the program, or before a new set).
void tb_free();
int tb_count();

// The entry registered under a material key, or null.
TbEntry* tb_find(uint64_t key);
// Maps and sets up the WDL table on first use (once, under a lock);
// false when the table is missing or damaged.
bool tb_wdl_ready(TbEntry* e);
// The entry's DTZ table from the cache, mapped on a miss; null when it
// cannot be had. Called from one thread only.
const TbTable* tb_dtz_table(TbEntry* e);
