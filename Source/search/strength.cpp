#include "search/strength.h"

#include <cmath>
#include <cstdint>

#include "core/control.h"
#include "core/options.h"

namespace {

constexpr double ELO_PER_LN_NPS = 150.0;
constexpr double ELO_AT_ONE_NPS = 1128.0;
constexpr float ELO_TOLERANCE = 0.5f;
// Single precision halves the interval about 24 times before the midpoint
// stops moving; this bound only guards against a rating that never fits.
constexpr int MAX_BISECTION_STEPS = 200;
// A limit this close to the machine's own speed is no limit at all.
constexpr float FULL_SPEED_MARGIN = 30.0f;

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
