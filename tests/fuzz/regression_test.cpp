// Every input a fuzzer once broke the engine with, replayed through its
// harness: the engine must come through each without a fault (the
// sanitizer build catches what a plain build would not notice).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "harness.h"

namespace {

struct Harness {
  const char* name;
  int (*run)(const uint8_t*, size_t);
};

constexpr Harness HARNESSES[] = {
    {"uci", fuzz_uci},         {"fen", fuzz_fen},       {"move", fuzz_move},
    {"epd", fuzz_epd},         {"pgn", fuzz_pgn},       {"book", fuzz_book},
    {"network", fuzz_network}, {"params", fuzz_params}, {"config", fuzz_config},
    {"syzygy", fuzz_syzygy},
};

std::vector<uint8_t> read_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(FuzzRegressions, EveryKeptInputRunsCleanly) {
  namespace fs = std::filesystem;
  fs::path root = fs::path(__FILE__).parent_path() / "regressions";
  int replayed = 0;
  for (const Harness& h : HARNESSES) {
    fs::path dir = root / h.name;
    if (!fs::is_directory(dir)) continue;
    for (const auto& file : fs::directory_iterator(dir)) {
      SCOPED_TRACE(file.path().string());
      std::vector<uint8_t> bytes = read_bytes(file.path());
      EXPECT_EQ(h.run(bytes.data(), bytes.size()), 0);
      replayed++;
    }
  }
  EXPECT_GT(replayed, 0);
}

}  // namespace
