// Evaluation speed: evaluations per second along random search-like lines
// (one thread). A game line is played from each start position; after
// every game move a small tree of random legal moves is walked from ply 1
// as a search would, with an evaluation at every node. The same walk is
// then repeated without evaluations and its time subtracted, so the
// figures are for the evaluation alone. The evaluators are compared
// side by side in interleaved rounds (fastest round kept), which keeps the
// comparison fair on a machine shared with other work; times are the
// processor time of this program, not the wall clock, so time spent
// waiting for a busy processor does not count.
//
// Usage: zerv_bench_eval [evaluator]   evaluator: nn (default), hce, all
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>

#include "board/bitboard.h"
#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/zobrist.h"
#include "core/options.h"
#include "core/searchthread.h"
#include "eval/hce.h"
#include "eval/network.h"
#include "eval/networkspace.h"
#include "eval/params.h"
#include "hcebench.h"
#include "search/threadrecord.h"

namespace {

constexpr const char* START_FENS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8",
    "2r2rk1/1bqnbppp/p2ppn2/1p6/3NP3/1BN1BP2/PPPQ2PP/2KR3R w - - 0 14",
    "8/5pk1/6p1/3r4/2R5/6P1/5PK1/8 w - - 0 40",
    "8/pp3k2/2p1p3/3pPp2/3P1P2/2P3K1/PP6/8 w - - 0 35",
};
constexpr int LINES_PER_START = 60;
constexpr int GAME_PLIES = 80;
constexpr int TREE_DEPTH = 4;   // plies below each game position
constexpr int TREE_BRANCHES = 2;
constexpr int MAX_LEGAL_MOVES = 256;
constexpr unsigned SEED = 20240501;
constexpr int ROUNDS = 5;

using EvalFn = int (*)(SearchThread*);

struct Walk {
  SearchThread* t;
  std::mt19937 rng;
  EvalFn eval;  // null: the walk alone
  uint64_t evals;
  long long checksum;  // keeps the evaluations from being optimised away
};

int legal_moves(Position& pos, Move* out) {
  int n = 0;
  for (MoveEntry* e = generate_all(pos); e->move != MOVE_END && n < MAX_LEGAL_MOVES; e++)
    if (move_is_legal(pos, pos.side, e->move)) out[n++] = e->move;
  return n;
}

void walk_tree(Walk& w, int depth) {
  if (w.eval) {
    w.checksum += w.eval(w.t);
    w.evals++;
  }
  if (depth == 0) return;
  Move moves[MAX_LEGAL_MOVES];
  int n = legal_moves(w.t->pos, moves);
  for (int b = 0; b < TREE_BRANCHES && n > 0; b++) {
    make_move(w.t->pos, moves[w.rng() % n]);
    walk_tree(w, depth - 1);
    unmake_move(w.t->pos);
  }
}

void walk_game(Walk& w, const char* fen) {
  set_position(w.t->pos, fen);
  w.t->undoIndex = 0;
  for (int ply = 0; ply < GAME_PLIES; ply++) {
    w.t->ply = 1;  // every game position is a search root
    walk_tree(w, TREE_DEPTH);
    Move moves[MAX_LEGAL_MOVES];
    int n = legal_moves(w.t->pos, moves);
    if (n == 0) break;
    make_move(w.t->pos, moves[w.rng() % n]);
  }
  w.t->ply = 1;
}

double run_walk(Walk& w) {
  std::clock_t start = std::clock();
  for (const char* fen : START_FENS)
    for (int line = 0; line < LINES_PER_START; line++) walk_game(w, fen);
  return double(std::clock() - start) / CLOCKS_PER_SEC;
}

// The network with one named set of layer loops, for comparing the sets
// side by side in one run.
template <int set>
int nn_with_set(SearchThread* t) {
  return nn_evaluate_with(t, net_workspace(t), NetKernelTable[set]);
}
constexpr EvalFn NN_WITH_SET[NET_KERNEL_SETS] = {nn_with_set<NET_KERNELS_AVX512>, nn_with_set<NET_KERNELS_AVX2>,
                                                 nn_with_set<NET_KERNELS_SSE2>, nn_with_set<NET_KERNELS_SCALAR>};

// One evaluator in a comparison; the first-layer counters are printed for
// the network only.
struct Contender {
  char label[64];
  EvalFn eval;
  bool network;
  double best = 0;  // fastest walk, seconds
  uint64_t evals = 0, refreshes = 0, updates = 0, fromKept = 0, calls = 0, hits = 0;
  long long checksum = 0;
};

