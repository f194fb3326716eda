#include "tune_run.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "core/searchthread.h"
#include "eval/params.h"
#include "netdata.h"
#include "nettrain.h"
#include "search/threadrecord.h"
#include "tool_setup.h"

namespace {

constexpr uint64_t VALIDATION_SHARE = 20;
constexpr int VALIDATION_KEY_SHIFT = 23;
// Positions whose score is this large are decided; the sigmoid is flat
// there and they would only add noise.
constexpr int MAX_TUNED_EVAL = 1200;
constexpr size_t READ_BLOCK = 1 << 16;
constexpr int REPORT_EVERY = 50;

struct Settings {
  const char* out = nullptr;
  long long maxPositions = -1;
  int iterations = 300;
  int rounds = 1;
  double lr = 0.1;
  double l2 = 1e-7;
  long minCount = 1000;
  // Weight of the search score in the target, the rest the game's result
  // (0: results only). The score is what a deeper look found in this very
  // position; the result also carries every later mistake of the game.
  double lambda = 0;
  std::vector<const char*> data;
};

// The positions of one side of the split: their records, kept to measure
// them again, and their model.
struct Sample {
  std::vector<NetRecord> records;
  TuneSet set;
};

struct Run {
  SearchThread* t;
  TuneTargets targets;
  std::vector<EvalParam> start;  // the values in force when the run began
  Sample train, valid;
  TuneDeltas d;
  double k = 0;
};

// Wall time and this process's processor time: on a machine shared with
// other work the second is what the run itself costs.
struct Stopwatch {
  std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
  std::clock_t cpu = std::clock();
};

void print_time(const Stopwatch& w) {
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - w.wall).count();
  std::printf("%.1f s (processor %.1f s)", wall, double(std::clock() - w.cpu) / CLOCKS_PER_SEC);
}

void add_position(Run& run, const NetRecord& r, const TunePosition& tp) {
  bool held = (run.t->pos.key >> VALIDATION_KEY_SHIFT) % VALIDATION_SHARE == 0;
  Sample& s = held ? run.valid : run.train;
  s.records.push_back(r);
  add_tune_position(s.set, tp);
}

// The target from White's view, blended as the network trainer blends it
// (lambda 0 gives the result exactly).
float tune_target(const NetRecord& r, bool blackToMove, double lambda) {
  int whiteScore = blackToMove ? -r.score : r.score;
  return float(blended_target({lambda, SCORE_PER_OUTPUT}, whiteScore, double(r.result) / RESULT_WHITE_WINS));
}

bool read_file(Run& run, const char* path, const Settings& cfg, long long& seen) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  std::vector<NetRecord> block(READ_BLOCK);
  TunePosition tp;
  auto wanted = [&] { return cfg.maxPositions < 0 || seen < cfg.maxPositions; };
  for (size_t n; wanted() && (n = read_records(f, block.data(), block.size())) > 0;) {
    for (size_t i = 0; i < n && wanted(); i++, seen++) {
      if (!unpack_record(block[i], run.t->pos)) continue;
      if (!measure_position(run.t, run.targets, MAX_TUNED_EVAL, tp)) continue;
      tp.result = tune_target(block[i], run.t->pos.side == BLACK, cfg.lambda);
      add_position(run, block[i], tp);
    }
  }
  std::fclose(f);
  return true;
}

void read_positions(Run& run, const Settings& cfg) {
  Stopwatch w;
  long long seen = 0;
  for (const char* path : cfg.data)
    if (!read_file(run, path, cfg, seen)) std::fprintf(stderr, "cannot open %s\n", path);
  size_t n = run.train.set.size() + run.valid.set.size();
  size_t weights = run.train.set.entries.size() + run.valid.set.entries.size();
  std::printf("%lld records: %zu training, %zu validation positions, %.1f weights a position; measured in ", seen,
              run.train.set.size(), run.valid.set.size(), n ? double(weights) / double(n) : 0.0);
  print_time(w);
  std::printf("\n");
}

// The starting value of entry i moved by its rounded delta.
void moved_value(const Run& run, int i, int& mg, int& eg) {
  mg = packed_mg(run.start[size_t(i)].packed) + int(std::lround(run.d.mg[size_t(i)]));
  eg = packed_eg(run.start[size_t(i)].packed) + int(std::lround(run.d.eg[size_t(i)]));
}

void apply_deltas(const Run& run) {
  for (int i = 0; i < ParamCount; i++) {
    int mg, eg;
    moved_value(run, i, mg, eg);
    Params[i].packed = pack_score(mg, eg);
    Params[i].mg = float(mg);
    Params[i].eg = float(eg);
  }
}

TuneDeltas rounded(const TuneDeltas& d) {
  TuneDeltas r = d;
  for (double& x : r.mg) x = double(std::lround(x));
  for (double& x : r.eg) x = double(std::lround(x));
  return r;
}

// Every position of the sample scored again at the registry's values;
// with `weights` its measured entries too. The model then moves from the
// rounded deltas now in force.
struct Remeasured {
  double weightChange = 0;  // summed over the entries measured again
  long weights = 0;
};

