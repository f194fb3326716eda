// Texel-style tuning of the hand-crafted evaluation's piece-square tables
// over training records (tools/netdata.h): minimise the mean squared error
// between each game's result and sigmoid(k * eval) of its quiet positions.
//
// The tables enter the evaluation linearly: every man adds one table entry
// (pawns up to three: their table, "defended" and "connected"), tapered by
// the game phase and multiplied by the ending's scale factor. So each
// position is evaluated once with the current values, and the error of any
// change to the tables follows from the list of entries the position uses:
//   eval(delta) = eval0 + scale * sum(sign * ((1 - phase) * dmg + phase * deg)).
// That makes every gradient step a pass over small integer lists instead
// of a new evaluation of millions of positions.
//
// k is fitted first (the error of the untouched values is minimised over
// k) and held. The tables in TunedTables move; every other parameter
// stays. One position in VALIDATION_SHARE (by key) is held out and its
// error is reported before and after. Output: a complete parameter file in
// the "name, mg, eg" form the engine reads (every entry in registry order).
//
// Usage: tune_pst [-max N] [-iterations N] [-lr X] [-l2 X] [-min-count N]
//                 -out FILE DATA.bin...
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/bitboard.h"
#include "eval/evalinfo.h"
#include "eval/geometry.h"
#include "eval/hce.h"
#include "eval/params.h"
#include "eval/scale.h"
#include "netdata.h"
#include "search/searchthread.h"
#include "tool_setup.h"
#include "tune_model.h"

