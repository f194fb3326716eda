#include "search/rootsearch.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#include "board/bitboard.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/picker.h"
#include "board/see.h"
#include "core/control.h"
#include "core/game.h"
#include "core/options.h"
#include "core/random.h"
#include "core/searchthread.h"
#include "eval/evaluate.h"
#include "platform/platform.h"
#include "search/history.h"
#include "search/moveloop.h"
#include "search/qsearch.h"
#include "search/relaxed.h"
#include "search/report.h"
#include "search/search.h"
#include "search/searchparams.h"
#include "search/searchtrace.h"
#include "search/threads.h"
#include "search/timeman.h"
#include "syzygy/tbprobe.h"
#include "syzygy/tbregistry.h"
#include "syzygy/tbroot.h"

namespace {


// Root move order: captures by victim, less the mover's type; exchanges
// that lose material behind every quiet move.
constexpr int16_t CaptureRootScore[7] = {0, 210, 220, 230, 230, 240, 250};
constexpr int LOSING_CAPTURE_SEE = -50;
constexpr int LOSING_CAPTURE_BASE = 4;
constexpr int HISTORY_SCALE = 256;
constexpr int SPECIAL_QUIET_BONUS = 60;  // promotions and castling

// While a pass runs, an entry's score marks the move number; moves that a
// cut-off left unsearched go behind all searched ones.
constexpr int SEARCHING_SCORE = -11000;
constexpr int UNSEARCHED_SCORE = -11500;

// Aspiration windows.
constexpr int WINDOW_BASE = 25;
constexpr int WINDOW_SCORE_SHIFT = 4;
constexpr int WINDOW_SHALLOW_DEPTH = 6;
constexpr int WINDOW_SHALLOW_STEP = 10;
constexpr int WINDOW_OPEN_BOUND = 5000;  // beyond it the window opens fully

// Root reduction of late quiet moves.
constexpr int ROOT_REDUCTION_DEPTH = 6;
constexpr int ROOT_REDUCTION_MOVES = 5;
constexpr int LOST_SCORE = -9749;
constexpr int ROOT_REDUCTION_MARGIN = 50;
// With a strength limit faster than this the first depth is searched
// with the full window for every move.
constexpr float FULL_WINDOW_NPS = 1000.0f;
constexpr int FULL_WINDOW_DEPTH = 2;

// Depth skipping of secondary threads.
constexpr int SKIP_FROM_DEPTH = 6;
constexpr int SKIP_SHARE_OFFSET = 14;
constexpr int SKIP_SHARE_SHIFT = 2;
constexpr int SKIP_SECOND_FACTOR = 3;
constexpr uint32_t NOISE_MASK = 15;

// Where deepening stops.
constexpr int UNDO_HEADROOM = UNDO_STACK_SIZE - 17;  // game ply + depth must stay within
// A last guard: no iteration beyond this, so the per-depth statistics stay
// inside their MAX_PLY entries whatever depth limit is set.
constexpr int MAX_ITERATION = MAX_DEPTH + 2;

// Tablebase move at the root: only once the fifty count has grown this far.
constexpr int TB_MOVE_MIN_FIFTY = 10;
constexpr int TB_MOVE_DEPTH = 99;
// Six-piece WDL probes at the root only when the search probes them early.
constexpr int TB_ROOT_DEPTH6_LIMIT = 70;

SpinLock StatsLock;     // the per-depth node counts

// The root-order noise's own generator state for the whole program (z in
// the high half, w in the low), advanced by compare-and-swap so that
// threads drawing at once never lose a step.
constexpr int MWC_HALF_BITS = 32;
constexpr uint64_t MWC_START = (uint64_t(1) << MWC_HALF_BITS) | 1;  // z = w = 1
std::atomic<uint64_t> NoiseMwc{MWC_START};

uint32_t next_noise_draw() {
  uint64_t old = NoiseMwc.load(std::memory_order_relaxed), next;
  uint32_t draw;
  do {
    MwcState s{uint32_t(old >> MWC_HALF_BITS), uint32_t(old)};
    draw = mwc_next(s);
    next = (uint64_t(s.z) << MWC_HALF_BITS) | s.w;
  } while (!NoiseMwc.compare_exchange_weak(old, next, std::memory_order_relaxed));
  return draw;
}

// ------------------------------------------------------------- root moves

// The checking piece nearest in the search's order (pawn, knight, then
// diagonal and straight sliders), or 64.
int root_checker(const Position& pos) {
  int side = pos.side, enemy = side ^ 1, king = pos.kingSq[side];
  Bitboard occ = occupancy(pos);
  Bitboard found = PawnAttacks[side][king] & piece_set(pos, enemy, PAWN);
  if (!found) found = KnightAttacks[king] & piece_set(pos, enemy, KNIGHT);
  if (!found)
    found = bishop_attacks(king, occ) & (piece_set(pos, enemy, BISHOP) | piece_set(pos, enemy, QUEEN));
  if (!found)
    found = rook_attacks(king, occ) & (piece_set(pos, enemy, ROOK) | piece_set(pos, enemy, QUEEN));
  return found ? lsb(found) : NO_SQUARE;
}

int16_t root_order_score(const SearchThread* t, const MoveEntry& e) {
  const Position& pos = t->pos;
  if (e.captured) {
    int victim = type_of(e.captured);
    if (see(pos, pos.side, move_from(e.move), move_to(e.move)) < LOSING_CAPTURE_SEE)
      return int16_t(LOSING_CAPTURE_BASE + victim);
    return int16_t(CaptureRootScore[victim] - type_of(e.piece));
  }
  int score = t->history[e.piece][move_to(e.move)] / HISTORY_SCALE;
  if (move_flags(e.move)) score += SPECIAL_QUIET_BONUS;
  return int16_t(score);
}

// The legal root moves that "go" allows, scored for the first iteration;
// their number.
int order_root_moves(SearchThread* t) {
  Position& pos = t->pos;
  MoveEntry* list = generate_all(pos);
  MoveEntry* kept = list;
  for (MoveEntry* e = list; e->move != MOVE_END; e++) {
    if (!move_is_legal(pos, pos.side, e->move) || !root_move_allowed(Control.limits, e->move))
      continue;
    *kept = *e;
    kept->score = root_order_score(t, *kept);
    kept++;
  }
  close_list(t, ROOT_PLY, kept);
  return int(kept - list);
}

// After a pass: the searched moves sorted by their new scores, the moves a
// cut-off left unsearched behind them in their old order.
void reorder_after_pass(MoveEntry* e, int searched) {
  int j = 0;
  for (int i = 0; e[i].move != MOVE_END; i++) {
    if (i < searched) pick_best(&e[i]);
    else e[i].score = int16_t(UNSEARCHED_SCORE - j++);
  }
}

// ------------------------------------------------------------ root search

int root_reduction(const SearchThread* t, int depth, int best) {
  const PlyRecord& pr = t->plies[ROOT_PLY];
  const Position& pos = t->pos;
  if (depth < ROOT_REDUCTION_DEPTH || pr.moveCount < ROOT_REDUCTION_MOVES || pr.inCheck ||
      pr.moveFlags)
    return 0;
  if (!piece_set(pos, pos.side, PAWN) || !pos.matValue[pos.side]) return 0;
  int previous = relaxed_load(Control.depthScore[depth - 1]);
  if (previous < LOST_SCORE && best > MATED_RANGE) return 1;
  return best > previous - ROOT_REDUCTION_MARGIN ? 1 : 0;
}

// Principal-variation search of one root move: a full window for the first
// move, otherwise a (possibly reduced) null-window probe and a full
// re-search when it beats the best so far.
int search_root_move(SearchThread* t, MoveEntry* e, int depth, int raised, int alpha0, int beta) {
  Position& pos = t->pos;
  PlyRecord& pr = t->plies[ROOT_PLY];
  if (t->index == 0 && trace_file_on()) trace_move(t, ROOT_PLY, e->move);
  make_move(pos, e->move);
  int v;
  bool fullWindow = pr.moveCount == 0 || (depth < FULL_WINDOW_DEPTH && Control.targetNps > FULL_WINDOW_NPS);
  if (fullWindow) {
    v = -search(pos, pos.side, ROOT_PLY + 1, depth - 1, -beta, -alpha0, NODE_PV, t->pv);
    e->score = int16_t(v);
  } else {
    v = -search(pos, pos.side, ROOT_PLY + 1, depth - pr.reduction - 1, -raised - 1, -raised,
                NODE_CUT, t->pv);
    if (v > raised && !Control.stop.load()) {
      pr.reduction = 0;
      v = -search(pos, pos.side, ROOT_PLY + 1, depth - 1, -beta, -alpha0, NODE_PV, t->pv);
      if (v > alpha0) e->score = int16_t(v);
    }
  }
  unmake_move(pos);
  return v;
}

void set_root_fail(SearchThread* t, int fail) { relaxed_store(t->rootFail, fail); }

// One pass over the root moves from line `first` on, inside alpha..beta.
int root_search(SearchThread* t, int depth, int alpha, int beta, int first) {
  PlyRecord& pr = t->plies[ROOT_PLY];
  pr.depth = int16_t(depth);
  pr.checker = uint8_t(root_checker(t->pos));
  pr.inCheck = pr.checker != NO_SQUARE;
  pr.moveCount = 0;
  int best = -INFINITE_SCORE, raised = alpha, alpha0 = alpha;
  bool reports = t->index == 0 && first == 0;
  MoveEntry* list = pr.moveList + first;
  for (MoveEntry* e = list; e->move != MOVE_END; e++) {
    pick_best(e);
    pr.currentMove = e;
    pr.moveFlags = uint16_t(search_move_flags(t->pos, t->pos.side, *e));
    e->score = int16_t(SEARCHING_SCORE - pr.moveCount);
    if (reports) print_current_move(*e, pr.moveCount);
    pr.reduction = int8_t(root_reduction(t, depth, best));
    int v = search_root_move(t, e, depth, raised, alpha0, beta);
    if (Control.stop.load()) return 0;
    pr.moveCount++;
    if (v > best) {
      relaxed_store(t->rootScore, v);
      relaxed_store(t->rootDepthDone, depth);
      if (v > raised) raised = v;
      pv_copy(t->rootLine, t->pv, e->move, ROOT_PLY);
      best = v;
      if (reports) report_root_best(t);
    }
    if (best <= alpha0) {
      set_root_fail(t, FAILED_LOW);
      if (best >= beta) break;
    } else if (best >= beta) {
      set_root_fail(t, FAILED_HIGH);
      break;
    } else {
      set_root_fail(t, 0);
    }
  }
  reorder_after_pass(list, pr.moveCount);
  return best;
}

// --------------------------------------------------------- driver steps

void publish_no_move(int score) {
  relaxed_store(Control.score, score);
  relaxed_store(Control.completedDepth, 1);
  Control.stop.store(1);
}

void prepare_root_record(SearchThread* t) {
  reset_order_tables(t);
  PlyRecord& pr = t->plies[ROOT_PLY];
  pr.staticEval = 0;
  pr.alpha = -INFINITE_SCORE;
  pr.beta = INFINITE_SCORE;
  pr.inCheck = 0;
  pr.checker = NO_SQUARE;
  pr.tbResult = TB_NOT_PROBED;
  PlyRecord& next = t->plies[ROOT_PLY + 1];
  next.killer1 = next.killer2 = next.checkKiller = MOVE_NONE;
  t->rootSeed = uint32_t(std::rand());
}

// Check test and static evaluation of the root; whether it is in check.
bool evaluate_root(SearchThread* t) {
  PlyRecord& pr = t->plies[ROOT_PLY];
  pr.checker = uint8_t(root_checker(t->pos));
  pr.inCheck = pr.checker != NO_SQUARE;
  int v = evaluate(t, t->pos.side, ROOT_PLY, pr.inCheck);
  relaxed_store(t->rootScore, v);
  pr.staticEval = int16_t(v);
  t->plies[0].staticEval = int16_t(-v);
  return pr.inCheck;
}

// The quiescence line of the root into the root line; its score.
int root_quiescence(SearchThread* t) {
  t->pv[ROOT_PLY] = t->pv[ROOT_PLY + 1] = MOVE_NONE;
  int v = qsearch(t->pos, t->pos.side, ROOT_PLY, 0, -INFINITE_SCORE, INFINITE_SCORE, NODE_PV, t->pv);
  for (int i = ROOT_PLY; i < MAX_PLY; i++) {
    t->rootLine[i] = t->pv[i];
    if (t->pv[i] == MOVE_NONE) break;
  }
  return v;
}

// The main thread's work before the root moves: false when the search
// ends here (no legal move, or no iteration asked for).
bool main_thread_prelude(SearchThread* t, bool inCheck) {
  init_search_params();
  relaxed_store(Control.score, t->rootScore);
  relaxed_store(Control.depthScore[0], t->rootScore);
  Control.rootTbResult = TB_NOT_PROBED;
  if (!inCheck) relaxed_store(Control.score, root_quiescence(t));
  if (has_no_legal_move(t->pos)) {
    publish_no_move(inCheck ? NO_EVAL : 0);
    return false;
  }
  if (Control.limits.maxDepth >= 1) return true;
  if (Control.limits.maxDepth == 0 && !inCheck && root_move_allowed(Control.limits, t->rootLine[1]))
    std::memcpy(Control.bestLine, t->rootLine, sizeof Control.bestLine);
  Control.stop.store(1);
  return false;
}

// Root score of a tablebase result: a win just below the in-search
// tablebase wins (so a found mate still shows), a loss, or a draw.
int tablebase_root_score(int result) {
  return result == TB_RESULT_WIN ? TB_WIN - 1 : result == TB_RESULT_LOSS ? -TB_WIN : 0;
}

// Without a DTZ decision the WDL of the root still fixes the outcome;
// six-piece tables only when they are probed early in the search too.
int root_wdl_fallback(const Position& pos, int pieces) {
  if (pos.castling || pieces > tbLargest) return TB_NOT_PROBED;
  if (pieces == TB_MAX_PIECES && Options.SyzygyProbeDepth6 > TB_ROOT_DEPTH6_LIMIT) return TB_NOT_PROBED;
  TbPosition p = tb_position_from(pos);
  p.rule50 = 0;
  int success = 1;
  int wdl = tb_probe_wdl(p, &success);
  return success ? wdl + WDL_OFFSET : TB_NOT_PROBED;
}

// The tables at the root: the result as WDL + 2 and a move (MOVE_NONE
// when only the WDL fallback answered), or TB_NOT_PROBED.
int probe_root_tables(SearchThread* t, Move* move) {
  *move = MOVE_NONE;
  int pieces = popcount(occupancy(t->pos));
  if (pieces > tbLargest) return TB_NOT_PROBED;
  int wdlPlus2, absDtz;
  int r = tb_probe_root(t->pos, move, &wdlPlus2, &absDtz);
  if (r == TB_ROOT_FAILED) {
    *move = MOVE_NONE;
    r = root_wdl_fallback(t->pos, pieces);
  }
  if (r == TB_NOT_PROBED) return r;
  relaxed_store(t->rootScore, tablebase_root_score(r));
  relaxed_store(Control.score, t->rootScore);
  return r;
}

// While the fifty count is young the search chooses, but only among the
// root moves that keep the tables' result: a won or drawn ending is not
// thrown away by a move whose loss lies beyond the horizon.
void keep_tablebase_moves(SearchThread* t) {
  Move keep[TB_ROOT_MAX_MOVES];
  int n = tb_root_keepers(t->pos, keep);
  if (n <= 0) return;
  MoveEntry* list = t->plies[ROOT_PLY].moveList;
  MoveEntry* kept = list;
  for (MoveEntry* e = list; e->move != MOVE_END; e++)
    if (std::find(keep, keep + n, e->move) != keep + n) *kept++ = *e;
  if (kept != list) close_list(t, ROOT_PLY, kept);
}

// True when a tablebase move answers at once.
bool tablebase_answer(SearchThread* t, int legalMoves) {
  if (legalMoves < 2) return false;
  Move move;
  int result = probe_root_tables(t, &move);
  // The tables judge the root by its best move. A root restricted by
  // "searchmoves" keeps their verdict only when that move is listed: a
  // bare result, or a move left out, may promise more than the listed
  // moves hold.
  if (Control.limits.searchMoveCount > 0 &&
      (move == MOVE_NONE || !root_move_allowed(Control.limits, move))) {
    result = TB_NOT_PROBED;
    move = MOVE_NONE;
  }
  Control.rootTbResult = int8_t(result);
  if (move == MOVE_NONE) return false;
  if (t->pos.fifty < TB_MOVE_MIN_FIFTY || !move_is_legal(t->pos, t->pos.side, move)) {
    keep_tablebase_moves(t);
    return false;
  }
  std::memset(Control.bestLine, 0, sizeof Control.bestLine);
  Control.bestLine[1] = move;
  t->selDepth = TB_MOVE_DEPTH + 1;  // shown less one, as every selective depth
  t->tbHits = 1;
  relaxed_store(Control.completedDepth, TB_MOVE_DEPTH);
  Control.stop.store(1);
  return true;
}

// A secondary thread skips depths that enough others already search, and
// never searches below the main thread's depth.
int secondary_depth(int d) {
  int maxDepth = Control.limits.maxDepth;
  int threads = Control.activeThreads;
  if (d >= SKIP_FROM_DEPTH && d < maxDepth && Control.multiPV == 1) {
    int busy = 0;
    for (int j = 0; j < threads; j++)
      if (Threads[j] && Threads[j]->iterDepth.load() >= d) busy++;
    int share = (threads + SKIP_SHARE_OFFSET) >> SKIP_SHARE_SHIFT;
    if (busy >= share) d++;
    if (busy >= SKIP_SECOND_FACTOR * share) d++;
  }
  int mainDepth = Control.mainDepth.load();
  if (d < mainDepth) d = mainDepth;
  return d < maxDepth ? d : maxDepth;
}

void shuffle_root_order(SearchThread* t) {
  MoveEntry* e = t->plies[ROOT_PLY].moveList;
  if (e->move == MOVE_END) return;
  for (e++; e->move != MOVE_END; e++) {
    t->rootSeed += next_noise_draw();
    e->score = int16_t(e->score - int(t->rootSeed & NOISE_MASK));
  }
}

int aspiration_delta(int score, int depth) {
  int delta = (std::abs(score) >> WINDOW_SCORE_SHIFT) + WINDOW_BASE;
  if (depth < WINDOW_SHALLOW_DEPTH) delta += (WINDOW_SHALLOW_DEPTH - depth) * WINDOW_SHALLOW_STEP;
  return delta;
}

// Line k at depth d, the window widened on the failing side until the
// score falls inside it.
void search_with_window(SearchThread* t, int d, int k) {
  set_root_fail(t, 0);
  int s = t->rootScore;
  int delta = aspiration_delta(s, d);
  int alpha = d <= 1 ? -INFINITE_SCORE : s - delta;
  int beta = d <= 1 ? INFINITE_SCORE : s + delta;
  while (!Control.stop.load()) {
    if (alpha < -WINDOW_OPEN_BOUND) alpha = -INFINITE_SCORE;
    if (beta > WINDOW_OPEN_BOUND) beta = INFINITE_SCORE;
    int v = root_search(t, d, alpha, beta, k);
    if (alpha < v && v < beta) return;
    if (v <= alpha) alpha -= delta;
    else beta += delta;
    delta *= 2;
  }
}

void search_lines(SearchThread* t, int d) {
  const MoveEntry* list = t->plies[ROOT_PLY].moveList;
  int lines = Control.multiPV;
  for (int k = 0; k < lines && list[k].move != MOVE_END; k++) {
    search_with_window(t, d, k);
    if (Control.stop.load()) return;
    if (lines >= 2 && t->index == 0) print_pv_line(0, k + 1, d, t->rootScore, t->rootLine);
  }
}

// "go mate N": the published best line mates in N moves or fewer. Only the
// main thread's result counts, it is the one answered.
bool mate_limit_reached(const SearchThread* t) {
  int moves = Control.limits.mateMoves;
  if (moves == 0 || t->index != 0) return false;
  return relaxed_load(Control.score) >= MATE - PLIES_PER_MOVE * moves;
}

bool deepening_ends(const SearchThread* t, int d) {
  if (Control.stop.load()) return true;
  int s = t->rootScore;
  if (s >= MATE - 1 - d || s < d - (MATE - 1)) return true;  // a mate within this depth
  if (mate_limit_reached(t)) return true;
  if (d >= Control.limits.maxDepth) return true;
  uint64_t soft = Control.limits.softNodeLimit;
  if (soft && t->index == 0 && t->nodes >= soft) return true;
  if (t->undoIndex + d > UNDO_HEADROOM) return true;
  return d + 1 > MAX_ITERATION;
}

void deepen(SearchThread* t) {
  for (int d = 1;; d++) {
    if (t->index == 0) {
      Control.mainDepth.store(d);
    } else {
      d = secondary_depth(d);
      shuffle_root_order(t);
    }
    t->iterDepth.store(int8_t(d));
    search_lines(t, d);
    spin_lock(StatsLock);
    Control.depthNodes[d] += t->nodes;
    spin_unlock(StatsLock);
    if (t->index == 0 && !Control.stop.load()) {
      Control.lastIterTime = search_elapsed();
      Control.lastIterDepth = int8_t(d);
    }
    if (deepening_ends(t, d)) return;
  }
}

}  // namespace

int init_search_locks() {
  if (int status = init_report_lock()) return status;
  return init_spin_lock(StatsLock);
}

void search_driver(int i) {
  if (i >= Control.activeThreads || !Threads[i]) return;
  SearchThread* t = Threads[i];
  if (i == 0 && trace_file_on()) trace_new_search();
  prepare_root_record(t);
  bool inCheck = evaluate_root(t);
  if (i > 0 && has_no_legal_move(t->pos)) {
    publish_no_move(inCheck ? NO_EVAL : 0);
    return;
  }
  if (i == 0 && !main_thread_prelude(t, inCheck)) return;
  int count = order_root_moves(t);
  // One move left by "searchmoves" is a question about that move, not a
  // forced reply to be answered early.
  if (i == 0 && count == 1 && Control.limits.searchMoveCount == 0)
    relaxed_store(Control.singleReply, 1);
  if (i > 0 && Control.rootTbResult != TB_NOT_PROBED) return;
  if (i == 0 && tablebase_answer(t, count)) return;
  deepen(t);
  if (i == 0) Control.stop.store(1);
}
