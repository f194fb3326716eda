// The move loop of an interior node: move-level pruning, late-move
// reductions, the principal-variation search of each move, the ordering
// table updates and the transposition-table store.
#include "search/moveloop.h"

#include <algorithm>
#include <atomic>

#include "board/attacks.h"
#include "board/bitboard.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/picker.h"
#include "board/see.h"
#include "core/control.h"
#include "core/searchthread.h"
#include "search/history.h"
#include "search/search.h"
#include "search/searchparams.h"
#include "search/searchtrace.h"
#include "search/tt.h"

namespace {

// Late-move reductions: a quiet move ordered at least this far above its
// place in the list is treated as an early move.
constexpr int LMR_EARLY_SCORE = 30;
constexpr int LMR_FLAGGED_THRESHOLD = 32;
constexpr int LMR_LAST_COLUMN = 30;
constexpr int LMR_LAST_ROW = 30;
// Late-move pruning counts moves against a quarter of the ordering score.
constexpr int LMP_SCORE_DIVISOR = 4;


inline bool is_en_passant(const Position& pos, const MoveEntry& e) {
  return type_of(e.piece) == PAWN && move_to(e.move) == pos.epSquare;
}

// A Chess960 castling move delivered as the hash move may name the own
// rook's square as its destination; that is no capture.
inline bool takes_enemy(const MoveEntry& e, int side) {
  return e.captured && colour_of(e.captured) != side;
}

int pawn_move_flags(const Position& pos, int side, Move m) {
  if (move_flags(m)) return (m & FLAG_Q_SHORT) ? MF_QUEEN_PROMOTION : MF_ADVANCED_PAWN;
  int to = move_to(m), rank = rank_of(to ^ flip_for(side));
  if (rank == SEVENTH_RANK) return MF_SEVENTH_RANK;
  if (rank == SIXTH_RANK && !(occupancy(pos) & bit(to + pawn_step(side))) &&
      !(PassedMask[side][to] & piece_set(pos, side ^ 1, PAWN)))
    return MF_ADVANCED_PAWN;
  return 0;
}

}  // namespace

int search_move_flags(Position& pos, int side, const MoveEntry& e) {
  bool pawn = type_of(e.piece) == PAWN;
  int flags = 0;
  if (takes_enemy(e, side) || (pawn && move_to(e.move) == pos.epSquare)) flags |= MF_CAPTURE;
  if (gives_check(pos, side, e)) flags |= MF_CHECK;
  if (pawn) flags |= pawn_move_flags(pos, side, e.move);
  return flags;
}

namespace {

// The exchange test of a move, worked out on first demand: pruning and
// reduction both ask, and the count test may drop the move before either.
struct ExchangeTest {
  bool known;
  bool losing;
};

// The mover risks more than it takes and the exchange on the destination
// loses clearly; every quiet move qualifies for the test.
bool is_losing_exchange(const Position& pos, int side, const MoveEntry& e, ExchangeTest& x) {
  if (x.known) return x.losing;
  x.known = true;
  int captured = takes_enemy(e, side) ? type_of(e.captured) : NO_PIECE_TYPE;
  x.losing = ExchangeScale[captured] < ExchangeScale[type_of(e.piece)] && !is_en_passant(pos, e) &&
             see(pos, side, move_from(e.move), move_to(e.move)) < LOSING_EXCHANGE;
  return x.losing;
}

// Some square next to the enemy king that a slider newly sees from `to`
// (through its own sliders of the kind, `xray`) is also covered by another
// own piece: the move joins an attack on the king.
bool joins_king_attack(const Position& pos, int side, int from, Bitboard newlySeen) {
  Bitboard lifted = occupancy(pos) & ~bit(from);
  while (newlySeen) {
    int sq = pop_lsb(newlySeen);
    if (least_attacker(pos, sq, side, lifted) != NO_SQUARE) return true;
  }
  return false;
}

Bitboard newly_seen_diagonals(const Position& pos, int side, int from, int to, Bitboard zone) {
  Bitboard xray = occupancy(pos) & ~(piece_set(pos, side, BISHOP) | piece_set(pos, side, QUEEN));
  return bishop_attacks(to, xray) & zone & ~bishop_attacks(from, xray);
}

Bitboard newly_seen_lines(const Position& pos, int side, int from, int to, Bitboard zone) {
  Bitboard xray = occupancy(pos) & ~(piece_set(pos, side, ROOK) | piece_set(pos, side, QUEEN));
  return rook_attacks(to, xray) & zone & ~rook_attacks(from, xray);
}

}  // namespace

bool move_threatens(const Position& pos, int side, const MoveEntry& e) {
  int them = side ^ 1, from = move_from(e.move), to = move_to(e.move);
  Bitboard zone = KingAttacks[pos.kingSq[them]];
  Bitboard queens = piece_set(pos, them, QUEEN);
  Bitboard majors = piece_set(pos, them, ROOK) | queens;
  Bitboard occ = occupancy(pos), moved = occ & ~bit(from);
  switch (type_of(e.piece)) {
    case PAWN:
      return PawnAttacks[side][to] &
             (majors | piece_set(pos, them, KNIGHT) | piece_set(pos, them, BISHOP) | zone);
    case KNIGHT:
      return KnightAttacks[to] & (majors | zone);
    case BISHOP:
      if (bishop_attacks(to, moved) & majors & ~bishop_attacks(from, occ)) return true;
      return joins_king_attack(pos, side, from, newly_seen_diagonals(pos, side, from, to, zone));
    case ROOK:
      if (rook_attacks(to, moved) & queens & ~rook_attacks(from, occ)) return true;
      return joins_king_attack(pos, side, from, newly_seen_lines(pos, side, from, to, zone));
    case QUEEN:
      return joins_king_attack(pos, side, from,
                               newly_seen_diagonals(pos, side, from, to, zone) |
                                   newly_seen_lines(pos, side, from, to, zone));
    default:
      return false;
  }
}

