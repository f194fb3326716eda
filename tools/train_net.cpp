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
// A held-out share of the positions (chosen by key) measures each epoch:
// loss and mean absolute error in centipawns against the hand-crafted
// score. After writing, the file is loaded through the engine's loading
// path and the engine's network score is compared with the trainer's on
// the held-out positions; only rounding to the file's 16-bit steps may
// separate them.
//
// Usage: train_net [-init FILE] [-epochs N] [-lr X] [-decay X] [-batch N]
//                  [-threads N] [-seed N] [-lambda X] [-max N] -out FILE DATA...
//   -init: start network (default: the one built into the engine)
//   -lr, -decay: learning rate of the first epoch, factor per epoch
//   -lambda: share of the search score in the target of record files
//   -max: read at most N positions (all by default)
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
#include "board/zobrist.h"
#include "eval/netfeatures.h"
#include "eval/network.h"
#include "eval/networkspace.h"
#include "eval/netweights.h"
#include "eval/params.h"
#include "frontend/control.h"
#include "frontend/options.h"
#include "search/searchthread.h"
#include "netdata.h"
#include "nettrain.h"
#include "tool_setup.h"

namespace {

// One position in this many (by key) is held out for validation.
constexpr uint64_t VALIDATION_SHARE = 50;
constexpr int VALIDATION_KEY_SHIFT = 17;  // key bits unrelated to the dedup table
constexpr int SELF_CHECK_POSITIONS = 5000;
constexpr int MAX_THREADS_USED = 2;
constexpr size_t LINE_BUFFER = 512;
constexpr int PROGRESS_LINES = 1'000'000;

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
  long long maxPositions = -1;
  std::vector<const char*> data;
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
      if (!add_sample(t, h, score, result, cfg.lambda, held ? valid : train, held)) n.bad++;
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
  std::copy(m.values.begin(), m.values.end(), w.values);
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
    else if (a[0] == '-') return false;
    else cfg.data.push_back(argv[i]);
  }
  return cfg.out && !cfg.data.empty();
}

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  Settings cfg;
  if (!parse_args(argc, argv, cfg)) {
    std::fprintf(stderr,
                 "usage: train_net [-init FILE] [-epochs N] [-lr X] [-decay X] [-batch N] [-threads N] "
                 "[-seed N] [-lambda X] [-max N] -out FILE DATA...\n");
    return 1;
  }
  setup_engine_for_tool();
  SearchThread* t = new_search_thread();
  Model model;
  if (!t || !load_start_network(cfg, model)) {
    std::fprintf(stderr, "no start network\n");
    return 1;
  }
  auto t0 = std::chrono::steady_clock::now();
  SampleSet train, valid;
  read_samples(t, model.header, cfg, train, valid);
  if (train.size() == 0 || valid.size() == 0) return 1;
  std::printf("read in %.1f s\n", seconds_since(t0));

  Evaluation e = evaluate_set(model, valid);
  std::printf("start: validation loss %.6f, mean abs error %.1f cp\n", e.loss, e.meanAbsError);
  std::fflush(stdout);

  std::vector<uint32_t> order(train.size());
  for (size_t i = 0; i < order.size(); i++) order[i] = uint32_t(i);
  std::mt19937 rng(cfg.seed);
  Adam adam = {std::vector<float>(model.values.size()), std::vector<float>(model.values.size()), 0};
  std::vector<Gradient> grads(cfg.threads);
  for (Gradient& g : grads) g.g.assign(model.values.size(), 0.0f);

  auto trainStart = std::chrono::steady_clock::now();
  double lr = cfg.lr;
  for (int epoch = 1; epoch <= cfg.epochs; epoch++) {
    std::shuffle(order.begin(), order.end(), rng);
    double loss = train_epoch(model, adam, grads, train, order, size_t(cfg.batch), lr);
    e = evaluate_set(model, valid);
    std::printf("epoch %d lr %.6f: training loss %.6f, validation loss %.6f, mean abs error %.1f cp (%.0f s)\n",
                epoch, lr, loss / double(train.size()), e.loss, e.meanAbsError, seconds_since(trainStart));
    std::fflush(stdout);
    if (!write_model(model, cfg.out)) {
      std::fprintf(stderr, "cannot write %s\n", cfg.out);
      return 1;
    }
    lr *= cfg.decay;
  }
  std::printf("trained in %.0f s; network written to %s\n", seconds_since(trainStart), cfg.out);
  self_check(model, valid, t, cfg.out);
  free_search_thread(t);
  return 0;
}