namespace {

constexpr int NO_CACHE_PLY = 0;
constexpr uint64_t VALIDATION_SHARE = 20;
constexpr int VALIDATION_KEY_SHIFT = 23;
// Positions whose score is this large are decided; the sigmoid is flat
// there and they would only add noise.
constexpr int MAX_TUNED_EVAL = 1200;
constexpr size_t READ_BLOCK = 1 << 16;

struct Settings {
  const char* out = nullptr;
  long long maxPositions = -1;
  int iterations = 300;
  double lr = 0.1;
  double l2 = 1e-7;
  long minCount = 1000;
  std::vector<const char*> data;
};

// Index of the first entry of a table in the registry.
int table_start(const EvalParam* table) { return int(table - Params); }

// The table entries the position uses, with White's men counted +1 and
// Black's -1, in the evaluation's own mirroring.
void collect_entries(const Position& pos, const EvalInfo& ei, TunePosition& tp) {
  for (int c = WHITE; c <= BLACK; c++) {
    int8_t sign = c == WHITE ? 1 : -1;
    Bitboard own = piece_set(pos, c, PAWN);
    Bitboard defended = pawn_attack_set(c, own);
    for (Bitboard b = own; b;) {
      int sq = pop_lsb(b), msq = sq ^ ei.mirror[c];
      tp.entries.push_back({table_start(ei.pstPawn) + msq, sign});
      if (defended & bit(sq)) tp.entries.push_back({table_start(W.PST_DP) + msq, sign});
      if (SideNeighbours[sq] & own) tp.entries.push_back({table_start(W.PST_CP) + msq, sign});
    }
    const EvalParam* tables[] = {ei.pstKnight, ei.pstBishop, ei.pstRook, ei.pstQueen};
    for (int type = KNIGHT; type <= QUEEN; type++)
      for (Bitboard b = piece_set(pos, c, type); b;)
        tp.entries.push_back({table_start(tables[type - KNIGHT]) + (pop_lsb(b) ^ ei.mirror[c]), sign});
    tp.entries.push_back({table_start(W.PST_K) + (pos.kingSq[c] ^ ei.mirror[c]), sign});
  }
}

// Evaluates the position once and records what the model needs; false for
// positions the tuner leaves out.
bool prepare_position(SearchThread* t, const NetRecord& r, TunePosition& tp) {
  if (!unpack_record(r, t->pos)) return false;
  const Position& pos = t->pos;
  int stm = hce_evaluate(t, pos.side, NO_CACHE_PLY, 0);
  int white = pos.side == WHITE ? stm : -stm;
  if (std::abs(white) > MAX_TUNED_EVAL) return false;
  EvalInfo ei;
  setup_eval_info(pos, ei, 0);
  tp.eval0 = float(white);
  tp.phase = ei.phase;
  tp.scale = scale_factor(pos, white);
  tp.result = float(r.result) * 0.5f;
  collect_entries(pos, ei, tp);
  return true;
}

void read_positions(SearchThread* t, const Settings& cfg, TuneSet& train, TuneSet& valid) {
  std::vector<NetRecord> block(READ_BLOCK);
  long long seen = 0;
  for (const char* path : cfg.data) {
    FILE* f = std::fopen(path, "rb");
    if (!f) {
      std::fprintf(stderr, "cannot open %s\n", path);
      continue;
    }
    for (size_t n; (n = read_records(f, block.data(), block.size())) > 0;) {
      for (size_t i = 0; i < n && (cfg.maxPositions < 0 || seen < cfg.maxPositions); i++, seen++) {
        TunePosition tp;
        if (!prepare_position(t, block[i], tp)) continue;
        bool held = (t->pos.key >> VALIDATION_KEY_SHIFT) % VALIDATION_SHARE == 0;
        add_tune_position(held ? valid : train, tp);
      }
    }
    std::fclose(f);
  }
  std::printf("%lld records: %zu training, %zu validation positions\n", seen, train.size(), valid.size());
}

// The tables that move: all but the pawn table of kings on one wing,
// whose values are given and kept; of those, the entries the data uses
// often enough to say something about them.
std::vector<int> tuned_entries(const std::vector<long>& counts, long minCount) {
  const EvalParam* tables[] = {W.PST_P2, W.PST_CP, W.PST_DP, W.PST_N1, W.PST_N2, W.PST_B1,
                               W.PST_B2, W.PST_R1, W.PST_R2, W.PST_Q1, W.PST_Q2, W.PST_K};
  std::vector<int> out;
  for (const EvalParam* t : tables)
    for (int sq = 0; sq < 64; sq++)
      if (counts[table_start(t) + sq] >= minCount) out.push_back(table_start(t) + sq);
  return out;
}

bool write_params(const char* path, const TuneDeltas& d) {
  FILE* f = std::fopen(path, "w");
  if (!f) return false;
  for (int i = 0; i < ParamCount; i++) {
    const EvalParam& p = Params[i];
    int mg = packed_mg(p.packed) + int(std::lround(d.mg[i]));
    int eg = packed_eg(p.packed) + int(std::lround(d.eg[i]));
    std::fprintf(f, "%s, %d, %d\n", p.name, mg, eg);
  }
  return std::fclose(f) == 0;
}

bool parse_args(int argc, char** argv, Settings& cfg) {
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    bool v = i + 1 < argc;
    if (a == "-out" && v) cfg.out = argv[++i];
    else if (a == "-max" && v) cfg.maxPositions = std::atoll(argv[++i]);
    else if (a == "-iterations" && v) cfg.iterations = std::max(0, std::atoi(argv[++i]));
    else if (a == "-lr" && v) cfg.lr = std::atof(argv[++i]);
    else if (a == "-l2" && v) cfg.l2 = std::atof(argv[++i]);
    else if (a == "-min-count" && v) cfg.minCount = std::atol(argv[++i]);
    else if (a[0] == '-') return false;
    else cfg.data.push_back(argv[i]);
  }
  return cfg.out && !cfg.data.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Settings cfg;
  if (!parse_args(argc, argv, cfg)) {
    std::fprintf(stderr, "usage: tune_pst [-max N] [-iterations N] [-lr X] [-l2 X] [-min-count N] -out FILE DATA.bin...\n");
    return 1;
  }
  setup_engine_for_tool();
  SearchThread* t = new_search_thread();
  if (!t) return 1;
  TuneSet train, valid;
  read_positions(t, cfg, train, valid);
  if (train.size() == 0 || valid.size() == 0) return 1;
  double k = fit_scale(train);
  TuneDeltas d = make_deltas(ParamCount);
  std::printf("k = %.6f; error: training %.6f, validation %.6f\n", k, tune_error(train, d, k),
              tune_error(valid, d, k));
  std::vector<int> tuned = tuned_entries(entry_counts(train, ParamCount), cfg.minCount);
  std::printf("%zu table entries tuned\n", tuned.size());
  TuneOptimizer opt = make_optimizer(ParamCount);
  for (int it = 1; it <= cfg.iterations; it++) {
    tune_step(train, d, k, tuned, opt, cfg.lr, cfg.l2);
    if (it % 50 == 0 || it == cfg.iterations)
      std::printf("iteration %d: error training %.6f, validation %.6f\n", it, tune_error(train, d, k),
                  tune_error(valid, d, k));
    std::fflush(stdout);
  }
  if (!write_params(cfg.out, d)) {
    std::fprintf(stderr, "cannot write %s\n", cfg.out);
    return 1;
  }
  std::printf("parameters written to %s\n", cfg.out);
  free_search_thread(t);
  return 0;
}
