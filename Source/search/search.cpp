#include "search/search.h"

#include <algorithm>
#include <atomic>

#include "board/attacks.h"
#include "board/bitboard.h"
#include "board/draw.h"
#include "board/makemove.h"
#include "board/see.h"
#include "core/control.h"
#include "core/evalcache.h"
#include "core/options.h"
#include "core/searchthread.h"
#include "eval/evaluate.h"
#include "platform/platform.h"
#include "search/qsearch.h"
#include "search/searchparams.h"
#include "search/searchtrace.h"
#include "search/timeman.h"
#include "search/tt.h"
#include "syzygy/tbprobe.h"
#include "syzygy/tbregistry.h"

// Six-piece tables are large and slow to touch: below this depth (or the
// SyzygyProbeDepth6 option for exactly six pieces) they are left alone.
constexpr int TB_DEEP_PROBE_DEPTH = 128;
constexpr int TB_CHEAP_PIECES = 5;

// The endgame tablebases' WDL result (WDL + 2) for the position, or
// TB_NOT_PROBED when the probe is skipped or fails. The fifty count is
// passed as 0: the caller probes only right after a zeroing move or below
// a probed parent.
int probe_wdl(const Position& pos, int depth) {
  if (depth < 0 || pos.castling) return TB_NOT_PROBED;
  int pieces = popcount(occupancy(pos));
  if (pieces > tbLargest) return TB_NOT_PROBED;
  int limit = pieces == TB_MAX_PIECES ? Options.SyzygyProbeDepth6 : TB_DEEP_PROBE_DEPTH;
  if (pieces > TB_CHEAP_PIECES && depth < limit) return TB_NOT_PROBED;
  TbPosition p = tb_position_from(pos);
  p.rule50 = 0;
  int success = 1;
  int wdl = tb_probe_wdl(p, &success);
  return success ? wdl + WDL_OFFSET : TB_NOT_PROBED;
}

