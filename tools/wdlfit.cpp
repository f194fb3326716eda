#include "wdlfit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int MAX_PARAMS = 2 * WDL_TERMS;
// A draw chance the model drives to nothing still costs this much when a
// game was drawn, so one hopeless step cannot make the loss infinite.
constexpr double CHANCE_FLOOR = 1e-12;
constexpr int MAX_NEWTON_STEPS = 200;
// Steps that gain less than this (nats per position) mean the fit is done.
constexpr double CONVERGED_GAIN = 1e-13;
// Finite-difference step of the Hessian, relative to the coefficient.
constexpr double HESSIAN_STEP = 1e-4;
// Levenberg damping: first value tried after a failed step, its growth,
// and the value at which the search gives up.
constexpr double FIRST_DAMPING = 1e-6;
constexpr double DAMPING_GROWTH = 10.0;
constexpr double MAX_DAMPING = 1e12;
// Keeps the damping effective where the Hessian's diagonal is zero.
constexpr double DAMPING_FLOOR = 1e-12;

// The moving coefficients: centre terms first, then width terms.
struct Params {
  int count;
  double v[MAX_PARAMS];
};

Params to_params(const WdlModel& m, int terms) {
  Params p{2 * terms, {}};
  for (int k = 0; k < terms; k++) {
    p.v[k] = m.centre[k];
    p.v[terms + k] = m.width[k];
  }
  return p;
}

WdlModel to_model(const Params& p, WdlModel m) {
  int terms = p.count / 2;
  for (int k = 0; k < terms; k++) {
    m.centre[k] = p.v[k];
    m.width[k] = p.v[terms + k];
  }
  return m;
}

double total_games(const std::vector<WdlCell>& cells) {
  double n = 0;
  for (const WdlCell& c : cells) n += c.games[OUTCOME_LOSS] + c.games[OUTCOME_DRAW] + c.games[OUTCOME_WIN];
  return n;
}

// Gradient of the mean negative log-likelihood by the moving coefficients.
void gradient(const std::vector<WdlCell>& cells, const WdlModel& model, int terms, double* g) {
  std::fill(g, g + 2 * terms, 0.0);
  for (const WdlCell& c : cells) {
    WdlCurve curve = wdl_curve(model, c.material);
    double b = curve.width;
    double u = (c.score - curve.centre) / b, v = (-c.score - curve.centre) / b;
    double pw = wdl_win_chance(curve, c.score), pl = wdl_win_chance(curve, -c.score);
    double pd = 1.0 - pw - pl;
    double sw = pw * (1 - pw) / b, sl = pl * (1 - pl) / b;  // slopes of the two logistics
    // d(chance)/d(centre) is -slope, d(chance)/d(width) is -slope * argument.
    double drawShare = pd > CHANCE_FLOOR ? c.games[OUTCOME_DRAW] / pd : 0.0;
    double byWin = c.games[OUTCOME_WIN] / pw - drawShare, byLoss = c.games[OUTCOME_LOSS] / pl - drawShare;
    double dCentre = sw * byWin + sl * byLoss;
    double dWidth = sw * u * byWin + sl * v * byLoss;
    double power = 1.0, x = wdl_material_share(c.material);
    for (int k = 0; k < terms; k++, power *= x) {
      g[k] += dCentre * power;
      g[terms + k] += dWidth * power;
    }
  }
  double n = total_games(cells);
  for (int j = 0; j < 2 * terms; j++) g[j] /= n;
}

// Central differences of the gradient, made symmetric.
void hessian(const std::vector<WdlCell>& cells, const WdlModel& base, const Params& p,
             double h[MAX_PARAMS][MAX_PARAMS]) {
  int n = p.count;
  for (int j = 0; j < n; j++) {
    double step = HESSIAN_STEP * (1.0 + std::fabs(p.v[j]));
    Params up = p, down = p;
    up.v[j] += step;
    down.v[j] -= step;
    double gUp[MAX_PARAMS], gDown[MAX_PARAMS];
    gradient(cells, to_model(up, base), n / 2, gUp);
    gradient(cells, to_model(down, base), n / 2, gDown);
    for (int i = 0; i < n; i++) h[i][j] = (gUp[i] - gDown[i]) / (2 * step);
  }
  for (int i = 0; i < n; i++)
    for (int j = 0; j < i; j++) h[i][j] = h[j][i] = (h[i][j] + h[j][i]) / 2;
}

