// The EPD runner: the counting rules of one answer.
#include "tools/epdanalysis.h"

#include "../board/board_fixture.h"
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

}  // namespace
