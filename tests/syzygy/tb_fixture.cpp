#include "tb_fixture.h"

#include <fstream>
#include <sstream>

#include "board/bitboard.h"
#include "board/zobrist.h"
#include "syzygy/tbregistry.h"

std::string tb_data_path(const std::string& rel) { return std::string(ZERV_DATA_DIR) + "/" + rel; }
std::string tb_table_dir() { return tb_data_path("syzygy"); }

static std::vector<std::string> split_fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line);
  for (std::string f; std::getline(in, f, '|');) {
    size_t a = f.find_first_not_of(' '), b = f.find_last_not_of(' ');
    out.push_back(a == std::string::npos ? "" : f.substr(a, b - a + 1));
  }
  return out;
}

std::vector<ProbeCase> read_probe_file() {
  std::vector<ProbeCase> cases;
  std::ifstream in(tb_data_path("syzygy-probes.txt"));
  for (std::string line; std::getline(in, line);) {
    auto f = split_fields(line);
    if (line.empty() || line[0] == '#' || f.size() != 3) continue;
    cases.push_back({f[0], std::stoi(f[1]), std::stoi(f[2])});
  }
  return cases;
}

std::vector<RootCase> read_root_file() {
  std::vector<RootCase> cases;
  std::ifstream in(tb_data_path("syzygy-root.txt"));
  for (std::string line; std::getline(in, line);) {
    auto f = split_fields(line);
    if (line.empty() || line[0] == '#' || f.size() != 4) continue;
    RootCase c{f[0], std::stoi(f[1]), std::stoi(f[2]), {}};
    std::stringstream moves(f[3]);
    for (std::string m; moves >> m;) c.moves.push_back(m);
    cases.push_back(c);
  }
  return cases;
}

std::string init_captured(const std::string& paths) {
  testing::internal::CaptureStdout();
  tb_init(paths.c_str());
  return testing::internal::GetCapturedStdout();
}

void TbTest::SetUpTestSuite() {
  init_board_tables();
  init_zobrist();
  init_captured(tb_table_dir());
}

void TbTest::TearDownTestSuite() { tb_free(); }

void TbTest::SetUp() { t = new_search_thread(); }
void TbTest::TearDown() { free_search_thread(t); }

Position& TbTest::set(const std::string& fen) {
  set_position(t->pos, fen.c_str());
  return t->pos;
}
