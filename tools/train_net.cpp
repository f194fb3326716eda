// Trains the first layer, its shared bias and the three head rows of a
// network without a second layer. Two kinds of data:
//  - "FEN|score" lines (make_net_data): the network learns to follow the
//    score alone (distillation of the hand-crafted evaluation);
//  - training records (files ending in ".bin", tools/netdata.h: self-play
//    or converted match games): the target blends the search score's win
//    probability with the game's result, target = lambda * sigmoid(score /
//    (500/3)) + (1 - lambda) * result, result 0, 1/2 or 1 for the side to
//    move. The score is what a deeper look saw; the result corrects its
//    systematic errors, which a network taught by the score alone copies.
//
// Inputs come from the engine's own feature code and the forward pass is
// the engine's (leaky rectifier with slope 1/16, the middlegame and
// endgame heads blended by the non-pawn material, the pieceless head on
// boards without pieces), in float. Loss: squared difference of
// sigmoid(out) and sigmoid(score / (500/3)), the same logistic the engine
// maps its output through, so large scores weigh less than balanced ones.
// Adam on mini-batches; gradients of a batch are summed by up to two
// threads. Weights stay inside the range the 16-bit file can hold.
//
// Two ways to read the data. Files that fit in memory are read once,
// repeats dropped and a share held out by key. Data larger than memory is
// first merged and shuffled by tools/prepare_data.cpp into a training and
// a validation file; given -valid, the trainer streams the training files
// one window at a time (a new window order every epoch, a new order inside
// each window) and writes a checkpoint beside the output after every
// window, from which -resume continues exactly.
//
// The validation positions measure each epoch: loss and mean absolute
// error in centipawns against the score. After writing, the file is
// loaded through the engine's loading path and the engine's network score
// is compared with the trainer's on the held-out positions; only rounding
// to the file's 16-bit steps may separate them.
//
// Usage: train_net [-init FILE] [-epochs N] [-lr X] [-decay X] [-batch N]
//                  [-threads N] [-seed N] [-lambda X] [-scale CP] [-wd X]
//                  [-factorise] [-max N] [-valid FILE [-window N] [-resume]]
//                  -out FILE DATA...
//   -init: start network (default: the one built into the engine)
//   -lr, -decay: learning rate of the first epoch, factor per epoch
//   -lambda: share of the search score in the target of record files
//   -scale: centipawns per unit of the target's logistic (default 500/3,
//           the engine's own; a scale fitted to game results changes only
//           what the loss weighs, not the network's centipawns)
//   -wd: decoupled weight decay (AdamW), per unit of learning rate
//   -factorise: train a row per input shared by both king-wing block pairs
//           besides their own rows, folded into them when the file is
//           written (networks with wing blocks only; the checkpoint keeps
//           the shared rows, so -resume needs the same choice)
//   -max: read at most N positions (all by default; in-memory reading)
//   -valid: prepared validation records: stream the DATA files
//   -window: positions per streamed window
//   -resume: continue from FILE.ckpt (the same data and -window)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "board/bitboard.h"
#include "board/fen.h"
#include "checkpoint.h"
#include "core/options.h"
#include "core/searchthread.h"
#include "eval/netweights.h"
#include "eval/network.h"
#include "eval/networkspace.h"
#include "netdata.h"
#include "nettrain.h"
#include "recordstream.h"
#include "search/threadrecord.h"
#include "tool_setup.h"

