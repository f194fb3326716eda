// The bitboard position record every subsystem works on directly.
#pragma once

#include "core/types.h"

struct SearchThread;

struct Position {
  SearchThread* owner;         // undo stack and ply counters used by make/unmake
  uint8_t board[64];           // piece code per square
  Bitboard pieces[16];         // by piece code; slot colour*8 = all of that colour
  Bitboard touched;            // from/to squares of every move since set-up
  Bitboard castleKingRook[4];  // king and rook square bits per castling
  Bitboard castlePath[4];      // squares that must be empty per castling
  uint64_t key;
  uint64_t pawnKey;
  uint32_t matCount[2];        // packed piece counts per colour
  uint16_t matValue[2];        // non-pawn material units per colour
  uint8_t castleRookSq[4];     // castling rook's start square, 64 if none
  uint8_t kingSq[2];
  uint8_t side;
  uint8_t epSquare;
  uint8_t castling;
  uint8_t fifty;
};

inline Bitboard occupancy(const Position& pos) {
  return pos.pieces[make_piece(WHITE, ALL_PIECES)] | pos.pieces[make_piece(BLACK, ALL_PIECES)];
}
inline Bitboard colour_set(const Position& pos, int colour) {
  return pos.pieces[make_piece(colour, ALL_PIECES)];
}
inline Bitboard piece_set(const Position& pos, int colour, int type) {
  return pos.pieces[make_piece(colour, type)];
}
// Number of pieces of one type from the packed counts (pawn..queen).
inline int piece_count(const Position& pos, int colour, int type) {
  return (pos.matCount[colour] >> (4 * (type - 1))) & 15;
}
