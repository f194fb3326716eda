// "params.txt": the evaluation parameter file read over the built-in
// values at set-up, then the hand-crafted evaluation of a few positions
// with whatever weights it set.
#include <cstring>
#include <string>

#include "eval/evaluate.h"
#include "eval/params.h"
#include "core/control.h"
#include "core/game.h"
#include "frontend/gamemoves.h"
#include "core/options.h"
#include "harness.h"
#include "core/searchthread.h"

int fuzz_params(const uint8_t* data, size_t size) {
  fuzz_start_engine();
  std::string path = fuzz_write_file("params.txt", data, size);
  std::strcpy(Options.paramFile, path.c_str());
  setup_eval_params();
  Control.useNN = 0;
  for (int i = 0; i < FUZZ_POSITION_COUNT; i++) {
    fuzz_set_position(FUZZ_POSITIONS[i]);
    evaluate(Game, Game->pos.side, 0, 0);
  }
  Control.useNN = 1;
  std::strcpy(Options.paramFile, "");
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_params)
