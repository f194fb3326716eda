// Basic board vocabulary shared by every part of the engine: squares,
// colours, piece codes, the 16-bit move code and its flags.
#pragma once

#include <cstdint>

using Bitboard = uint64_t;
using Move = uint16_t;

// Squares run a1 = 0 .. h8 = 63; file = sq & 7, rank = sq >> 3.
constexpr int NO_SQUARE = 64;
constexpr int SQ_A1 = 0, SQ_C1 = 2, SQ_E1 = 4, SQ_G1 = 6, SQ_H1 = 7;
constexpr int SQ_A8 = 56, SQ_C8 = 58, SQ_E8 = 60, SQ_G8 = 62, SQ_H8 = 63;

constexpr int WHITE = 0;
constexpr int BLACK = 1;

constexpr int NO_PIECE_TYPE = 0;
constexpr int PAWN = 1;
constexpr int KNIGHT = 2;
constexpr int BISHOP = 3;
constexpr int ROOK = 4;
constexpr int QUEEN = 5;
constexpr int KING = 6;

// A piece code is type | colour << 3: white 1..6, black 9..14, 0 empty.
// Slot colour*8 of a bitboard array indexed by piece code holds all pieces
// of that colour.
constexpr int make_piece(int colour, int type) { return type | colour << 3; }
constexpr int type_of(int piece) { return piece & 7; }
constexpr int colour_of(int piece) { return (piece >> 3) & 1; }
constexpr int ALL_PIECES = 0;  // type slot for "every piece of the colour"

constexpr int file_of(int sq) { return sq & 7; }
constexpr int rank_of(int sq) { return sq >> 3; }
constexpr int make_square(int file, int rank) { return rank * 8 + file; }
constexpr Bitboard bit(int sq) { return Bitboard(1) << sq; }

// Castling indices (white short, white long, black short, black long) and
// the matching bits of Position::castling.
constexpr int CASTLE_WK = 1;
constexpr int CASTLE_WQ = 2;
constexpr int CASTLE_BK = 4;
constexpr int CASTLE_BQ = 8;

// Move code: bits 0-5 to-square, 8-13 from-square, flag bits 6, 7, 14, 15.
// A flag means promotion on a pawn move and castling on a king move.
constexpr Move MOVE_NONE = 0;
constexpr Move MOVE_END = 0xFFFF;  // terminates a move list
constexpr Move FLAG_Q_SHORT = 0x0040;
constexpr Move FLAG_N_LONG = 0x0080;
constexpr Move FLAG_B = 0x4000;
constexpr Move FLAG_R = 0x8000;
constexpr Move FLAG_MASK = 0xC0C0;

constexpr int move_to(Move m) { return m & 63; }
constexpr int move_from(Move m) { return (m >> 8) & 63; }
constexpr int move_flags(Move m) { return m & FLAG_MASK; }
constexpr Move make_move_code(int from, int to, int flags = 0) {
  return Move(to | from << 8 | flags);
}

// Promoted piece type of a flagged pawn move.
constexpr int promotion_type(Move m) {
  return (m & FLAG_Q_SHORT) ? QUEEN
         : (m & FLAG_N_LONG) ? KNIGHT
         : (m & FLAG_B)      ? BISHOP
                             : ROOK;
}

// Forward step of a pawn of each colour, in squares.
constexpr int pawn_step(int colour) { return colour == WHITE ? 8 : -8; }
// XOR with this to see a square from the given colour's side of the board.
constexpr int flip_for(int colour) { return colour == WHITE ? 0 : 56; }
// Rank indices seen from the side that owns the pawn or piece, 0 being its
// own back rank: rank_of(sq ^ flip_for(side)).
constexpr int SECOND_RANK = 1;
constexpr int SIXTH_RANK = 5;
constexpr int SEVENTH_RANK = 6;
constexpr int LAST_RANK = 7;
// A move of each side: a mate in N moves lands N * 2 plies away.
constexpr int PLIES_PER_MOVE = 2;

// Rank masks seen from each colour.
constexpr Bitboard RANK_1 = 0x00000000000000FFULL;
constexpr Bitboard RANK_2 = 0x000000000000FF00ULL;
constexpr Bitboard RANK_3 = 0x0000000000FF0000ULL;
constexpr Bitboard RANK_6 = 0x0000FF0000000000ULL;
constexpr Bitboard RANK_7 = 0x00FF000000000000ULL;
constexpr Bitboard RANK_8 = 0xFF00000000000000ULL;
constexpr Bitboard FILE_A = 0x0101010101010101ULL;
constexpr Bitboard FILE_H = 0x8080808080808080ULL;

// Pawns on this rank promote with their next push or capture.
constexpr Bitboard PromotionSource[2] = {RANK_7, RANK_2};
// Pawns on this rank reach the seventh rank with a push.
constexpr Bitboard PrePromotionRank[2] = {RANK_6, RANK_3};
constexpr Bitboard SecondRank[2] = {RANK_2, RANK_7};

// Packed piece counts (pawns bits 0-3, knights 4-7, bishops 8-11, rooks
// 12-15, queens 16-19) and non-pawn material units, per piece type.
constexpr uint32_t MatCountInc[7] = {0, 1, 16, 256, 4096, 65536, 0};
constexpr uint16_t MatValueInc[7] = {0, 0, 3, 3, 5, 10, 0};

constexpr int MAX_THREADS = 160;