// Every walk starts from an empty evaluation cache, so each round of a
// cached evaluator sees the same hits.
double timed_walk(SearchThread* t, Contender* c) {
  std::memset(t->evalCache, 0, sizeof t->evalCache);
  Walk w = {t, std::mt19937(SEED), c ? c->eval : nullptr, 0, 0};
  NetWorkspace* ws = c && c->network ? net_workspace(t) : nullptr;
  uint64_t calls = t->evalCalls, hits = t->evalHits, refreshes = ws ? ws->refreshes : 0, updates = ws ? ws->updates : 0,
           fromKept = ws ? ws->fromKept : 0;
  double seconds = run_walk(w);
  if (c) {
    c->evals = w.evals, c->checksum = w.checksum;
    c->calls = t->evalCalls - calls, c->hits = t->evalHits - hits;
    c->refreshes = ws ? ws->refreshes - refreshes : 0, c->updates = ws ? ws->updates - updates : 0;
    c->fromKept = ws ? ws->fromKept - fromKept : 0;
  }
  return seconds;
}

// The evaluators side by side: ROUNDS rounds, each walking bare and then
// with every evaluator in turn, so other work on the machine falls on all
// of them alike; each keeps its fastest round, and the fastest bare walk
// is subtracted.
void compare(SearchThread* t, Contender* list, int count) {
  double bare = 1e30;
  for (int round = 0; round < ROUNDS; round++) {
    bare = std::min(bare, timed_walk(t, nullptr));
    for (int i = 0; i < count; i++) list[i].best = std::min(round ? list[i].best : 1e30, timed_walk(t, &list[i]));
  }
  std::printf("walk alone: %.3f s (subtracted below; fastest of %d rounds each)\n", bare, ROUNDS);
  for (int i = 0; i < count; i++) {
    const Contender& c = list[i];
    double seconds = std::max(c.best - bare, 1e-9);
    std::printf("%-34s %9llu evals %7.3f s %8.3f M evals/s", c.label, (unsigned long long)c.evals, seconds,
                c.evals / seconds / 1e6);
    if (c.network)
      std::printf("  refresh %llu (%llu from kept) update %llu", (unsigned long long)c.refreshes,
                  (unsigned long long)c.fromKept, (unsigned long long)c.updates);
    if (c.calls) std::printf("  cache hits %.1f%%", 100.0 * double(c.hits) / double(c.calls));
    std::printf("  (checksum %lld)\n", c.checksum);
  }
}

void bench_network(SearchThread* t) {
  std::strcpy(Options.NN_File, "embedded");
  if (!load_network() || !net_workspace(t)) {
    std::printf("no network\n");
    return;
  }
  std::printf("layer loops chosen for this processor: %s\n", best_net_kernels().name);
  Contender list[2 + NET_KERNEL_SETS] = {{"network, incremental, cache off", nn_evaluate_uncached, true},
                                         {"network, incremental, cache on", nn_evaluate, true}};
  int count = 2;
  for (int set = 0; set < NET_KERNEL_SETS; set++) {
    if (!net_kernels_supported(set)) continue;
    std::snprintf(list[count].label, sizeof list[count].label, "network, %s loops, cache off", NetKernelTable[set].name);
    list[count].eval = NN_WITH_SET[set];
    list[count++].network = true;
  }
  compare(t, list, count);
}

void bench_hand_crafted(SearchThread* t) {
  setup_eval_params();
  init_kpk_table();
  Contender list[] = {{"hand-crafted, caches off", hce_bench_eval_uncached, false},
                      {"hand-crafted, caches on", hce_bench_eval_cached, false}};
  compare(t, list, 2);
}

// Evaluators by name.
struct Evaluator {
  const char* name;
  void (*run)(SearchThread*);
};
constexpr Evaluator EVALUATORS[] = {
    {"nn", bench_network},
    {"hce", bench_hand_crafted},
};

}  // namespace

int main(int argc, char** argv) {
  const char* which = argc > 1 ? argv[1] : "nn";
  init_board_tables();
  init_zobrist();
  set_default_options(Options);
  Options.evalNoise = 0;
  SearchThread* t = new_search_thread();
  if (!t) return 1;
  int status = 1;
  for (const Evaluator& e : EVALUATORS)
    if (std::strcmp(e.name, which) == 0 || std::strcmp(which, "all") == 0) {
      e.run(t);
      status = 0;
    }
  if (status) std::printf("unknown evaluator %s\n", which);
  free_search_thread(t);
  return status;
}
