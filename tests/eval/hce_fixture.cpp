#include "hce_fixture.h"

#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

#include "frontend/options.h"

void HceTest::SetUpTestSuite() {
  init_board_tables();
  init_zobrist();
  // Built-in weights only: no parameter file, no personality scaling.
  set_default_options(Options);
  std::strcpy(Options.paramFile, "/nonexistent/zerv-params.txt");
  setup_eval_params();
  init_kpk_table();
}

namespace {

std::string flip_board(const std::string& board) {
  std::vector<std::string> ranks;
  std::stringstream in(board);
  for (std::string rank; std::getline(in, rank, '/');) ranks.push_back(rank);
  std::string out;
  for (auto r = ranks.rbegin(); r != ranks.rend(); ++r) {
    if (!out.empty()) out += '/';
    for (char ch : *r) out += std::isalpha(static_cast<unsigned char>(ch)) ? char(ch ^ 0x20) : ch;
  }
  return out;
}

std::string flip_castling(const std::string& rights) {
  if (rights == "-") return rights;
  std::string upper, lower;
  for (char ch : rights) (std::isupper(static_cast<unsigned char>(ch)) ? lower : upper) += char(ch ^ 0x20);
  return upper + lower;
}

std::string flip_ep(const std::string& ep) {
  if (ep.size() != 2) return ep;
  return std::string(1, ep[0]) + char('1' + '8' - ep[1]);
}

}  // namespace

std::string flip_fen(const std::string& fen) {
  std::istringstream in(fen);
  std::string board, side = "w", castling = "-", ep = "-", rest;
  in >> board >> side >> castling >> ep;
  std::getline(in, rest);
  return flip_board(board) + (side == "w" ? " b " : " w ") + flip_castling(castling) + " " + flip_ep(ep) + rest;
}

std::vector<std::string> epd_positions() {
  std::vector<std::string> fens;
  for (const char* name : {"epd/wac.epd", "epd/sts.epd", "epd/bk.epd"}) {
    std::ifstream in(hce_data_path(name));
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line);
      std::string board, side, castling, ep;
      if (words >> board >> side >> castling >> ep) fens.push_back(board + " " + side + " " + castling + " " + ep);
    }
  }
  return fens;
}
