// "params.txt": the evaluation parameter file read over the built-in
// values at set-up, then the hand-crafted evaluation of a few positions
// with whatever weights it set.
#include <cstring>
#include <string>

#include "board/fen.h"
#include "eval/evaluate.h"
#include "eval/params.h"
#include "frontend/control.h"
#include "frontend/game.h"
#include "frontend/options.h"
#include "harness.h"
#include "search/searchthread.h"

namespace {

constexpr const char* POSITIONS[] = {
    "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "6k1/5ppp/8/8/8/8/1P3PPP/6K1 b - - 0 1",
};

}  // namespace

int fuzz_params(const uint8_t* data, size_t size) {
  fuzz_start_engine();
  std::string path = fuzz_write_file("params.txt", data, size);
  std::strcpy(Options.paramFile, path.c_str());
  setup_eval_params();
  Control.useNN = 0;
  for (const char* fen : POSITIONS) {
    if (!set_game_position(fen)) fuzz_fail("bad position");
    evaluate(Game, Game->pos.side, 0, 0);
  }
  Control.useNN = 1;
  std::strcpy(Options.paramFile, "");
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_params)
