#include "tb_fixture.h"

#include <fstream>
#include <sstream>

#include "syzygy/tbregistry.h"

std::string tb_table_dir() { return data_path("syzygy"); }

std::vector<ProbeCase> read_probe_file() {
  std::vector<ProbeCase> cases;
  std::ifstream in(data_path("syzygy-probes.txt"));
  for (std::string line; std::getline(in, line);) {
    auto f = split_bars(line);
    if (line.empty() || line[0] == '#' || f.size() != 3) continue;
    cases.push_back({f[0], std::stoi(f[1]), std::stoi(f[2])});
  }
  return cases;
}

std::vector<RootCase> read_root_file() {
  std::vector<RootCase> cases;
  std::ifstream in(data_path("syzygy-root.txt"));
  for (std::string line; std::getline(in, line);) {
    auto f = split_bars(line);
    if (line.empty() || line[0] == '#' || f.size() != 4) continue;
    RootCase c{f[0], std::stoi(f[1]), std::stoi(f[2]), {}};
    std::stringstream moves(f[3]);
    for (std::string m; moves >> m;) c.moves.push_back(m);
    cases.push_back(c);
  }
  return cases;
}

std::string init_captured(const std::string& paths) {
  return captured_output([&] { tb_init(paths.c_str()); });
}

void TbTest::SetUpTestSuite() {
  BoardTest::SetUpTestSuite();
  init_captured(tb_table_dir());
}

void TbTest::TearDownTestSuite() { tb_free(); }
