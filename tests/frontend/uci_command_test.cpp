// The "position" and "go" commands run in-process on the game record: the
// board "position" leaves behind, field by field, and the limits "go"
// leaves for the loop to act on (no search runs here).
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "../board/board_fixture.h"
#include "dialogue.h"
#include "board/bitboard.h"
#include "board/draw.h"
#include "board/fen.h"
#include "board/zobrist.h"
#include "core/control.h"
#include "core/game.h"
#include "frontend/gamemoves.h"
#include "frontend/ucicommands.h"
#include "core/searchthread.h"
#include "search/score.h"

namespace {

constexpr float UNLIMITED_SECONDS = 10000000.0f;

class PositionCommandTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    init_board_tables();
    init_zobrist();
    if (!Game) {
      ASSERT_TRUE(allocate_game());
    }
  }
  void SetUp() override {
    set_control_defaults(Control);
    uci_command("position startpos");
  }
  void TearDown() override { set_control_defaults(Control); }
  static std::string fen() { return fen_of(Game->pos); }
};

// One cycle of knight moves that brings the start position back.
const std::string SHUFFLE = " g1f3 g8f6 f3g1 f6g8";

TEST_F(PositionCommandTest, PositionsAndTheirMoves) {
  struct Case {
    const char *command, *fen;
    int plies;  // the game's plies: the moves played since the set-up
  } cases[] = {
      {"position startpos moves e2e4 c7c5 g1f3", "rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -", 3},
      {"position fen 4k3/P7/8/8/8/8/8/4K3 w - - 12 40 moves a7a8n e8d7", "N7/3k4/8/8/8/8/8/4K3 w - -", 2},
      // A promotion without its letter becomes a queen.
      {"position fen 4k3/P7/8/8/8/8/8/4K3 w - - moves a7a8", "Q3k3/8/8/8/8/8/8/4K3 b - -", 1},
      {"position fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - moves e1g1 e8c8", "2kr3r/8/8/8/8/8/8/R4RK1 w - -", 2},
      // Chess960: king takes rook is castling (b1a1 long, b8h8 short); a
      // king moving one file is an ordinary move.
      {"position fen 1k5r/8/8/8/8/8/8/RK5R w HAh - moves b1a1 b8h8", "5rk1/8/8/8/8/8/8/2KR3R w - -", 2},
      {"position fen 1k5r/8/8/8/8/8/8/RK5R w HAh - moves b1c1", "1k5r/8/8/8/8/8/8/R1K4R b k -", 1},
  };
  for (const Case& c : cases) {
    uci_command(c.command);
    EXPECT_EQ(fen(), c.fen) << c.command;
    EXPECT_EQ(game_ply(), c.plies) << c.command;
  }
}

TEST_F(PositionCommandTest, MoveThePiecesCannotMakeEndsTheList) {
  const char* cases[] = {
      "position startpos moves e2e4 e7e5 e4e5 g1f3",   // own piece blocks
      "position startpos moves e2e4 e7e5 e5e4 g1f3",   // not the mover's piece
      "position startpos moves e2e4 e7e5 i2i4 g1f3",   // off the board
      "position startpos moves e2e4 e7e5 d2d4x g1f3",  // stray fifth character
      "position startpos moves e2e4 e7e5 f1f3 g1f3",   // a bishop cannot go there
      "position startpos moves e2e4 e7e5 e1g1 g1f3",   // castling through pieces
  };
  for (const char* command : cases) {
    uci_command(command);
    EXPECT_EQ(fen(), "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6") << command;
    EXPECT_EQ(game_ply(), 2) << command;
  }
  // After f6 and Qh5+ Black ignores the check; taking the king would leave
  // a board without a black king.
  uci_command("position startpos moves e2e4 f7f6 d1h5 a7a6 h5e8");
  EXPECT_EQ(game_ply(), 4);
  EXPECT_EQ(Game->pos.kingSq[BLACK], SQ_E8);
}

TEST_F(PositionCommandTest, LongGameKeepsItsPlyAndItsRepetitions) {
  std::string command = "position startpos moves e2e4 e7e5";
  for (int i = 0; i < 240; i++) command += SHUFFLE;  // 960 more plies
  uci_command(command.c_str());
  EXPECT_EQ(game_ply(), 962);
  EXPECT_LT(Game->undoIndex, GAME_UNDO_LIMIT + 1);
  EXPECT_EQ(fen(), "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -");
  // The position after e5 has occurred many times: still seen as a draw.
  EXPECT_TRUE(is_draw(Game->pos, 0));
}

TEST_F(PositionCommandTest, CompactionKeepsTheRecordsSinceTheLastPawnMove) {
  // 800 quiet plies, a pawn move each, then cycles that repeat the position
  // after e5 (without its en-passant square) at plies 806, 810, ... The
  // stack fills at ply 820, in the middle of those repetitions.
  std::string command = "position startpos moves";
  for (int i = 0; i < 200; i++) command += SHUFFLE;
  command += " e2e4 e7e5";
  for (int i = 0; i < 5; i++) command += SHUFFLE;
  uci_command(command.c_str());
  EXPECT_EQ(game_ply(), 822);
  EXPECT_LT(Game->undoIndex, 820);  // room was made
  EXPECT_TRUE(is_draw(Game->pos, 0));
  uci_command((command + " b1c3").c_str());
  EXPECT_FALSE(is_draw(Game->pos, 0));  // a position not seen before
  EXPECT_EQ(game_ply(), 823);
}

