// Board geometry the hand-crafted evaluation measures with: king-step
// distances, ranks seen from either side, pawn fronts and attack spans.
#pragma once

#include "board/bitboard.h"

constexpr int SQUARES = 64;
constexpr int LAST_FILE = 7;  // file index of the h-file
constexpr int RANK_STEP = 8;  // squares from one rank to the next
constexpr int FILE_FLIP = 7;  // square XOR that mirrors files a-h
constexpr int RANK_FLIP = 56;  // square XOR that mirrors ranks 1-8
constexpr Bitboard FILES_B_TO_G = ~(FILE_A | FILE_H);
constexpr Bitboard LIGHT_SQUARES = 0x55AA55AA55AA55AAULL;
constexpr Bitboard DARK_SQUARES = ~LIGHT_SQUARES;

// Number of king moves between two squares.
inline int distance(int a, int b) {
  int df = file_of(a) - file_of(b), dr = rank_of(a) - rank_of(b);
  df = df < 0 ? -df : df;
  dr = dr < 0 ? -dr : dr;
  return df > dr ? df : dr;
}

// Rank 0..7 counted from the given colour's own back rank.
inline int relative_rank(int colour, int sq) { return colour == WHITE ? rank_of(sq) : LAST_RANK - rank_of(sq); }

// The set moved one rank towards the colour's promotion rank.
inline Bitboard forward_one(int colour, Bitboard b) { return colour == WHITE ? b << RANK_STEP : b >> RANK_STEP; }

// Squares attacked by a set of pawns of one colour.
inline Bitboard pawn_attack_set(int colour, Bitboard pawns) {
  Bitboard towardsA = forward_one(colour, pawns & ~FILE_A) >> 1;
  Bitboard towardsH = forward_one(colour, pawns & ~FILE_H) << 1;
  return towardsA | towardsH;
}

// Squares attacked by both diagonals of a colour's pawns.
inline Bitboard pawn_double_attack_set(int colour, Bitboard pawns) {
  return (forward_one(colour, pawns & ~FILE_A) >> 1) & (forward_one(colour, pawns & ~FILE_H) << 1);
}

// The set together with every square behind it on its files, seen from
// the colour (towards its own back rank).
inline Bitboard rear_fill(int colour, Bitboard b) {
  // Three doubling steps cover all seven ranks.
  if (colour == WHITE) {
    b |= b >> RANK_STEP;
    b |= b >> 2 * RANK_STEP;
    return b | b >> 4 * RANK_STEP;
  }
  b |= b << RANK_STEP;
  b |= b << 2 * RANK_STEP;
  return b | b << 4 * RANK_STEP;
}

// The squares ahead of a square on its file, up to the last rank.
inline Bitboard front_span(int colour, int sq) { return Ray[colour == WHITE ? NORTH : SOUTH][sq]; }

// The set grown by one king step in every direction.
inline Bitboard king_step_grow(Bitboard b) {
  Bitboard wide = b | ((b & ~FILE_A) >> 1) | ((b & ~FILE_H) << 1);
  return wide | (wide << RANK_STEP) | (wide >> RANK_STEP);
}

inline bool is_light_square(int sq) { return (LIGHT_SQUARES >> sq) & 1; }
