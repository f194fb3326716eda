#include "frontend/strength.h"

#include <cmath>
#include <cstdint>

#include "platform/platform.h"
#include "search/searchthread.h"
#include "search/threads.h"
#include "search/timeman.h"
#include "search/tt.h"
#include "frontend/control.h"
#include "frontend/game.h"
#include "frontend/options.h"
#include "frontend/output.h"

namespace {

constexpr double ELO_PER_LN_NPS = 150.0;
constexpr double ELO_AT_ONE_NPS = 1128.0;
constexpr float ELO_TOLERANCE = 0.5f;
// Single precision halves the interval about 24 times before the midpoint
// stops moving; this bound only guards against a rating that never fits.
constexpr int MAX_BISECTION_STEPS = 200;
// A limit this close to the machine's own speed is no limit at all.
constexpr float FULL_SPEED_MARGIN = 30.0f;

constexpr float CALIBRATION_NOISE = 99999.0f;
constexpr uint64_t CALIBRATION_NODES = 35000;
// The measured speed is scaled up: a game search runs from a warm table
// and caches and is faster than this short cold one.
constexpr float CALIBRATION_SPEED_FACTOR = 1.2f;
constexpr double CALIBRATION_TIME_FLOOR = 0.001;
// A middlegame with every kind of piece and move, so the speed is typical.
constexpr const char* CALIBRATION_FEN =
    "rnb1k2r/1pq1bppp/p2p1n2/4p3/4P3/2N1BN2/PPP1BPPP/R2QK2R w KQkq -";

float elo_of(float nps) { return float(ELO_PER_LN_NPS) * std::log(nps) + float(ELO_AT_ONE_NPS); }

}  // namespace

double elo_for_nps(double nps) { return ELO_PER_LN_NPS * std::log(nps) + ELO_AT_ONE_NPS; }

float nps_for_elo(float elo) {
  float low = STRENGTH_MIN_NPS, high = STRENGTH_MAX_NPS;
  if (!(elo > elo_of(low))) return low;  // also a rating that is no number
  if (elo >= elo_of(high)) return high;
  float mid = (low + high) / 2;
  for (int step = 0; step < MAX_BISECTION_STEPS; step++) {
    mid = (low + high) / 2;
    float e = elo_of(mid);
    if (std::fabs(e - elo) < ELO_TOLERANCE) break;
    if (e < elo) low = mid;
    if (e > elo) high = mid;
  }
  return mid;
}

void calibrate() {
  float noise = Control.noise;
  uint8_t threads = Control.activeThreads;
  int16_t limitStrength = Options.UCI_LimitStrength, elo = Options.UCI_Elo;
  uint64_t nodeLimit = Control.limits.nodeLimit;
  Control.noise = CALIBRATION_NOISE;
  Control.activeThreads = 1;
  Options.UCI_LimitStrength = 0;
  Control.limits.nodeLimit = CALIBRATION_NODES;
  set_game_position(CALIBRATION_FEN);
  prepare_search();
  Control.startTime = monotonic_seconds();
  run_search_here();
  double elapsed = search_elapsed();
  Control.stop.store(0);
  Control.state.store(STATE_IDLE);
  double nodes = Threads[0] ? double(Threads[0]->nodes) : double(Control.nodes);
  Control.calibrationNps = float(nodes / (elapsed + CALIBRATION_TIME_FLOOR)) * CALIBRATION_SPEED_FACTOR;
  Control.limits.nodeLimit = nodeLimit;
  Control.activeThreads = threads;
  Control.noise = noise;
  Options.UCI_LimitStrength = limitStrength;
  Options.UCI_Elo = elo;
  Control.calibratedElo = float(elo_for_nps(Control.calibrationNps));
  // The games start from an empty table, as they would without the measurement.
  tt_clear();
  print_linef("info string et= %.3f, calibration nps= %0.0f", elapsed, double(Control.calibrationNps));
}

void apply_strength_limit() {
  if (Options.UCI_LimitStrength && Options.UCI_Elo >= 1) {
    Control.targetNps = nps_for_elo(float(Options.UCI_Elo));
    if (Control.targetNps > Control.calibrationNps - FULL_SPEED_MARGIN) Options.UCI_LimitStrength = 0;
  }
  if (!Options.UCI_LimitStrength) {
    Options.UCI_Elo = int16_t(Control.calibratedElo);
    Control.targetNps = Control.calibrationNps;
  }
}
