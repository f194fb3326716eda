// Move text against an independent oracle (san.txt) and the printing and
// reading rules of coordinate and algebraic notation.

#include "board/makemove.h"
#include "board/notation.h"
#include "board_fixture.h"
#include "frontend/control.h"

namespace {

class NotationTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    Control.uciMode = 1;
    Control.chess960 = 0;
  }
  Move parse(const char* text) {
    Move m = MOVE_NONE;
    return parse_move_in(t->pos, text, &m) ? m : MOVE_NONE;
  }
  std::string coord(Move m) {
    char out[16];
    move_to_text(t->pos, t->pos.side, m, out);
    return out;
  }
  std::string san(Move m) {
    char out[16];
    move_to_san(t->pos, m, out);
    return out;
  }
};

TEST_F(NotationTest, EveryReferenceMoveReadsAndPrints) {
  auto cases = read_san_file(data_path("san.txt"));
  ASSERT_GT(cases.size(), 1000u);
  for (const SanCase& c : cases) {
    set(c.fen.c_str());
    Move fromUci = parse(c.uci.c_str());
    ASSERT_NE(fromUci, MOVE_NONE) << c.fen << " " << c.uci;
    EXPECT_EQ(coord(fromUci), c.uci) << c.fen;
    EXPECT_EQ(parse(c.san.c_str()), fromUci) << c.fen << " " << c.san;
    EXPECT_EQ(san(fromUci), c.san) << c.fen << " " << c.uci;
  }
  EXPECT_EQ(coord(MOVE_NONE), "null");
}

TEST_F(NotationTest, AcceptedSpellings) {
  set(START_FEN);
  Move e4 = make_move_code(12, 28), nf3 = make_move_code(6, 21);
  for (const char* s : {"e2e4", "e4"}) EXPECT_EQ(parse(s), e4) << s;
  for (const char* s : {"Nf3", "Ngf3", "Ng1f3", "g1f3"}) EXPECT_EQ(parse(s), nf3) << s;
  EXPECT_EQ(parse(""), MOVE_NONE);
  EXPECT_EQ(parse("+"), MOVE_NONE);
  EXPECT_EQ(parse("e5"), MOVE_NONE);
  EXPECT_EQ(parse("zz"), MOVE_NONE);

  set("4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1");
  Move exd5 = make_move_code(28, 35);
  for (const char* s : {"exd5", "ed", "e4d5", "exd5+"}) EXPECT_EQ(parse(s), exd5) << s;
}

TEST_F(NotationTest, Disambiguation) {
  // Knights on b1 and f3 both reach d2: file form.
  set("4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1");
  Move nbd2 = make_move_code(1, 11);
  EXPECT_EQ(san(nbd2), "Nbd2");
  EXPECT_EQ(parse("Nd2"), MOVE_NONE);
  EXPECT_EQ(parse("Nbd2"), nbd2);
  // Knights on d1 and d3 reach f2: the file does not separate them.
  set("4k3/8/8/8/8/3N4/8/3NK3 w - - 0 1");
  Move n1f2 = make_move_code(3, 13);
  EXPECT_EQ(san(n1f2), "N1f2");
  for (const char* s : {"N1f2", "Nd1f2", "d1f2"}) EXPECT_EQ(parse(s), n1f2) << s;
  // A pinned rival cannot move there, so it does not count.
  set("4k3/4r3/8/8/8/8/4N3/1N2K3 w - - 0 1");
  EXPECT_EQ(san(make_move_code(1, 19)), "Nd3");
}

TEST_F(NotationTest, AmbiguousTextIsRefused) {
  // "b1c1" in Chess960 is both the king step and long castling.
  set("4k3/8/8/8/8/8/8/RK6 w A - 0 1");
  testing::internal::CaptureStdout();
  EXPECT_EQ(parse("b1c1"), MOVE_NONE);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ambiguous move\n");
}

}  // namespace
