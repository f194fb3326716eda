#include "eval/evalinfo.h"

#include <cstring>

#include "eval/geometry.h"

namespace {

// Material units at which the phase reaches pure middlegame (0): a little
// under the 62 units of the full set.
constexpr float PHASE_PER_UNIT = 0.017f;
constexpr int QUEENSIDE_FILES = 4;  // files a-d
constexpr int ZONE_ATTACK_UNITS_PER_PAWN_PUSH = 2;
// Outposts: ranks 4-6 for White, 3-5 for Black, off the edge files.
constexpr Bitboard WHITE_OUTPOST_RANKS = 0x0000FFFFFF000000ULL;
constexpr Bitboard BLACK_OUTPOST_RANKS = 0x000000FFFFFF0000ULL;

// A king on the edge gets the same zone as one a step inside it, so the
// zone always covers nine squares.
Bitboard king_zone(int kingSq) {
  int f = file_of(kingSq), r = rank_of(kingSq);
  f = f == 0 ? 1 : f == LAST_FILE ? LAST_FILE - 1 : f;
  r = r == 0 ? 1 : r == LAST_RANK ? LAST_RANK - 1 : r;
  int centre = make_square(f, r);
  return bit(centre) | KingAttacks[centre];
}

// Squares of the colour's outpost ranks that no enemy pawn can ever attack:
// outside every square an enemy pawn could reach diagonally while advancing.
Bitboard outpost_squares(int colour, Bitboard enemyPawns) {
  Bitboard ranks = colour == WHITE ? WHITE_OUTPOST_RANKS : BLACK_OUTPOST_RANKS;
  // Enemy pawns advance towards this colour's back rank.
  return ranks & FILES_B_TO_G & ~pawn_attack_set(colour ^ 1, rear_fill(colour, enemyPawns));
}

void pawn_sets(const Position& pos, EvalInfo& ei) {
  ei.passed = ei.candidates = 0;
  for (int c = WHITE; c <= BLACK; c++) {
    Bitboard enemyPawns = piece_set(pos, c ^ 1, PAWN);
    for (Bitboard b = piece_set(pos, c, PAWN); b;) {
      int sq = pop_lsb(b);
      if (!(PassedMask[c][sq] & enemyPawns))
        ei.passed |= bit(sq);
      else if (!(front_span(c, sq) & enemyPawns))
        ei.candidates |= bit(sq);
    }
  }
}

void choose_tables(EvalInfo& ei) {
  ei.pstPawn = ei.sameWing ? W.PST_P1 : W.PST_P2;
  ei.pstKnight = ei.sameWing ? W.PST_N1 : W.PST_N2;
  ei.pstBishop = ei.sameWing ? W.PST_B1 : W.PST_B2;
  ei.pstRook = ei.sameWing ? W.PST_R1 : W.PST_R2;
  ei.pstQueen = ei.sameWing ? W.PST_Q1 : W.PST_Q2;
}

void colour_setup(const Position& pos, EvalInfo& ei, int c) {
  Bitboard pawns = piece_set(pos, c, PAWN);
  int ksq = pos.kingSq[c];
  ei.pawnAttacks[c] = pawn_attack_set(c, pawns);
  ei.kingAttacks[c] = KingAttacks[ksq];
  ei.attacked[c] = ei.pawnAttacks[c] | ei.kingAttacks[c];
  ei.attackedTwice[c] = pawn_double_attack_set(c, pawns) | (ei.pawnAttacks[c] & ei.kingAttacks[c]);
  ei.kingZone[c] = king_zone(ksq);
  ei.mirror[c] = (file_of(ksq) < QUEENSIDE_FILES ? FILE_FLIP : 0) + (c == BLACK ? RANK_FLIP : 0);
  ei.outposts[c] = outpost_squares(c, piece_set(pos, c ^ 1, PAWN));
}

}  // namespace

void setup_eval_info(const Position& pos, EvalInfo& ei, int traceLevel) {
  std::memset(&ei, 0, sizeof ei);
  ei.traceLevel = traceLevel;
  int units = pos.matValue[WHITE] + pos.matValue[BLACK];
  ei.phase = 1.0f - (PHASE_PER_UNIT * float(units) < 1.0f ? PHASE_PER_UNIT * float(units) : 1.0f);
  ei.occupied = occupancy(pos);
  ei.pawns = piece_set(pos, WHITE, PAWN) | piece_set(pos, BLACK, PAWN);
  for (int c = WHITE; c <= BLACK; c++) colour_setup(pos, ei, c);
  // Enemy pawns one push from the king zone are the start of a storm.
  for (int c = WHITE; c <= BLACK; c++) {
    Bitboard pushes = forward_one(c ^ 1, piece_set(pos, c ^ 1, PAWN));
    ei.attackUnits[c] = ZONE_ATTACK_UNITS_PER_PAWN_PUSH * popcount(pushes & ei.kingZone[c]);
  }
  ei.sameWing = (ei.mirror[WHITE] & FILE_FLIP) == (ei.mirror[BLACK] & FILE_FLIP);
  choose_tables(ei);
  pawn_sets(pos, ei);
}
