// The strength limit's arithmetic: the rating formula's inversion by
// bisection (ending at the interval's edge for unreachable ratings) and
// the decision taken at every search start.
#include "frontend/strength.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "frontend/control.h"
#include "frontend/options.h"

namespace {

// Within half a rating point of the asked rating; unreachable ratings end
// at the interval's edge.
TEST(Strength, BisectionInvertsTheRatingFormula) {
  for (float elo : {1500.0f, 2200.0f, 3096.0f, 3500.0f})
    EXPECT_LT(std::fabs(elo_for_nps(nps_for_elo(elo)) - elo), 0.5) << elo;
  EXPECT_NEAR(nps_for_elo(1500), 11.95f, 0.1f);  // ln(target) = 372 / 150
  constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
  for (float elo : {1473.0f, NaN}) EXPECT_EQ(nps_for_elo(elo), STRENGTH_MIN_NPS) << elo;
  EXPECT_EQ(nps_for_elo(3546), STRENGTH_MAX_NPS);
}

class StrengthLimit : public ::testing::Test {
 protected:
  void SetUp() override {
    savedOptions = Options;
    saved[0] = Control.calibrationNps;
    saved[1] = Control.calibratedElo;
    saved[2] = Control.targetNps;
  }
  void TearDown() override {
    Options = savedOptions;
    Control.calibrationNps = saved[0];
    Control.calibratedElo = saved[1];
    Control.targetNps = saved[2];
  }
  // A machine whose calibrated speed is 1000000 nps (rating 3200.3).
  void run(int limit, int elo) {
    Control.calibrationNps = 1000000;
    Control.calibratedElo = float(elo_for_nps(1000000));
    Options.UCI_LimitStrength = int16_t(limit);
    Options.UCI_Elo = int16_t(elo);
    apply_strength_limit();
  }
  EngineOptions savedOptions;
  float saved[3];
};

TEST_F(StrengthLimit, EachSearchStartSetsTheTargetAndTheRating) {
  struct Case { int limit, elo; int limitAfter, eloAfter; float target; };
  const Case cases[] = {
      {1, 1500, 1, 1500, 11.95f},     // limited: the speed of the rating
      {1, 3300, 0, 3200, 1000000},    // beyond the machine: full strength, rating reported
      {1, 3199, 1, 3199, 992800},     // just below the machine: still limited
      {1, 3201, 0, 3200, 1000000},    // just above: full strength
      {0, 1800, 0, 3200, 1000000},    // limit off: rating = calibrated
  };
  for (const Case& c : cases) {
    run(c.limit, c.elo);
    EXPECT_EQ(Options.UCI_LimitStrength, c.limitAfter) << c.elo;
    EXPECT_EQ(Options.UCI_Elo, c.eloAfter) << c.elo;
    EXPECT_NEAR(Control.targetNps / c.target, 1.0f, 0.01f) << c.elo;
  }
}

}  // namespace
