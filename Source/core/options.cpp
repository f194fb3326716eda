#include "core/options.h"

#include <cstring>

EngineOptions Options;
EngineOptions OptionDefaults;

namespace {

constexpr int DEFAULT_HASH_MB = 64;
constexpr int DEFAULT_MOVE_OVERHEAD_MS = 50;
constexpr int DEFAULT_BOOK_VARIETY = 25;
constexpr int DEFAULT_BOOK_DEPTH = 24;
constexpr int DEFAULT_CONTEMPT_TAPER = 15;
constexpr int FULL_PERCENT = 100;
constexpr int DEFAULT_SEP_DEPTH = 3;
constexpr int DEFAULT_SEP_STEP = 75;
constexpr int DEFAULT_NMP_DEPTH = 3;
constexpr int DEFAULT_FP_DEPTH = 3;
constexpr int DEFAULT_FP_STEP = 125;
constexpr int DEFAULT_LMP_DEPTH = 6;
constexpr int DEFAULT_LMP_STEP = 3;
constexpr int DEFAULT_LMR_DEPTH = 3;

void set_search_defaults(EngineOptions& o) {
  o.Selectivity = FULL_PERCENT;
  o.SEP_depth = DEFAULT_SEP_DEPTH;
  o.SEP_step = DEFAULT_SEP_STEP;
  o.NMP_depth = DEFAULT_NMP_DEPTH;
  o.FP_depth = DEFAULT_FP_DEPTH;
  o.FP_step = DEFAULT_FP_STEP;
  o.LMP_depth = DEFAULT_LMP_DEPTH;
  o.LMP_step = DEFAULT_LMP_STEP;
  o.LMR_depth = DEFAULT_LMR_DEPTH;
  for (auto& group : o.personality) group[PHASE_MG] = group[PHASE_EG] = FULL_PERCENT;
}

}  // namespace

void set_default_options(EngineOptions& o) {
  std::memset(&o, 0, sizeof o);
  o.paramsChanged = 1;
  o.Hash = DEFAULT_HASH_MB;
  o.Threads = 1;
  o.MoveOverhead = DEFAULT_MOVE_OVERHEAD_MS;
  o.Ponder = 1;
  o.MultiPV = 1;
  o.OwnBook_Variety = DEFAULT_BOOK_VARIETY;
  o.OwnBook_Depth = DEFAULT_BOOK_DEPTH;
  std::strcpy(o.paramFile, "params.txt");
  std::strcpy(o.NN_File, "embedded");
  o.SyzygyProbeDepth6 = 1;
  o.contemptTaper = DEFAULT_CONTEMPT_TAPER;
  set_search_defaults(o);
}
