// The linear error model of the evaluation tuners (tools/tune_run.h):
// positions reduced to their evaluation, phase, scale factor, result and
// the registry entries they use with a weight each, and the error, its
// gradient and the Adam steps over changes (deltas) to those entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TuneEntry {
  int index;     // registry entry
  float weight;  // times the entry counts for White: +1 per White man on a table square,
                 // -1 per Black one, fractions where a term scales its parameter
};

struct TunePosition {
  float eval0;   // hand-crafted score with the values it was measured at, White's view
  float phase;   // 0 middlegame .. 1 endgame
  float scale;   // the ending's scale factor
  float result;  // 0, 0.5, 1 from White's view
  std::vector<TuneEntry> entries;
};

// Positions stored flat: entries of position i are entries[start[i] .. start[i+1]).
// measuredMg/Eg: the deltas in force when the set was measured (empty:
// measured at the starting values); the model moves from there.
struct TuneSet {
  std::vector<float> eval0, phase, scale, result;
  std::vector<TuneEntry> entries;
  std::vector<uint32_t> start = {0};
  std::vector<double> measuredMg, measuredEg;
  size_t size() const { return eval0.size(); }
};

// Changes from the starting values, per registry entry.
struct TuneDeltas {
  std::vector<double> mg, eg;
};

struct TuneOptimizer {
  std::vector<double> m, v;  // Adam moments, mg entries then eg entries
  long long step = 0;
};

TuneDeltas make_deltas(int count);
TuneOptimizer make_optimizer(int count);
void add_tune_position(TuneSet& s, const TunePosition& p);
// The position's evaluation after the deltas, White's view.
double tuned_eval(const TuneSet& s, size_t i, const TuneDeltas& d);
// Mean squared error between result and sigmoid(k * eval).
double tune_error(const TuneSet& s, const TuneDeltas& d, double k);
// Gradient of tune_error by every delta (mg then eg, count each).
void tune_gradient(const TuneSet& s, const TuneDeltas& d, double k, std::vector<double>& gMg,
                   std::vector<double>& gEg);
// The k that minimises the error of the measured evaluations.
double fit_scale(const TuneSet& s);
// One Adam step on the listed entries (the others stay at zero change),
// on the error plus l2 * (sum of squared deltas): the penalty keeps
// entries the data says little about near their starting values.
void tune_step(const TuneSet& s, TuneDeltas& d, double k, const std::vector<int>& tuned, TuneOptimizer& opt,
               double lr, double l2);
// In how many positions of the set each entry has a weight.
std::vector<long> entry_counts(const TuneSet& s, int count);
