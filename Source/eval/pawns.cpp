#include "eval/pawns.h"

#include "core/searchthread.h"
#include "eval/geometry.h"

namespace {

// Key changes for a White king on files a-d and for a Black king there.
constexpr uint64_t WHITE_QUEENSIDE_KEY = 0x6C43EB52AULL;
constexpr uint64_t BLACK_QUEENSIDE_KEY = 0x3E2571CB4ULL;

// Files next to each file, as one mask per file.
Bitboard adjacent_files(int file) {
  Bitboard b = 0;
  if (file > 0) b |= FILE_A << (file - 1);
  if (file < LAST_FILE) b |= FILE_A << (file + 1);
  return b;
}

// Ranks up to and including the square's, seen from the colour.
Bitboard this_rank_and_behind(int colour, int sq) {
  int r = rank_of(sq);
  return colour == WHITE ? ~Bitboard(0) >> (RANK_STEP * (LAST_RANK - r)) : ~Bitboard(0) << (RANK_STEP * r);
}

int32_t colour_structure(const Position& pos, const EvalInfo& ei, int c) {
  uint32_t acc = 0;
  Bitboard own = piece_set(pos, c, PAWN);
  Bitboard defended = pawn_attack_set(c, own);
  int isolated = 0, weak = 0, doubled = 0;
  for (Bitboard b = own; b;) {
    int sq = pop_lsb(b);
    int msq = sq ^ ei.mirror[c];
    add_packed(acc, *W.mtl_pawn);
    add_packed(acc, ei.pstPawn[msq]);
    if (defended & bit(sq)) add_packed(acc, W.PST_DP[msq]);
    if (SideNeighbours[sq] & own) add_packed(acc, W.PST_CP[msq]);
    Bitboard neighbourFiles = adjacent_files(file_of(sq)) & own;
    if (!neighbourFiles)
      isolated++;
    else if (!(neighbourFiles & this_rank_and_behind(c, sq)))
      weak++;
    if (front_span(c ^ 1, sq) & own) doubled++;
  }
  add_packed(acc, *W.pawn_isolated, isolated);
  add_packed(acc, *W.pawn_weak, weak);
  add_packed(acc, *W.pawn_doubled, doubled);
  return int32_t(acc);
}

}  // namespace

uint64_t pawn_cache_key(const Position& pos, const EvalInfo& ei) {
  uint64_t key = pos.pawnKey;
  if (ei.mirror[WHITE] & FILE_FLIP) key ^= WHITE_QUEENSIDE_KEY;
  if (ei.mirror[BLACK] & FILE_FLIP) key ^= BLACK_QUEENSIDE_KEY;
  return key;
}

void pawn_structure(const Position& pos, const EvalInfo& ei, int32_t score[2]) {
  for (int c = WHITE; c <= BLACK; c++) score[c] = colour_structure(pos, ei, c);
}

void evaluate_pawns(SearchThread* t, EvalInfo& ei, int ply) {
  const Position& pos = t->pos;
  uint64_t key = pawn_cache_key(pos, ei);
  PawnCacheEntry& entry = t->pawnCache[key & PAWN_CACHE_INDEX_MASK];
  t->pawnProbes++;
  if (entry.key == key && ply >= FIRST_CACHED_PLY) {
    t->pawnHits++;
  } else {
    entry.key = key;
    pawn_structure(pos, ei, entry.score);
  }
  // A pawn whose square ahead is taken cannot advance; that depends on the
  // pieces, so it is counted outside the cache.
  for (int c = WHITE; c <= BLACK; c++) {
    ei.score[c] += uint32_t(entry.score[c]);
    Bitboard blocked = piece_set(pos, c, PAWN) & forward_one(c ^ 1, ei.occupied);
    add_term(ei, c, *W.pawn_blocked, popcount(blocked));
  }
  trace_mark(ei, TRACE_PAWNS);
}
