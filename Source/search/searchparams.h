// Pruning and reduction settings derived before every search.
#pragma once

#include <cstdint>

constexpr int MARGIN_DEPTHS = 12;  // margin and count tables cover depths 0..11
constexpr int LMR_SIZE = 32;

struct SearchParams {
  int BP_margin;
  int FP_depth;
  int FP_margin[MARGIN_DEPTHS];
  int SEP_depth;
  int SEP_margin[MARGIN_DEPTHS];
  int NMP_depth;
  int LMP_depth;
  int LMP_count[MARGIN_DEPTHS];
  int LMR_depth;
  int8_t lmrPV[LMR_SIZE][LMR_SIZE];
  int8_t lmrOther[LMR_SIZE][LMR_SIZE];
  int lmrSelectivity = -1;  // Selectivity the tables were built for, -1 before the first
  // The strength limit's target speed lies clearly below the machine's
  // calibrated speed, so search nodes must wait for the clock.
  bool nodeRateLimited;
};

extern SearchParams SParams;

void init_search_params();
// The settings and reduction tables ("_show", console "lmr"): rebuilt from
// the current options first unless a search is using them.
void print_search_params();
