// Planning the time of a move and the check that ends a search. The time
// check is driven with a search start set back on the clock, never by
// waiting.
#include "search/timeman.h"

#include "board/fen.h"
#include "frontend/game.h"
#include "platform/platform.h"
#include "root_fixture.h"
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

TEST_F(TargetTimeTest, FortySecondsAtTheStart) {
  EXPECT_NEAR(target(40), 40.0f / 33, TOLERANCE);
}

TEST_F(TargetTimeTest, PonderAndWeakerPlayAdjustTheShare) {
  Control.ponder = 1;
  EXPECT_NEAR(target(40), 40.0f / 33 * 1.3f, TOLERANCE);
  Options.UCI_Elo = LIMITED;
  EXPECT_NEAR(target(40), 40.0f / 33 * 1.3f * 0.85f, TOLERANCE);
  Control.ponder = 0;
  EXPECT_NEAR(target(40), 40.0f / 33 * 0.85f, TOLERANCE);
  Options.UCI_Elo = 0;  // not calibrated yet: full strength
  EXPECT_NEAR(target(40), 40.0f / 33, TOLERANCE);
}

TEST_F(TargetTimeTest, EarlyMovesShareTheClockAmongFewerMoves) {
  play_plies(10);
  EXPECT_NEAR(target(40), 40.0f / 28, TOLERANCE);  // 32 - 5 moves to go
  play_plies(19);
  Control.rootSide = BLACK;
  EXPECT_NEAR(target(40), 40.0f / 24, TOLERANCE);
}

TEST_F(TargetTimeTest, TenSecondsWithIncrementAtPlyForty) {
  play_plies(40);
  EXPECT_NEAR(target(10, 1), 10.0f / 24 + 10.0f / 12, TOLERANCE);
  Control.ponder = 1;
  Options.UCI_Elo = LIMITED;
  EXPECT_NEAR(target(10, 1), 10.0f / 24 * 1.3f * 0.85f + 10.0f / 12, TOLERANCE);
}

TEST_F(TargetTimeTest, NeverMoreThanPartOfTheClockLessTheOverhead) {
  Control.limits.limitKind = LIMIT_MOVESTOGO_MARK;
  Control.limits.movesToGo = 0;  // the whole clock for this move, were it not capped
  Control.moveOverhead = 0.05f;
  EXPECT_NEAR(target(2), 0.65f * 2 - 5 * 0.05f, TOLERANCE);
}

TEST_F(TargetTimeTest, TinyClockGivesTheMinimum) {
  Control.moveOverhead = 0.05f;
  EXPECT_FLOAT_EQ(target(0.01f), 0.002f);
}

TEST_F(TargetTimeTest, MovesToGoInUciAndInConsoleMode) {
  Control.limits.limitKind = LIMIT_MOVESTOGO_MARK;
  Control.limits.movesToGo = 9;
  EXPECT_NEAR(target(60), 6.0f, TOLERANCE);
  // The console's "level 40": the moves left in the current control.
  Control.uciMode = 0;
  play_plies(20);  // ten moves played: 30 to go
  EXPECT_NEAR(target(62), 2.0f, TOLERANCE);
}

