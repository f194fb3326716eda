// Fits the win/draw/loss model the engine reports with (UCI_ShowWDL,
// search/wdlmodel.h) to training records (tools/netdata.h): the search
// score and material of every record against its game's result.
//
// One game in N (by game number, so that no game is split between the
// two parts) is held out. The fit runs on the rest and is judged on the
// held-out games: log-loss against simpler models (the outcome frequencies
// alone, a curve that ignores material, lower degrees) and against the
// model now in the engine, and the predicted against the seen outcomes by
// score and by material. Last come the constants, ready to paste into
// Source/search/wdlmodel.cpp.
//
// Usage: fit_wdl [-holdout N] DATA.bin...
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

#include "core/searchthread.h"
#include "gamerules.h"
#include "netdata.h"
#include "search/threadrecord.h"
#include "tool_setup.h"
#include "wdlfit.h"

namespace {

// Self-play records no larger scores; larger ones from elsewhere are skipped.
constexpr int MAX_FIT_SCORE = MAX_RECORDED_SCORE;
constexpr int SCORE_SLOTS = 2 * MAX_FIT_SCORE + 1;
constexpr int MATERIAL_SLOTS = START_MATERIAL + 1;  // more is the same share
constexpr long DEFAULT_HOLDOUT = 10;
constexpr size_t READ_BLOCK = 1 << 16;
// Start of every fit: a curve centred at two pawns, one pawn wide.
constexpr WdlModel NEUTRAL_START = {{200, 0, 0, 0}, {100, 0, 0, 0}};
constexpr double PER_MILLE = 1000.0;
// Bucket bounds of the calibration tables.
constexpr int SCORE_EDGES[] = {-500, -300, -200, -100, -50, -20, 20, 50, 100, 200, 300, 500};
constexpr int MATERIAL_EDGES[] = {10, 20, 30, 40, 50, 60, 70};
constexpr int RANGE_TEXT_SIZE = 32;

// Games per (score, material, outcome), flat.
struct Tally {
  std::vector<double> games = std::vector<double>(size_t(SCORE_SLOTS) * MATERIAL_SLOTS * OUTCOMES, 0.0);
  long positions = 0;
};

struct Data {
  Tally train, held;
  long skipped = 0;
};

void add_record(Data& d, Position& pos, const NetRecord& r, long holdout) {
  if (!unpack_record(r, pos) || std::abs(r.score) > MAX_FIT_SCORE) {
    d.skipped++;
    return;
  }
  int material = std::min(wdl_material(pos), START_MATERIAL);
  int outcome = int(std::lround(2 * result_for_side_to_move(r)));
  Tally& t = long(r.game) % holdout == holdout - 1 ? d.held : d.train;
  size_t cell = size_t(r.score + MAX_FIT_SCORE) * MATERIAL_SLOTS + size_t(material);
  t.games[cell * OUTCOMES + size_t(outcome)] += 1;
  t.positions++;
}

bool read_file(const char* path, Position& pos, Data& d, long holdout) {
  FILE* f = std::fopen(path, "rb");
  if (!f) {
    std::fprintf(stderr, "cannot open %s\n", path);
    return false;
  }
  std::vector<NetRecord> block(READ_BLOCK);
  for (size_t n; (n = read_records(f, block.data(), block.size())) > 0;)
    for (size_t i = 0; i < n; i++) add_record(d, pos, block[i], holdout);
  std::fclose(f);
  return true;
}

std::vector<WdlCell> cells_of(const Tally& t) {
  std::vector<WdlCell> cells;
  for (size_t cell = 0; cell < size_t(SCORE_SLOTS) * MATERIAL_SLOTS; cell++) {
    const double* g = &t.games[cell * OUTCOMES];
    if (g[OUTCOME_LOSS] + g[OUTCOME_DRAW] + g[OUTCOME_WIN] == 0) continue;
    cells.push_back({int(cell / MATERIAL_SLOTS) - MAX_FIT_SCORE, int(cell % MATERIAL_SLOTS),
                     {g[OUTCOME_LOSS], g[OUTCOME_DRAW], g[OUTCOME_WIN]}});
  }
  return cells;
}

// Log-loss of predicting every position with the training set's outcome
// frequencies: what the score and material add is measured against it.
double frequency_log_loss(const std::vector<WdlCell>& train, const std::vector<WdlCell>& held) {
  double freq[OUTCOMES] = {}, n = 0, sum = 0, heldGames = 0;
  for (const WdlCell& c : train)
    for (int o = 0; o < OUTCOMES; o++) freq[o] += c.games[o], n += c.games[o];
  for (const WdlCell& c : held)
    for (int o = 0; o < OUTCOMES; o++) sum -= c.games[o] * std::log(freq[o] / n), heldGames += c.games[o];
  return sum / heldGames;
}

// Seen and predicted outcomes of the held-out positions, per mille, in
// buckets of the score or of the material bounded by `edges`.
void print_calibration(const char* title, const std::vector<WdlCell>& held, const WdlModel& model,
                       const int* edges, int edgeCount, bool byScore) {
  std::printf("\n%s: positions, seen W D L, predicted W D L (per mille)\n", title);
  for (int b = 0; b <= edgeCount; b++) {
    double seen[OUTCOMES] = {}, predicted[OUTCOMES] = {}, n = 0;
    for (const WdlCell& c : held) {
      int key = byScore ? c.score : c.material;
      if ((b > 0 && key < edges[b - 1]) || (b < edgeCount && key >= edges[b])) continue;
      double chance[OUTCOMES], games = c.games[OUTCOME_LOSS] + c.games[OUTCOME_DRAW] + c.games[OUTCOME_WIN];
      wdl_chances(model, c.score, c.material, chance);
      for (int o = 0; o < OUTCOMES; o++) seen[o] += c.games[o], predicted[o] += games * chance[o];
      n += games;
    }
    if (n == 0) continue;
    char range[RANGE_TEXT_SIZE];
    if (b == 0) std::snprintf(range, sizeof range, "below %d", edges[0]);
    else if (b == edgeCount) std::snprintf(range, sizeof range, "%d and up", edges[b - 1]);
    else std::snprintf(range, sizeof range, "%d to %d", edges[b - 1], edges[b] - 1);
    auto pm = [n](double v) { return int(std::lround(PER_MILLE * v / n)); };
    std::printf("  %-14s %8.0f   %4d %4d %4d   %4d %4d %4d\n", range, n, pm(seen[OUTCOME_WIN]),
                pm(seen[OUTCOME_DRAW]), pm(seen[OUTCOME_LOSS]), pm(predicted[OUTCOME_WIN]),
                pm(predicted[OUTCOME_DRAW]), pm(predicted[OUTCOME_LOSS]));
  }
}

void print_model(const WdlModel& m) {
  std::printf("\nconst WdlModel FITTED_WDL_MODEL = {\n    {");
  for (int k = 0; k < WDL_TERMS; k++) std::printf("%s%.3f", k ? ", " : "", m.centre[k]);
  std::printf("},\n    {");
  for (int k = 0; k < WDL_TERMS; k++) std::printf("%s%.3f", k ? ", " : "", m.width[k]);
  std::printf("},\n};\n");
}

}  // namespace

