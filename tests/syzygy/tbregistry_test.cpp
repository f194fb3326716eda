// Finding tables on disk and surviving bad ones: several directories, the
// empty path, damaged and truncated copies (random damage is the syzygy
// fuzzer's); the paths as the engine is given them.
#include "syzygy/tbregistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "../frontend/dialogue.h"
#include "syzygy/tbprobe.h"
#include "tb_fixture.h"

namespace fs = std::filesystem;

namespace {

class TbRegistry : public TbTest {
 protected:
  void TearDown() override {
    init_captured(tb_table_dir());  // the next test finds the shared set again
    TbTest::TearDown();
  }
  std::string copy_tables(const std::vector<std::string>& names) {
    std::string dir = make_temp_dir();
    for (const auto& n : names) fs::copy_file(tb_table_dir() + "/" + n, dir + "/" + n);
    return dir;
  }
  // WDL probe with standard error captured into `err`.
  int probe(const char* fen, int& success, std::string& err) {
    success = 1;
    testing::internal::CaptureStderr();
    int v = tb_probe_wdl(tb(fen), &success);
    err = testing::internal::GetCapturedStderr();
    return v;
  }
};

constexpr const char* KQK = "8/8/8/4k3/8/8/8/3QK3 w - - 0 1";
constexpr const char* KRK = "8/8/8/4k3/8/8/8/R3K3 b - - 0 1";

TEST_F(TbRegistry, PathListsAndTheirCounts) {
  std::string a = copy_tables({"KQvK.rtbw", "KRvK.rtbw"});
  std::string b = copy_tables({"KQvK.rtbw", "KBNvK.rtbw"});
  struct Case { std::string paths, printed; int largest; } cases[] = {
      {tb_table_dir(), "info string found 35 tablebases\n", 4},
      {a + ";" + b, "info string found 3 tablebases\n", 4},  // KQvK once, from the first
      {a, "info string found 2 tablebases\n", 3},
      // ":" separates directories as well; empty entries are skipped.
      {a + ":" + b, "info string found 3 tablebases\n", 4},
      {"::" + a + ";;:", "info string found 2 tablebases\n", 3},
      {"/nonexistent/zerv:" + a, "info string found 2 tablebases\n", 3},
      {":", "info string found 0 tablebases\n", 0},
      {"", "", 0},
      {"<empty>", "", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(init_captured(c.paths), c.printed) << c.paths;
    EXPECT_EQ(tbLargest, c.largest) << c.paths;
  }
}

// The colon of a drive letter at the start of a directory stays in it
// (the -tbx path is written so): here a relative folder named "q:".
TEST_F(TbRegistry, DriveLetterColonIsNoSeparator) {
  std::string dir = make_temp_dir();
  fs::create_directories(dir + "/q:/tb");
  fs::copy_file(tb_table_dir() + "/KQvK.rtbw", dir + "/q:/tb/KQvK.rtbw");
  fs::path before = fs::current_path();
  fs::current_path(dir);
  std::string printed = init_captured("q:/tb");
  std::string both = init_captured("q:/tb:" + tb_table_dir());
  fs::current_path(before);
  EXPECT_EQ(printed, "info string found 1 tablebases\n");
  EXPECT_EQ(both, "info string found 35 tablebases\n");
}

// A wrong magic and files cut short: one message, then the material fails
// quietly; other tables keep working.
TEST_F(TbRegistry, DamagedFilesDisableOnlyTheirMaterial) {
  std::string dir = copy_tables({"KQvK.rtbw", "KRvK.rtbw"});
  struct Damage { const char* what; std::function<void(const std::string&)> apply; } damages[] = {
      {"wrong magic", [](const std::string& p) {
         std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
         f.put('\x00');
       }},
      {"cut after the headers", [](const std::string& p) { fs::resize_file(p, 40); }},
      {"cut inside the data", [](const std::string& p) { fs::resize_file(p, fs::file_size(p) - 64); }},
      {"empty", [](const std::string& p) { fs::resize_file(p, 0); }},
  };
  for (const Damage& d : damages) {
    fs::remove(dir + "/KQvK.rtbw");
    fs::copy_file(tb_table_dir() + "/KQvK.rtbw", dir + "/KQvK.rtbw");
    d.apply(dir + "/KQvK.rtbw");
    init_captured(dir);
    int success;
    std::string err;
    probe(KQK, success, err);
    EXPECT_EQ(success, 0) << d.what;
    EXPECT_EQ(err, "Corrupted table.\n") << d.what;
    probe(KQK, success, err);
    EXPECT_EQ(success, 0) << d.what;
    EXPECT_EQ(err, "") << d.what;
    EXPECT_EQ(probe(KRK, success, err), -2) << d.what;
    EXPECT_EQ(success, 1) << d.what;
  }
}

// --------------------------------------------------------------- dialogue
// The tables through the built engine: SyzygyPath from the command line,
// the configuration file and "setoption", each setting the tables up again,
// with ":" between directories from each (how lists are split is the tests'
// above).

const std::string TABLES = std::string(ZERV_DATA_DIR) + "/syzygy";
TEST(TbDialogue, PathFromEachSourceSetsTheTablesUp) {
  std::string dir = make_temp_dir();
  std::ofstream(dir + "/z.cfg") << "SyzygyPath=/nonexistent:" << TABLES << "\n";
  struct Case { std::vector<std::string> args; std::string input; int found; } cases[] = {
      {{"-tbpath", "/nonexistent:" + TABLES}, "quit\n", 1},
      {{"-cfg", "z.cfg"}, "quit\n", 2},  // the file, then the start of the UCI mode
      {{}, "setoption name SyzygyPath value " + TABLES + ":" + TABLES +
               "\nsetoption name SyzygyPath value <empty>\nquit\n", 1},
  };
  for (const Case& c : cases) {
    Dialogue d = run_engine(c.args, c.input, dir);
    EXPECT_EQ(d.exitStatus, 0);
    EXPECT_EQ(count_of(d.output, "info string found 35 tablebases"), c.found) << d.output;
    EXPECT_EQ(count_of(d.output, "info string found"), c.found) << d.output;
  }
}

}  // namespace
