#include "board_fixture.h"

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

static std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r"), b = s.find_last_not_of(" \t\r");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

std::vector<SanCase> read_san_file(const std::string& path) {
  std::vector<SanCase> cases;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    size_t p1 = line.find('|'), p2 = line.find('|', p1 + 1);
    if (line.empty() || line[0] == '#' || p2 == std::string::npos) continue;
    cases.push_back({trim(line.substr(0, p1)), trim(line.substr(p1 + 1, p2 - p1 - 1)),
                     trim(line.substr(p2 + 1))});
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