namespace {

// One position in this many (by key) is held out for validation.
constexpr uint64_t VALIDATION_SHARE = 50;
constexpr int VALIDATION_KEY_SHIFT = 17;  // key bits unrelated to the dedup table
constexpr int SELF_CHECK_POSITIONS = 5000;
constexpr int MAX_THREADS_USED = 2;
constexpr size_t LINE_BUFFER = 512;
constexpr int PROGRESS_LINES = 1'000'000;
// Positions per streamed window: about 150 MB of features, and long enough
// that its read and feature extraction are small beside its training.
constexpr long long DEFAULT_WINDOW = 2'000'000;
constexpr long long MIN_WINDOW = 1000;

struct Settings {
  const char* init = nullptr;
  const char* out = nullptr;
  int epochs = 10;
  double lr = 0.001;
  double decay = 0.75;  // learning-rate factor per epoch
  int batch = 16384;
  int threads = 2;
  unsigned seed = 1;
  double lambda = 0.7;
  double scale = SCORE_PER_OUTPUT;  // centipawns per unit of the target's logistic
  double weightDecay = 0;
  bool factorise = false;
  long long maxPositions = -1;
  // Streaming from prepared data: the validation file, the positions per
  // window, and whether to continue from the checkpoint beside -out.
  const char* valid = nullptr;
  long long window = DEFAULT_WINDOW;
  bool resume = false;
  std::vector<const char*> data;
  TargetRule rule() const { return {lambda, scale}; }
};






struct ReadCounts {
  long long lines = 0, repeated = 0, bad = 0;
};

// Files one position at a time: returns false at the end of the file.
bool next_text_position(FILE* f, SearchThread* t, int& score, double& result, ReadCounts& n) {
  char line[LINE_BUFFER];
  while (std::fgets(line, sizeof line, f)) {
    n.lines++;
    char* bar = std::strchr(line, '|');
    if (!bar) {
      n.bad++;
      continue;
    }
    *bar = 0;
    score = std::atoi(bar + 1);
    result = -1;
    set_position(t->pos, line);
    return true;
  }
  return false;
}

bool next_record_position(FILE* f, SearchThread* t, int& score, double& result, ReadCounts& n) {
  NetRecord r;
  while (read_records(f, &r, 1) == 1) {
    n.lines++;
    if (!unpack_record(r, t->pos)) {
      n.bad++;
      continue;
    }
    score = r.score;
    result = result_for_side_to_move(r);
    return true;
  }
  return false;
}

bool is_record_file(const char* path) {
  size_t n = std::strlen(path);
  return n > 4 && std::strcmp(path + n - 4, ".bin") == 0;
}

// Reads every data file, dropping repeated positions (by key) across files.
void read_samples(SearchThread* t, const NetHeader& h, const Settings& cfg, SampleSet& train, SampleSet& valid) {
  std::unordered_set<uint64_t> seen;
  train.start.push_back(0);
  valid.start.push_back(0);
  ReadCounts n;
  for (const char* path : cfg.data) {
    FILE* f = std::fopen(path, is_record_file(path) ? "rb" : "r");
    if (!f) {
      std::fprintf(stderr, "cannot open %s\n", path);
      continue;
    }
    auto next = is_record_file(path) ? next_record_position : next_text_position;
    int score;
    double result;
    while ((cfg.maxPositions < 0 || n.lines < cfg.maxPositions) && next(f, t, score, result, n)) {
      if (n.lines % PROGRESS_LINES == 0) std::fprintf(stderr, "%lld positions read\n", n.lines);
      if (!seen.insert(t->pos.key).second) {
        n.repeated++;
        continue;
      }
      bool held = (t->pos.key >> VALIDATION_KEY_SHIFT) % VALIDATION_SHARE == 0;
      if (!add_sample(t, h, score, result, cfg.rule(), held ? valid : train, held)) n.bad++;
    }
    std::fclose(f);
  }
  std::printf("%lld positions: %zu training, %zu validation, %lld repeated, %lld unreadable\n", n.lines,
              train.size(), valid.size(), n.repeated, n.bad);
}

bool load_start_network(const Settings& cfg, Model& m) {
  std::snprintf(Options.NN_File, sizeof Options.NN_File, "%s", cfg.init ? cfg.init : "embedded");
  if (!load_network() || !Net.values) return false;
  const NetHeader& h = Net.header;
  if (h.hidden2 != 0 || h.outputs < NET_MIN_OUTPUTS) {
    std::fprintf(stderr, "only networks without a second layer can be trained\n");
    return false;
  }
  m = model_from_network(Net);
  return true;
}

bool write_model(const Model& m, const char* path) {
  NetWeights w;
  if (!allocate_net_weights(w, m.header)) return false;
  const Model net = folded_model(m);
  std::copy(net.values.begin(), net.values.end(), w.values);
  bool ok = write_network_file(w, path);
  free_net_weights(w);
  return ok;
}

// Loads the written file the way the engine does and compares the
// engine's scores with the trainer's forward pass: on the trained float
// weights (the difference is the file's rounding) and on the same weights
// rounded to the file's steps (the difference is only summation order).
void self_check(const Model& m, const SampleSet& valid, SearchThread* t, const char* path) {
  std::snprintf(Options.NN_File, sizeof Options.NN_File, "%s", path);
  if (!load_network()) {
    std::printf("self-check: the engine cannot load %s\n", path);
    return;
  }
  Model rounded = m;
  for (float& v : rounded.values) v = float(quantize_net_value(v) * NET_VALUE_STEP);
  std::vector<float> raw(m.hidden), act(m.hidden);
  int n = int(std::min<size_t>(valid.size(), SELF_CHECK_POSITIONS));
  int maxFloat = 0, maxRounded = 0;
  double sumFloat = 0;
  for (int i = 0; i < n; i++) {
    set_position(t->pos, valid.fen[i].c_str());
    int engine = nn_evaluate_uncached(t);
    const uint16_t* f = valid.features.data() + valid.start[i];
    int k = int(valid.start[i + 1] - valid.start[i]);
    auto score = [&](const Model& mm) {
      double out = forward(mm, f, k, valid.mix[i], valid.pieceless[i], raw.data(), act.data());
      return net_score_from_probability(net_probability(float(out)));
    };
    int dFloat = std::abs(engine - score(m)), dRounded = std::abs(engine - score(rounded));
    maxFloat = std::max(maxFloat, dFloat);
    maxRounded = std::max(maxRounded, dRounded);
    sumFloat += dFloat;
  }
  std::printf("self-check on %d positions: engine vs trainer max %d cp (mean %.3f), "
              "vs trainer on rounded weights max %d cp\n",
              n, maxFloat, n ? sumFloat / n : 0.0, maxRounded);
}

bool parse_args(int argc, char** argv, Settings& cfg) {
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    bool hasValue = i + 1 < argc;
    if (a == "-init" && hasValue) cfg.init = argv[++i];
    else if (a == "-out" && hasValue) cfg.out = argv[++i];
    else if (a == "-epochs" && hasValue) cfg.epochs = std::atoi(argv[++i]);
    else if (a == "-lr" && hasValue) cfg.lr = std::atof(argv[++i]);
    else if (a == "-decay" && hasValue) cfg.decay = std::atof(argv[++i]);
    else if (a == "-batch" && hasValue) cfg.batch = std::max(1, std::atoi(argv[++i]));
    else if (a == "-threads" && hasValue) cfg.threads = std::clamp(std::atoi(argv[++i]), 1, MAX_THREADS_USED);
    else if (a == "-seed" && hasValue) cfg.seed = unsigned(std::strtoul(argv[++i], nullptr, 10));
    else if (a == "-lambda" && hasValue) cfg.lambda = std::clamp(std::atof(argv[++i]), 0.0, 1.0);
    else if (a == "-max" && hasValue) cfg.maxPositions = std::atoll(argv[++i]);
    else if (a == "-scale" && hasValue) cfg.scale = std::max(1.0, std::atof(argv[++i]));
    else if (a == "-wd" && hasValue) cfg.weightDecay = std::max(0.0, std::atof(argv[++i]));
    else if (a == "-valid" && hasValue) cfg.valid = argv[++i];
    else if (a == "-window" && hasValue) cfg.window = std::max(MIN_WINDOW, std::atoll(argv[++i]));
    else if (a == "-resume") cfg.resume = true;
    else if (a == "-factorise") cfg.factorise = true;
    else if (a[0] == '-') return false;
    else cfg.data.push_back(argv[i]);
  }
  return cfg.out && !cfg.data.empty();
}

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

