#include "board/bitboard.h"

#include <cstdlib>

Bitboard Between[64][64];
Bitboard Ray[8][64];
Bitboard RookPseudo[64];
Bitboard BishopPseudo[64];
Bitboard KnightAttacks[64];
Bitboard KingAttacks[64];
Bitboard PawnAttacks[2][64];
Bitboard PassedMask[2][64];
Bitboard SideNeighbours[64];

namespace {

// File and rank steps of the eight directions, in Direction order.
constexpr int DirFile[8] = {1, -1, 0, 0, 1, -1, -1, 1};
constexpr int DirRank[8] = {0, 0, 1, -1, 1, 1, -1, -1};

bool on_board(int file, int rank) { return file >= 0 && file < 8 && rank >= 0 && rank < 8; }

// Set of the squares reached from sq by each (file, rank) offset.
Bitboard leaper_set(int sq, const int (*offsets)[2], int count) {
  Bitboard set = 0;
  for (int i = 0; i < count; i++) {
    int f = file_of(sq) + offsets[i][0], r = rank_of(sq) + offsets[i][1];
    if (on_board(f, r)) set |= bit(make_square(f, r));
  }
  return set;
}

void init_rays(int sq) {
  for (int d = 0; d < 8; d++) {
    Bitboard ray = 0;
    int f = file_of(sq) + DirFile[d], r = rank_of(sq) + DirRank[d];
    for (; on_board(f, r); f += DirFile[d], r += DirRank[d]) ray |= bit(make_square(f, r));
    Ray[d][sq] = ray;
  }
  RookPseudo[sq] = Ray[EAST][sq] | Ray[WEST][sq] | Ray[NORTH][sq] | Ray[SOUTH][sq];
  BishopPseudo[sq] =
      Ray[NORTH_EAST][sq] | Ray[NORTH_WEST][sq] | Ray[SOUTH_WEST][sq] | Ray[SOUTH_EAST][sq];
}

void init_between(int a) {
  for (int b = 0; b < 64; b++) {
    Between[a][b] = 0;
    int df = file_of(b) - file_of(a), dr = rank_of(b) - rank_of(a);
    if (a == b || !(df == 0 || dr == 0 || std::abs(df) == std::abs(dr))) continue;
    int sf = (df > 0) - (df < 0), sr = (dr > 0) - (dr < 0);
    int f = file_of(a) + sf, r = rank_of(a) + sr;
    for (; make_square(f, r) != b; f += sf, r += sr) Between[a][b] |= bit(make_square(f, r));
  }
}

void init_pawn_masks(int sq) {
  int f = file_of(sq), r = rank_of(sq);
  constexpr int whiteCaptures[2][2] = {{-1, 1}, {1, 1}};
  constexpr int blackCaptures[2][2] = {{-1, -1}, {1, -1}};
  PawnAttacks[WHITE][sq] = leaper_set(sq, whiteCaptures, 2);
  PawnAttacks[BLACK][sq] = leaper_set(sq, blackCaptures, 2);

  SideNeighbours[sq] = 0;
  if (f > 0) SideNeighbours[sq] |= bit(sq - 1);
  if (f < 7) SideNeighbours[sq] |= bit(sq + 1);

  Bitboard files = 0;
  for (int ff = f - 1; ff <= f + 1; ff++)
    if (ff >= 0 && ff < 8) files |= FILE_A << ff;
  Bitboard above = r < 7 ? ~Bitboard(0) << (8 * (r + 1)) : 0;
  Bitboard below = r > 0 ? ~Bitboard(0) >> (8 * (8 - r)) : 0;
  PassedMask[WHITE][sq] = files & above;
  PassedMask[BLACK][sq] = files & below;
}

}  // namespace

void init_board_tables() {
  constexpr int knightOffsets[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2},
                                       {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
  constexpr int kingOffsets[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1},
                                     {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
  for (int sq = 0; sq < 64; sq++) {
    init_rays(sq);
    init_between(sq);
    init_pawn_masks(sq);
    KnightAttacks[sq] = leaper_set(sq, knightOffsets, 8);
    KingAttacks[sq] = leaper_set(sq, kingOffsets, 8);
  }
}
