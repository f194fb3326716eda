// The EPD runner: the counting rules of one answer, and whole runs through
// the built binary (output forms, summary, bad lines, "quit" read during
// the run).
#include "tools/epdanalysis.h"

#include <fstream>
#include <regex>

#include "../board/board_fixture.h"
#include "../frontend/dialogue.h"
#include "board/notation.h"

namespace {

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

class EpdScoring : public BoardTest {};

TEST_F(EpdScoring, BestMovesAvoidMovesAndPoints) {
  struct Case {
    const char* ops;  // operations after the position
    const char* answer;
    int correct, points, possible;
  };
  const Case cases[] = {
      {"bm e4;", "e4", 1, 0, 0},
      {"bm e4;", "d4", 0, 0, 0},
      {"bm Nf3 e4;", "e4", 1, 0, 0},          // any listed move
      {"bm Nf3,g1f3;", "Nf3", 2, 0, 0},       // every matching piece counts
      {"bm \"e4\";", "e4", 1, 0, 0},
      {"bm Ke2 xx;", "e4", 0, 0, 0},          // unparsable pieces count nothing
      {"am e4;", "d4", 1, 0, 0},
      {"am e4;", "e4", 0, 0, 0},
      {"am Zz9;", "d4", 0, 0, 0},             // an unparsable "am" is not counted
      {"bm d4; am e4;", "d4", 1, 0, 0},       // with "bm" the "am" is not read
      {"c0 \"e4=10, d4=5\";", "e4", 0, 10, 10},
      {"c0 \"e4=10, d4=5\";", "d4", 0, 5, 10},
      {"c0 \"e4=10, d4=5\";", "c4", 0, 0, 10},
      {"c0 \"e4=3, d4=7\"; bm d4;", "d4", 1, 7, 7},
      {"c0 \"e4 d4\";", "e4", 0, 0, 0},       // no points listed at all
      {"c0 \"=5, e4=, xx=9\";", "e4", 0, 0, 9},  // broken pieces: no crash
  };
  for (const Case& c : cases) {
    std::string line = std::string(START) + " " + c.ops;
    EpdFields ops;
    parse_epd(line.c_str(), ops);
    Position& pos = set(START);
    Move answer = MOVE_NONE;
    ASSERT_TRUE(parse_move_in(pos, c.answer, &answer)) << c.answer;
    EpdAnswerScore s = score_epd_answer(pos, ops, answer);
    EXPECT_EQ(s.correct, c.correct) << c.ops << " / " << c.answer;
    EXPECT_EQ(s.points, c.points) << c.ops << " / " << c.answer;
    EXPECT_EQ(s.possible, c.possible) << c.ops << " / " << c.answer;
  }
}

std::string write_file(const std::string& dir, const std::string& name, const std::string& text) {
  std::ofstream(dir + "/" + name) << text;
  return dir + "/" + name;
}

std::vector<std::string> summary(const Dialogue& d) {
  std::vector<std::string> lines = lines_of(d.output);
  for (size_t i = 0; i < lines.size(); i++)
    if (lines[i].find("correct best moves") != std::string::npos)
      return std::vector<std::string>(lines.begin() + long(i), lines.end());
  return {};
}

TEST(EpdDialogue, BothOutputFormsAndTheSummary) {
  std::string dir = make_temp_dir();
  std::string input =
      "# a comment\n"
      "; another\n"
      " 8/8/8/8/8/8/8/8 w - - indented lines are skipped\n"
      "short\n"
      // mate in one: Qh7# is the only winning answer
      "6k1/5ppp/8/8/8/8/5PPP/3Q2K1 w - - bm Qd8+; id \"mate\"; c0 \"Qd8+=10, Qd7=1\";\n"
      "6k1/5ppp/8/8/8/8/5PPP/3Q2K1 w - - 0 1 gr 1-0; am Qd7;\n"
      "4k3/8/8/8/8/8/8/KK6 w - - bm Ka2; two white kings\n"
      "4k3/8/8/8/8/8/4P3/4K3\n"                           // fields missing: White to move
      "4k3/8/8/8/8/8/4P3/4K3 b - - bm ;c0 \"=;am\x01\xff\n"  // broken operations
      "x" + std::string(600, 'y') + "\n";
  write_file(dir, "suite.epd", input);
  Dialogue d = run_engine({"-d", "3", "-anepd", "suite.epd", "-o", "answers.epd"}, "", dir);
  EXPECT_EQ(d.exitStatus, 0);
  EXPECT_NE(d.output.find("Analyzing suite.epd...\n"), std::string::npos);
  EXPECT_NE(d.output.find("info string position refused"), std::string::npos);
  EXPECT_NE(d.output.find("info string an EPD line longer than 510 characters is skipped"),
            std::string::npos);
  std::vector<std::string> s = summary(d);
  ASSERT_EQ(s.size(), 9u) << d.output;
  EXPECT_EQ(s[0], "2 / 4 correct best moves");
  std::regex shape(R"(total nodes= \d+\ntotal time= \d+\.\d\d seconds\navg depth= \d+\.\d\n)"
                   R"(avg nodes= \d+\.0\nnode_rate= \d+\navg bf= 2\.00\n)");
  std::string middle = s[1] + "\n" + s[2] + "\n" + s[3] + "\n" + s[4] + "\n" + s[5] + "\n" + s[6] + "\n";
  EXPECT_TRUE(std::regex_match(middle, shape)) << middle;
  EXPECT_EQ(s[7], "score= 10 / 10");
  EXPECT_EQ(s[8], "");
  EXPECT_EQ(d.output.find("pos= "), std::string::npos) << "quiet by default";
  std::vector<std::string> out = lines_of(read_file(dir + "/answers.epd"));
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0], "6k1/5ppp/8/8/8/8/5PPP/3Q2K1 w - - bm d1d8; ce 9998;");
  EXPECT_EQ(out[1], "6k1/5ppp/8/8/8/8/5PPP/3Q2K1 w - - 0 1 gr 1-0; am Qd7; sc 9998;");
}

TEST(EpdDialogue, MissingInputEndsWithoutOutputAndQuitEndsTheRun) {
  std::string dir = make_temp_dir();
  Dialogue d = run_engine({"-anepd", "absent.epd"}, "", dir);
  EXPECT_EQ(d.exitStatus, 0);
  EXPECT_EQ(d.output.find("Analyzing"), std::string::npos);
  EXPECT_TRUE(read_file(dir + "/analysis.epd").empty());
  // "quit" read during the first search ends the run after it: one answer.
  d = run_engine({"-t", "0.5", "-anepd", data_path("epd/wac.epd")}, "quit\n", dir);
  std::vector<std::string> s = summary(d);
  ASSERT_FALSE(s.empty()) << d.output;
  EXPECT_TRUE(s[0] == "1 / 1 correct best moves" || s[0] == "0 / 1 correct best moves") << s[0];
}

}  // namespace