SampleSet empty_set() {
  SampleSet s;
  s.start.push_back(0);
  return s;
}

// Prepared records into samples (their repeats were dropped when the data
// was prepared).
void add_records(SearchThread* t, const NetHeader& h, const TargetRule& rule, const std::vector<NetRecord>& recs,
                 SampleSet& s, bool keepFen) {
  for (const NetRecord& r : recs)
    if (unpack_record(r, t->pos)) add_sample(t, h, r.score, result_for_side_to_move(r), rule, s, keepFen);
}

// The order of the windows in one epoch, and the order inside one window:
// fixed by (seed, epoch, window), so a resumed run trains exactly as an
// uninterrupted one would.
std::vector<long long> window_order(long long windows, unsigned seed, int epoch) {
  std::vector<long long> order(static_cast<size_t>(windows));
  for (long long i = 0; i < windows; i++) order[size_t(i)] = i;
  std::mt19937_64 rng(uint64_t(seed) << 32 ^ uint64_t(epoch));
  std::shuffle(order.begin(), order.end(), rng);
  return order;
}

std::vector<uint32_t> sample_order(size_t n, unsigned seed, int epoch, long long window) {
  std::vector<uint32_t> order(n);
  for (size_t i = 0; i < n; i++) order[i] = uint32_t(i);
  std::mt19937_64 rng((uint64_t(seed) << 32 ^ uint64_t(epoch)) * 0x9E3779B97F4A7C15ULL + uint64_t(window));
  std::shuffle(order.begin(), order.end(), rng);
  return order;
}

