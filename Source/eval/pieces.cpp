#include "eval/pieces.h"

#include "eval/geometry.h"

namespace {

// Mobility curves: steep for the first few squares (a piece with none is
// nearly lost), flat once the piece has enough room.
constexpr float KnightCurve[9] = {-0.5f, -0.15f, 0.0f, 0.11f, 0.21f, 0.29f, 0.37f, 0.44f, 0.5f};
constexpr float BishopCurve[14] = {-0.5f, -0.2f, -0.07f, 0.02f, 0.1f, 0.17f, 0.24f,
                                   0.3f,  0.35f, 0.4f,   0.45f, 0.5f, 0.5f,  0.5f};
constexpr float RookCurve[15] = {-0.5f, -0.2f, -0.07f, 0.02f, 0.1f, 0.17f, 0.24f, 0.3f,
                                 0.35f, 0.4f,  0.45f,  0.5f,  0.5f, 0.5f,  0.5f};
constexpr float QueenCurve[28] = {-0.5f, -0.28f, -0.18f, -0.11f, -0.05f, 0.0f,  0.05f, 0.09f, 0.13f, 0.17f,
                                  0.21f, 0.24f,  0.27f,  0.31f,  0.34f,  0.37f, 0.39f, 0.42f, 0.45f, 0.47f,
                                  0.5f,  0.5f,   0.5f,   0.5f,   0.5f,   0.5f,  0.5f,  0.5f};

constexpr int KNIGHT_ZONE_UNITS = 4;
constexpr int BISHOP_ZONE_UNITS = 3;
constexpr int ROOK_ZONE_UNITS = 4;
constexpr int QUEEN_ZONE_UNITS = 5;
// An outpost piece not backed by a pawn can be chased off by a piece.
constexpr float UNSUPPORTED_OUTPOST = 0.4f;
constexpr float SUPPORTED_OUTPOST = 1.0f;
constexpr Bitboard CENTRE_C3_F6 = 0x00003C3C3C3C0000ULL;
constexpr Bitboard WHITE_HALF = 0x00000000FFFFFFFFULL;
constexpr Bitboard EnemyHalf[2] = {~WHITE_HALF, WHITE_HALF};
constexpr int LAST_TWO_RANKS = 1;  // the enemy king on its rank 1 or 2

// A piece can never have more safe squares than its table covers; clamped
// all the same so no count reads past the end.
template <int N>
float curve(const float (&table)[N], int n) {
  return table[n < 0 ? 0 : n < N ? n : N - 1];
}

// Every piece's attacks count towards its side's attack maps.
void record_attacks(EvalInfo& ei, int c, Bitboard attacks) {
  ei.attackedTwice[c] |= ei.attacked[c] & attacks;
  ei.attacked[c] |= attacks;
}

void outpost_terms(EvalInfo& ei, int c, int sq, Bitboard attacks, const EvalParam& outpost,
                   const EvalParam& outpostAttack) {
  if (ei.outposts[c] & bit(sq))
    add_fraction(ei, c, outpost, (ei.pawnAttacks[c] & bit(sq)) ? SUPPORTED_OUTPOST : UNSUPPORTED_OUTPOST);
  if (attacks & ei.outposts[c]) add_term(ei, c, outpostAttack);
}

void knights(const Position& pos, EvalInfo& ei, int c) {
  Bitboard own = colour_set(pos, c);
  for (Bitboard b = piece_set(pos, c, KNIGHT); b;) {
    int sq = pop_lsb(b);
    Bitboard attacks = KnightAttacks[sq];
    ei.knightAttacks[c] |= attacks;
    record_attacks(ei, c, attacks);
    if (attacks & ei.kingZone[c ^ 1]) ei.attackUnits[c ^ 1] += KNIGHT_ZONE_UNITS;
    int safe = popcount(attacks & ~own & ~ei.pawnAttacks[c ^ 1]);
    add_term(ei, c, *W.mtl_knight);
    add_term(ei, c, ei.pstKnight[sq ^ ei.mirror[c]]);
    add_fraction(ei, c, *W.knight_mobility, knight_mobility_factor(safe));
    if (!safe) add_term(ei, c, *W.knight_trapped);
    outpost_terms(ei, c, sq, attacks, *W.knight_outpost, *W.knight_outpost_atk);
  }
}

// Bishops look through queens: a queen in front of a bishop on the same
// diagonal is a battery, not a block.
void bishops(const Position& pos, EvalInfo& ei, int c) {
  Bitboard own = colour_set(pos, c);
  Bitboard queens = piece_set(pos, WHITE, QUEEN) | piece_set(pos, BLACK, QUEEN);
  for (Bitboard b = piece_set(pos, c, BISHOP); b;) {
    int sq = pop_lsb(b);
    Bitboard attacks = bishop_attacks(sq, ei.occupied & ~queens);
    ei.bishopAttacks[c] |= attacks;
    record_attacks(ei, c, attacks);
    if (attacks & ei.kingZone[c ^ 1]) ei.attackUnits[c ^ 1] += BISHOP_ZONE_UNITS;
    int safe = popcount(attacks & ~own & ~ei.pawnAttacks[c ^ 1]);
    add_term(ei, c, *W.mtl_bishop);
    add_term(ei, c, ei.pstBishop[sq ^ ei.mirror[c]]);
    add_fraction(ei, c, *W.bishop_mobility, bishop_mobility_factor(safe));
    if (!safe) add_term(ei, c, *W.bishop_trapped);
    add_term(ei, c, *W.bishop_mob2, popcount(attacks & CENTRE_C3_F6));
    outpost_terms(ei, c, sq, attacks, *W.bishop_outpost, *W.bishop_outpost_atk);
  }
}

// Rammed pawns on the bishop's colour wall it in; edge-file rams are left
// out since they block little.
void bishop_pair_and_rams(const Position& pos, EvalInfo& ei, int c) {
  Bitboard bishops = piece_set(pos, c, BISHOP);
  if ((bishops & LIGHT_SQUARES) && (bishops & DARK_SQUARES)) add_term(ei, c, *W.bishop_pair);
  Bitboard whiteRams = piece_set(pos, WHITE, PAWN) & forward_one(BLACK, piece_set(pos, BLACK, PAWN)) & FILES_B_TO_G;
  Bitboard rams = c == WHITE ? whiteRams : forward_one(WHITE, whiteRams);
  int count = 0;
  for (Bitboard b = bishops; b;) {
    int sq = pop_lsb(b);
    count += popcount(rams & (is_light_square(sq) ? LIGHT_SQUARES : DARK_SQUARES));
  }
  add_term(ei, c, *W.bishop_rampawns, count);
}

// Rooks look through queens and their own rooks (doubled rooks support
// each other along the file).
void rooks(const Position& pos, EvalInfo& ei, int c) {
  Bitboard own = colour_set(pos, c);
  Bitboard ownRooks = piece_set(pos, c, ROOK);
  Bitboard lines = ei.occupied & ~ownRooks & ~(piece_set(pos, WHITE, QUEEN) | piece_set(pos, BLACK, QUEEN));
  bool kingCutOff = relative_rank(c ^ 1, pos.kingSq[c ^ 1]) <= LAST_TWO_RANKS;
  for (Bitboard b = ownRooks; b;) {
    int sq = pop_lsb(b);
    Bitboard attacks = rook_attacks(sq, lines);
    ei.rookAttacks[c] |= attacks;
    record_attacks(ei, c, attacks);
    if (attacks & ei.kingZone[c ^ 1]) ei.attackUnits[c ^ 1] += ROOK_ZONE_UNITS;
    int safe = popcount(attacks & ~own & ~ei.upToMinors[c ^ 1]);
    add_term(ei, c, *W.mtl_rook);
    add_term(ei, c, ei.pstRook[sq ^ ei.mirror[c]]);
    add_fraction(ei, c, *W.rook_mobility, rook_mobility_factor(safe));
    if (!safe) add_term(ei, c, *W.rook_trapped);
    Bitboard file = FILE_A << file_of(sq);
    add_term(ei, c, *W.rook_mob2, popcount(attacks & file & EnemyHalf[c]));
    if (!(file & ei.pawns)) add_term(ei, c, *W.rook_openfile);
    if (relative_rank(c, sq) == SEVENTH_RANK && kingCutOff) add_term(ei, c, *W.rook_7th);
  }
}

// The queen's own moves use the real board; for the king attack it also
// counts the lines it would open behind an own bishop or rook.
void queens(const Position& pos, EvalInfo& ei, int c) {
  Bitboard own = colour_set(pos, c);
  Bitboard avoid = ei.upToRooks[c ^ 1];
  Bitboard throughBishops = ei.occupied & ~piece_set(pos, c, BISHOP);
  Bitboard throughRooks = ei.occupied & ~piece_set(pos, c, ROOK);
  for (Bitboard b = piece_set(pos, c, QUEEN); b;) {
    int sq = pop_lsb(b);
    Bitboard attacks = bishop_attacks(sq, ei.occupied) | rook_attacks(sq, ei.occupied);
    ei.queenAttacks[c] |= attacks;
    record_attacks(ei, c, attacks);
    Bitboard battery = bishop_attacks(sq, throughBishops) | rook_attacks(sq, throughRooks);
    if (battery & ei.kingZone[c ^ 1]) ei.attackUnits[c ^ 1] += QUEEN_ZONE_UNITS;
    int safe = popcount(attacks & ~own & ~avoid);
    add_term(ei, c, *W.mtl_queen);
    add_term(ei, c, ei.pstQueen[sq ^ ei.mirror[c]]);
    add_fraction(ei, c, *W.queen_mobility, queen_mobility_factor(safe));
    if (!safe) add_term(ei, c, *W.queen_trapped);
  }
}

}  // namespace

