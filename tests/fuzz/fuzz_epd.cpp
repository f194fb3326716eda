// EPD lines through the EPD runner (-anepd): each line is split into its
// position and operations, set up, searched a little and its answer
// scored against "bm", "am" and "c0".
#include <string>

#include "core/control.h"
#include "harness.h"
#include "tools/epdanalysis.h"

int fuzz_epd(const uint8_t* data, size_t size) {
  fuzz_reset_engine();
  Control.runMode = MODE_ANEPD;
  Control.limits.maxDepth = 1;
  std::string input = fuzz_write_file("suite.epd", data, size);
  std::string output = fuzz_scratch_dir() + "/analysis.epd";
  run_epd_analysis(input.c_str(), output.c_str());
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_epd)
