// The layout of one mapped table file: the sub-tables with their piece
// lists, compression headers, index, size and data areas, and the value
// maps of distance files. Parsing checks every offset against the file.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "syzygy/tbindex.h"

constexpr uint32_t TB_WDL_MAGIC = 0x5D23E871;
constexpr uint32_t TB_DTZ_MAGIC = 0xA50C66D7;
constexpr int TB_MAX_CODE_LENGTH = 32;
constexpr int TB_CLASSES = 4;  // pawn-file classes a/h, b/g, c/f, d/e
constexpr int TB_MAPS = 4;     // wins, losses, cursed wins, blessed losses

// DTZ sub-table flags.
constexpr uint8_t TB_FLAG_STORED_SIDE = 1;
constexpr uint8_t TB_FLAG_MAPPED = 2;
constexpr uint8_t TB_FLAG_WIN_PLIES = 4;
constexpr uint8_t TB_FLAG_LOSS_PLIES = 8;
constexpr uint8_t TB_FLAG_WIDE_MAPS = 16;
constexpr uint8_t TB_FLAG_SINGLE = 128;

// One compressed sub-table.
struct TbPairs {
  const uint8_t* indexTable;
  const uint8_t* sizeTable;
  const uint8_t* data;
  const uint8_t* symbols;  // three-byte records
  uint32_t* symbolLength;  // values each symbol expands to (owned)
  uint64_t codeBase[TB_MAX_CODE_LENGTH];  // smallest code word per length, left-aligned
  uint16_t firstSymbol[TB_MAX_CODE_LENGTH];
  // First code length (less minLength) worth testing, by the top byte of
  // the bit buffer: shorter codes cannot start with that byte.
  uint8_t lengthFromTop[256];
  uint64_t size;
  uint32_t realBlocks, extraBlocks, numSymbols;
  uint8_t flags, blockBits, indexBits, minLength, maxLength, singleValue;
};

struct TbSubTable {
  TbLayout layout;
  TbPairs pairs;
  const uint8_t* map[TB_MAPS];  // DTZ value maps, null when absent
  uint16_t mapLength[TB_MAPS];
};

struct TbTable {
  MappedFile file;
  TbSubTable sub[TB_CLASSES][2];  // by class and stored side
  uint64_t whiteKey;  // material key with the table's white pieces as White
  uint8_t numPieces, classes, sides;
  bool hasPawns, symmetric, dtz;
};

// Sets up the table from a mapped file (which it then owns); false, with
// nothing kept and the file left to the caller, when the file is not a
// valid table of its kind. `bothPawns` tells whether each
// colour has pawns, which decides the record size of pawn tables.
bool tb_parse_table(TbTable& table, const MappedFile& file, bool dtz, bool bothPawns);
// Frees what parsing allocated and unmaps the file.
void tb_release_table(TbTable& table);

uint64_t tb_material_key(const int counts[2][KING]);
