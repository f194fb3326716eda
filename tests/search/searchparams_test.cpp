// The pruning settings and reduction tables derived from the options.
#include "search/searchparams.h"

#include <gtest/gtest.h>

#include <tuple>

#include "frontend/control.h"
#include "frontend/options.h"

namespace {

class SearchParamsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = Options;
    savedNps = {Control.targetNps, Control.calibrationNps};
    set_default_options(Options);
    Control.targetNps = Control.calibrationNps = 0;
  }
  void TearDown() override {
    Options = saved;
    std::tie(Control.targetNps, Control.calibrationNps) = savedNps;
    init_search_params();
  }
  void with_selectivity(int s) {
    Options.Selectivity = int16_t(s);
    init_search_params();
  }
  EngineOptions saved;
  std::pair<float, float> savedNps;
};

// Selectivity 0 switches pruning off and leaves the non-PV reductions only
// their constant part (1 from row 3 and column 1); 50 widens the beta
// pruning margin and halves the logarithmic part of the reductions.
TEST_F(SearchParamsTest, SelectivityScalesPruningAndReductions) {
  with_selectivity(0);
  const SearchParams& p = SParams;
  EXPECT_EQ(std::tuple(p.LMR_depth, p.NMP_depth, p.LMP_depth, p.SEP_depth, p.FP_depth, p.BP_margin),
            std::tuple(100, 100, 0, 0, 0, 5000));
  for (int d = 0; d < LMR_SIZE; d++)
    for (int m = 0; m < LMR_SIZE; m++) {
      ASSERT_EQ(p.lmrPV[d][m], 0);
      ASSERT_EQ(p.lmrOther[d][m], d >= 3 && m >= 1) << d << " " << m;
    }
  with_selectivity(50);
  EXPECT_EQ(std::pair(p.BP_margin, p.LMR_depth), std::pair(40, 3));
  // a = (0.44 ln 8 ln 27 - 0.5) / 2 = 1.26: one ply on a PV node, two elsewhere.
  EXPECT_EQ(std::pair(p.lmrPV[8][27], p.lmrOther[8][27]), std::pair<int8_t, int8_t>(1, 2));
  // 4.69 at full selectivity is halved before the clamp to 3: 2.34.
  EXPECT_EQ(p.lmrPV[31][31], 2);
}

TEST_F(SearchParamsTest, NodeRateLimitNeedsATargetClearlyBelowTheCalibration) {
  // Within the tolerance of 20 nodes a second no limit; tools never calibrate.
  struct Case { float calibration, target; bool limited; } cases[] = {
      {1000000, 1000000, false}, {1000000, 999985, false}, {1000000, 500000, true}, {0, 0, false}};
  for (const Case& c : cases) {
    Control.calibrationNps = c.calibration;
    Control.targetNps = c.target;
    init_search_params();
    EXPECT_EQ(SParams.nodeRateLimited, c.limited) << c.target;
  }
}

}  // namespace
