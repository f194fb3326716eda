// The PGN reader on the shapes real files take: move texts of every
// notation, tags, comments, variations, whole collections; and the books
// made from them.
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "../board/board_fixture.h"
#include "../frontend/dialogue.h"
#include "board/notation.h"
#include "book/mkbook.h"
#include "book/pgn.h"
#include "book/polyglot.h"
#include "core/control.h"

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

// ------------------------------------------------------------ book making
// Book creation: the keep rule and weights on hand-made collections, and a
// book from real games read back entry by entry.

std::vector<BookEntry> read_book(const std::string& path) {
  std::vector<BookEntry> entries;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  BookEntry e;
  while (f && read_book_entry(f, &e) == 0) entries.push_back(e);
  if (f) std::fclose(f);
  return entries;
}

std::string repeat(const std::string& game, int times) {
  std::string s;
  for (int i = 0; i < times; i++) s += game;
  return s;
}

std::string game(const char* result, const char* moves) {
  return std::string("[Event \"?\"]\n[Result \"") + result + "\"]\n\n" + moves + " " + result + "\n\n";
}

struct Made {
  std::vector<BookEntry> entries;
  std::string output;
};

Made make(const std::string& pgn) {
  std::string dir = make_temp_dir();
  std::ofstream(dir + "/games.pgn") << pgn;
  testing::internal::CaptureStdout();
  bool ok = make_book_file((dir + "/games.pgn").c_str(), (dir + "/book.bin").c_str());
  Made m{read_book(dir + "/book.bin"), testing::internal::GetCapturedStdout()};
  EXPECT_TRUE(ok);
  return m;
}

constexpr uint64_t START_KEY = 0x463B96181691FC9CULL;
constexpr uint64_t AFTER_E4_KEY = 0x823C9B50FD114196ULL;
constexpr uint16_t E2E4 = 12 << 6 | 28, D2D4 = 11 << 6 | 27, G1F3 = 6 << 6 | 21, E7E5 = 52 << 6 | 36;

class MakeBookTest : public BoardTest {};

TEST_F(MakeBookTest, KeepRuleScoresAndWeights) {
  struct Entry { uint64_t key; uint16_t move, weight; };
  struct Case { std::string pgn; std::vector<Entry> entries; } cases[] = {
      {repeat(game("1-0", "1. e4"), 4), {{START_KEY, E2E4, 16}}},
      // Three wins score 12 and stay, two wins (8) are dropped; a draw
      // adds 1; the heavier move comes first.
      {repeat(game("1-0", "1. d4"), 3) + repeat(game("1-0", "1. e4"), 2) +
           repeat(game("1-0", "1. Nf3"), 3) + game("1/2-1/2", "1. Nf3"),
       {{START_KEY, G1F3, 13}, {START_KEY, D2D4, 12}}},
      // 10 wins, 5 draws, 5 losses: 35. Black's wins count for Black's move
      // and against White's.
      {repeat(game("1-0", "1. d4"), 10) + repeat(game("1/2-1/2", "1. d4"), 5) +
           repeat(game("0-1", "1. d4"), 5) + repeat(game("0-1", "1. e4 e5"), 3),
       {{START_KEY, D2D4, 35}, {AFTER_E4_KEY, E7E5, 12}}},
  };
  for (const Case& c : cases) {
    Made m = make(c.pgn);
    ASSERT_EQ(m.entries.size(), c.entries.size()) << c.pgn;
    for (size_t i = 0; i < c.entries.size(); i++) {
      EXPECT_EQ(m.entries[i].key, c.entries[i].key);
      EXPECT_EQ(m.entries[i].move, c.entries[i].move);
      EXPECT_EQ(m.entries[i].weight, c.entries[i].weight);
      EXPECT_EQ(m.entries[i].learn, 0u);
    }
  }
}

bool remember(void* context, const Position& before, Move m, int) {
  auto& seen = *static_cast<std::map<uint64_t, std::set<Move>>*>(context);
  seen[book_key(before)].insert(m);
  return true;
}

// Every entry of a book made from real games is found again by the probe,
// in key order, heaviest first, and names a move played in that position.
// The collection is read three times over, so that every move of a won
// game has the three wins a book entry needs.
TEST_F(MakeBookTest, BookFromRealGamesReadsBack) {
  std::string dir = make_temp_dir();
  std::string pgn = dir + "/games.pgn";
  std::ifstream in(data_path("pgn/engine-games.pgn"), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream(pgn, std::ios::binary) << text << text << text;
  testing::internal::CaptureStdout();
  ASSERT_TRUE(make_book_file(pgn.c_str(), (dir + "/book.bin").c_str()));
  testing::internal::GetCapturedStdout();
  std::vector<BookEntry> entries = read_book(dir + "/book.bin");
  ASSERT_GT(entries.size(), 5000u);
  std::map<uint64_t, std::set<Move>> played;
  auto* reader = new PgnReader;
  ASSERT_TRUE(open_pgn(*reader, pgn.c_str(), BOOK_PLY_LIMIT));
  while (read_pgn_line(*reader)) take_pgn_line(*reader, remember, &played);
  close_pgn(*reader);
  delete reader;
  for (size_t i = 0; i < entries.size(); i++) {
    const BookEntry& e = entries[i];
    if (i > 0) {
      ASSERT_LE(entries[i - 1].key, e.key);
      if (entries[i - 1].key == e.key) {
        EXPECT_GE(entries[i - 1].weight, e.weight);
      }
    }
    // A rook from e8 to a8 has the code of Black's long castling: the
    // format itself cannot tell them apart.
    Move plain = make_move_code((e.move >> 6) & 63, e.move & 63);
    EXPECT_TRUE(played[e.key].count(book_move_to_move(e.move)) || played[e.key].count(plain))
        << std::hex << e.key << " " << e.move;
    BookProbe p;
    ASSERT_TRUE(find_book_entries((dir + "/book.bin").c_str(), e.key, p));
    bool found = false;
    for (int k = 0; k < p.count; k++) found = found || (p.entries[k].move == e.move && p.entries[k].weight == e.weight);
    EXPECT_TRUE(found) << std::hex << e.key;
  }
}

}  // namespace