float knight_mobility_factor(int n) { return curve(KnightCurve, n); }
float bishop_mobility_factor(int n) { return curve(BishopCurve, n); }
float rook_mobility_factor(int n) { return curve(RookCurve, n); }
float queen_mobility_factor(int n) { return curve(QueenCurve, n); }

void evaluate_pieces(const Position& pos, EvalInfo& ei) {
  for (int c = WHITE; c <= BLACK; c++) knights(pos, ei, c);
  trace_mark(ei, TRACE_KNIGHTS);
  for (int c = WHITE; c <= BLACK; c++) bishops(pos, ei, c);
  for (int c = WHITE; c <= BLACK; c++) bishop_pair_and_rams(pos, ei, c);
  trace_mark(ei, TRACE_BISHOPS);
  for (int c = WHITE; c <= BLACK; c++)
    ei.upToMinors[c] = ei.pawnAttacks[c] | ei.knightAttacks[c] | ei.bishopAttacks[c];
  for (int c = WHITE; c <= BLACK; c++) rooks(pos, ei, c);
  for (int c = WHITE; c <= BLACK; c++) ei.upToRooks[c] = ei.upToMinors[c] | ei.rookAttacks[c];
  trace_mark(ei, TRACE_ROOKS);
  for (int c = WHITE; c <= BLACK; c++) queens(pos, ei, c);
  for (int c = WHITE; c <= BLACK; c++) ei.upToQueens[c] = ei.upToRooks[c] | ei.queenAttacks[c];
  trace_mark(ei, TRACE_QUEENS);
}
