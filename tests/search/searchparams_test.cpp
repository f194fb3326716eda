// The pruning settings and reduction tables derived from the options.
#include "search/searchparams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "frontend/control.h"
#include "frontend/options.h"

namespace {

class SearchParamsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = Options;
    savedNps = Control.targetNps;
    savedCalibration = Control.calibrationNps;
    set_default_options(Options);
    Control.targetNps = Control.calibrationNps = 0;
  }
  void TearDown() override {
    Options = saved;
    Control.targetNps = savedNps;
    Control.calibrationNps = savedCalibration;
    init_search_params();
  }
  void with_selectivity(int s) {
    Options.Selectivity = int16_t(s);
    init_search_params();
  }
  static int max_entry(const int8_t (*table)[LMR_SIZE]) {
    int m = 0;
    for (int d = 0; d < LMR_SIZE; d++)
      for (int c = 0; c < LMR_SIZE; c++) m = std::max(m, int(table[d][c]));
    return m;
  }
  EngineOptions saved;
  float savedNps, savedCalibration;
};

TEST_F(SearchParamsTest, SelectivityZeroSwitchesPruningOff) {
  with_selectivity(0);
  const SearchParams& p = SParams;
  EXPECT_EQ(std::tuple(p.LMR_depth, p.NMP_depth, p.LMP_depth, p.SEP_depth, p.FP_depth, p.BP_margin),
            std::tuple(100, 100, 0, 0, 0, 5000));
  EXPECT_EQ(max_entry(SParams.lmrPV), 0);
  // The non-PV table keeps its constant part, 1 from row 3 and column 1.
  for (int d = 3; d < LMR_SIZE; d++)
    for (int m = 1; m < LMR_SIZE; m++) ASSERT_EQ(SParams.lmrOther[d][m], 1);
}

TEST_F(SearchParamsTest, HalfSelectivityWidensBetaPruningAndHalvesReductions) {
  with_selectivity(50);
  EXPECT_EQ(SParams.BP_margin, 40);
  EXPECT_EQ(SParams.LMR_depth, 3);
  // a = (0.44 ln 8 ln 27 - 0.5) / 2 = 1.26: one ply on a PV node, two elsewhere.
  EXPECT_EQ(SParams.lmrPV[8][27], 1);
  EXPECT_EQ(SParams.lmrOther[8][27], 2);
  // 4.69 at full selectivity is halved before the clamp to 3: 2.34.
  EXPECT_EQ(SParams.lmrPV[31][31], 2);
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
