#include "search/searchparams.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/control.h"
#include "core/options.h"
#include "core/output.h"

SearchParams SParams;

namespace {

constexpr int DEFAULT_BP_MARGIN = 15;
constexpr int MAX_SELECTIVITY = 200;
constexpr int FULL_SELECTIVITY = 100;
// Below full selectivity the beta-pruning margin widens by half a
// centipawn per point.
constexpr int LOW_SELECTIVITY_MAX = 99;
// Selectivity 0: no pruning and no reductions. A depth no search reaches
// switches the null move and reductions off; a margin beyond any score
// switches beta pruning off.
constexpr int UNREACHABLE_DEPTH = 100;
constexpr int UNREACHABLE_MARGIN = 5000;
// Deepest setting the 12-entry margin tables can serve.
constexpr int MAX_TABLE_DEPTH = MARGIN_DEPTHS - 1;

// Late-move reductions grow with the logarithms of depth and move number.
constexpr double LMR_SCALE = 0.44;
constexpr double LMR_OFFSET = 0.5;
constexpr float LMR_MAX = 3.0f;
// Nodes not on the principal variation are reduced this much more.
constexpr double LMR_NON_PV_EXTRA = 1.2;
// The formula only starts at this depth; shallower rows stay 0.
constexpr int LMR_MIN_DEPTH = 3;
// Calibration speed minus this is still treated as full speed.
constexpr float NODE_RATE_TOLERANCE = 20.0f;

int table_depth(int setting) { return std::clamp(setting, 0, MAX_TABLE_DEPTH); }

void fill_steps(int* table, int step) {
  for (int i = 0; i < MARGIN_DEPTHS; i++) table[i] = i * step;
}

// Halves go away from zero, as std::lround does.
int8_t round_entry(float value) { return int8_t(std::lround(value)); }

void build_lmr_tables(int selectivity) {
  for (int d = 0; d < LMR_SIZE; d++) {
    for (int m = 0; m < LMR_SIZE; m++) {
      float a = 0.0f;
      if (d >= LMR_MIN_DEPTH && m > 0) {
        a = float(LMR_SCALE * std::log(double(d)) * std::log(double(m)) - LMR_OFFSET);
        a = float(double(a) * selectivity / 100.0);
        a = std::clamp(a, 0.0f, LMR_MAX);
      }
      SParams.lmrPV[d][m] = d >= LMR_MIN_DEPTH && m > 0 ? round_entry(a) : 0;
      SParams.lmrOther[d][m] =
          d >= LMR_MIN_DEPTH && m > 0 ? round_entry(float(double(a) + LMR_NON_PV_EXTRA)) : 0;
    }
  }
  SParams.lmrSelectivity = selectivity;
}

void print_row(const char* name, const int* table) {
  char text[OUTPUT_LINE_SIZE];
  int n = std::snprintf(text, sizeof text, "%s:", name);
  for (int i = 0; i < MARGIN_DEPTHS; i++)
    n += std::snprintf(text + n, sizeof text - size_t(n), " %d", table[i]);
  print_line(text);
}

void print_lmr_table(const char* title, const int8_t (*table)[LMR_SIZE]) {
  print_linef("%s (rows depth 0..%d, columns move number 0..%d)", title, LMR_SIZE - 1,
              LMR_SIZE - 1);
  for (int d = 0; d < LMR_SIZE; d++) {
    char text[OUTPUT_LINE_SIZE];
    int n = std::snprintf(text, sizeof text, "%2d:", d);
    for (int m = 0; m < LMR_SIZE; m++)
      n += std::snprintf(text + n, sizeof text - size_t(n), " %d", table[d][m]);
    print_line(text);
  }
}

}  // namespace

void init_search_params() {
  SearchParams& p = SParams;
  p.FP_depth = table_depth(Options.FP_depth);
  p.SEP_depth = table_depth(Options.SEP_depth);
  p.LMP_depth = table_depth(Options.LMP_depth);
  p.NMP_depth = Options.NMP_depth;
  p.LMR_depth = Options.LMR_depth;
  p.BP_margin = DEFAULT_BP_MARGIN;
  fill_steps(p.FP_margin, Options.FP_step);
  fill_steps(p.SEP_margin, Options.SEP_step);
  fill_steps(p.LMP_count, Options.LMP_step);

  int s = std::clamp(int(Options.Selectivity), 0, MAX_SELECTIVITY);
  if (s <= LOW_SELECTIVITY_MAX) p.BP_margin = ((FULL_SELECTIVITY - s) >> 1) + DEFAULT_BP_MARGIN;
  if (s == 0) {
    p.LMR_depth = UNREACHABLE_DEPTH;
    p.NMP_depth = UNREACHABLE_DEPTH;
    p.LMP_depth = 0;
    p.SEP_depth = 0;
    p.FP_depth = 0;
    p.BP_margin = UNREACHABLE_MARGIN;
  }
  if (s != p.lmrSelectivity) build_lmr_tables(s);
  p.nodeRateLimited = Control.targetNps < Control.calibrationNps - NODE_RATE_TOLERANCE;
}

void print_search_params() {
  // Between searches the settings may have changed since the last search
  // built them; during one they are in use and stay as they are.
  if (Control.state.load() == STATE_IDLE) init_search_params();
  const SearchParams& p = SParams;
  print_linef("Selectivity= %d", p.lmrSelectivity);
  print_linef("BP_margin= %d", p.BP_margin);
  print_linef("FP_depth= %d", p.FP_depth);
  print_row("FP margins", p.FP_margin);
  print_linef("SEP_depth= %d", p.SEP_depth);
  print_row("SEP margins", p.SEP_margin);
  print_linef("NMP_depth= %d", p.NMP_depth);
  print_linef("LMP_depth= %d", p.LMP_depth);
  print_row("LMP counts", p.LMP_count);
  print_linef("LMR_depth= %d", p.LMR_depth);
  print_lmr_table("LMR table, PV nodes", p.lmrPV);
  print_lmr_table("LMR table, other nodes", p.lmrOther);
}
