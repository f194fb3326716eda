// Training positions in a compact binary form shared by the self-play
// generator, the PGN converter, the network trainer and the tuner.
//
// A file is a plain sequence of 32-byte records, little-endian, so files
// (and shards of several runs) concatenate with `cat`:
//
//   offset size  field
//        0    8  occupied squares, bit n = square n (a1 = 0 .. h8 = 63)
//        8   16  piece codes of the occupied squares in ascending square
//                order, 4 bits each, low nibble first (type | colour << 3,
//                the engine's codes; at most 32 men)
//       24    2  search score, centipawns, side to move's view (int16)
//       26    1  game result from White's view: 0 loss, 1 draw, 2 win
//       27    1  bit 0: Black to move; bits 1-7: reserved, zero
//       28    4  game number within the run that wrote it (uint32)
//
// Castling rights, the en-passant square and the move counters are not
// kept: the network does not see them, and the generator only writes
// quiet positions, where they hardly move the hand-crafted score.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/position.h"

constexpr int NET_RECORD_BYTES = 32;
constexpr int RESULT_BLACK_WINS = 0;
constexpr int RESULT_DRAW = 1;
constexpr int RESULT_WHITE_WINS = 2;

struct NetRecord {
  uint64_t occupied;
  uint8_t pieces[16];
  int16_t score;
  uint8_t result;
  uint8_t flags;
  uint32_t game;
};
static_assert(sizeof(NetRecord) == NET_RECORD_BYTES, "the record is written as raw bytes");

// Packs the position (at most 32 men) with its score, result and game.
void pack_record(const Position& pos, int score, int result, uint32_t game, NetRecord& out);
// Sets up the position the record holds (no castling, no en passant);
// false when the record cannot be a position (more than 32 men, a bad
// piece code, not one king a side).
bool unpack_record(const NetRecord& r, Position& pos);
// Result from the side to move's view as a probability: 0, 0.5 or 1.
double result_for_side_to_move(const NetRecord& r);

// Reads up to `max` records; returns the number read (0 at the end).
size_t read_records(FILE* f, NetRecord* out, size_t max);
bool write_records(FILE* f, const NetRecord* r, size_t n);
