#include "eval/scale.h"

#include "eval/geometry.h"

namespace {

// Only endings with at most a rook and a minor or so per side, and close
// in material, are scaled.
constexpr int SCALE_MATERIAL_LIMIT = 11;
constexpr int SCALE_MATERIAL_GAP = 4;
constexpr float NO_PAWNS_BISHOPS_V_KNIGHT = 0.75f;
constexpr float NO_PAWNS_BASE = 0.1f;
constexpr float NO_PAWNS_PER_UNIT = 0.007f;
constexpr float WRONG_ROOK_PAWN = 0.05f;
constexpr float OPPOSITE_BISHOPS = 0.6f;
constexpr float OPPOSITE_BISHOPS_WITH_MAJORS = 0.9f;
constexpr int OPPOSITE_BISHOPS_PAWN_GAP = 2;
constexpr float ONE_PAWN_V_NO_MINOR = 0.8f;
constexpr float ONE_PAWN_V_MINOR = 0.6f;
constexpr float TWO_PAWNS_V_NO_MINOR = 0.9f;
constexpr float TWO_PAWNS_V_MINOR = 0.8f;
constexpr float PAWNS_HELD_BY_KING = 0.75f;
constexpr float LONE_PIECE_V_SEVERAL = 0.8f;
constexpr int MAX_SMALL_EDGE_PAWNS = 2;
constexpr int BISHOP_PAIR_COUNT = 2;
constexpr int BISHOP_PAIR_UNITS = 6;
constexpr int KNIGHT_UNITS = 3;

int count(const Position& pos, int c, int type) { return piece_count(pos, c, type); }
int pieces(const Position& pos, int c) {
  return count(pos, c, KNIGHT) + count(pos, c, BISHOP) + count(pos, c, ROOK) + count(pos, c, QUEEN);
}
bool has_minor(const Position& pos, int c) { return count(pos, c, KNIGHT) + count(pos, c, BISHOP) > 0; }
bool has_major(const Position& pos, int c) { return count(pos, c, ROOK) + count(pos, c, QUEEN) > 0; }

// Bishop pair against a lone knight still wins often; other pawnless
// edges mostly do not.
float no_pawns_factor(const Position& pos, int l, int d) {
  bool bishopPair = count(pos, l, BISHOP) == BISHOP_PAIR_COUNT && pos.matValue[l] == BISHOP_PAIR_UNITS;
  bool loneKnight = count(pos, d, KNIGHT) == 1 && pos.matValue[d] == KNIGHT_UNITS;
  return bishopPair && loneKnight ? NO_PAWNS_BISHOPS_V_KNIGHT : NO_PAWNS_BASE + NO_PAWNS_PER_UNIT * pos.matValue[l];
}

// Rook pawns and a bishop that does not control the queening corner: the
// defending king in the corner cannot be driven out.
bool wrong_rook_pawn(const Position& pos, int l, int d) {
  if (count(pos, l, KNIGHT) || has_major(pos, l)) return false;
  Bitboard pawns = piece_set(pos, l, PAWN);
  Bitboard file = (pawns & ~FILE_A) == 0 ? FILE_A : (pawns & ~FILE_H) == 0 ? FILE_H : 0;
  if (!file) return false;
  int corner = make_square(file == FILE_A ? 0 : LAST_FILE, l == WHITE ? LAST_RANK : 0);
  if (distance(pos.kingSq[d], corner) > 1) return false;
  Bitboard cornerColour = is_light_square(corner) ? LIGHT_SQUARES : DARK_SQUARES;
  return !(piece_set(pos, l, BISHOP) & cornerColour);
}

bool opposite_bishops(const Position& pos, int l, int d) {
  if (pos.matValue[l] != pos.matValue[d] || count(pos, l, BISHOP) != 1 || count(pos, d, BISHOP) != 1) return false;
  bool lightL = piece_set(pos, l, BISHOP) & LIGHT_SQUARES, lightD = piece_set(pos, d, BISHOP) & LIGHT_SQUARES;
  int gap = count(pos, l, PAWN) - count(pos, d, PAWN);
  return lightL != lightD && gap <= OPPOSITE_BISHOPS_PAWN_GAP && gap >= -OPPOSITE_BISHOPS_PAWN_GAP;
}

// Every pawn of l on the files of d's king and its neighbours, not past it.
bool pawns_held_by_king(const Position& pos, int l, int d) {
  int k = pos.kingSq[d];
  for (Bitboard b = piece_set(pos, l, PAWN); b;) {
    int sq = pop_lsb(b);
    int df = file_of(sq) - file_of(k);
    if (df < -1 || df > 1 || relative_rank(l, sq) > relative_rank(l, k)) return false;
  }
  return true;
}

// One or two extra pawns with nothing else extra are often not enough.
float small_edge_factor(const Position& pos, int l, int d) {
  int pl = count(pos, l, PAWN);
  bool minor = has_minor(pos, d);
  float f = pl == 1 ? (minor ? ONE_PAWN_V_MINOR : ONE_PAWN_V_NO_MINOR)
                    : (minor ? TWO_PAWNS_V_MINOR : TWO_PAWNS_V_NO_MINOR);
  if (pawns_held_by_king(pos, l, d)) f *= PAWNS_HELD_BY_KING;
  return f;
}

}  // namespace

float scale_factor(const Position& pos, int s) {
  int mw = pos.matValue[WHITE], mb = pos.matValue[BLACK];
  int gap = mw - mb;
  if (mw >= SCALE_MATERIAL_LIMIT || mb >= SCALE_MATERIAL_LIMIT || gap >= SCALE_MATERIAL_GAP ||
      gap <= -SCALE_MATERIAL_GAP)
    return 1.0f;
  int l = s >= 0 ? WHITE : BLACK, d = l ^ 1;
  int pl = count(pos, l, PAWN), pd = count(pos, d, PAWN);
  int ml = pos.matValue[l], md = pos.matValue[d];
  if (pl == 0) return no_pawns_factor(pos, l, d);
  if (wrong_rook_pawn(pos, l, d)) return WRONG_ROOK_PAWN;
  float sf = 1.0f;
  if (opposite_bishops(pos, l, d)) sf = has_major(pos, l) ? OPPOSITE_BISHOPS_WITH_MAJORS : OPPOSITE_BISHOPS;
  if (pl <= MAX_SMALL_EDGE_PAWNS && ml + pl <= md + pd + 1 && md > 0) sf *= small_edge_factor(pos, l, d);
  if (pieces(pos, l) == 1 && pieces(pos, d) > 1) sf *= LONE_PIECE_V_SEVERAL;
  return sf;
}
