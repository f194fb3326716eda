// Polyglot keys and probes against the published keys and the shared
// books, the variety arithmetic, and damaged books.
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "../board/board_fixture.h"
#include "../frontend/dialogue.h"
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

std::string write_book(const std::vector<BookEntry>& entries, const std::string& extra = "") {
  static int serial = 0;
  std::string path = make_temp_dir() + "/book" + std::to_string(serial++) + ".bin";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  for (const BookEntry& e : entries) write_book_entry(f, e);
  std::fwrite(extra.data(), 1, extra.size(), f);
  std::fclose(f);
  return path;
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

// The tiny book holds Black's moves of the Lasker trap in the Albin
// Counter-Gambit: along the line every Black position lists exactly the
// move played, White positions list nothing, and every entry is reached.
TEST_F(PolyglotTest, LaskerTrapLineListsEveryEntryOfTheFile) {
  std::string path = data_path("books/lasker-trap.bin");
  std::set<std::pair<uint64_t, uint16_t>> inFile, reached;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  BookEntry e;
  while (read_book_entry(f, &e) == 0) inFile.insert({e.key, e.move});
  std::fclose(f);
  ASSERT_EQ(inFile.size(), 7u);
  set(START_FEN);
  for (const char* text : {"d2d4", "d7d5", "c2c4", "e7e5", "d4e5", "d5d4", "e2e3", "f8b4", "c1d2",
                           "d4e3", "d2b4", "e3f2", "e1e2", "f2g1n"}) {
    Move m;
    ASSERT_TRUE(parse_move_in(t->pos, text, &m)) << text;
    BookProbe p;
    ASSERT_TRUE(find_book_entries(path.c_str(), book_key(t->pos), p));
    ASSERT_EQ(p.count, t->pos.side == BLACK ? 1 : 0) << text;
    if (p.count) {
      EXPECT_EQ(book_move_to_move(p.entries[0].move), m) << text;
      reached.insert({p.entries[0].key, p.entries[0].move});
    }
    make_move(t->pos, m);
  }
  EXPECT_EQ(reached, inFile);
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

TEST_F(PolyglotTest, ProbeListsTheMovesAndPlaysAValidOne) {
  set(START_FEN);
  uint64_t key = book_key(t->pos);
  std::string path = write_book({{key, code(12, 28), 3, 0}, {key, code(11, 27), 1, 0},
                                 {key, code(6, 21), 0, 0}});
  std::set<Move> seen;
  for (int i = 0; i < 60; i++) {
    auto [m, out] = probe(path);
    EXPECT_EQ(out, "info string ( book moves are: e2e4 d2d4  )\n");
    seen.insert(m);
  }
  EXPECT_EQ(seen, (std::set<Move>{make_move_code(12, 28), make_move_code(11, 27)}));
  Control.uciMode = 0;
  auto [m, out] = probe(path);
  EXPECT_NE(out.find("  e2e4  cnt=     3, weight= 75.00% -> 75.00%\n"), std::string::npos) << out;
  EXPECT_NE(out.find("  d2d4  cnt=     1, weight= 25.00% -> 25.00%\n"), std::string::npos) << out;
  EXPECT_NE(out.find(std::string("selecting ") + SquareName[move_from(m)] + SquareName[move_to(m)]),
            std::string::npos);
  Control.noise = 9999;
  EXPECT_EQ(probe(path).second, "");
  // One entry is always chosen, whatever the variety.
  std::string single = write_book({{key, code(6, 21), 9, 0}});
  for (int variety : {0, 25, 100}) {
    Options.OwnBook_Variety = int16_t(variety);
    EXPECT_EQ(probe(single).first, make_move_code(6, 21));
  }
}

TEST_F(PolyglotTest, DamagedBooksGiveNoMoveAndNeverReadPastTheFile) {
  set(START_FEN);
  uint64_t key = book_key(t->pos);
  BookEntry e4 = {key, code(12, 28), 5, 0};
  EXPECT_EQ(probe("").first, MOVE_NONE);
  EXPECT_EQ(probe("/nonexistent/book.bin"), (std::pair<Move, std::string>{MOVE_NONE, ""}));
  EXPECT_EQ(probe(write_book({})), (std::pair<Move, std::string>{MOVE_NONE, ""}));
  EXPECT_EQ(probe(write_book({}, "short")).first, MOVE_NONE);
  // A truncated book keeps its whole entries and says what it ignored.
  auto [m, out] = probe(write_book({{key - 1, 0, 1, 0}, e4}, "abc"));
  EXPECT_EQ(m, make_move_code(12, 28));
  EXPECT_NE(out.find("info string book "), std::string::npos);
  EXPECT_NE(out.find("3 bytes after the last whole entry are ignored"), std::string::npos);
  // Keys out of order: the bisection is refused with a message.
  std::vector<BookEntry> unsorted;
  for (uint64_t k : {9ull, 8ull, 7ull, 6ull, 5ull}) unsorted.push_back({k << 60, code(12, 28), 1, 0});
  unsorted.push_back({key, code(12, 28), 1, 0});
  unsorted.push_back({1, code(12, 28), 1, 0});
  auto [mu, outu] = probe(write_book(unsorted));
  EXPECT_EQ(mu, MOVE_NONE);
  EXPECT_NE(outu.find("is not sorted by key"), std::string::npos);
  // All weights 0, an impossible move, and a rook on e1 read as castling.
  EXPECT_EQ(probe(write_book({{key, code(12, 28), 0, 0}})).first, MOVE_NONE);
  EXPECT_EQ(probe(write_book({{key, code(12, 36), 1, 0}})).first, MOVE_NONE);
  set("4k3/8/8/8/8/8/8/3KR2R w - - 0 1");
  EXPECT_EQ(probe(write_book({{book_key(t->pos), code(SQ_E1, SQ_H1), 1, 0}})).first, MOVE_NONE);
  // More than 128 entries of one key: only the first 128 count.
  set(START_FEN);
  std::vector<BookEntry> many(130, {key, code(12, 28), 0, 0});
  many[129].weight = 1000;
  many[0].weight = 1;
  BookProbe p;
  ASSERT_TRUE(find_book_entries(write_book(many).c_str(), key, p));
  EXPECT_EQ(p.count, BOOK_MAX_ENTRIES);
  EXPECT_EQ(p.entries[127].weight, 0);
}

}  // namespace