int main(int argc, char** argv) {
  long holdout = DEFAULT_HOLDOUT;
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "-holdout") == 0) {
    holdout = std::max(2L, std::atol(argv[2]));
    first = 3;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: fit_wdl [-holdout N] DATA.bin...\n");
    return 1;
  }
  setup_engine_for_tool();
  SearchThread* t = new_search_thread();  // the owner a position set-up needs
  if (!t) return 1;
  Data d;
  for (int i = first; i < argc; i++)
    if (!read_file(argv[i], t->pos, d, holdout)) return 1;
  std::vector<WdlCell> train = cells_of(d.train), held = cells_of(d.held);
  std::printf("%ld positions fitted, %ld held out (one game in %ld), %ld skipped\n", d.train.positions,
              d.held.positions, holdout, d.skipped);
  if (train.empty() || held.empty()) return 1;
  std::printf("held-out log-loss (nats per position):\n  outcome frequencies  %.5f\n",
              frequency_log_loss(train, held));
  WdlModel fitted = NEUTRAL_START;
  for (int terms = 1; terms <= WDL_TERMS; terms++) {
    fitted = fit_wdl_model(train, NEUTRAL_START, terms);
    std::printf("  degree %d in material %.5f (training %.5f)\n", terms - 1, wdl_log_loss(held, fitted),
                wdl_log_loss(train, fitted));
  }
  std::printf("  model in the engine  %.5f\n", wdl_log_loss(held, FITTED_WDL_MODEL));
  print_calibration("By score", held, fitted, SCORE_EDGES, int(std::size(SCORE_EDGES)), true);
  print_calibration("By material", held, fitted, MATERIAL_EDGES, int(std::size(MATERIAL_EDGES)), false);
  print_model(fitted);
  return 0;
}
