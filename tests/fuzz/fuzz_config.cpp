// The configuration file: name=value lines for the option handler, read
// through ConfigFilePath as at start-up, then a short search with the
// settings it left (NN_File may name FUZZ_VALID_NETWORK or
// FUZZ_BROKEN_NETWORK).
#include <cstring>
#include <string>

#include "core/control.h"
#include "core/options.h"
#include "frontend/optionset.h"
#include "harness.h"

int fuzz_config(const uint8_t* data, size_t size) {
  fuzz_reset_engine();
  std::string path = fuzz_write_file("zerv.cfg", data, size);
  std::strcpy(Options.ConfigFilePath, path.c_str());
  load_config();
  fuzz_run_loop("go depth 2\n");
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_config)
