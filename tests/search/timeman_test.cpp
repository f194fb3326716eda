// Planning the time of a move and the check that ends a search. The time
// check is driven with a search start set back on the clock, never by
// waiting.
#include "search/timeman.h"

#include "board/fen.h"
#include "frontend/game.h"
#include "platform/platform.h"
#include "search_fixture.h"
#include "search/searchthread.h"
#include "search/threads.h"

namespace {

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

// ------------------------------------------------------------ time check

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