bool read_validation(const Settings& cfg, SearchThread* t, const Model& model, SampleSet& valid) {
  RecordSource src;
  std::vector<NetRecord> recs;
  if (!open_record_source({cfg.valid}, src) || !read_record_range(src, 0, src.total, recs)) return false;
  valid = empty_set();
  add_records(t, model.header, cfg.rule(), recs, valid, true);
  return valid.size() > 0;
}

// Continues from the checkpoint beside the output when asked to; refuses
// one made on other data, since the window plan would not match.
bool start_progress(const Settings& cfg, const std::string& ckpt, long long records, Model& model, Adam& adam,
                    TrainProgress& at) {
  at = {1, 0, records, cfg.lr};
  if (!cfg.resume) return true;
  if (!load_checkpoint(ckpt.c_str(), model, adam, at) || at.dataRecords != records) {
    std::fprintf(stderr, "cannot resume from %s: missing, damaged, made on other data or -factorise choice\n",
                 ckpt.c_str());
    return false;
  }
  std::printf("resuming epoch %d after %lld windows\n", at.epoch, at.window);
  return true;
}

// Training on data larger than memory: one window of the prepared files
// at a time, checkpointed after each.
bool train_streaming(const Settings& cfg, SearchThread* t, Model& model, Adam& adam, SampleSet& valid) {
  RecordSource src;
  if (!open_record_source(cfg.data, src) || src.total == 0 || !read_validation(cfg, t, model, valid)) {
    std::fprintf(stderr, "no training or validation records\n");
    return false;
  }
  const std::string ckpt = std::string(cfg.out) + ".ckpt";
  TrainProgress at;
  if (!start_progress(cfg, ckpt, src.total, model, adam, at)) return false;
  const long long windows = (src.total + cfg.window - 1) / cfg.window;
  std::printf("%lld training records in %lld windows, %zu validation positions\n", src.total, windows, valid.size());
  Evaluation e = evaluate_set(model, valid);
  std::printf("start: validation loss %.6f, mean abs error %.1f cp\n", e.loss, e.meanAbsError);
  std::vector<Gradient> grads(cfg.threads);
  for (Gradient& g : grads) g.g.assign(model.values.size(), 0.0f);
  std::vector<NetRecord> recs;
  for (; at.epoch <= cfg.epochs; at.epoch++, at.window = 0, at.lr *= cfg.decay) {
    const std::vector<long long> plan = window_order(windows, cfg.seed, at.epoch);
    auto t0 = std::chrono::steady_clock::now();
    double loss = 0;
    long long seen = 0;
    for (; at.window < windows; at.window++) {
      long long w = plan[size_t(at.window)], first = w * cfg.window;
      if (!read_record_range(src, first, std::min(cfg.window, src.total - first), recs)) return false;
      SampleSet set = empty_set();
      add_records(t, model.header, cfg.rule(), recs, set, false);
      loss += train_epoch(model, adam, grads, set, sample_order(set.size(), cfg.seed, at.epoch, w),
                          size_t(cfg.batch), at.lr);
      seen += (long long)set.size();
      TrainProgress next = {at.epoch, at.window + 1, src.total, at.lr};
      if (!save_checkpoint(ckpt.c_str(), model, adam, next)) std::fprintf(stderr, "cannot write %s\n", ckpt.c_str());
      std::printf("epoch %d window %lld/%lld: training loss %.6f, %.0f positions/s\n", at.epoch, at.window + 1,
                  windows, loss / double(std::max(1LL, seen)), seen / seconds_since(t0));
      std::fflush(stdout);
    }
    e = evaluate_set(model, valid);
    std::printf("epoch %d lr %.6f: validation loss %.6f, mean abs error %.1f cp (%.0f s, %.0f positions/s)\n",
                at.epoch, at.lr, e.loss, e.meanAbsError, seconds_since(t0), seen / seconds_since(t0));
    std::fflush(stdout);
    if (!write_model(model, cfg.out)) return false;
    // The finished epoch's evaluation and file are not redone on resuming.
    TrainProgress next = {at.epoch + 1, 0, src.total, at.lr * cfg.decay};
    if (!save_checkpoint(ckpt.c_str(), model, adam, next)) std::fprintf(stderr, "cannot write %s\n", ckpt.c_str());
  }
  return true;
}