namespace {

// Late-move pruning, in a node where it is on: true drops the move.
bool move_is_pruned(const Position& pos, int side, const MoveEntry& e, int flags, int depth,
                    int moveCount, ExchangeTest& x) {
  if (flags & MF_ANY) return depth == 1 && is_losing_exchange(pos, side, e, x);
  if (moveCount >= e.score / LMP_SCORE_DIVISOR + SParams.LMP_count[depth] &&
      !move_threatens(pos, side, e))
    return true;
  return is_losing_exchange(pos, side, e, x);
}

// How many plies a late move is reduced: by its place in the list (or its
// ordering score) and the remaining depth.
int late_move_reduction(const MoveEntry& e, int flags, int moveCount, int depth, int nodeType,
                        bool losing) {
  int threshold = LMR_FLAGGED_THRESHOLD, m = 1;
  if (!flags) {
    threshold = 2 * moveCount + LMR_EARLY_SCORE;
    m = moveCount;
  }
  int column = e.score < threshold ? std::min(m, LMR_LAST_COLUMN) : 1;
  int row = std::min(depth, LMR_LAST_ROW);
  int r = nodeType == NODE_PV ? SParams.lmrPV[row][column] : SParams.lmrOther[row][column];
  if (losing) r++;
  if (row - r < 1) r = std::max(0, row - 1);
  return r;
}

// The principal-variation search of one move: the first move (and every move near the horizon) with the full
// window; later ones with a reduced null-window probe first, searched
// again in full only when the probe beats alpha.
int search_move(Position& pos, int side, int ply, int depth, int alpha, int beta, int nodeType,
                int r, Move* line) {
  PlyRecord& pr = pos.owner->plies[ply];
  if (pr.moveCount == 0 || depth < 2)
    return -search(pos, side ^ 1, ply + 1, depth - 1, -beta, -alpha, -nodeType, line);
  int v = -search(pos, side ^ 1, ply + 1, depth - r - 1, -alpha - 1, -alpha, NODE_CUT, line);
  if (v > alpha && !search_stopped()) {
    pr.reduction = 0;
    int childType = nodeType == NODE_PV ? NODE_PV : NODE_ALL;
    v = -search(pos, side ^ 1, ply + 1, depth - 1, -beta, -alpha, childType, line);
  }
  return v;
}

// The hash-table bound of the node's score against the window it had.
int bound_of(int best, int alpha, int beta) {
  if (best <= alpha) return BOUND_UPPER;
  return best >= beta ? BOUND_LOWER : BOUND_EXACT;
}

}  // namespace

int search_moves(Position& pos, int side, int ply, int depth, int alpha, int beta, int inCheck,
                 int nodeType, Move* pv) {
  SearchThread* t = pos.owner;
  PlyRecord& pr = t->plies[ply];
  const int entryAlpha = alpha;
  pv[ply] = 0;
  int best = -INFINITE_SCORE;
  Move bestMove = MOVE_NONE;
  pr.moveCount = 0;
  pr.pickStage = PICK_HASH | PICK_FULL;
  const bool lmpOn = depth <= SParams.LMP_depth && !inCheck && nodeType != NODE_PV && !pr.iidActive;
  const Move hashMove = pr.hashMove;
  bool hashSeen = false;
  Move line[MAX_PLY];

  while (MoveEntry* e = next_move(pos)) {
    Move m = e->move;
    if (m == MOVE_NONE) continue;
    if (m == hashMove) {
      if (hashSeen) continue;
      hashSeen = true;
    }
    if (!move_is_legal(pos, side, m)) continue;
    int flags = search_move_flags(pos, side, *e);
    pr.moveFlags = uint16_t(flags);
    pr.reduction = 0;
    int r = 0;
    if (best > MATED_RANGE) {
      ExchangeTest x{false, false};
      if (lmpOn && move_is_pruned(pos, side, *e, flags, depth, pr.moveCount, x)) continue;
      if (depth >= SParams.LMR_depth) {
        bool losing = is_losing_exchange(pos, side, *e, x);
        r = late_move_reduction(*e, flags, pr.moveCount, depth, nodeType, losing);
      }
      pr.reduction = int8_t(r);
    }

    if (trace_file_on()) trace_move(t, ply, m);
    make_move(pos, m);
    tt_prefetch(pos.key);
    int v = search_move(pos, side, ply, depth, alpha, beta, nodeType, r, line);
    unmake_move(pos);
    if (search_stopped()) return 0;
    pr.moveCount++;

    if (!(flags & MF_CAPTURE) && depth > 0) {
      update_order_tables(t, ply, depth, *e, v, alpha);
      if (v <= alpha) {
        if (v > best) {
          best = v;
          bestMove = m;
          pv[ply] = m;
          pv[ply + 1] = 0;
        }
        continue;
      }
    } else if (v <= best) {
      continue;
    }
    bestMove = m;
    pv[ply] = m;
    pv[ply + 1] = 0;
    best = v;
    if (v <= alpha) continue;
    if (v >= beta) break;
    pv_copy(pv, line, m, ply);
    alpha = v;
  }

  int bound = bound_of(best, entryAlpha, beta);
  if (!bestMove) {
    best = inCheck ? ply - MATE : 0;
    bound = BOUND_EXACT;
  }
  if (depth >= 0 && Control.ttInUse) tt_store(pos, ply, depth, best, bound, bestMove);
  return best;
}
