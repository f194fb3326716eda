#include "hce_fixture.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include "core/options.h"

void HceTest::SetUpTestSuite() {
  BoardTest::SetUpTestSuite();
  // Built-in weights only: no parameter file, no personality scaling.
  set_default_options(Options);
  std::strcpy(Options.paramFile, "/nonexistent/zerv-params.txt");
  setup_eval_params();
  init_kpk_table();
}

std::vector<std::string> epd_positions() {
  std::vector<std::string> fens;
  for (const char* name : {"epd/wac.epd", "epd/sts.epd", "epd/bk.epd"}) {
    std::ifstream in(data_path(name));
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line);
      std::string board, side, castling, ep;
      if (words >> board >> side >> castling >> ep) fens.push_back(board + " " + side + " " + castling + " " + ep);
    }
  }
  return fens;
}
