// Polyglot keys and probes against the published keys and the shared
// books, move codes and the variety arithmetic.
#include <fstream>
#include <sstream>

#include "../board/board_fixture.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "book/polyglot.h"
#include "frontend/control.h"
#include "frontend/options.h"

namespace {

std::vector<std::string> split_bars(const std::string& line) {
  std::vector<std::string> parts;
  std::stringstream in(line);
  std::string part;
  while (std::getline(in, part, '|')) {
    size_t a = part.find_first_not_of(' '), b = part.find_last_not_of(" \r");
    parts.push_back(a == std::string::npos ? "" : part.substr(a, b - a + 1));
  }
  return parts;
}

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

uint16_t code(int from, int to, int promotion = 0) {
  return uint16_t(to | from << 6 | promotion << 12);
}

class PolyglotTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    Control.uciMode = 1;
    Control.noise = 0;
    Options.OwnBook_Variety = 25;
  }
  // The probe's move and everything it printed.
  std::pair<Move, std::string> probe(const std::string& path) {
    testing::internal::CaptureStdout();
    Move m = book_probe(t->pos, path.c_str());
    return {m, testing::internal::GetCapturedStdout()};
  }
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

TEST_F(PolyglotTest, MoveCodesBecomeEngineMoves) {
  struct Case { uint16_t code; Move move; } cases[] = {
      {code(SQ_E1, SQ_H1), make_move_code(SQ_E1, SQ_G1, FLAG_Q_SHORT)},
      {code(SQ_E1, SQ_A1), make_move_code(SQ_E1, SQ_C1, FLAG_N_LONG)},
      {code(12, 28), make_move_code(12, 28)},
      {code(52, 60, 1), make_move_code(52, 60, FLAG_N_LONG)},
      {code(11, 2, 4), make_move_code(11, 2, FLAG_Q_SHORT)},
  };
  for (const Case& c : cases) EXPECT_EQ(book_move_to_move(c.code), c.move) << code_text(c.code);
  // And back, on positions where the moves are legal.
  set("r3k2r/1P6/8/8/8/8/6p1/R3K2R w KQkq - 0 1");
  EXPECT_EQ(move_to_book_move(t->pos, make_move_code(SQ_E1, SQ_C1, FLAG_N_LONG)), code(SQ_E1, SQ_A1));
  EXPECT_EQ(move_to_book_move(t->pos, make_move_code(49, 56, FLAG_B)), code(49, 56, 2));
  set("r3k2r/1P6/8/8/8/8/6p1/R3K2R b KQkq - 0 1");
  EXPECT_EQ(move_to_book_move(t->pos, make_move_code(SQ_E8, SQ_G8, FLAG_Q_SHORT)), code(SQ_E8, SQ_H8));
  EXPECT_EQ(move_to_book_move(t->pos, make_move_code(14, 7, FLAG_Q_SHORT)), code(14, 7, 4));
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

}  // namespace