// --------------------------------------------------------------------- go

class GoCommandTest : public PositionCommandTest {
 protected:
  // Runs "go ..." and returns the requested state; the request is dropped
  // again so that nothing is left for a loop to start.
  int go(const char* args) {
    uci_command((std::string("go ") + args).c_str());
    int state = Control.state.load();
    Control.state.store(STATE_IDLE);
    return state;
  }
  const SearchLimits& limits = Control.limits;
};

TEST_F(GoCommandTest, ClocksAndTheIncrementOfTheSideToMove) {
  uci_command("position startpos moves e2e4");
  EXPECT_EQ(go("wtime 1000 btime 1000 winc 100 binc 200"), STATE_GO);
  EXPECT_EQ(limits.limitKind, LIMIT_CLOCK);
  EXPECT_FLOAT_EQ(limits.clock[WHITE], 1.0f);
  EXPECT_FLOAT_EQ(limits.clock[BLACK], 1.0f);
  EXPECT_FLOAT_EQ(limits.increment, 0.2f);
  uci_command("position startpos");
  go("wtime 1000 btime 1000 winc 100 binc 200");
  EXPECT_FLOAT_EQ(limits.increment, 0.1f);
  go("wtime -300 btime 5000");  // a negative clock counts as zero
  EXPECT_FLOAT_EQ(limits.clock[WHITE], 0.0f);
  EXPECT_FLOAT_EQ(limits.clock[BLACK], 5.0f);
}

// Each limit in its range; "movetime" drops the increment; every go starts
// from the command line's limits, which "infinite" and a moves-to-go
// control keep or clear as their own.
TEST_F(GoCommandTest, LimitsAndTheirRanges) {
  Control.limits.maxDepth = 5;
  Control.limits.nodeLimit = 777;
  go("wtime 60000 btime 60000 movestogo 17");
  EXPECT_EQ(limits.limitKind, LIMIT_MOVESTOGO_MARK);
  EXPECT_EQ(limits.movesToGo, 17);
  EXPECT_EQ(limits.maxDepth + limits.nodeLimit, uint64_t(MAX_DEPTH));
  go("depth 99");
  EXPECT_EQ(limits.maxDepth, MAX_DEPTH);
  EXPECT_EQ(limits.limitKind, LIMIT_FIXED);
  go("wtime 1000 btime 1000 winc 500 movetime 250");
  EXPECT_FLOAT_EQ(limits.timePerMove, 0.25f);
  EXPECT_FLOAT_EQ(limits.increment, 0.0f);
  go("mate 999 wtime 1000 btime 1000");
  EXPECT_EQ(limits.mateMoves, MAX_MATE_MOVES);
  EXPECT_EQ(limits.limitKind, LIMIT_CLOCK);
  go("");
  EXPECT_EQ(limits.mateMoves + limits.searchMoveCount, 0) << "nothing kept from the last go";
  Control.baseLimits.maxDepth = 6;
  Control.baseLimits.nodeLimit = 9000;
  go("wtime 1000 btime 1000 movestogo 20");
  EXPECT_EQ(limits.maxDepth + limits.nodeLimit, 6 + 9000u);
  go("infinite");
  EXPECT_FLOAT_EQ(limits.timePerMove, UNLIMITED_SECONDS);
  EXPECT_EQ(limits.maxDepth + limits.nodeLimit, uint64_t(MAX_DEPTH)) << "analysis runs until stop";
  // Nodes are spread by at most 4 %, both ways, without overflow.
  bool low = false, high = false;
  for (int i = 0; i < 100; i++) {
    go("nodes 4000000000");
    EXPECT_GE(limits.nodeLimit, 3840000000u);
    EXPECT_LE(limits.nodeLimit, 4160000000u);
    low |= limits.nodeLimit < 4000000000u;
    high |= limits.nodeLimit > 4000000000u;
  }
  EXPECT_TRUE(low && high);
}

TEST_F(GoCommandTest, SearchMovesKeepTheDistinctLegalMovesListed) {
  struct Case { const char* fen; const char* args; std::set<std::string> kept; } cases[] = {
      {nullptr, "searchmoves a2a3 b2b3 depth 8", {"a2a3", "b2b3"}},
      {nullptr, "depth 8 searchmoves a2a3 e2e5 zz a2a3 g1f3x b1c3 ponder", {"a2a3", "b1c3"}},
      {nullptr, "searchmoves 0000", {}},
      // Into check, along the checking rook's lines: only the capture is legal.
      {"4k3/8/8/8/8/8/3r4/4K3 w - -", "searchmoves e1e2 e1d1 e1d2", {"e1d2"}},
      // Castling written either way is the one move.
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "searchmoves e1h1 e1g1", {"e1g1"}},
  };
  for (const Case& c : cases) {
    uci_command(c.fen ? (std::string("position fen ") + c.fen).c_str() : "position startpos");
    captured_output([&] { go(c.args); });
    std::set<Move> expected;
    for (const std::string& m : c.kept) expected.insert(game_move_from_text(m.c_str()));
    std::set<Move> kept(limits.searchMoves, limits.searchMoves + limits.searchMoveCount);
    EXPECT_EQ(kept, expected) << c.args;
    EXPECT_EQ(size_t(limits.searchMoveCount), c.kept.size()) << c.args;
  }
}

}  // namespace
