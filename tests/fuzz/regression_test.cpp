// Every input a fuzzer once broke the engine with, replayed through its
// harness: the engine must come through each without a fault (the
// sanitizer build catches what a plain build would not notice).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "harness.h"

namespace {

using Harness = int (*)(const uint8_t*, size_t);
const std::pair<const char*, Harness> HARNESSES[] = {
    {"uci", fuzz_uci},         {"fen", fuzz_fen},       {"move", fuzz_move},     {"epd", fuzz_epd},
    {"pgn", fuzz_pgn},         {"book", fuzz_book},     {"network", fuzz_network}, {"params", fuzz_params},
    {"config", fuzz_config},   {"syzygy", fuzz_syzygy},
};

TEST(FuzzRegressions, EveryKeptInputRunsCleanly) {
  namespace fs = std::filesystem;
  fs::path root = fs::path(__FILE__).parent_path() / "regressions";
  int replayed = 0;
  for (const auto& [name, run] : HARNESSES) {
    if (!fs::is_directory(root / name)) continue;
    for (const auto& file : fs::directory_iterator(root / name)) {
      SCOPED_TRACE(file.path().string());
      std::ifstream in(file.path(), std::ios::binary);
      std::string bytes(std::istreambuf_iterator<char>(in), {});
      EXPECT_EQ(run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
      replayed++;
    }
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
