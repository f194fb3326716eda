// UCI command stream: the bytes become standard input of the real command
// loop, which reads, splits and runs them until the input ends (then it
// quits as for a GUI that went away). Every "go" is held to a few thousand
// nodes by the start-up limits, as if the engine had been started with
// "-d" and "-n"; only "infinite" and explicit node counts run until the
// input ends.
#include <string>

#include "harness.h"

int fuzz_uci(const uint8_t* data, size_t size) {
  fuzz_reset_engine();
  fuzz_run_loop(without_network_file_lines(data, size));
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_uci)
