// Network files: the header checks, the allocation it asks for and the
// values, then an evaluation with whatever network is in use afterwards.
// A refused file must leave the network in use untouched.
#include <cstring>
#include <string>

#include "eval/network.h"
#include "core/control.h"
#include "core/game.h"
#include "frontend/gamemoves.h"
#include "core/options.h"
#include "harness.h"

constexpr const char* BUILTIN = "embedded";

int fuzz_network(const uint8_t* data, size_t size) {
  static bool replaced = false;  // the last input installed its own network
  fuzz_start_engine();
  if (replaced) {
    std::strcpy(Options.NN_File, BUILTIN);
    if (!load_network()) fuzz_fail("the built-in network does not load");
  }
  fuzz_set_position(FUZZ_POSITIONS[1]);
  int before = nn_evaluate(Game);
  std::string path = fuzz_write_file("net.nn", data, size);
  std::strcpy(Options.NN_File, path.c_str());
  replaced = load_network() == 1;
  int after = nn_evaluate(Game);
  if (!replaced && after != before) fuzz_fail("a refused network changed the evaluation");
  std::strcpy(Options.NN_File, BUILTIN);
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_network)
