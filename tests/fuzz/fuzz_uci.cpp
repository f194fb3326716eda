// UCI command stream: the bytes become standard input of the real command
// loop, which reads, splits and runs them until the input ends (then it
// quits as for a GUI that went away). The stream starts with "go
// infinite", so its settings (NN_File with FUZZ_VALID_NETWORK and
// FUZZ_BROKEN_NETWORK among them), positions and searches arrive while a
// search runs, until the stream itself stops or replaces that search.
// Every other "go" is held to a few thousand nodes by the start-up limits,
// as if the engine had been started with "-d" and "-n"; only "infinite"
// and explicit node counts run until the input ends.
#include <string>

#include "harness.h"

int fuzz_uci(const uint8_t* data, size_t size) {
  fuzz_reset_engine();
  fuzz_run_loop("go infinite\n" + std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_uci)
