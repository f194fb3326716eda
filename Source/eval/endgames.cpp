#include "eval/endgames.h"

#include "eval/geometry.h"
#include "eval/kpk.h"

namespace {

// Packed piece counts (Position::matCount): pawns in bits 0-3, knights
// 4-7, bishops 8-11, rooks 12-15, queens 16-19.
constexpr uint32_t PAWN_COUNT_MASK = 0xF;
constexpr uint32_t ONE_PAWN = 1;
constexpr uint32_t ONE_KNIGHT = 0x10;
constexpr uint32_t ONE_BISHOP = 0x100;
constexpr uint32_t BISHOP_AND_KNIGHT = ONE_BISHOP + ONE_KNIGHT;
constexpr uint32_t ROOKS_AND_QUEENS_MASK = 0xFF000;
constexpr int KNIGHT_SHIFT = 4;
constexpr uint32_t COUNT_FIELD_MASK = 0xF;
// Below a bishop and a knight together: nothing, one bishop, or knights.
constexpr uint32_t NO_MATING_MINORS = BISHOP_AND_KNIGHT;
constexpr int MAX_DRAWN_KNIGHTS = 2;

// Drive the lone king into a corner of the bishop's colour (a1/h8 for a
// dark-square bishop): that is the only corner where the mate exists.
constexpr int BishopCorner[64] = {
    9, 8, 7, 6, 5, 4, 3, 2,  //
    8, 7, 6, 5, 4, 3, 2, 3,  //
    7, 6, 4, 3, 2, 1, 3, 4,  //
    6, 5, 3, 1, 0, 2, 4, 5,  //
    5, 4, 2, 0, 1, 3, 5, 6,  //
    4, 3, 1, 2, 3, 4, 6, 7,  //
    3, 2, 3, 4, 5, 6, 7, 8,  //
    2, 3, 4, 5, 6, 7, 8, 9,
};
// The attacking king belongs in the centre, where it cuts off most squares.
constexpr int KingCentre[64] = {
    0, 0, 0, 0, 0, 0, 0, 0,  //
    0, 1, 1, 1, 1, 1, 1, 0,  //
    0, 1, 2, 2, 2, 2, 1, 0,  //
    0, 1, 2, 2, 2, 2, 1, 0,  //
    0, 1, 2, 2, 2, 2, 1, 0,  //
    0, 1, 2, 2, 2, 2, 1, 0,  //
    0, 1, 1, 1, 1, 1, 1, 0,  //
    0, 0, 0, 0, 0, 0, 0, 0,
};
// Against a rook or queen any edge will do; corners are best.
constexpr int MopUp[64] = {
    60, 50, 40, 30, 30, 40, 50, 60,  //
    50, 40, 30, 20, 20, 30, 40, 50,  //
    40, 30, 20, 10, 10, 20, 30, 40,  //
    30, 20, 10, 0,  0,  10, 20, 30,  //
    30, 20, 10, 0,  0,  10, 20, 30,  //
    40, 30, 20, 10, 10, 20, 30, 40,  //
    50, 40, 30, 20, 20, 30, 40, 50,  //
    60, 50, 40, 30, 30, 40, 50, 60,
};

constexpr int BNK_BASE = 700;
constexpr int BNK_CORNER_WEIGHT = 16;
constexpr int BNK_CENTRE_WEIGHT = 8;
constexpr int BNK_DISTANCE_WEIGHT = 8;
constexpr int MOPUP_UNIT = 100;  // centipawns per material unit
constexpr int MOPUP_BONUS = 100;
constexpr int MOPUP_WEIGHT = 4;
constexpr int MOPUP_DISTANCE_WEIGHT = 4;

int from_side_to_move(const Position& pos, int colour, int s) { return pos.side == colour ? s : -s; }

bool bare_minors_draw(const Position& pos) {
  uint32_t wc = pos.matCount[WHITE], bc = pos.matCount[BLACK];
  if ((wc | bc) & PAWN_COUNT_MASK) return false;
  return wc < NO_MATING_MINORS && bc < NO_MATING_MINORS &&
         ((wc >> KNIGHT_SHIFT) & COUNT_FIELD_MASK) <= MAX_DRAWN_KNIGHTS &&
         ((bc >> KNIGHT_SHIFT) & COUNT_FIELD_MASK) <= MAX_DRAWN_KNIGHTS;
}

// Strong king towards the centre and close to the lone king, lone king
// towards a corner it can be mated in.
int bishop_knight_mate(const Position& pos, int strong) {
  int s = pos.kingSq[strong], w = pos.kingSq[strong ^ 1];
  int bishop = lsb(piece_set(pos, strong, BISHOP));
  // The corner table is laid out for a dark-square bishop; a light one
  // wants the other pair of corners, which the file mirror swaps in.
  int cornerSq = is_light_square(bishop) ? w ^ FILE_FLIP : w;
  return BNK_BASE + BNK_CORNER_WEIGHT * BishopCorner[cornerSq] + BNK_CENTRE_WEIGHT * KingCentre[s] -
         BNK_DISTANCE_WEIGHT * distance(s, w);
}

// Material in whole units plus, for the stronger side, a push of the lone
// king to the edge and of the own king towards it.
int mop_up_for_white(const Position& pos) {
  int mw = pos.matValue[WHITE], mb = pos.matValue[BLACK];
  int strong = mw > mb ? WHITE : BLACK;
  int drive = MOPUP_BONUS + MOPUP_WEIGHT * (MopUp[pos.kingSq[strong ^ 1]] -
                                            MOPUP_DISTANCE_WEIGHT * distance(pos.kingSq[WHITE], pos.kingSq[BLACK]));
  int s = MOPUP_UNIT * (mw - mb);
  return strong == WHITE ? s + drive : s - drive;
}

}  // namespace

bool special_ending_score(const Position& pos, int* score) {
  if (bare_minors_draw(pos)) {
    *score = 0;
    return true;
  }
  for (int lone = WHITE; lone <= BLACK; lone++) {
    if (pos.matCount[lone] != 0) continue;
    int strong = lone ^ 1;
    uint32_t sc = pos.matCount[strong];
    if (sc == ONE_PAWN) {
      *score = from_side_to_move(pos, strong, kpk_score(pos, strong));
      return true;
    }
    if (sc == BISHOP_AND_KNIGHT) {
      *score = from_side_to_move(pos, strong, bishop_knight_mate(pos, strong));
      return true;
    }
    if (sc & ROOKS_AND_QUEENS_MASK) {
      *score = from_side_to_move(pos, WHITE, mop_up_for_white(pos));
      return true;
    }
  }
  return false;
}
