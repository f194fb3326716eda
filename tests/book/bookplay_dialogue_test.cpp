// The books in play through the built engine: which book answers at which
// game ply, the lines of a book answer, and moves that would draw.
#include "../board/board_fixture.h"
#include "../frontend/dialogue.h"
#include "book/polyglot.h"

namespace {

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