// Solves a x = b by elimination with partial pivoting; false when singular.
bool solve(double a[MAX_PARAMS][MAX_PARAMS], double* b, int n) {
  for (int col = 0; col < n; col++) {
    int pivot = col;
    for (int r = col + 1; r < n; r++)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    if (a[pivot][col] == 0.0) return false;
    std::swap(a[pivot], a[col]);
    std::swap(b[pivot], b[col]);
    for (int r = col + 1; r < n; r++) {
      double f = a[r][col] / a[col][col];
      for (int k = col; k < n; k++) a[r][k] -= f * a[col][k];
      b[r] -= f * b[col];
    }
  }
  for (int r = n - 1; r >= 0; r--) {
    for (int k = r + 1; k < n; k++) b[r] -= a[r][k] * b[k];
    b[r] /= a[r][r];
  }
  return true;
}

// The Newton step with the Hessian's diagonal raised by `damping`.
bool damped_step(double h[MAX_PARAMS][MAX_PARAMS], const double* g, double damping, Params& p) {
  double a[MAX_PARAMS][MAX_PARAMS], step[MAX_PARAMS];
  for (int i = 0; i < p.count; i++) {
    for (int j = 0; j < p.count; j++) a[i][j] = h[i][j];
    a[i][i] += damping * (std::fabs(h[i][i]) + DAMPING_FLOOR);
    step[i] = -g[i];
  }
  if (!solve(a, step, p.count)) return false;
  for (int i = 0; i < p.count; i++) p.v[i] += step[i];
  return true;
}

}  // namespace

void wdl_chances(const WdlModel& model, int score, int material, double* chance) {
  WdlCurve curve = wdl_curve(model, material);
  chance[OUTCOME_WIN] = wdl_win_chance(curve, score);
  chance[OUTCOME_LOSS] = wdl_win_chance(curve, -score);
  chance[OUTCOME_DRAW] = 1.0 - chance[OUTCOME_WIN] - chance[OUTCOME_LOSS];
}

double wdl_log_loss(const std::vector<WdlCell>& cells, const WdlModel& model) {
  double sum = 0;
  for (const WdlCell& c : cells) {
    double chance[OUTCOMES];
    wdl_chances(model, c.score, c.material, chance);
    for (int o = 0; o < OUTCOMES; o++)
      if (c.games[o] > 0) sum -= c.games[o] * std::log(std::max(chance[o], CHANCE_FLOOR));
  }
  return sum / total_games(cells);
}

WdlModel fit_wdl_model(const std::vector<WdlCell>& cells, const WdlModel& start, int terms) {
  Params p = to_params(start, terms);
  double loss = wdl_log_loss(cells, start), damping = 0;
  for (int step = 0; step < MAX_NEWTON_STEPS && damping < MAX_DAMPING; step++) {
    double g[MAX_PARAMS], h[MAX_PARAMS][MAX_PARAMS];
    gradient(cells, to_model(p, start), terms, g);
    hessian(cells, start, p, h);
    for (; damping < MAX_DAMPING; damping = std::max(FIRST_DAMPING, damping * DAMPING_GROWTH)) {
      Params next = p;
      if (!damped_step(h, g, damping, next)) continue;
      double nextLoss = wdl_log_loss(cells, to_model(next, start));
      if (!(nextLoss < loss)) continue;  // NaN counts as a failure too
      double gain = loss - nextLoss;
      p = next;
      loss = nextLoss;
      damping /= DAMPING_GROWTH;
      if (gain < CONVERGED_GAIN) return to_model(p, start);
      break;
    }
  }
  return to_model(p, start);
}