// Training on data that fits in memory: every file read once, repeats
// dropped and the validation share held out by key.
bool train_in_memory(const Settings& cfg, SearchThread* t, Model& model, Adam& adam, SampleSet& valid) {
  auto t0 = std::chrono::steady_clock::now();
  SampleSet train;
  read_samples(t, model.header, cfg, train, valid);
  if (train.size() == 0 || valid.size() == 0) return false;
  std::printf("read in %.1f s\n", seconds_since(t0));

  Evaluation e = evaluate_set(model, valid);
  std::printf("start: validation loss %.6f, mean abs error %.1f cp\n", e.loss, e.meanAbsError);
  std::fflush(stdout);

  std::vector<uint32_t> order(train.size());
  for (size_t i = 0; i < order.size(); i++) order[i] = uint32_t(i);
  std::mt19937 rng(cfg.seed);
  std::vector<Gradient> grads(cfg.threads);
  for (Gradient& g : grads) g.g.assign(model.values.size(), 0.0f);

  auto trainStart = std::chrono::steady_clock::now();
  double lr = cfg.lr;
  for (int epoch = 1; epoch <= cfg.epochs; epoch++) {
    auto epochStart = std::chrono::steady_clock::now();
    std::shuffle(order.begin(), order.end(), rng);
    double loss = train_epoch(model, adam, grads, train, order, size_t(cfg.batch), lr);
    e = evaluate_set(model, valid);
    std::printf("epoch %d lr %.6f: training loss %.6f, validation loss %.6f, mean abs error %.1f cp "
                "(%.0f s, %.0f positions/s)\n",
                epoch, lr, loss / double(train.size()), e.loss, e.meanAbsError, seconds_since(trainStart),
                double(train.size()) / seconds_since(epochStart));
    std::fflush(stdout);
    if (!write_model(model, cfg.out)) return false;
    lr *= cfg.decay;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Settings cfg;
  if (!parse_args(argc, argv, cfg)) {
    std::fprintf(stderr,
                 "usage: train_net [-init FILE] [-epochs N] [-lr X] [-decay X] [-batch N] [-threads N] "
                 "[-seed N] [-lambda X] [-scale CP] [-wd X] [-factorise] [-max N] "
                 "[-valid FILE [-window N] [-resume]] -out FILE DATA...\n");
    return 1;
  }
  setup_engine_for_tool();
  SearchThread* t = new_search_thread();
  Model model;
  if (!t || !load_start_network(cfg, model)) {
    std::fprintf(stderr, "no start network\n");
    return 1;
  }
  model.outScale = SCORE_PER_OUTPUT / cfg.scale;
  if (cfg.factorise && !add_factor_rows(model)) {
    std::fprintf(stderr, "-factorise: the network has %d main inputs, no king-wing blocks (%d) to share\n",
                 model.header.mainInputs, NET_MAIN_INPUTS_WIDE);
    return 1;
  }
  Adam adam = {std::vector<float>(model.values.size()), std::vector<float>(model.values.size()), 0,
               cfg.weightDecay};
  auto trainStart = std::chrono::steady_clock::now();
  SampleSet valid;
  bool ok = cfg.valid ? train_streaming(cfg, t, model, adam, valid) : train_in_memory(cfg, t, model, adam, valid);
  if (!ok) {
    std::fprintf(stderr, "training failed\n");
    return 1;
  }
  std::printf("trained in %.0f s; network written to %s\n", seconds_since(trainStart), cfg.out);
  self_check(folded_model(model), valid, t, cfg.out);
  free_search_thread(t);
  return 0;
}
