#include "board_fixture.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "board/legality.h"
#include "board/movegen.h"

std::vector<PerftCase> read_perft_file(const std::string& path) {
  std::vector<PerftCase> cases;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word == "id") {
      cases.push_back({});
      std::getline(words >> std::ws, cases.back().name);
    } else if (word == "epd" && !cases.empty()) {
      std::getline(words >> std::ws, cases.back().fen);
    } else if (word == "perft" && !cases.empty()) {
      int depth;
      uint64_t leaves;
      words >> depth >> leaves;
      cases.back().counts.push_back({depth, leaves});
    }
  }
  return cases;
}

std::vector<std::string> split_bars(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string f; std::getline(in, f, '|');) {
    size_t a = f.find_first_not_of(" \t\r"), b = f.find_last_not_of(" \t\r");
    fields.push_back(a == std::string::npos ? "" : f.substr(a, b - a + 1));
  }
  return fields;
}

std::vector<SanCase> read_san_file(const std::string& path) {
  std::vector<SanCase> cases;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> f = split_bars(line);
    if (!line.empty() && line[0] != '#' && f.size() == 3) cases.push_back({f[0], f[1], f[2]});
  }
  return cases;
}

std::vector<Move> legal_moves(Position& pos) {
  std::vector<Move> moves;
  for (MoveEntry* e = generate_all(pos); e->move != MOVE_END; e++)
    if (move_is_legal(pos, pos.side, e->move)) moves.push_back(e->move);
  return moves;
}

std::string fen_of(const Position& pos, bool counters) {
  char text[128];
  position_to_fen(pos, text, counters);
  return text;
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
