#include "tune_model.h"

#include <cmath>

namespace {

constexpr double ADAM_BETA1 = 0.9;
constexpr double ADAM_BETA2 = 0.999;
constexpr double ADAM_EPSILON = 1e-8;
// Golden-section search for k over this bracket (per centipawn).
constexpr double K_LOW = 0.0005;
constexpr double K_HIGH = 0.05;
constexpr int K_STEPS = 60;
constexpr double GOLDEN = 0.6180339887498949;

double sigmoid(double x) { return 1.0 / (1.0 + std::exp(-x)); }

double measured(const std::vector<double>& at, int index) { return at.empty() ? 0.0 : at[size_t(index)]; }

// Mean squared error of the measured evaluations alone.
double measured_error(const TuneSet& s, double k) {
  double sum = 0;
  for (size_t i = 0; i < s.size(); i++) {
    double e = s.result[i] - sigmoid(k * s.eval0[i]);
    sum += e * e;
  }
  return s.size() ? sum / double(s.size()) : 0;
}

}  // namespace

TuneDeltas make_deltas(int count) { return {std::vector<double>(count), std::vector<double>(count)}; }

TuneOptimizer make_optimizer(int count) {
  return {std::vector<double>(2 * size_t(count)), std::vector<double>(2 * size_t(count)), 0};
}

void add_tune_position(TuneSet& s, const TunePosition& p) {
  s.eval0.push_back(p.eval0);
  s.phase.push_back(p.phase);
  s.scale.push_back(p.scale);
  s.result.push_back(p.result);
  s.entries.insert(s.entries.end(), p.entries.begin(), p.entries.end());
  s.start.push_back(uint32_t(s.entries.size()));
}

double tuned_eval(const TuneSet& s, size_t i, const TuneDeltas& d) {
  double mg = 0, eg = 0;
  for (uint32_t j = s.start[i]; j < s.start[i + 1]; j++) {
    const TuneEntry& e = s.entries[j];
    mg += e.weight * (d.mg[e.index] - measured(s.measuredMg, e.index));
    eg += e.weight * (d.eg[e.index] - measured(s.measuredEg, e.index));
  }
  return s.eval0[i] + s.scale[i] * ((1.0 - s.phase[i]) * mg + s.phase[i] * eg);
}

double tune_error(const TuneSet& s, const TuneDeltas& d, double k) {
  double sum = 0;
  for (size_t i = 0; i < s.size(); i++) {
    double e = s.result[i] - sigmoid(k * tuned_eval(s, i, d));
    sum += e * e;
  }
  return s.size() ? sum / double(s.size()) : 0;
}

void tune_gradient(const TuneSet& s, const TuneDeltas& d, double k, std::vector<double>& gMg,
                   std::vector<double>& gEg) {
  gMg.assign(d.mg.size(), 0);
  gEg.assign(d.eg.size(), 0);
  if (s.size() == 0) return;
  const double norm = 1.0 / double(s.size());
  for (size_t i = 0; i < s.size(); i++) {
    double p = sigmoid(k * tuned_eval(s, i, d));
    // d error / d eval for this position, then through the taper.
    double g = -2.0 * (s.result[i] - p) * p * (1.0 - p) * k * s.scale[i] * norm;
    double gm = g * (1.0 - s.phase[i]), ge = g * s.phase[i];
    for (uint32_t j = s.start[i]; j < s.start[i + 1]; j++) {
      const TuneEntry& e = s.entries[j];
      gMg[e.index] += e.weight * gm;
      gEg[e.index] += e.weight * ge;
    }
  }
}

double fit_scale(const TuneSet& s) {
  double a = K_LOW, b = K_HIGH;
  for (int i = 0; i < K_STEPS; i++) {
    double x1 = b - GOLDEN * (b - a), x2 = a + GOLDEN * (b - a);
    if (measured_error(s, x1) < measured_error(s, x2)) b = x2;
    else a = x1;
  }
  return 0.5 * (a + b);
}

void tune_step(const TuneSet& s, TuneDeltas& d, double k, const std::vector<int>& tuned, TuneOptimizer& opt,
               double lr, double l2) {
  std::vector<double> gMg, gEg;
  tune_gradient(s, d, k, gMg, gEg);
  opt.step++;
  const double c1 = 1.0 - std::pow(ADAM_BETA1, double(opt.step));
  const double c2 = 1.0 - std::pow(ADAM_BETA2, double(opt.step));
  const size_t n = d.mg.size();
  auto update = [&](size_t slot, double g, double& value) {
    opt.m[slot] = ADAM_BETA1 * opt.m[slot] + (1 - ADAM_BETA1) * g;
    opt.v[slot] = ADAM_BETA2 * opt.v[slot] + (1 - ADAM_BETA2) * g * g;
    value -= lr * (opt.m[slot] / c1) / (std::sqrt(opt.v[slot] / c2) + ADAM_EPSILON);
  };
  for (int i : tuned) {
    update(size_t(i), gMg[i] + 2 * l2 * d.mg[i], d.mg[i]);
    update(n + size_t(i), gEg[i] + 2 * l2 * d.eg[i], d.eg[i]);
  }
}

std::vector<long> entry_counts(const TuneSet& s, int count) {
  std::vector<long> n(size_t(count), 0);
  for (const TuneEntry& e : s.entries)
    if (e.weight != 0) n[e.index]++;
  return n;
}
