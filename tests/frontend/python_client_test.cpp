// The built engine under the python-chess engine API (python_client.py
// beside this file): analysis, a game move on the clock, chosen root moves,
// a mate search, every option as a GUI parses it, MultiPV analysis and a
// short game with pondering. Skipped without the library or python3.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "dialogue.h"

namespace {

namespace fs = std::filesystem;

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

TEST(PythonClient, AnalysePlayRootMovesAndMate) {
  fs::path library = fs::path(ZERV_DATA_DIR) / ".." / "tools" / "python-chess";
  if (!fs::exists(library / "chess" / "engine.py")) GTEST_SKIP() << "no python-chess at " << library;
  if (std::system("python3 -c '' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
  fs::path script = fs::path(__FILE__).parent_path() / "python_client.py";
  fs::path dir = make_temp_dir();
  std::string command = "cd " + quoted(dir) + " && PYTHONPATH=" + quoted(library) + " python3 " +
                        quoted(script) + " " + quoted(ZERV_BINARY) + " >report.txt 2>&1";
  int status = std::system(command.c_str());
  EXPECT_EQ(status, 0) << read_file((dir / "report.txt").string());
}

}  // namespace