namespace {

// Fewer reversible half-moves than this cannot hold a repetition.
// A transposition-table cut-off must not reach past the fifty-move rule.
// An advanced pawn move is followed up only near the horizon.
constexpr int PAWN_EXTENSION_DEPTH = 3;

// Beta pruning needs the material itself to be roughly good enough.
constexpr int MATERIAL_PAWN = 100;
constexpr int MATERIAL_UNIT = 128;
constexpr int MATERIAL_SLACK = 150;
// Network threat test: an enemy pawn near promotion with a free path is
// worth this much; pieces come under suspicion as the margin over beta
// shrinks below what they are worth.
constexpr int PASSER_THREAT = 350;
constexpr int PAWN_RISK_MARGIN = 99;
constexpr int MINOR_RISK_MARGIN = 299;
constexpr int ROOK_RISK_MARGIN = 499;

// Null move: reduction 3, one more deep down with material to spare.
constexpr int NULL_REDUCTION = 3;
constexpr int NULL_DEEP_DEPTH = 10;
constexpr int NULL_SPARE_MATERIAL = 3;
// From this depth a null-move fail-high is not trusted outright: the node
// goes on, this much shallower.
constexpr int NULL_VERIFY_DEPTH = 6;
constexpr int NULL_VERIFY_CUT = 5;

// Internal iterative deepening depths below the node's.
constexpr int IID_PV_CUT = 3;
constexpr int IID_CUT = 4;
constexpr int IID_DEEP_DEPTH = 9;
constexpr int IID_DEEP_CUT = 5;

// The main search thread looks at the clock itself every this many nodes
// (about a millisecond): at a few milliseconds a move the front end's naps
// alone can be late by more than the margin when the machine is busy.
constexpr uint64_t OWN_TIME_CHECK_MASK = 1023;

// Keeps the node-rate quotient finite at the very start of a search.
constexpr float RATE_TIME_FLOOR = 0.0001f;


// Strength limit: a thread running faster than the target rate waits,
// keeping the clock up to date, until it is slow enough again.
void wait_for_node_rate(SearchThread* t) {
  while (SParams.nodeRateLimited && Control.targetNps > 0 &&
         Control.mainDepth.load(std::memory_order_relaxed) > 1 && !search_stopped() &&
         float(t->nodes) / (float(Control.elapsed) + RATE_TIME_FLOOR) > Control.targetNps) {
    sleep_ms(1);
    time_check();
  }
}

void init_ply_record(SearchThread* t, int ply, int nodeType, int alpha, int beta, Move* pv) {
  PlyRecord& pr = t->plies[ply];
  pr.nodeType = int16_t(nodeType);
  pr.alpha = int16_t(alpha);
  pr.beta = int16_t(beta);
  pr.moveFlags = 0;
  pr.reduction = 0;
  pr.iidActive = 0;
  pr.moveCount = 0;
  pr.hashMove = 0;
  pr.threat[WHITE] = pr.threat[BLACK] = 0;
  pr.tbResult = TB_NOT_PROBED;
  PlyRecord& next = t->plies[ply + 1];
  next.killer1 = next.killer2 = next.checkKiller = 0;
  // A child reached through the hash move or a null move, before this ply
  // has generated anything, stacks its list right behind this ply's first
  // entry instead of wherever an older line left it.
  next.moveList = pr.moveList + 1;
  pv[ply] = pv[ply + 1] = 0;
  const Position& pos = t->pos;
  pr.checker = uint8_t(find_checker(pos, pos.kingSq[pos.side], pos.side ^ 1, occupancy(pos)));
  pr.inCheck = pr.checker != NO_SQUARE;
}

// One ply more for a check, for a side that has just lost its last piece
// (a pawn ending, where a single tempo decides), or for a pawn running
// forward near the horizon.
int extension(const SearchThread* t, int ply, int depth) {
  const Position& pos = t->pos;
  if (t->plies[ply].inCheck) return 1;
  if (pos.matValue[pos.side] == 0 && t->undoIndex > 0 && t->undo[t->undoIndex - 1].captured > PAWN)
    return 1;
  if (depth < PAWN_EXTENSION_DEPTH && (t->plies[ply - 1].moveFlags & MF_ADVANCED_PAWN)) return 1;
  return 0;
}

// What the transposition table says about the node.
struct TableView {
  int hitDepth;  // 0 without a usable hit
  bool lowCut;   // the stored score already fails low
  bool highCut;  // ... or high, though perhaps from a shallower search
};

// The hash-table probe. Returns true when the stored result ends the node (value set).
bool probe_table(SearchThread* t, int ply, int depth, int alpha, int beta, int nodeType,
                 TableView& view, int& value) {
  view = TableView{0, false, false};
  t->ttProbes++;
  TTHit hit;
  if (!Control.ttInUse || !tt_probe(t->pos, ply, hit) || hit.depth < 0) return false;
  t->ttHits++;
  t->plies[ply].hashMove = hit.move;
  view.hitDepth = hit.depth;
  view.lowCut = hit.score <= alpha && hit.bound != BOUND_LOWER;
  view.highCut = hit.score >= beta && hit.bound != BOUND_UPPER;
  if (hit.depth >= depth && nodeType != NODE_PV && t->pos.fifty + hit.depth < FIFTY_MOVE_LIMIT) {
    if (view.lowCut) {
      value = alpha;
      return true;
    }
    if (view.highCut) {
      value = beta;
      return true;
    }
    view.lowCut = view.highCut = false;
  }
  return false;
}

// A node whose result, seen from its parent (TB_RESULT_WIN - r), lies at
// least two steps below the parent's own result (a win become a draw, a
// draw become a loss) cannot be what the parent plays: r >= this - parent.
constexpr int WDL_MIRROR_SUM = TB_RESULT_WIN + 2;

// The tablebase probe. Returns true when the tablebase result ends the node (value
// set); a bound it gives may raise alpha.
bool probe_tablebases(SearchThread* t, int ply, int depth, int& alpha, int beta, int& value) {
  PlyRecord& pr = t->plies[ply];
  int parent = t->plies[ply - 1].tbResult;
  if (t->pos.fifty != 0 && parent == TB_NOT_PROBED) return false;
  int r = probe_wdl(t->pos, depth);
  if (r == TB_NOT_PROBED) return false;
  pr.tbResult = r;
  t->tbHits++;
  if (parent != TB_NOT_PROBED) {
    value = beta;
    return r >= WDL_MIRROR_SUM - parent;
  }
  int v = r == TB_RESULT_LOSS ? ply - TB_WIN - 1 : r == TB_RESULT_WIN ? TB_WIN - ply : 0;
  if (v > alpha) {
    alpha = v;
    pr.alpha = int16_t(v);
    if (v >= beta) {
      value = v;
      return true;
    }
  }
  pr.beta = int16_t(v);
  value = alpha;
  return true;
}

bool material_supports(const Position& pos, int side, int beta) {
  int them = side ^ 1;
  int pawns = piece_count(pos, side, PAWN) - piece_count(pos, them, PAWN);
  int units = pos.matValue[side] - pos.matValue[them];
  return pawns * MATERIAL_PAWN + units * MATERIAL_UNIT >= beta - MATERIAL_SLACK;
}

// Enemy pawns one or two steps from promotion whose next square is free.
int running_enemy_pawns(const Position& pos, int side) {
  int them = side ^ 1;
  Bitboard pawns = piece_set(pos, them, PAWN) & (PrePromotionRank[them] | PromotionSource[them]);
  Bitboard stops = them == WHITE ? pawns << 8 : pawns >> 8;
  return popcount(stops & ~occupancy(pos));
}

// The network sees no hanging pieces reliably: the static score stands
// only if no piece that matters at this margin loses material to a capture.
bool network_score_is_safe(const Position& pos, int side, int ev, int beta) {
  if (ev - PASSER_THREAT * running_enemy_pawns(pos, side) < beta) return false;
  Bitboard suspects = piece_set(pos, side, QUEEN);
  if (ev <= beta + PAWN_RISK_MARGIN) suspects |= piece_set(pos, side, PAWN);
  if (ev <= beta + MINOR_RISK_MARGIN)
    suspects |= piece_set(pos, side, KNIGHT) | piece_set(pos, side, BISHOP);
  if (ev <= beta + ROOK_RISK_MARGIN) suspects |= piece_set(pos, side, ROOK);
  Bitboard occ = occupancy(pos);
  while (suspects) {
    int sq = pop_lsb(suspects);
    int a = least_attacker(pos, sq, side ^ 1, occ);
    int e = ev;
    if (a != NO_SQUARE) {
      int regain = see_swap(pos, side, sq, type_of(pos.board[a]), occ & ~bit(a));
      e = ev - std::max(0, SeeValue[type_of(pos.board[sq])] - regain);
    }
    if (e < beta) return false;
  }
  return true;
}

// Static-evaluation pruning: far enough above beta, with no threat the evaluation knows.
bool static_eval_prunes(SearchThread* t, int ply, int depth, int ev, int beta) {
  const Position& pos = t->pos;
  int side = pos.side;
  if (depth > SParams.SEP_depth) return false;
  if (ev - t->plies[ply].threat[side] < beta + SParams.SEP_margin[depth]) return false;
  if (uses_hand_crafted(t)) return true;
  return network_score_is_safe(pos, side, ev, beta);
}

bool was_null_move(const SearchThread* t, int pliesBack) {
  return t->undoIndex >= pliesBack && t->undo[t->undoIndex - pliesBack].move == MOVE_NONE;
}

// The null move: the opponent moves twice; the score it still fails to reach
// bounds what a real move would give.
int null_move_search(SearchThread* t, int ply, int depth, int alpha, int beta) {
  Position& pos = t->pos;
  PlyRecord& pr = t->plies[ply];
  int r = NULL_REDUCTION;
  if (depth >= NULL_DEEP_DEPTH && pos.matValue[pos.side] > NULL_SPARE_MATERIAL) r++;
  if (depth - r < 1) r--;
  pr.reduction = int8_t(r);
  if (trace_file_on()) trace_null_move(t, ply);
  // The null move reads as "no move" to the children's ordering tables.
  MoveEntry* e = pr.moveList;
  *e = MoveEntry{};
  pr.currentMove = e;
  t->plies[ply + 1].moveList = e + 1;
  make_null_move(pos);
  tt_prefetch(pos.key);
  Move line[MAX_PLY];
  int v = -search(pos, pos.side, ply + 1, depth - r - 1, -beta, -alpha, NODE_ALL, line);
  unmake_null_move(pos);
  pr.reduction = 0;
  return v;
}

int iid_depth(int depth, int nodeType) {
  if (nodeType == NODE_PV) return depth - IID_PV_CUT;
  return depth < IID_DEEP_DEPTH ? depth - IID_CUT : depth - IID_DEEP_CUT;
}

// A node that is not in check and above the horizon: futility drop into
// quiescence, the pruning of a node far above beta (static evaluation,
// then the null move), internal iterative deepening, then the move loop.
int prune_and_search(SearchThread* t, int ply, int depth, int alpha, int beta, int nodeType,
                     Move* pv, int ev, const TableView& view) {
  Position& pos = t->pos;
  int side = pos.side;
  if (depth <= SParams.FP_depth && ev <= alpha - SParams.FP_margin[depth] && !view.highCut &&
      alpha < MATING_RANGE && nodeType != NODE_PV) {
    int v = qsearch(pos, side, ply, depth, alpha, beta, nodeType, pv);
    return v < alpha ? alpha : v < beta ? v : beta;
  }
  if (ev >= beta + SParams.BP_margin && nodeType == NODE_CUT && !view.lowCut &&
      material_supports(pos, side, beta) && piece_count(pos, side, PAWN) > 0 &&
      pos.matValue[side] > 0 && beta > MATED_RANGE) {
    if (static_eval_prunes(t, ply, depth, ev, beta)) return beta;
    if (depth >= SParams.NMP_depth && !was_null_move(t, 1) && !was_null_move(t, 2)) {
      int v = null_move_search(t, ply, depth, alpha, beta);
      if (search_stopped()) return 0;
      if (v >= beta) {
        if (depth < NULL_VERIFY_DEPTH) return beta;
        depth -= NULL_VERIFY_CUT;
        t->plies[ply].depth = int16_t(depth);
      }
    }
  }
  int d = iid_depth(depth, nodeType);
  if (view.hitDepth < d) {
    PlyRecord& pr = t->plies[ply];
    pr.iidActive = 1;
    search_moves(pos, side, ply, d, alpha, beta, 0, nodeType, pv);
    pr.iidActive = 0;
    if (search_stopped()) return 0;
    pr.hashMove = pv[ply];
  }
  return search_moves(pos, side, ply, depth, alpha, beta, 0, nodeType, pv);
}

}  // namespace