TEST_F(TargetTimeTest, FixedMoveTimeIsTheTargetAndTheClock) {
  Control.limits.limitKind = LIMIT_FIXED;
  Control.limits.timePerMove = 0.5f;
  Control.ponder = 1;
  Options.UCI_Elo = LIMITED;
  EXPECT_FLOAT_EQ(target(40), 0.5f);
  EXPECT_FLOAT_EQ(Control.limits.clock[WHITE], 0.5f);
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

TEST_F(TimeCheckTest, StopsAtTheTarget) {
  EXPECT_FALSE(stops_after(5));
  EXPECT_TRUE(stops_after(10.5f));
  EXPECT_NEAR(Control.elapsed.load(), 10.5f, 0.5f);
}

TEST_F(TimeCheckTest, FixedMoveTimeGetsNoExtraTime) {
  Control.limits.limitKind = LIMIT_FIXED;
  Control.targetTime = 0.5f;
  Control.limits.clock[WHITE] = 0.5f;
  Threads[0]->rootFail = 1;
  EXPECT_FALSE(stops_after(0.2f));
  EXPECT_TRUE(stops_after(0.6f));
}

TEST_F(TimeCheckTest, FixedMoveTimeKeepsBackAShareOfTheOverhead) {
  Control.limits.limitKind = LIMIT_FIXED;
  Control.targetTime = 0.1f;
  Control.limits.clock[WHITE] = 0.1f;
  Control.moveOverhead = 0.05f;  // capped at 10% of 0.1 s: answer by 90 ms
  EXPECT_FALSE(stops_after(0.088f));
  EXPECT_TRUE(stops_after(0.0905f));
  Control.targetTime = Control.limits.clock[WHITE] = 10;  // 50 ms of 10 s
  EXPECT_FALSE(stops_after(9.94f));
  EXPECT_TRUE(stops_after(9.951f));
  Control.moveOverhead = 0;  // no overhead: the limit itself
  EXPECT_FALSE(stops_after(9.99f));
}

TEST_F(TimeCheckTest, ATinyBudgetIsDecidedInTheFirstMoments) {
  // Two seconds left and a 2 ms target: waiting the usual 15 ms before
  // any decision would cost more per move than a small increment returns.
  Control.limits.clock[WHITE] = 2;
  Control.targetTime = 0.002f;
  EXPECT_FALSE(stops_after(0.001f));
  EXPECT_TRUE(stops_after(0.003f));
  Control.mainDepth.store(1);  // but never before the first iteration is done
  EXPECT_FALSE(stops_after(0.003f));
  Control.mainDepth.store(2);
  Control.targetTime = 0.5f;  // a normal budget waits the 15 ms out
  Control.limits.clock[WHITE] = 0.1f;  // even with almost nothing left
  Control.moveOverhead = 0.05f;
  EXPECT_FALSE(stops_after(0.01f));
  EXPECT_TRUE(stops_after(0.016f));
}

TEST_F(TimeCheckTest, NothingBeforeDepthTwoOrWhilePondering) {
  Control.mainDepth.store(1);
  EXPECT_FALSE(stops_after(50));
  Control.mainDepth.store(8);
  Control.state.store(STATE_PONDERING);
  EXPECT_FALSE(stops_after(200));
  Control.state.store(STATE_SEARCHING);
  EXPECT_TRUE(stops_after(200));
}

TEST_F(TimeCheckTest, FailingLowOrHighBuysPartOfTheRemainingTime) {
  Control.mainDepth.store(8);
  Threads[0]->rootFail = 1;  // 10 + 0.25 * (100 - 20) = 30
  EXPECT_FALSE(stops_after(20));
  EXPECT_TRUE(stops_after(31));
  Threads[0]->rootFail = 2;  // 10 + 0.1 * (100 - 12) = 18.8
  EXPECT_FALSE(stops_after(12));
  EXPECT_TRUE(stops_after(19));
}

TEST_F(TimeCheckTest, FallingScoreAndFreshBestMoveBuyTime) {
  Control.mainDepth.store(6);
  Control.bestChangeDepth = 5;          // + 0.02 of the remaining time
  Control.depthScore[5] = 100;         // score 0 fell by more than 20: + 0.03
  Control.depthScore[4] = 100;         // + 0.03
  // limit = 10 + 0.08 * (100 - 10.5) = 17.16
  EXPECT_FALSE(stops_after(10.5f));
  EXPECT_TRUE(stops_after(17.5f));
}

TEST_F(TimeCheckTest, LongSettledBestMoveSavesTime) {
  Control.mainDepth.store(10);
  Control.bestChangeDepth = 3;  // limit = 10 - 0.25 * 10
  EXPECT_FALSE(stops_after(7.4f));
  EXPECT_TRUE(stops_after(7.6f));
}

TEST_F(TimeCheckTest, SingleReplyStopsAfterDepthFive) {
  Control.singleReply = 1;
  Control.mainDepth.store(5);
  EXPECT_FALSE(stops_after(0.1f));
  Control.mainDepth.store(6);
  EXPECT_TRUE(stops_after(0.1f));
}

TEST_F(TimeCheckTest, AlmostNoClockLeftStops) {
  Control.moveOverhead = 0.05f;
  Control.limits.clock[WHITE] = 0.2f;
  Control.targetTime = 0.15f;
  // 5 * 0.025 > 0.1 left
  EXPECT_TRUE(stops_after(0.1f));
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