void remeasure(Run& run, Sample& s, bool weights, const TuneDeltas& inForce, Remeasured& out) {
  TuneSet& set = s.set;
  for (size_t i = 0; i < set.size(); i++) {
    if (!unpack_record(s.records[i], run.t->pos)) continue;
    TuneEntry* entries = set.entries.data() + set.start[i];
    size_t count = weights ? set.start[i + 1] - set.start[i] : 0;
    out.weightChange += remeasure_position(run.t, set.eval0[i], set.scale[i], entries, count);
    for (size_t j = 0; j < count; j++) out.weights += !is_table_entry(entries[j].index);
  }
  set.measuredMg = inForce.mg;
  set.measuredEg = inForce.eg;
}

void remeasure_all(Run& run, bool weights, const char* what) {
  Stopwatch w;
  apply_deltas(run);
  TuneDeltas inForce = rounded(run.d);
  Remeasured r;
  remeasure(run, run.train, weights, inForce, r);
  remeasure(run, run.valid, weights, inForce, r);
  std::printf("%s: evaluated error: training %.6f, validation %.6f; measured in ", what,
              tune_error(run.train.set, inForce, run.k), tune_error(run.valid.set, inForce, run.k));
  print_time(w);
  std::printf("\n");
  if (r.weights) std::printf("measured weights moved by %.5f on average\n", r.weightChange / double(r.weights));
}

std::vector<int> tuned_entries(const Run& run, long minCount) {
  std::vector<long> counts = entry_counts(run.train.set, ParamCount);
  std::vector<int> out;
  for (int i = 0; i < ParamCount; i++)
    if (run.targets.candidate[size_t(i)] && counts[size_t(i)] >= minCount) out.push_back(i);
  return out;
}

void adam_round(Run& run, const Settings& cfg, const std::vector<int>& tuned, TuneOptimizer& opt, int round) {
  Stopwatch w;
  for (int it = 1; it <= cfg.iterations; it++) {
    tune_step(run.train.set, run.d, run.k, tuned, opt, cfg.lr, cfg.l2);
    if (it % REPORT_EVERY == 0 || it == cfg.iterations)
      std::printf("round %d iteration %d: model error training %.6f, validation %.6f\n", round, it,
                  tune_error(run.train.set, run.d, run.k), tune_error(run.valid.set, run.d, run.k));
    std::fflush(stdout);
  }
  std::printf("round %d: %d iterations in ", round, cfg.iterations);
  print_time(w);
  std::printf("\n");
}

int moved_entries(const Run& run) {
  int moved = 0;
  for (int i = 0; i < ParamCount; i++) {
    int mg, eg;
    moved_value(run, i, mg, eg);
    moved += mg != packed_mg(run.start[size_t(i)].packed) || eg != packed_eg(run.start[size_t(i)].packed);
  }
  return moved;
}

bool write_params(const Run& run, const char* path) {
  FILE* f = std::fopen(path, "w");
  if (!f) return false;
  for (int i = 0; i < ParamCount; i++) {
    int mg, eg;
    moved_value(run, i, mg, eg);
    std::fprintf(f, "%s, %d, %d\n", Params[i].name, mg, eg);
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
    else if (a == "-rounds" && v) cfg.rounds = std::max(1, std::atoi(argv[++i]));
    else if (a == "-lr" && v) cfg.lr = std::atof(argv[++i]);
    else if (a == "-l2" && v) cfg.l2 = std::atof(argv[++i]);
    else if (a == "-min-count" && v) cfg.minCount = std::atol(argv[++i]);
    else if (a == "-lambda" && v) cfg.lambda = std::clamp(std::atof(argv[++i]), 0.0, 1.0);
    else if (a[0] == '-') return false;
    else cfg.data.push_back(argv[i]);
  }
  return cfg.out && !cfg.data.empty();
}

int tune(Run& run, const Settings& cfg) {
  Stopwatch w;
  read_positions(run, cfg);
  if (run.train.set.size() == 0 || run.valid.set.size() == 0) return 1;
  run.k = fit_scale(run.train.set);
  run.d = make_deltas(ParamCount);
  std::printf("k = %.6f; error: training %.6f, validation %.6f\n", run.k, tune_error(run.train.set, run.d, run.k),
              tune_error(run.valid.set, run.d, run.k));
  std::vector<int> tuned = tuned_entries(run, cfg.minCount);
  std::printf("%zu entries tuned\n", tuned.size());
  TuneOptimizer opt = make_optimizer(ParamCount);
  for (int round = 1; round <= cfg.rounds; round++) {
    adam_round(run, cfg, tuned, opt, round);
    bool last = round == cfg.rounds;
    remeasure_all(run, !last, last ? "final values" : "rounded values");
  }
  std::printf("%d entries moved; ", moved_entries(run));
  print_time(w);
  std::printf(" in all\n");
  if (!write_params(run, cfg.out)) {
    std::fprintf(stderr, "cannot write %s\n", cfg.out);
    return 1;
  }
  std::printf("parameters written to %s\n", cfg.out);
  return 0;
}

}  // namespace

int run_tuning(const TuneTool& tool, int argc, char** argv) {
  Settings cfg;
  cfg.rounds = tool.rounds;
  if (!parse_args(argc, argv, cfg)) {
    std::fprintf(stderr, "usage: %s\n", tool.usage);
    return 1;
  }
  setup_engine_for_tool();
  Run run;
  run.t = new_search_thread();
  if (!run.t) return 1;
  run.targets = tune_targets(tool.scope);
  run.start.assign(Params, Params + ParamCount);
  int status = tune(run, cfg);
  free_search_thread(run.t);
  return status;
}
