#include "eval/kpk.h"

#include "eval/geometry.h"

uint8_t KPKTable[2][KPK_PAWN_SQUARES][SQUARES][SQUARES];

namespace {

// Single-bit results during the build, so an OR over the positions a move
// leads to shows at once which outcomes the mover can reach.
constexpr uint8_t ILLEGAL = 0;
constexpr uint8_t DRAW = KPK_DRAW;
constexpr uint8_t WIN = KPK_WIN;
constexpr uint8_t UNKNOWN = 4;

constexpr int PAWN_TO_MOVE = 0;
constexpr int LONE_TO_MOVE = 1;
constexpr int FOLDED_FILES = 4;
constexpr int QUEENING_RANK = LAST_RANK;
constexpr int DOUBLE_STEP_RANK = 1;
// Added to the race term when the pawn side wins by the table.
constexpr int KPK_WIN_BONUS = 800;
// Each rank the pawn has advanced counts this much in the race term.
constexpr int PAWN_RANK_WEIGHT = 4;

int pawn_index(int sq) { return file_of(sq) + FOLDED_FILES * rank_of(sq); }
int pawn_square(int index) { return make_square(index % FOLDED_FILES, index / FOLDED_FILES); }
bool adjacent(int a, int b) { return KingAttacks[a] & bit(b); }

// Illegal placements, positions where White could take the king, and the
// pawn already queened: won unless the lone king takes the new queen.
void init_entry(int pawnSq, int wk, int bk) {
  uint8_t& pawnMove = KPKTable[PAWN_TO_MOVE][pawn_index(pawnSq)][wk][bk];
  uint8_t& loneMove = KPKTable[LONE_TO_MOVE][pawn_index(pawnSq)][wk][bk];
  if (wk == bk || wk == pawnSq || bk == pawnSq || adjacent(wk, bk)) {
    pawnMove = loneMove = ILLEGAL;
  } else if (rank_of(pawnSq) == QUEENING_RANK) {
    pawnMove = WIN;
    loneMove = !adjacent(bk, pawnSq) || adjacent(wk, pawnSq) ? WIN : UNKNOWN;
  } else {
    pawnMove = (PawnAttacks[WHITE][pawnSq] & bit(bk)) ? ILLEGAL : UNKNOWN;
    loneMove = UNKNOWN;
  }
}

// White to move wins if any move wins; a draw needs every move decided.
bool resolve_pawn_to_move(int p, int wk, int bk) {
  uint8_t& e = KPKTable[PAWN_TO_MOVE][p][wk][bk];
  if (e != UNKNOWN) return false;
  const int push = p + FOLDED_FILES;
  uint8_t seen = KPKTable[LONE_TO_MOVE][push][wk][bk];
  if (rank_of(pawn_square(p)) == DOUBLE_STEP_RANK && seen != ILLEGAL)
    seen |= KPKTable[LONE_TO_MOVE][push + FOLDED_FILES][wk][bk];
  for (Bitboard m = KingAttacks[wk]; m;) seen |= KPKTable[LONE_TO_MOVE][p][pop_lsb(m)][bk];
  e = (seen & WIN) ? WIN : (seen & UNKNOWN) ? UNKNOWN : DRAW;
  return e != UNKNOWN;
}

// The lone king draws if any move draws (taking an undefended pawn is one);
// the pawn side wins only once every king move is known to lose.
bool resolve_lone_to_move(int p, int wk, int bk) {
  uint8_t& e = KPKTable[LONE_TO_MOVE][p][wk][bk];
  if (e != UNKNOWN) return false;
  const int pawnSq = pawn_square(p);
  uint8_t seen = 0;
  for (Bitboard m = KingAttacks[bk]; m;) {
    int to = pop_lsb(m);
    if (to == pawnSq)
      seen |= adjacent(wk, pawnSq) ? ILLEGAL : DRAW;
    else
      seen |= KPKTable[PAWN_TO_MOVE][p][wk][to];
  }
  e = (seen & DRAW) ? DRAW : (seen & UNKNOWN) ? UNKNOWN : (seen & WIN) ? WIN : DRAW;
  return e != UNKNOWN;
}

// One pass over every pawn that can still move (ranks 2-7).
bool resolve_round() {
  bool changed = false;
  for (int p = pawn_index(make_square(0, 1)); p < pawn_index(make_square(0, QUEENING_RANK)); p++)
    for (int wk = 0; wk < SQUARES; wk++)
      for (int bk = 0; bk < SQUARES; bk++) {
        changed |= resolve_pawn_to_move(p, wk, bk);
        changed |= resolve_lone_to_move(p, wk, bk);
      }
  return changed;
}

}  // namespace

void init_kpk_table() {
  for (int p = 0; p < KPK_PAWN_SQUARES; p++)
    for (int wk = 0; wk < SQUARES; wk++)
      for (int bk = 0; bk < SQUARES; bk++) init_entry(pawn_square(p), wk, bk);
  while (resolve_round()) {
  }
  // Whatever no line forces to a win is a draw (or an unreachable placement).
  for (auto& side : KPKTable)
    for (auto& pawn : side)
      for (auto& wk : pawn)
        for (uint8_t& e : wk) e = e == WIN ? WIN : DRAW;
}

namespace {

// Square transform that shows the pawn side as White with the pawn on a-d.
int fold_for(const Position& pos, int pawnSide) {
  int fold = flip_for(pawnSide);
  int pawnSq = lsb(piece_set(pos, pawnSide, PAWN)) ^ fold;
  if (file_of(pawnSq) >= FOLDED_FILES) fold ^= FILE_FLIP;
  return fold;
}

}  // namespace

uint8_t kpk_probe(const Position& pos, int pawnSide) {
  if (!piece_set(pos, pawnSide, PAWN) || pos.kingSq[WHITE] >= SQUARES || pos.kingSq[BLACK] >= SQUARES)
    return KPK_DRAW;
  int fold = fold_for(pos, pawnSide);
  int pawnSq = lsb(piece_set(pos, pawnSide, PAWN)) ^ fold;
  int toMove = pos.side == pawnSide ? PAWN_TO_MOVE : LONE_TO_MOVE;
  return KPKTable[toMove][pawn_index(pawnSq)][pos.kingSq[pawnSide] ^ fold][pos.kingSq[pawnSide ^ 1] ^ fold];
}

int kpk_score(const Position& pos, int pawnSide) {
  if (!piece_set(pos, pawnSide, PAWN) || pos.kingSq[WHITE] >= SQUARES || pos.kingSq[BLACK] >= SQUARES) return 0;
  int fold = fold_for(pos, pawnSide);
  int pawnSq = lsb(piece_set(pos, pawnSide, PAWN)) ^ fold;
  int queening = make_square(file_of(pawnSq), QUEENING_RANK);
  int ownKing = pos.kingSq[pawnSide] ^ fold, loneKing = pos.kingSq[pawnSide ^ 1] ^ fold;
  int s = distance(loneKing, queening) + PAWN_RANK_WEIGHT * rank_of(pawnSq) - distance(ownKing, queening);
  if (kpk_probe(pos, pawnSide) == KPK_WIN) s += KPK_WIN_BONUS;
  return s;
}
