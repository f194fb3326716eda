// UCI command stream: the bytes become standard input of the real command
// loop, which reads, splits and runs them until the input ends (then it
// quits as for a GUI that went away). Every "go" is held to a few thousand
// nodes by the start-up limits, as if the engine had been started with
// "-d" and "-n"; only "infinite" and explicit node counts run until the
// input ends.
#include <string>

#include "harness.h"

namespace {

// A network file that cannot be opened ends the program by design (exit
// status 0); the network harness covers the network reader itself. Lines
// naming that option are left out, split as the engine splits lines.
std::string without_network_file_lines(const uint8_t* data, size_t size) {
  std::string kept, line;
  for (size_t i = 0; i <= size; i++) {
    bool end = i == size || data[i] == '\n' || data[i] == '\0';
    if (!end) {
      line += char(data[i]);
      continue;
    }
    if (line.find("NN_File") == std::string::npos) kept += line + '\n';
    line.clear();
  }
  return kept;
}

}  // namespace

int fuzz_uci(const uint8_t* data, size_t size) {
  fuzz_reset_engine();
  fuzz_run_loop(without_network_file_lines(data, size));
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_uci)
