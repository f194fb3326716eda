#include "eval/kingsafety.h"

#include "eval/geometry.h"

namespace {

// King safety only matters while the enemy keeps more than a rook and a
// minor piece's worth of material.
constexpr int SAFETY_MATERIAL_THRESHOLD = 8;
constexpr int FULL_SHIELD = 9;
constexpr int MAX_SHIELD_IN_DANGER = 8;
constexpr float SHIELD_STEP = 0.111f;
constexpr int BISHOP_DANGER = 3;
constexpr int PAWN_DANGER = 2;
constexpr int KNIGHT_DANGER = 4;
constexpr int ROOK_DANGER = 4;
constexpr int QUEEN_DANGER = 5;
constexpr int MAX_QUEEN_TARGETS = 3;
constexpr int CHECK_DANGER = 2;
constexpr int MIN_DANGER = 2;
constexpr int MAX_DANGER = 39;
constexpr float DANGER_FLATTENING = 0.006f;
constexpr float DANGER_SCALE = 0.0018f;
constexpr int QUEEN_CONTACT_THREAT = 800;
// Share of king_pawn_dist by the number of king steps to the nearest
// square in front of a pawn.
constexpr float PawnDistanceFactor[8] = {0.0f, 0.2f, 0.4f, 0.6f, 0.8f, 1.0f, 1.0f, 1.0f};
constexpr int MAX_PAWN_DISTANCE_STEPS = 7;

// Squares the enemy may check from without losing the checking piece.
Bitboard safe_check_squares(const Position& pos, const EvalInfo& ei, int c) {
  int e = c ^ 1;
  Bitboard unguarded = ~ei.attacked[c] | ei.attackedTwice[e];
  return ~ei.attackedTwice[c] & ~ei.upToRooks[c] & ~colour_set(pos, e) & unguarded;
}

// Pawns on the three files in front of the king, up to two ranks ahead.
int shield_count(const Position& pos, const EvalInfo& ei, int c) {
  Bitboard pawns = piece_set(pos, c, PAWN);
  Bitboard ahead1 = forward_one(c, pawns);
  Bitboard covered = pawns | ahead1 | forward_one(c, ahead1);
  return popcount(forward_one(c, ei.kingZone[c]) & covered);
}

struct CheckSquares {
  Bitboard diagonal, line, knight, safe;
};

int count_checks(const EvalInfo& ei, int e, const CheckSquares& cs) {
  int checks = popcount(cs.safe & cs.diagonal & ei.bishopAttacks[e]) +
               popcount(cs.safe & cs.line & ei.rookAttacks[e]) +
               popcount(cs.safe & cs.knight & ei.knightAttacks[e]);
  checks += (ei.queenAttacks[e] & cs.safe & cs.diagonal) != 0;
  checks += (ei.queenAttacks[e] & cs.safe & cs.line) != 0;
  return checks;
}

// The weighted count of enemy attacks on the zone and on check squares.
int danger_sum(const EvalInfo& ei, int c, const CheckSquares& cs, int checks, int shield) {
  int e = c ^ 1;
  Bitboard zone = ei.kingZone[c];
  Bitboard weakToMinors = zone & ~ei.upToMinors[c];
  int queenTargets = popcount(ei.queenAttacks[e] &
                              ((zone & ~ei.upToQueens[c]) | (cs.safe & (cs.diagonal | cs.line))));
  return BISHOP_DANGER * popcount(ei.bishopAttacks[e] & (weakToMinors | (cs.safe & cs.diagonal))) +
         PAWN_DANGER * popcount(ei.pawnAttacks[e] & zone & ~ei.pawnAttacks[c]) +
         KNIGHT_DANGER * popcount(ei.knightAttacks[e] & (weakToMinors | (cs.safe & cs.knight))) +
         ROOK_DANGER * popcount(ei.rookAttacks[e] & ((cs.safe & cs.line) | (zone & ~ei.upToRooks[c]))) +
         QUEEN_DANGER * (queenTargets < MAX_QUEEN_TARGETS ? queenTargets : MAX_QUEEN_TARGETS) +
         CHECK_DANGER * checks + ei.attackUnits[c] - shield;
}

void king_attack(const Position& pos, EvalInfo& ei, int c) {
  int e = c ^ 1, ksq = pos.kingSq[c];
  int shield = shield_count(pos, ei, c);
  add_fraction(ei, c, *W.pawn_shield, float(shield - FULL_SHIELD) * SHIELD_STEP);
  if (shield > MAX_SHIELD_IN_DANGER) shield = MAX_SHIELD_IN_DANGER;

  CheckSquares cs;
  cs.diagonal = bishop_attacks(ksq, ei.occupied);
  cs.line = rook_attacks(ksq, ei.occupied);
  cs.knight = KnightAttacks[ksq];
  cs.safe = safe_check_squares(pos, ei, c);
  int checks = count_checks(ei, e, cs);
  add_term(ei, c, *W.enemy_checks, checks);

  int danger = danger_sum(ei, c, cs, checks, shield);
  // A queen check next to the king that the king cannot answer by taking.
  if (cs.safe & (cs.diagonal | cs.line) & KingAttacks[ksq] & ei.queenAttacks[e])
    ei.threatWord[c] += QUEEN_CONTACT_THREAT;
  if (danger >= MIN_DANGER) {
    const EvalParam& weight = piece_set(pos, e, QUEEN) ? *W.king_danger1 : *W.king_danger2;
    add_fraction(ei, c, weight, king_danger_factor(danger));
  }
}

// Nearest square in front of any pawn, in king steps (0 when already next
// to it): in the ending the king must reach the pawns.
int steps_to_pawns(const Position& pos, int ksq) {
  Bitboard fronts = forward_one(WHITE, piece_set(pos, WHITE, PAWN)) | forward_one(BLACK, piece_set(pos, BLACK, PAWN));
  Bitboard reach = bit(ksq) | KingAttacks[ksq];
  int steps = 0;
  while (!(reach & fronts) && steps < MAX_PAWN_DISTANCE_STEPS) {
    reach = king_step_grow(reach);
    steps++;
  }
  return steps;
}

void king_terms(const Position& pos, EvalInfo& ei, int c) {
  int ksq = pos.kingSq[c];
  add_term(ei, c, W.PST_K[ksq ^ ei.mirror[c]]);
  if (pos.matValue[c ^ 1] > SAFETY_MATERIAL_THRESHOLD) king_attack(pos, ei, c);
  if (!(KingAttacks[ksq] & ~colour_set(pos, c) & ~ei.attacked[c ^ 1])) add_term(ei, c, *W.king_trapped);
  if (ei.pawns) add_fraction(ei, c, *W.king_pawn_dist, PawnDistanceFactor[steps_to_pawns(pos, ksq)]);
}

}  // namespace

float king_danger_factor(int danger) {
  if (danger < MIN_DANGER) return 0.0f;
  float d = float(danger < MAX_DANGER ? danger : MAX_DANGER);
  return (1.0f - DANGER_FLATTENING * d) * DANGER_SCALE * d * d;
}

void evaluate_kings(const Position& pos, EvalInfo& ei) {
  for (int c = WHITE; c <= BLACK; c++) king_terms(pos, ei, c);
  trace_mark(ei, TRACE_KING);
}
