// Book creation: the keep rule and weights on hand-made collections, and a
// book from real games read back entry by entry.
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "../board/board_fixture.h"
#include "../frontend/dialogue.h"
#include "book/mkbook.h"
#include "book/pgn.h"
#include "frontend/control.h"

namespace {

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
      // Comments, variations and unknown results are not counted.
      {repeat(game("1-0", "1. e4 {1. d4} (1. d4 d5)"), 3) + repeat(game("*", "1. d4"), 5),
       {{START_KEY, E2E4, 12}}},
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
