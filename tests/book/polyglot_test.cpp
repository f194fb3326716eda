// Polyglot keys and probes against the published keys and the shared
// books, the variety arithmetic (move codes are read back by the book
// making test), and the books in play.
#include <fstream>
#include <sstream>

#include "../board/board_fixture.h"
#include "../frontend/dialogue.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "book/polyglot.h"
#include "core/control.h"
#include "core/options.h"

namespace {

std::vector<std::vector<std::string>> read_bar_file(const std::string& name) {
  std::vector<std::vector<std::string>> rows;
  std::ifstream in(data_path(name));
  std::string line;
  while (std::getline(in, line))
    if (!line.empty() && line[0] != '#') rows.push_back(split_bars(line));
  return rows;
}

// The move code as the oracle writes it: squares and a promotion letter.
std::string code_text(uint16_t code) {
  std::string s = std::string(SquareName[(code >> 6) & 63]) + SquareName[code & 63];
  int promotion = (code >> 12) & 7;
  if (promotion) s += " nbrq"[promotion];
  return s;
}

class PolyglotTest : public BoardTest {
 protected:
  const std::string performance = data_path("books/performance.bin");
};

TEST_F(PolyglotTest, KeysMatchThePublishedPolyglotKeys) {
  auto rows = read_bar_file("polyglot-keys.txt");
  ASSERT_GT(rows.size(), 250u);
  for (const auto& row : rows)
    EXPECT_EQ(book_key(set(row[0].c_str())), std::stoull(row[1], nullptr, 16)) << row[0];
}

TEST_F(PolyglotTest, ProbesListEveryEntryOfTheKeyInFileOrder) {
  auto rows = read_bar_file("book-probes.txt");
  ASSERT_GT(rows.size(), 150u);
  for (const auto& row : rows) {
    uint64_t key = std::stoull(row[1], nullptr, 16);
    ASSERT_EQ(book_key(set(row[0].c_str())), key) << row[0];
    BookProbe p;
    ASSERT_TRUE(find_book_entries(performance.c_str(), key, p));
    int expected = std::min(std::stoi(row[2]), BOOK_MAX_ENTRIES);
    ASSERT_EQ(p.count, expected) << row[0];
    EXPECT_FALSE(p.unsorted);
    for (int i = 0; i < p.count; i++) {
      std::stringstream want(row[3 + i]);
      std::string move;
      unsigned weight, learn;
      want >> move >> weight >> learn;
      EXPECT_EQ(code_text(p.entries[i].move), move) << row[0];
      EXPECT_EQ(p.entries[i].weight, weight) << row[0];
      EXPECT_EQ(p.entries[i].learn, learn) << row[0];
    }
  }
}

TEST_F(PolyglotTest, VarietyAdjustsWeightsInIntegerArithmetic) {
  struct Case { std::vector<uint16_t> weights; int variety; std::vector<int64_t> adjusted; } cases[] = {
      {{3, 1}, 25, {7500, 2500}},
      {{100, 10}, 0, {6818, 0}},
      {{100, 10}, 100, {15909, 7727}},
      {{7}, 0, {8571}},  // -25 * 7 / 100 truncates to -1: 6 * 10000 / 7
      {{0, 5, 0}, 25, {0, 10000, 0}},
      {{1, 1, 1}, 30, {3333, 3333, 3333}},  // 5 * 1 / 100 truncates to 0
  };
  for (const Case& c : cases) {
    std::vector<BookEntry> entries;
    for (uint16_t w : c.weights) entries.push_back({1, 0, w, 0});
    int64_t out[BOOK_MAX_ENTRIES];
    int64_t sum = book_adjusted_weights(entries.data(), int(entries.size()), c.variety, out);
    EXPECT_EQ(std::vector<int64_t>(out, out + entries.size()), c.adjusted);
    int64_t expectedSum = 0;
    for (int64_t a : c.adjusted) expectedSum += a;
    EXPECT_EQ(sum, expectedSum);
  }
  BookEntry zero[2] = {{1, 0, 0, 0}, {1, 0, 0, 0}};
  int64_t out[2];
  EXPECT_EQ(book_adjusted_weights(zero, 2, 25, out), -1);
}

TEST_F(PolyglotTest, PickWalksTheAdjustedWeightsSkippingWeightZero) {
  BookEntry e[3] = {{1, 0, 3, 0}, {1, 0, 0, 0}, {1, 0, 1, 0}};
  int64_t adjusted[3] = {7500, 0, 2500};
  struct Case { int64_t pick; int index; } cases[] = {{0, 0}, {1, 0}, {7500, 0}, {7501, 2}, {9990, 2}};
  for (const Case& c : cases) EXPECT_EQ(book_pick_index(e, adjusted, 3, c.pick), c.index) << c.pick;
  // The pick is a thousandth-step share of the sum: 10 * (r mod 1000) here.
  for (int r : {0, 1, 17, 12345, 32767}) {
    uint32_t spread = uint32_t(r) * 98765u + 123456789u;
    EXPECT_EQ(book_random_pick(r, 10000), int64_t(spread % 1000) * 10);
  }
}

// ---------------------------------------------------------------- in play
// The books in play through the built engine: which book answers at which
// game ply, the lines of a book answer, and moves that would draw.

const std::string LASKER = data_path("books/lasker-trap.bin");

std::vector<std::string> answers(const std::string& output) {
  std::vector<std::string> out;
  for (const std::string& l : lines_of(output))
    if (l.rfind("bestmove", 0) == 0 || l.find("book move") != std::string::npos) out.push_back(l);
  return out;
}

std::string options(const std::string& file1, int depth1, const std::string& file2, int depth2) {
  return "setoption name OwnBook value true\nsetoption name OwnBook_File value " + file1 +
         "\nsetoption name OwnBook_Depth value " + std::to_string(depth1) +
         "\nsetoption name OwnBook2_File value " + file2 + "\nsetoption name OwnBook2_Depth value " +
         std::to_string(depth2) + "\n";
}

TEST(BookPlayDialogue, BooksAnswerByGamePly) {
  // After 1.d4 (ply 1) Black's book move is 1...d5.
  const std::string go = "position startpos moves d2d4\ngo wtime 2000 btime 2000\n";
  const std::vector<std::string> bookAnswer = {"info string ( book moves are: d7d5  )",
                                               "info string book move is d7d5", "bestmove d7d5"};
  struct Case { std::string setup; bool fromBook; } cases[] = {
      {options(LASKER, 2, "", 0), true},
      {options(LASKER, 1, "", 0), false},                 // ply 1 is not below 1
      {options("", 1, LASKER, 2), true},                  // the second book alone
      {options("/none.bin", 24, LASKER, 1), false},       // the second book's plies are over
      {options("/none.bin", 24, LASKER, 2), true},        // the first has nothing
      {options(LASKER, 24, "", 0) + "setoption name OwnBook value false\n", false},
  };
  // Each search is answered before the next case is sent: a "go" during a
  // search would end it without an answer.
  Session s({"-hash", "1"});
  int answered = 0;
  for (const Case& c : cases) {
    size_t from = s.d.output.size();
    send(s.d, c.setup + go);
    ASSERT_TRUE(s.wait_count("bestmove", ++answered)) << c.setup;
    std::vector<std::string> got = answers(s.d.output.substr(from));
    if (c.fromBook) {
      EXPECT_EQ(got, bookAnswer) << c.setup;
    } else {
      ASSERT_EQ(got.size(), 1u) << c.setup << s.d.output.substr(from);
      EXPECT_EQ(got[0].rfind("bestmove", 0), 0u);
    }
  }
}

class BookDrawTest : public BoardTest {};

// Knights out and back: the book move f6g8 restores the start position. The
// second time that is fine, the third time it would draw and is dropped.
TEST_F(BookDrawTest, MoveThatRepeatsAThirdTimeIsDropped) {
  std::string dir = make_temp_dir();
  uint64_t key = book_key(set("rnbqkb1r/pppppppp/5n2/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 3 2"));
  std::FILE* f = std::fopen((dir + "/draw.bin").c_str(), "wb");
  write_book_entry(f, {key, uint16_t(45 << 6 | 62), 10, 0});
  std::fclose(f);
  Session s({"-hash", "1"});
  send(s.d, options(dir + "/draw.bin", 24, "", 0) + "position startpos moves g1f3 g8f6 f3g1\ngo depth 1\n"
            "position startpos moves g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1\ngo depth 1\n");
  ASSERT_TRUE(s.wait_count("bestmove", 2));  // quit would cancel a search still running
  std::vector<std::string> got = answers(s.d.output);
  ASSERT_GE(got.size(), 3u) << s.d.output;
  std::vector<std::string> bookAnswer = {"info string ( book moves are: f6g8  )",
                                         "info string book move is f6g8", "bestmove f6g8"};
  EXPECT_EQ(std::vector<std::string>(got.begin(), got.begin() + 3), bookAnswer);
  ASSERT_EQ(got.size(), 5u) << s.d.output;
  EXPECT_EQ(got[3], bookAnswer[0]);  // listed, then dropped: a search answers
  EXPECT_NE(got[4], bookAnswer[2]);
}

}  // namespace
