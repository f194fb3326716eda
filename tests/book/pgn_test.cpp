// The PGN reader on the shapes real files take: move texts of every
// notation, tags, comments, variations, whole collections.
#include <fstream>

#include "../board/board_fixture.h"
#include "../frontend/dialogue.h"
#include "board/notation.h"
#include "book/pgn.h"
#include "book/polyglot.h"
#include "frontend/control.h"

namespace {

struct Visited {
  std::vector<std::string> moves;  // coordinate text, per game
  std::vector<int> results;
};

bool collect(void* context, const Position& before, Move m, int result) {
  auto& v = *static_cast<Visited*>(context);
  char text[8];
  move_to_text(before, before.side, m, text);
  v.moves.push_back(text);
  v.results.push_back(result);
  return true;
}

std::string write_text(const std::string& text) {
  std::string path = make_temp_dir() + "/games.pgn";
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

struct ReadResult {
  Visited visited;
  uint64_t games = 0, abandoned = 0;
};

ReadResult read_file(const std::string& path, int maxPlies = 1000) {
  ReadResult r;
  auto* reader = new PgnReader;
  if (open_pgn(*reader, path.c_str(), maxPlies)) {
    while (read_pgn_line(*reader)) take_pgn_line(*reader, collect, &r.visited);
    r.games = reader->games;
    r.abandoned = reader->abandonedGames;
    close_pgn(*reader);
  }
  delete reader;
  return r;
}

std::string joined(const std::vector<std::string>& moves) {
  std::string s;
  for (const auto& m : moves) s += (s.empty() ? "" : " ") + m;
  return s;
}

class PgnTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    Control.uciMode = 1;
    Control.chess960 = 0;
  }
  std::string read_move(const char* fen, const char* text) {
    set(fen);
    Move m;
    if (!read_pgn_move(t->pos, text, &m)) return "-";
    char out[8];
    move_to_text(t->pos, t->pos.side, m, out);
    return out;
  }
};

TEST_F(PgnTest, EveryMoveOfTheSanOracleReads) {
  auto cases = read_san_file(data_path("san.txt"));
  ASSERT_GT(cases.size(), 1000u);
  for (const SanCase& c : cases) {
    EXPECT_EQ(read_move(c.fen.c_str(), c.san.c_str()), c.uci) << c.fen << " " << c.san;
    EXPECT_EQ(read_move(c.fen.c_str(), (c.san + "!?").c_str()), c.uci) << c.fen << " " << c.san;
    EXPECT_EQ(read_move(c.fen.c_str(), c.uci.c_str()), c.uci) << c.fen << " " << c.uci;
  }
}

TEST_F(PgnTest, MoveTextsOfRealFiles) {
  const char* start = START_FEN;
  const char* rooks = "4k3/8/8/R7/8/8/8/R3K3 w Q - 0 1";
  const char* promo = "1n2k3/P7/8/8/8/8/8/4K2R w K - 0 1";
  const char* knights = "4k3/8/8/8/8/2N1N3/8/4K3 w - - 0 1";
  struct Case { const char* fen; const char* text; const char* uci; } cases[] = {
      {start, "Pe4", "e2e4"}, {start, "e2-e4", "e2e4"}, {start, "Ng1-f3", "g1f3"},
      {start, "e5", "-"},     {start, "Kd1", "-"},     {start, "e", "-"},
      {rooks, "R1a3", "a1a3"}, {rooks, "R5a3", "a5a3"}, {rooks, "Ra3", "-"},
      {rooks, "O-O-O", "e1c1"}, {rooks, "0-0-0", "e1c1"}, {rooks, "O-O", "-"},
      {promo, "a8Q", "a7a8q"}, {promo, "axb8N", "a7b8n"}, {promo, "a7b8r", "a7b8r"}, {promo, "a8", "a7a8q"},
      {promo, "0-0", "e1g1"}, {promo, "e1g1", "e1g1"},
      {knights, "Nd5", "-"}, {knights, "Ncd5", "c3d5"}, {knights, "Ned5#", "e3d5"},
  };
  for (const Case& c : cases) EXPECT_EQ(read_move(c.fen, c.text), c.uci) << c.fen << " " << c.text;
}

