// The strength limit (set by -nps, UCI_LimitStrength and UCI_Elo): the
// decision taken at every search start.
#include "search/strength.h"

#include <gtest/gtest.h>

#include "core/control.h"
#include "core/options.h"
#include "search_fixture.h"

namespace {

// The speed is found by inverting the rating formula.
class StrengthLimit : public ::testing::Test {
 protected:
  // A machine whose calibrated speed is 1000000 nps (rating 3200.3).
  void run(int limit, int elo) {
    Control.calibrationNps = 1000000;
    Control.calibratedElo = float(elo_for_nps(1000000));
    Options.UCI_LimitStrength = int16_t(limit);
    Options.UCI_Elo = int16_t(elo);
    apply_strength_limit();
  }
  SettingsGuard settings;
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