int search(Position& pos, int side, int ply, int depth, int alpha, int beta, int nodeType,
           Move* pv) {
  SearchThread* t = pos.owner;
  t->nodes++;
  if (SParams.nodeRateLimited) wait_for_node_rate(t);
  if (t->index == 0 && (t->nodes & OWN_TIME_CHECK_MASK) == 0) time_check();
  if (t->nodes > t->nodeLimit && t->rootDepthDone > 1)
    Control.stop.store(1, std::memory_order_relaxed);
  if (search_stopped()) return 0;
  if (ply > t->selDepth) t->selDepth = int8_t(ply);
  if (is_tagged_node(pos.key)) print_tagged_path(t, ply);

  alpha = std::max(alpha, ply - MATE);
  beta = std::min(beta, MATE - 1 - ply);
  if (beta <= alpha) return alpha;

  init_ply_record(t, ply, nodeType, alpha, beta, pv);
  PlyRecord& pr = t->plies[ply];
  if (pos.fifty >= MIN_REPETITION_FIFTY && is_draw(pos, ply)) return 0;
  if (ply > MAX_SEARCH_PLY) return pr.inCheck ? 0 : evaluate(t, side, ply, 0);

  depth += extension(t, ply, depth);
  pr.depth = int16_t(depth);

  TableView view;
  int value = 0;
  if (probe_table(t, ply, depth, alpha, beta, nodeType, view, value)) return value;
  if (probe_tablebases(t, ply, depth, alpha, beta, value)) return value;

  if (pr.inCheck) {
    pr.staticEval = NO_EVAL;
    return search_moves(pos, side, ply, depth, alpha, beta, 1, nodeType, pv);
  }
  int ev = evaluate(t, side, ply, 0);
  pr.staticEval = int16_t(ev);
  if (depth < 1) return qsearch(pos, side, ply, depth, alpha, beta, nodeType, pv);
  return prune_and_search(t, ply, depth, alpha, beta, nodeType, pv, ev, view);
}

void pv_copy(Move* dst, const Move* src, Move move, int ply) {
  dst[ply] = move;
  for (int i = ply + 1; i < MAX_PLY; i++) {
    dst[i] = src[i];
    if (!src[i]) break;
  }
}