TEST_F(PgnTest, GamesReadThroughCommentsVariationsAndTags) {
  std::string bom = "\xEF\xBB\xBF";
  struct Case { std::string pgn; std::string moves; uint64_t games; } cases[] = {
      // Byte-order mark, CRLF, glued numbers, NAGs, a comment across lines,
      // nested variations, a ";" comment and the result token.
      {bom + "[Event \"x\"]\r\n[Result \"1-0\"]\r\n\r\n1.e4 $1 e5 {a comment\r\nstill 2. d4} "
             "2.Nf3 (2.f4 exf4 (2...d5)) 2...Nc6 ; 3. Bc4 hidden\r\n%escaped Bc4\r\n3. Bb5 1-0\r\n",
       "e2e4 e7e5 g1f3 b8c6 f1b5", 1},
      // "[FEN" before and after "[Result" (there after the byte-order mark
      // of a concatenated file), castling with zeros; unknown results are
      // not entered.
      {"[FEN \"4k3/8/8/8/8/8/8/4K2R w K - 0 1\"]\n[Result \"1/2-1/2\"]\n1. 0-0 Kd7 1/2-1/2\n"
       "[Result \"0-1\"]\n" + bom + "[FEN \"4k3/8/8/8/8/8/8/R3K3 b Q - 0 1\"]\n1... Kd8 2. O-O-O+ 0-1\n"
       "[Result \"*\"]\n1. d4 *\n[Result \"1-0\"]\n1. c4 1-0\n",
       "e1g1 e8d7 e8d8 e1c1 c2c4", 4},
      // A move that does not read abandons the rest of its game only.
      {"[Result \"1-0\"]\n1. e4 e5 2. Qh8 Nc6\n[Result \"0-1\"]\n1. d4\n", "e2e4 e7e5 d2d4", 2},
      // A FEN the board cannot play from enters nothing.
      {"[Result \"1-0\"]\n[FEN \"8/8/8/8/8/8/8/8 w - - 0 1\"]\n1. e4\n[Result \"1-0\"]\n1. d4\n", "d2d4", 2},
  };
  for (const Case& c : cases) {
    ReadResult r = read_file(write_text(c.pgn));
    EXPECT_EQ(joined(r.visited.moves), c.moves) << c.pgn;
    EXPECT_EQ(r.games, c.games) << c.pgn;
  }
  ReadResult r = read_file(write_text(cases[1].pgn));
  EXPECT_EQ(r.visited.results, (std::vector<int>{PGN_DRAW, PGN_DRAW, PGN_BLACK_WINS, PGN_BLACK_WINS,
                                                 PGN_WHITE_WINS}));
}

// Read to their ends, only a null move ("Z0", move 41 of one game) stops
// a game; within the book's plies none does.
TEST_F(PgnTest, SharedCollectionsReadWithoutAbandonedGames) {
  struct Case { const char* file; uint64_t games, abandoned; } cases[] = {
      {"pgn/engine-games.pgn", 643, 0},
      {"pgn/samples/anastasian-lewis.pgn", 0, 1}, {"pgn/samples/chessbase-empty-line.pgn", 0, 0},
      {"pgn/samples/cutechess-fischerrandom.pgn", 0, 0}, {"pgn/samples/kasparov-deep-blue-1997.pgn", 0, 0},
      {"pgn/samples/molinari-bordais-1979.pgn", 0, 0}, {"pgn/samples/nepomniachtchi-liren-game1.pgn", 0, 0},
      {"pgn/samples/uci-moves.pgn", 0, 0}, {"pgn/samples/utf8-bom.pgn", 0, 0},
  };
  for (const Case& c : cases) {
    ReadResult r = read_file(data_path(c.file));
    EXPECT_GT(r.games, 0u) << c.file;
    if (c.games) {
      EXPECT_EQ(r.games, c.games);
    }
    EXPECT_EQ(r.abandoned, c.abandoned) << c.file;
    EXPECT_EQ(read_file(data_path(c.file), 36).abandoned, 0u) << c.file;
  }
}

}  // namespace
