#include "frontend/calibration.h"

#include <cstdint>

#include "core/control.h"
#include "core/options.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "frontend/gamemoves.h"
#include "platform/platform.h"
#include "search/searchstart.h"
#include "search/strength.h"
#include "search/threads.h"
#include "search/timeman.h"
#include "search/tt.h"

namespace {

constexpr uint64_t CALIBRATION_NODES = 35000;
// The measured speed is scaled up: a game search runs from a warm table
// and caches and is faster than this short cold one.
constexpr float CALIBRATION_SPEED_FACTOR = 1.2f;
constexpr double CALIBRATION_TIME_FLOOR = 0.001;
// A middlegame with every kind of piece and move, so the speed is typical.
constexpr const char* CALIBRATION_FEN =
    "rnb1k2r/1pq1bppp/p2p1n2/4p3/4P3/2N1BN2/PPP1BPPP/R2QK2R w KQkq -";

}  // namespace

void calibrate() {
  float noise = Control.noise;
  uint8_t threads = Control.activeThreads;
  int16_t limitStrength = Options.UCI_LimitStrength, elo = Options.UCI_Elo;
  uint64_t nodeLimit = Control.limits.nodeLimit;
  Control.noise = QUIET_NOISE;
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
