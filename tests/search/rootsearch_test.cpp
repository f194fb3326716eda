// The root driver: on the test's own thread what it publishes, when it
// stops deepening and the lines it prints; then on threads of its own;
// with the tablebases deciding at the root; and the time it is given.
#include <algorithm>
#include <set>
#include <string>

#include "../syzygy/tb_fixture.h"
#include "board/fen.h"
#include "core/game.h"
#include "frontend/gamemoves.h"
#include "platform/platform.h"
#include "search/rootsearch.h"
#include "search/search.h"
#include "search/searchstart.h"
#include "core/searchthread.h"
#include "search/threads.h"
#include "search/timeman.h"
#include "search/tt.h"
#include "search/wdlmodel.h"
#include "search_fixture.h"
#include "syzygy/tbregistry.h"
#include "syzygy/tbroot.h"

namespace {

constexpr const char* BACK_RANK_MATE = "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - -";
constexpr const char* MIDDLEGAME = "r1bqkb1r/pp1ppppp/2n2n2/8/3NP3/2N5/PPP2PPP/R1BQKB1R b KQkq -";

int count_matching(const std::vector<std::string>& lines, const std::string& part) {
  return int(std::count_if(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

TEST_F(RootSearchTest, MateInOneStopsDeepeningAfterDepthOne) {
  set(BACK_RANK_MATE);
  search_to(10);
  EXPECT_EQ(Control.score, MATE - 2);
  EXPECT_EQ(Control.bestMove, parse("a1a8"));
  EXPECT_EQ(Control.lastIterDepth, 1);
}

// The node count of a fixed search with the hand-crafted evaluation is the
// search's signature: every change to pruning, reductions, extensions or
// move order moves it. A deliberate change updates the number; an
// accidental one (a table read the wrong way round) shows here.
constexpr uint64_t MIDDLEGAME_DEPTH_7_NODES = 10204;

TEST_F(RootSearchTest, NodeCountIsTheSearchSignature) {
  set(MIDDLEGAME);
  search_to(7);
  uint64_t first = Control.nodes;
  Move firstMove = Control.bestMove;
  search_to(7);
  EXPECT_EQ(Control.nodes, first) << "the same search twice";
  EXPECT_EQ(Control.bestMove, firstMove);
  EXPECT_EQ(first, MIDDLEGAME_DEPTH_7_NODES);
}

// A soft node limit lets the iteration under way finish and starts no new
// one: the search ends with the first depth whose nodes reach it, having
// searched exactly what the unlimited search had after that depth.
TEST_F(RootSearchTest, SoftNodeLimitEndsWithTheDepthThatReachesIt) {
  set(MIDDLEGAME);
  search_to(7);
  uint64_t afterThree = Control.depthNodes[3], afterFour = Control.depthNodes[4];
  ASSERT_LT(afterThree, afterFour);
  set(MIDDLEGAME);
  Control.limits.softNodeLimit = afterThree + 1;
  search_to(7);
  EXPECT_EQ(Control.lastIterDepth, 4);
  EXPECT_EQ(Control.nodes, afterFour);
}

TEST_F(RootSearchTest, GameHistoryReachesTheSearch) {
  // A queen down, White can repeat the position after Nf3 a third time:
  // the game moves before the root make that a draw.
  set("q3k3/8/8/8/8/8/8/4K1N1 w - -",
      {"g1f3", "e8d8", "f3g1", "d8e8", "g1f3", "e8d8", "f3g1", "d8e8"});
  search_to(4);
  EXPECT_EQ(Threads[0]->undoIndex, 8);
  EXPECT_EQ(Control.bestMove, parse("g1f3"));
  EXPECT_EQ(Control.score, 0);
  set("q3k3/8/8/8/8/8/8/4K1N1 w - -");  // without the history it is lost
  search_to(4);
  EXPECT_LT(Control.score, -500);
}

// The chances shown with a score: a whole per mille split at any score and
// material, the win chance rising and the loss chance falling with the
// score, one side's win the other's loss; mates and the tablebase wins the
// search sees are certain. Material counts both sides, kings left out.
TEST_F(RootSearchTest, WinDrawLossChancesOfAScore) {
  set("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -");
  EXPECT_EQ(wdl_material(Game->pos), START_MATERIAL);
  set("8/8/4k3/8/8/2N5/3PK3/8 b - -");
  EXPECT_EQ(wdl_material(Game->pos), 4);
  int failures = 0;
  for (int material : {0, 3, 30, START_MATERIAL, 2 * START_MATERIAL}) {
    WdlPerMille last = wdl_per_mille(-MATE, material);
    for (int s = -3000; s <= 3000; s += 5) {
      WdlPerMille p = wdl_per_mille(s, material), mirrored = wdl_per_mille(-s, material);
      failures += p.win + p.draw + p.loss != 1000 || p.draw < 0 || p.win < last.win ||
                  p.loss > last.loss || p.win != mirrored.loss;
      last = p;
    }
  }
  EXPECT_EQ(failures, 0);
  for (int s : {MATE - 1, TB_WIN - MAX_SEARCH_PLY}) {
    EXPECT_EQ(wdl_per_mille(s, 30).win, 1000) << s;
    EXPECT_EQ(wdl_per_mille(-s, 30).loss, 1000) << s;
  }
}

// ------------------------------------------------------- limits of a "go"

void restrict_root(const std::vector<Move>& moves) {
  std::copy(moves.begin(), moves.end(), Control.limits.searchMoves);
  Control.limits.searchMoveCount = uint16_t(moves.size());
}

TEST_F(RootSearchTest, SearchMovesRestrictEveryLineAndTheAnswer) {
  set(BACK_RANK_MATE);
  const std::set<std::string> listed = {"h2h3", "g1f1"};
  restrict_root({parse("h2h3"), parse("g1f1")});
  Options.MultiPV = 3;
  search_to(4);
  EXPECT_TRUE(Control.bestMove == parse("h2h3") || Control.bestMove == parse("g1f1"));
  EXPECT_LT(Control.score, MATE - 100) << "the mate a1a8 is not listed";
  EXPECT_EQ(count_matching(lines, "multipv 3 "), 0) << "no more lines than listed moves";
  EXPECT_GT(count_matching(lines, "multipv 2 "), 0);
  for (const std::string& l : lines) {
    size_t pv = l.find(" pv ");
    if (pv == std::string::npos) continue;
    EXPECT_EQ(listed.count(l.substr(pv + 4, 4)), 1u) << l;
  }
}

// A mate in 3 (Rxb6+ Qxc6 Rxa2+ Qa4 Rxa4#) that the checks let the search
// see from depth 2 on, long before a mate in 3 is within the nominal depth.
constexpr const char* EARLY_MATE_IN_3 = "k4r2/1R4pb/1pQp1n1p/3P4/5p1P/3P2P1/r1q1R2K/8 w - -";
constexpr int MATE_WITHIN_REACH_DEPTH = 5;  // 9994 >= 9999 - 5

TEST_F(RootSearchTest, MateLimitStopsAtTheFirstIterationThatProvesIt) {
  struct Case { int mateMoves; bool early; } cases[] = {{0, false}, {2, false}, {3, true}, {5, true}};
  for (const Case& c : cases) {
    set(EARLY_MATE_IN_3);
    Control.limits.mateMoves = uint8_t(c.mateMoves);
    search_to(12);
    EXPECT_EQ(Control.score, MATE - 6) << c.mateMoves;
    EXPECT_EQ(Control.bestMove, parse("b7b6")) << c.mateMoves;
    if (c.early) EXPECT_LT(Control.lastIterDepth, MATE_WITHIN_REACH_DEPTH) << c.mateMoves;
    else EXPECT_EQ(Control.lastIterDepth, MATE_WITHIN_REACH_DEPTH) << c.mateMoves;
  }
}

// ---------------------------------------------------------------- threads
// Searches on their own threads: the master, the secondary threads and
// stopping. The suite also runs under ThreadSanitizer (make tsan).


using ThreadedSearch = RootSearchTest;

bool is_legal(const std::vector<Move>& legal, Move m) {
  return std::find(legal.begin(), legal.end(), m) != legal.end();
}

// Two threads to a fixed depth, and three on a clock far beyond what
// depth 7 needs (the time check reads the published scores and every
// thread's root result all along): a legal answer, the secondary records
// freed, record 0 kept for the next search, and progress lines printed.
// On a loaded machine the master may finish before a secondary thread is
// ever scheduled; a few tries tell that from nodes never summed.
TEST_F(ThreadedSearch, ThreadsAnswerSumTheirNodesAndAreFreed) {
  constexpr int TRIES = 3;
  for (int threads : {2, 3}) {
    for (int i = 0; i < TRIES; i++) {
      set(MIDDLEGAME);
      Control.limits.limitKind = threads == 3 ? LIMIT_CLOCK : LIMIT_FIXED;
      Control.limits.clock[WHITE] = Control.limits.clock[BLACK] = 1000;
      Control.limits.increment = 0;
      search_threaded(7, threads);
      if (Threads[0] && Control.nodes > uint64_t(Threads[0]->nodes)) break;
    }
    EXPECT_TRUE(is_legal(legal_moves(), Control.bestMove)) << threads;
    EXPECT_EQ(Control.completedDepth, 7) << threads;
    ASSERT_NE(Threads[0], nullptr) << threads;
    for (int k = 1; k < threads; k++) EXPECT_EQ(Threads[k], nullptr) << threads;
    EXPECT_GT(Control.nodes, uint64_t(Threads[0]->nodes)) << "all threads counted";
    EXPECT_EQ(Control.state.load(), STATE_SEARCHING | STATE_FINISHED);
    EXPECT_FALSE(lines.empty());
  }
}

TEST_F(ThreadedSearch, StopEndsAnUnlimitedSearchWithAMove) {
  set(MIDDLEGAME);
  Control.activeThreads = 2;
  Control.noise = 9999;
  Control.limits.maxDepth = MAX_DEPTH;
  lines = captured_lines([] {
    prepare_search();
    ASSERT_EQ(start_search(STATE_SEARCHING), 0);
    while (Control.mainDepth.load() < 4 && !(Control.state.load() & STATE_FINISHED))
      sleep_ms(WAIT_SLEEP_MS);
    Control.stop.store(1);
    while (!(Control.state.load() & STATE_FINISHED)) sleep_ms(WAIT_SLEEP_MS);
  });
  EXPECT_TRUE(is_legal(legal_moves(), Control.bestMove));
  EXPECT_GE(Control.completedDepth, 3);
  EXPECT_TRUE(lines.empty()) << "noise level 9999 prints nothing";
}

TEST_F(ThreadedSearch, ACommandChangingTheGameDuringTheSearchChangesNothingInIt) {
  set(MIDDLEGAME);
  Control.activeThreads = 2;
  Control.noise = 9999;
  Control.limits.maxDepth = 6;
  lines = captured_lines([] {
    prepare_search();
    ASSERT_EQ(start_search(STATE_SEARCHING), 0);
    ASSERT_TRUE(set_game_position("4k3/8/8/8/8/8/8/R3K3 w - -"));
    while (!(Control.state.load() & STATE_FINISHED)) sleep_ms(WAIT_SLEEP_MS);
  });
  Move before = Control.bestMove;
  set(MIDDLEGAME);
  EXPECT_TRUE(is_legal(legal_moves(), before));
}

// ------------------------------------------------------------- tablebases
// The tables in the search: the root decision answers at once once the
// fifty count has grown, its result sets the shown score and makes the
// shown chances certain (cursed wins and blessed losses show as draws),
// and a position with castling rights is never probed.

class TbSearch : public RootSearchTest {
 protected:
  static void SetUpTestSuite() {
    RootSearchTest::SetUpTestSuite();
    init_captured(tb_table_dir());
  }
  static void TearDownTestSuite() { tb_free(); }
  std::string last_info() {
    std::string out;
    for (const auto& l : lines)
      if (l.rfind("info depth", 0) == 0) out = l;
    return out;
  }
};

// The expected best move ("" for any), and what the last "info depth" line
// of a search shows.
struct Case { const char* fen; int fifty, depth, result; bool atOnce; const char *move, *score; };

TEST_F(TbSearch, RootResultsAndImmediateAnswers) {
  const Case cases[] = {
      {"8/8/8/4k3/8/8/8/3QK3 w - - 0 1", 10, 20, 4, true, "", ""},
      {"8/8/8/k7/4N2R/8/3K4/8 w - - 99 50", 99, 20, 3, true, "h4h6", ""},
      {"8/8/8/5Q1K/6Q1/8/8/6k1 b - - 99 50", 99, 20, 1, true, "", ""},
      {"8/8/8/4k3/8/8/8/R3K3 w - - 0 1", 0, 5, 4, false, "", "score cp 9800 wdl 1000 0 0 "},
      {"8/8/8/4k3/8/8/2B5/4K3 w - - 0 1", 30, 20, 2, true, "", ""},
      {"8/8/8/4k3/8/8/2B5/4K3 w - - 0 1", 0, 5, 2, false, "", "score cp 0 wdl 0 1000 0 "},
  };
  Options.UCI_ShowWDL = 1;
  for (const Case& c : cases) {
    set(c.fen);
    Game->pos.fifty = uint8_t(c.fifty);
    search_to(c.depth);
    EXPECT_EQ(Control.rootTbResult, c.result) << c.fen;
    EXPECT_EQ(Control.completedDepth == 99, c.atOnce) << c.fen;
    if (*c.move) {
      EXPECT_EQ(Control.bestMove, parse(c.move)) << c.fen;
    }
    EXPECT_NE(Control.bestMove, MOVE_NONE) << c.fen;
    if (c.atOnce) {  // the front end prints the answer's line from these
      EXPECT_EQ(int(Control.score), c.result == 4 ? 9799 : c.result == 0 ? -9800 : 0) << c.fen;
      EXPECT_EQ(Control.tbHits, 1u) << c.fen;
    } else {
      EXPECT_NE(last_info().find(c.score), std::string::npos) << c.fen << ": " << last_info();
    }
  }
}

// Before the fifty count reaches 10 the search chooses, but only among the
// moves that keep the draw: here Bd2, which search alone played and lost
// (the rook wins the bishop some 20 plies later), must not come back.
TEST_F(TbSearch, YoungFiftyCountSearchesOnlyMovesThatKeepTheResult) {
  set("5k2/8/2R5/b2K4/8/8/8/8 w - - 0 1",
      {"c6a6", "a5e1", "a6a7", "e1f2", "a7b7", "f2e3", "b7h7", "e3g5", "d5e6"});
  ASSERT_EQ(Game->pos.fifty, 9);
  Move keep[TB_ROOT_MAX_MOVES];
  int kept = tb_root_keepers(Game->pos, keep);
  ASSERT_GT(kept, 0);
  ASSERT_EQ(std::find(keep, keep + kept, parse("g5d2")), keep + kept);
  search_to(10);
  EXPECT_EQ(Control.rootTbResult, 2);
  EXPECT_NE(std::find(keep, keep + kept, Control.bestMove), keep + kept);
}

// The search's probe: never with castling rights, below depth 0, or with
// more pieces than the tables hold; six pieces only from the depth that
// SyzygyProbeDepth6 names.
TEST_F(TbSearch, SearchProbeConditions) {
  struct Case { const char* fen; int depth, expected; } cases[] = {
      {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", 0, 4},  {"4k3/8/8/8/8/8/8/R3K3 b - - 0 1", 3, 0},
      {"4k3/8/8/8/8/8/8/R3K3 w Q - 0 1", 3, -1}, {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", -1, -1},
      {"4k3/8/8/8/8/8/8/RN2K2R w - - 0 1", 3, -1}, {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", 0, 2},
  };
  for (const Case& c : cases) {
    set(c.fen);
    EXPECT_EQ(probe_wdl(Game->pos, c.depth), c.expected) << c.fen << " depth " << c.depth;
  }
}

// ------------------------------------------------------------------- time
// Planning the time of a move and the check that ends a search. The time
// check is driven with a search start set back on the clock, never by
// waiting.

constexpr int FULL_STRENGTH = 3000;
constexpr int LIMITED = 2000;
constexpr float TOLERANCE = 1e-5f;

class TargetTimeTest : public RootSearchTest {
 protected:
  void SetUp() override {
    RootSearchTest::SetUp();
    Options.UCI_Elo = FULL_STRENGTH;
    Control.uciMode = 1;
    Control.ponder = 0;
    Control.moveOverhead = 0;
    Control.limits.increment = 0;
    Control.limits.limitKind = LIMIT_CLOCK;
    Control.rootSide = WHITE;
  }
  float target(float clock, float inc = 0) {
    Control.limits.clock[Control.rootSide] = clock;
    Control.limits.increment = inc;
    compute_target_time();
    return Control.targetTime;
  }
  // Knight tours: the game ply grows, the position stays.
  void play_plies(int plies) {
    const char* tour[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    std::vector<const char*> moves;
    for (int i = 0; i < plies; i++) moves.push_back(tour[i % 4]);
    set(START_FEN, moves);
  }
};

// Moves to go: 32 less the moves played in the first twenty plies, 23
// later, or as given; pondering and weaker play change the share; never
// more than part of the clock less the overhead reserves, never below the
// minimum; a fixed move time is the target whatever else is set.
TEST_F(TargetTimeTest, ShareOfTheClock) {
  struct Case {
    const char* what;
    int plies, side, ponder, elo, kind, movesToGo, uci;
    float overhead, clock, inc, expected;
  } cases[] = {
      {"start", 0, WHITE, 0, FULL_STRENGTH, LIMIT_CLOCK, 0, 1, 0, 40, 0, 40.0f / 33},
      {"ponder", 0, WHITE, 1, FULL_STRENGTH, LIMIT_CLOCK, 0, 1, 0, 40, 0, 40.0f / 33 * 1.3f},
      {"weaker", 0, WHITE, 0, LIMITED, LIMIT_CLOCK, 0, 1, 0, 40, 0, 40.0f / 33 * 0.85f},
      {"not calibrated", 0, WHITE, 0, 0, LIMIT_CLOCK, 0, 1, 0, 40, 0, 40.0f / 33},
      {"ply 10", 10, WHITE, 0, FULL_STRENGTH, LIMIT_CLOCK, 0, 1, 0, 40, 0, 40.0f / 28},
      {"ply 19", 19, BLACK, 0, FULL_STRENGTH, LIMIT_CLOCK, 0, 1, 0, 40, 0, 40.0f / 24},
      {"ply 40", 40, WHITE, 0, FULL_STRENGTH, LIMIT_CLOCK, 0, 1, 0, 10, 1, 10.0f / 24 + 10.0f / 12},
      {"capped", 0, WHITE, 0, FULL_STRENGTH, LIMIT_MOVESTOGO_MARK, 0, 1, 0.05f, 2, 0, 0.65f * 2 - 5 * 0.05f},
      {"tiny clock", 0, WHITE, 0, FULL_STRENGTH, LIMIT_CLOCK, 0, 1, 0.05f, 0.01f, 0, 0.002f},
      {"movestogo", 0, WHITE, 0, FULL_STRENGTH, LIMIT_MOVESTOGO_MARK, 9, 1, 0, 60, 0, 6.0f},
      // The console's "level 40": ten moves played, 30 to go.
      {"console level", 20, WHITE, 0, FULL_STRENGTH, LIMIT_MOVESTOGO_MARK, 9, 0, 0, 62, 0, 2.0f},
      {"fixed", 0, WHITE, 1, LIMITED, LIMIT_FIXED, 0, 1, 0, 40, 0, 0.5f},
  };
  for (const Case& c : cases) {
    play_plies(c.plies);
    Control.rootSide = c.side;
    Control.ponder = c.ponder;
    Options.UCI_Elo = int16_t(c.elo);
    Control.limits.limitKind = c.kind;
    Control.limits.movesToGo = uint16_t(c.movesToGo);
    Control.limits.timePerMove = 0.5f;
    Control.uciMode = c.uci;
    Control.moveOverhead = c.overhead;
    EXPECT_NEAR(target(c.clock, c.inc), c.expected, TOLERANCE) << c.what;
  }
  EXPECT_FLOAT_EQ(Control.limits.clock[WHITE], 0.5f) << "the fixed time is the clock too";
}

// ------------------------------------------------------------- time check

class TimeCheckTest : public RootSearchTest {
 protected:
  void SetUp() override {
    RootSearchTest::SetUp();
    ASSERT_EQ(thread_setup(0), 0);
    Control.state.store(STATE_SEARCHING);
    Control.mainDepth.store(2);
    Control.rootSide = WHITE;
    Control.limits.limitKind = LIMIT_CLOCK;
    Control.limits.clock[WHITE] = 100;
    Control.targetTime = 10;
    Control.moveOverhead = 0;
    Control.score = 0;
    Control.completedDepth = 2;
    Control.bestChangeDepth = 2;
    Control.singleReply = 0;
    for (auto& s : Control.depthScore) s = 0;
  }
  // Runs the check as if the search had started `seconds` ago.
  bool stops_after(float seconds) {
    Control.stop.store(0);
    Control.startTime = monotonic_seconds() - seconds;
    time_check();
    return Control.stop.load() != 0;
  }
};

constexpr float NEVER = -1;

// Each row: the search's state, a moment at which the check must let the
// search go on and one at which it must stop it (NEVER: not checked).
TEST_F(TimeCheckTest, StopsWhenTheBudgetIsSpent) {
  struct Case {
    const char* what;
    int kind;
    float target, clock, overhead;
    int fail, depth, bestChange, earlierScore, single, state;
    float goesOn, stops;
  } cases[] = {
      {"at the target", LIMIT_CLOCK, 10, 100, 0, 0, 2, 2, 0, 0, STATE_SEARCHING, 5, 10.5f},
      {"fixed time, no extra", LIMIT_FIXED, 0.5f, 0.5f, 0, 1, 2, 2, 0, 0, STATE_SEARCHING, 0.2f, 0.6f},
      // A fixed time keeps back the overhead, capped at 10% of the time.
      {"fixed, 10% kept", LIMIT_FIXED, 0.1f, 0.1f, 0.05f, 0, 2, 2, 0, 0, STATE_SEARCHING, 0.088f, 0.0905f},
      {"fixed, overhead kept", LIMIT_FIXED, 10, 10, 0.05f, 0, 2, 2, 0, 0, STATE_SEARCHING, 9.94f, 9.951f},
      // A few milliseconds a move keep 5 ms back for the pipe and scheduler.
      {"fixed 20 ms", LIMIT_FIXED, 0.02f, 0.02f, 0.05f, 0, 2, 2, 0, 0, STATE_SEARCHING, 0.0148f, 0.0152f},
      // A 2 ms target with two seconds left is decided in the first
      // moments, but never before the first iteration is done; a normal
      // budget waits the 15 ms out even with almost nothing left.
      {"tiny budget", LIMIT_CLOCK, 0.002f, 2, 0, 0, 2, 2, 0, 0, STATE_SEARCHING, 0.001f, 0.003f},
      {"first moments", LIMIT_CLOCK, 0.5f, 0.1f, 0.05f, 0, 2, 2, 0, 0, STATE_SEARCHING, 0.01f, 0.016f},
      {"depth 1", LIMIT_CLOCK, 10, 100, 0, 0, 1, 2, 0, 0, STATE_SEARCHING, 50, NEVER},
      {"pondering", LIMIT_CLOCK, 10, 100, 0, 0, 8, 2, 0, 0, STATE_PONDERING, 200, NEVER},
      // Failing low buys 0.25 of the remaining time, failing high 0.1.
      {"fail low", LIMIT_CLOCK, 10, 100, 0, 1, 8, 2, 0, 0, STATE_SEARCHING, 20, 31},
      {"fail high", LIMIT_CLOCK, 10, 100, 0, 2, 8, 2, 0, 0, STATE_SEARCHING, 12, 19},
      // A score 100 below both earlier depths and a best move one depth
      // old: 0.03 + 0.03 + 0.02 of the remaining time.
      {"falling score", LIMIT_CLOCK, 10, 100, 0, 0, 6, 5, 100, 0, STATE_SEARCHING, 10.5f, 17.5f},
      {"settled best move", LIMIT_CLOCK, 10, 100, 0, 0, 10, 3, 0, 0, STATE_SEARCHING, 7.4f, 7.6f},
      {"single reply, depth 5", LIMIT_CLOCK, 10, 100, 0, 0, 5, 5, 0, 1, STATE_SEARCHING, 0.1f, NEVER},
      {"single reply, depth 6", LIMIT_CLOCK, 10, 100, 0, 0, 6, 6, 0, 1, STATE_SEARCHING, NEVER, 0.1f},
      {"almost no clock", LIMIT_CLOCK, 0.15f, 0.2f, 0.05f, 0, 2, 2, 0, 0, STATE_SEARCHING, NEVER, 0.1f},
  };
  for (const Case& c : cases) {
    Control.limits.limitKind = uint8_t(c.kind);
    Control.targetTime = c.target;
    Control.limits.clock[WHITE] = c.clock;
    Control.moveOverhead = c.overhead;
    Threads[0]->rootFail = c.fail;
    Control.mainDepth.store(c.depth);
    Control.bestChangeDepth = c.bestChange;
    for (auto& s : Control.depthScore) s = c.earlierScore;
    Control.singleReply = c.single;
    Control.state.store(c.state);
    EXPECT_FALSE(c.goesOn != NEVER && stops_after(c.goesOn)) << c.what;
    EXPECT_TRUE(c.stops == NEVER || stops_after(c.stops)) << c.what;
  }
}

TEST_F(TimeCheckTest, ASecondaryThreadWithABetterScoreBuysTime) {
  Control.activeThreads = 2;
  ASSERT_EQ(thread_setup(1), 0);
  Control.mainDepth.store(4);
  Control.completedDepth = 4;
  Threads[1]->rootScore = 40;  // above 0 + 20 + 5
  Threads[1]->rootDepthDone = 4;
  // limit = 10 + 0.08 * (100 - 16)
  EXPECT_FALSE(stops_after(16));
  Threads[1]->rootDepthDone = 3;  // not as deep as the published line
  EXPECT_TRUE(stops_after(16));
}

}  // namespace
