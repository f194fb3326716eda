// Position set-up from FEN, FEN output, castling rights tied to real rook
// squares and the en-passant square, the hashing keys, and move notation.
#include <bit>
#include <cstring>

#include "../frontend/dialogue.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "board_checks.h"
#include "board_fixture.h"
#include "core/control.h"

namespace {

using FenTest = BoardTest;

// (The two counters written back are the clock test's.)
TEST_F(FenTest, WritesBackWhatItReads) {
  auto fens = perft_fens("random.perft");
  for (const char* f : {"standard.perft", "tricky.perft"})
    for (auto& fen : perft_fens(f)) fens.push_back(fen);
  int withEp = 0;
  for (const std::string& fen : fens) {
    Position& pos = set(fen.c_str());
    ASSERT_EQ(fen_of(pos), fen);
    withEp += pos.epSquare != NO_SQUARE;
    ASSERT_EQ(consistency_error(pos), "") << fen;
  }
  EXPECT_GT(withEp, 5);
}

// Castling letters with two rooks on one side of the king: "K", "Q", "k"
// and "q" name the outermost rook (X-FEN, as cutechess, lichess and
// python-chess read them), a file letter names that rook exactly, also an
// inner one. Written back, a right to the outermost rook is "KQkq" and one
// to an inner rook its file letter (as python-chess writes X-FEN).
TEST_F(FenTest, CastlingLettersWithTwoRooksOnOneSide) {
  constexpr int NONE = NO_SQUARE, SQ_B1 = SQ_A1 + 1, SQ_F1 = SQ_H1 - 2, SQ_B8 = SQ_A8 + 1;
  struct Case { const char* fen; int rook[4]; const char* written; } cases[] = {
      {"4k3/8/8/8/8/8/8/4KR1R w K -", {SQ_H1, NONE, NONE, NONE}, "K"},
      {"4k3/8/8/8/8/8/8/4KR1R w H -", {SQ_H1, NONE, NONE, NONE}, "K"},
      {"4k3/8/8/8/8/8/8/4KR1R w F -", {SQ_F1, NONE, NONE, NONE}, "F"},
      {"4k3/8/8/8/8/8/8/4KR1R w G -", {NONE, NONE, NONE, NONE}, "-"},  // no rook on g1
      {"4kr1r/8/8/8/8/8/8/4K3 b k -", {NONE, NONE, SQ_H8, NONE}, "k"},
      {"4k3/8/8/8/8/8/8/R1R1K3 w Q -", {NONE, SQ_A1, NONE, NONE}, "Q"},
      {"4k3/8/8/8/8/8/8/R1R1K3 w C -", {NONE, SQ_C1, NONE, NONE}, "C"},
      {"1r2k1rr/8/8/8/8/8/8/RR2K1R1 w KQkq -", {SQ_G1, SQ_A1, SQ_H8, SQ_B8}, "KQkq"},
      {"1r2k1rr/8/8/8/8/8/8/RR2K1R1 w GBgb -", {SQ_G1, SQ_B1, SQ_G8, SQ_B8}, "KBgq"},
      {"rk2r2r/8/8/8/8/8/8/R1K1R2R w EAea -", {SQ_E1, SQ_A1, SQ_E8, SQ_A8}, "EQeq"},
      {"rk2r2r/8/8/8/8/8/8/R1K1R2R w HAha -", {SQ_H1, SQ_A1, SQ_H8, SQ_A8}, "KQkq"},
  };
  for (const Case& c : cases) {
    Position& pos = set(c.fen);
    for (int right = 0; right < 4; right++) {
      EXPECT_EQ(pos.castleRookSq[right], c.rook[right]) << c.fen << " right " << right;
      EXPECT_EQ((pos.castling >> right) & 1, c.rook[right] != NONE) << c.fen << " right " << right;
    }
    std::string fen = fen_of(pos);
    std::string field = fen.substr(fen.find(' ', fen.find(' ') + 1) + 1);
    EXPECT_EQ(field.substr(0, field.find(' ')), c.written) << c.fen;
    // What is written reads back to the same rights and rooks.
    Position& again = set(fen.c_str());
    for (int right = 0; right < 4; right++) EXPECT_EQ(again.castleRookSq[right], c.rook[right]) << fen;
  }
}

// The half-move clock is read (clients send the game's real one); the move
// number is not. Out-of-range clocks are clamped, anything but a number is
// 0, and an EPD record (operations where the clock would be) reads as 0.
TEST_F(FenTest, HalfMoveClockIsRead) {
  const std::string board = "4k3/8/8/8/8/8/8/3QK3 w - -";
  struct Case { const char* tail; int fifty; } cases[] = {
      {" 37 60", 37}, {" 99 80", 99}, {" 0 1", 0}, {" 150 200", 150}, {" 151 1", 150},
      {" 300 1", 150}, {" 99999999999999999999 1", 150}, {" -5 1", 0}, {" +12 1", 12},
      {"", 0}, {" ", 0}, {" - 1", 0}, {" x 1", 0}, {" 12abc 40", 0}, {"   42   7", 42},
      {" 7", 7}, {" bm Qd8+; id \"x\";", 0}, {" hmvc 12;", 0},
  };
  for (const Case& c : cases) {
    Position& pos = set((board + c.tail).c_str());
    EXPECT_EQ(pos.fifty, c.fifty) << "'" << c.tail << "'";
    // The clock is not part of the position's key.
    EXPECT_EQ(pos.key, set(board.c_str()).key) << c.tail;
  }
  // Written back with the counters: the clock, then the moves made since
  // the set-up; it counts on from the FEN's value.
  Position& pos = set("4k3/8/8/8/8/8/8/3QK3 w - - 37 60");
  EXPECT_EQ(fen_of(pos, true), "4k3/8/8/8/8/8/8/3QK3 w - - 37 0");
  make_move(pos, find_move(pos, "d1d2"));
  EXPECT_EQ(fen_of(pos, true), "4k3/8/8/8/8/8/3Q4/4K3 b - - 38 1");
  // An EPD record is split before its operations, so its position part
  // never carries a clock.
  EpdFields epd;
  parse_epd("4k3/8/8/8/8/8/8/3QK3 w - - 37 60 bm Qd8+; id \"clock\";", epd);
  EXPECT_STREQ(epd.fen, "4k3/8/8/8/8/8/8/3QK3 w - -");
  EXPECT_STREQ(epd.bm, "Qd8+");
  EXPECT_EQ(set(epd.fen).fifty, 0);
}

TEST_F(FenTest, EnPassantSquareKeptOnlyAfterAPossibleDoubleStep) {
  EXPECT_EQ(set("4k3/8/8/8/4P3/8/8/4K3 b - e3").epSquare, 20);
  EXPECT_EQ(set("4k3/8/8/8/4P3/8/8/4K3 b - e3").key ^ set("4k3/8/8/8/4P3/8/8/4K3 b - -").key, Zobrist[20]);
  EXPECT_EQ(set("4k3/8/8/8/4P3/8/8/4K3 w - e3").epSquare, NO_SQUARE);   // white just moved?
  EXPECT_EQ(set("4k3/8/8/8/8/8/8/4K3 b - e3").epSquare, NO_SQUARE);     // no pawn on e4
  EXPECT_EQ(set("4k3/8/8/8/4P3/8/4N3/4K3 b - e3").epSquare, NO_SQUARE);  // e2 occupied
  EXPECT_EQ(set("4k3/8/8/8/4P3/4N3/8/4K3 b - e3").epSquare, NO_SQUARE);  // e3 occupied
  EXPECT_EQ(set("4k3/8/8/3pP3/8/8/8/4K3 w - d6").epSquare, 43);
}

// ---------------------------------------------------------------- hashing
// The hashing keys are fixed by their generator (searches and stored
// positions must reproduce across runs and builds), so the table is
// rebuilt here from the generator's definition and compared entry by entry.

// The keys are drawn once per process; this environment makes sure that
// happens with standard output captured, before any test suite runs.
class KeyDrawing : public ::testing::Environment {
 public:
  void SetUp() override {
    ::testing::internal::CaptureStdout();
    init_board_tables();
    init_zobrist();
    output = ::testing::internal::GetCapturedStdout();
  }
  static inline std::string output;
};
[[maybe_unused]] auto* const keyDrawing = ::testing::AddGlobalTestEnvironment(new KeyDrawing);

TEST(ZobristTest, KeysFollowTheTwoMultiplyWithCarryGenerators) {
  // The very first candidate, 0x906946505e60d900, has only 23 set bits
  // and must be redrawn; entry 0 is the second candidate. The last entry
  // pins the whole sequence of draws.
  EXPECT_EQ(Zobrist[0], 0xe708e34f294dde49ULL);
  EXPECT_EQ(Zobrist[1], 0x6338ab3e8b29b46dULL);
  EXPECT_EQ(Zobrist[1023], 0x03f2b2c0f6afa13cULL);
}

// --------------------------------------------------------------- notation
// Move text against an independent oracle (san.txt) and the printing and
// reading rules of coordinate and algebraic notation.

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
  EXPECT_EQ(captured_output([&] { EXPECT_EQ(parse("b1c1"), MOVE_NONE); }), "ambiguous move\n");
}

}  // namespace
