// The transposition table: scores as stored and read back, the bucket's
// replacement choices, torn and foreign entries, fill level and clearing.
#include "search/tt.h"

#include <gtest/gtest.h>

#include "../board/board_fixture.h"
#include "frontend/control.h"
#include "frontend/options.h"

namespace {

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
constexpr uint32_t ENTRIES_PER_MB = 65536;
constexpr uint64_t BUCKET = 1000;  // index of the bucket the crafted keys share

uint64_t key_with_lock(uint32_t lock, uint64_t index = BUCKET) {
  return uint64_t(lock) << 32 | index;
}

class TTTest : public BoardTest {
 protected:
  void SetUp() override {
    BoardTest::SetUp();
    set_default_options(Options);
    set_control_defaults(Control);
    Options.Hash = 1;
    ASSERT_TRUE(tt_allocate());
    Control.ttAge = 1;
  }
  void TearDown() override {
    tt_free();
    BoardTest::TearDown();
  }
  // The start position under another key: the bucket tests need chosen
  // keys, and with move 0 the board itself does not matter.
  Position keyed(uint64_t key, int fifty = 0) {
    Position p = set(START);
    p.key = key;
    p.fifty = uint8_t(fifty);
    return p;
  }
  void store(uint32_t lock, int depth, int bound = BOUND_LOWER, int score = 0) {
    tt_store(keyed(key_with_lock(lock)), 0, depth, score, bound, MOVE_NONE);
  }
  TTEntry& slot(int i) { return ttTable[BUCKET + i]; }
  bool probe(uint64_t key, TTHit& hit, int ply = 0, int fifty = 0) {
    return tt_probe(keyed(key, fifty), ply, hit);
  }
};

TEST_F(TTTest, SizeFollowsTheHashSetting) {
  EXPECT_EQ(ttEntries, ENTRIES_PER_MB);
  EXPECT_EQ(Control.hashSize, 1u);
  Options.Hash = 3;
  ASSERT_TRUE(tt_allocate());
  EXPECT_EQ(ttEntries, 3 * ENTRIES_PER_MB);
  EXPECT_EQ(Control.hashSize, 3u);
}

TEST_F(TTTest, MateScoresAreStoredRelativeToTheNode) {
  Position p = keyed(key_with_lock(7));
  tt_store(p, 5, 4, 9990, BOUND_EXACT, MOVE_NONE);
  EXPECT_EQ(slot(0).score.load(), 9995);
  TTHit hit{};
  ASSERT_TRUE(tt_probe(p, 3, hit));
  EXPECT_EQ(hit.score, 9992);

  tt_store(p, 5, 4, -9990, BOUND_EXACT, MOVE_NONE);
  EXPECT_EQ(slot(0).score.load(), -9995);
  ASSERT_TRUE(tt_probe(p, 3, hit));
  EXPECT_EQ(hit.score, -9992);
}

TEST_F(TTTest, MateBandEdgesAreExact) {
  Position p = keyed(key_with_lock(7));
  TTHit hit{};
  tt_store(p, 4, 4, 9798, BOUND_EXACT, MOVE_NONE);  // an ordinary score
  EXPECT_EQ(slot(0).score.load(), 9798);
  tt_store(p, 4, 4, 9799, BOUND_EXACT, MOVE_NONE);  // the first mating score
  EXPECT_EQ(slot(0).score.load(), 9803);
  ASSERT_TRUE(tt_probe(p, 1, hit));
  EXPECT_EQ(hit.score, 9802);
  tt_store(p, 4, 4, -9799, BOUND_EXACT, MOVE_NONE);
  EXPECT_EQ(slot(0).score.load(), -9799);
  tt_store(p, 4, 4, -9800, BOUND_EXACT, MOVE_NONE);
  EXPECT_EQ(slot(0).score.load(), -9804);
}

TEST_F(TTTest, ScoresFadeAsTheFiftyMoveCountGrows) {
  TTHit hit{};
  tt_store(keyed(key_with_lock(7), 10), 0, 4, 200, BOUND_EXACT, MOVE_NONE);
  EXPECT_EQ(slot(0).fiftyAtStore.load(), 10);
  ASSERT_TRUE(probe(key_with_lock(7), hit, 0, 74));
  EXPECT_EQ(hit.score, 150);
  EXPECT_EQ(hit.fiftyAtStore, 10);
  ASSERT_TRUE(probe(key_with_lock(7), hit, 0, 10));
  EXPECT_EQ(hit.score, 200);
  ASSERT_TRUE(probe(key_with_lock(7), hit, 0, 2));  // read before the store's count
  EXPECT_EQ(hit.score, 200);
}

TEST_F(TTTest, FiftyDecayTruncatesTowardZero) {
  TTHit hit{};
  tt_store(keyed(key_with_lock(7), 0), 0, 4, -300, BOUND_EXACT, MOVE_NONE);
  ASSERT_TRUE(probe(key_with_lock(7), hit, 0, 3));
  EXPECT_EQ(hit.score, -297);  // 3 * -300 / 256 is -3.5
}

TEST_F(TTTest, MateScoresDoNotFade) {
  TTHit hit{};
  tt_store(keyed(key_with_lock(7), 0), 0, 4, 9990, BOUND_EXACT, MOVE_NONE);
  ASSERT_TRUE(probe(key_with_lock(7), hit, 0, 90));
  EXPECT_EQ(hit.score, 9990);
}

TEST_F(TTTest, SamePositionKeepsADeeperEntry) {
  store(7, 10);
  store(7, 6);
  EXPECT_EQ(slot(0).depth.load(), 10);
  store(7, 7);
  EXPECT_EQ(slot(0).depth.load(), 7);
  for (int i = 1; i < 4; i++) EXPECT_EQ(slot(i).lock.load(), 0u);
}

TEST_F(TTTest, SamePositionUpperBoundYieldsToAShallowStore) {
  store(7, 10, BOUND_UPPER);
  store(7, 2, BOUND_LOWER);
  EXPECT_EQ(slot(0).depth.load(), 2);
  EXPECT_EQ(slot(0).bound.load(), BOUND_LOWER);
}

TEST_F(TTTest, SamePositionFoundLaterInTheBucket) {
  store(1, 20);
  store(2, 20);
  store(3, 10);
  store(3, 8);  // the same position in slot 2, not a fresh slot
  EXPECT_EQ(slot(2).depth.load(), 8);
  EXPECT_EQ(slot(3).lock.load(), 0u);
}

TEST_F(TTTest, EntriesOfEarlierSearchesGoFirst) {
  for (uint32_t lock = 1; lock <= 4; lock++) store(lock, 20);
  slot(2).age.store(0);
  store(9, 1);
  EXPECT_EQ(slot(2).lock.load(), 9u);
  EXPECT_EQ(slot(2).age.load(), 1);
}

TEST_F(TTTest, CurrentSearchBucketGivesUpOnlyItsShallowestWithinSeven) {
  const int depths[4] = {12, 9, 9, 15};
  for (int i = 0; i < 4; i++) store(uint32_t(i + 1), depths[i]);
  store(9, 1);
  for (int i = 0; i < 4; i++) EXPECT_EQ(slot(i).lock.load(), uint32_t(i + 1));
  store(9, 2);
  EXPECT_EQ(slot(1).lock.load(), 9u);
  EXPECT_EQ(slot(2).lock.load(), 3u);
}

TEST_F(TTTest, ShallowestOfTheSecondPairCanLose) {
  const int depths[4] = {12, 11, 5, 3};
  for (int i = 0; i < 4; i++) store(uint32_t(i + 1), depths[i]);
  store(9, 0);
  EXPECT_EQ(slot(3).lock.load(), 9u);
}

TEST_F(TTTest, StoreWritesEveryField) {
  Position p = set(START);
  p.fifty = 3;
  Move e2e4 = make_move_code(12, 28);
  tt_store(p, 0, 6, 35, BOUND_EXACT, e2e4);
  TTHit hit{};
  ASSERT_TRUE(tt_probe(p, 0, hit));
  EXPECT_EQ(hit.move, e2e4);
  EXPECT_EQ(hit.score, 35);
  EXPECT_EQ(hit.depth, 6);
  EXPECT_EQ(hit.bound, BOUND_EXACT);
  EXPECT_EQ(hit.fiftyAtStore, 3);
  const TTEntry& e = ttTable[p.key % ttEntries];
  EXPECT_EQ(e.lock.load(), uint32_t(p.key >> 32));
  EXPECT_EQ(e.age.load(), 1);
}

TEST_F(TTTest, NegativeDepthSurvivesTheRoundTrip) {
  store(7, -2);
  TTHit hit{};
  ASSERT_TRUE(probe(key_with_lock(7), hit));
  EXPECT_EQ(hit.depth, -2);
}

TEST_F(TTTest, TornEntryIsRejected) {
  store(7, 5, BOUND_EXACT, 40);
  slot(0).score.store(41);  // the score of another write
  TTHit hit{};
  EXPECT_FALSE(probe(key_with_lock(7), hit));
  store(8, 5, BOUND_EXACT, 40);
  slot(1).move.store(make_move_code(12, 28));  // a move without its check
  EXPECT_FALSE(probe(key_with_lock(8), hit));
}

TEST_F(TTTest, SameUpperHalfOfAnotherKeyIsRejected) {
  store(7, 5, BOUND_EXACT, 40);
  TTHit hit{};
  // Same bucket (the index is the low bits) and lock, other lower half.
  EXPECT_FALSE(probe(key_with_lock(7) + (uint64_t(1) << 20), hit));
}

TEST_F(TTTest, FailedCheckEndsTheProbe) {
  store(7, 5, BOUND_EXACT, 40);
  store(8, 5, BOUND_EXACT, 40);
  // A second entry with lock 7 behind a damaged first one is not used.
  slot(1).lock.store(7);
  slot(1).check.store(slot(0).check.load());
  slot(0).score.store(41);
  TTHit hit{};
  EXPECT_FALSE(probe(key_with_lock(7), hit));
}

TEST_F(TTTest, StoredMoveMustBePlayableHere) {
  Position p = set(START);
  TTHit hit{};
  tt_store(p, 0, 6, 10, BOUND_EXACT, make_move_code(52, 36));  // e7e5, Black's move
  EXPECT_FALSE(tt_probe(p, 0, hit));
  tt_store(p, 0, 6, 10, BOUND_EXACT, make_move_code(4, 36));  // e1e5: no king move
  EXPECT_FALSE(tt_probe(p, 0, hit));
  tt_store(p, 0, 6, 10, BOUND_EXACT, make_move_code(6, 21));  // g1f3
  ASSERT_TRUE(tt_probe(p, 0, hit));
  EXPECT_EQ(hit.move, make_move_code(6, 21));
}

TEST_F(TTTest, NothingHappensWhileTheTableIsSwitchedOff) {
  Control.ttInUse = 0;
  store(7, 5);
  EXPECT_EQ(slot(0).lock.load(), 0u);
  Control.ttInUse = 1;
  store(7, 5);
  Control.ttInUse = 0;
  TTHit hit{};
  EXPECT_FALSE(probe(key_with_lock(7), hit));
}

TEST_F(TTTest, ZeroMegabytesLeavesNoEntries) {
  Options.Hash = 0;
  ASSERT_TRUE(tt_allocate());
  EXPECT_EQ(ttEntries, 0u);
  EXPECT_EQ(Control.hashSize, 0u);
  Position p = keyed(key_with_lock(7));
  tt_store(p, 0, 5, 10, BOUND_EXACT, MOVE_NONE);
  TTHit hit{};
  EXPECT_FALSE(tt_probe(p, 0, hit));
  EXPECT_EQ(tt_hashfull(), 0.0f);
  tt_clear();
}

TEST_F(TTTest, HashfullCountsTheCurrentSearchInTheMiddleSample) {
  const uint64_t first = ttEntries / 2 - 500;
  auto store_at = [&](uint64_t index) {
    tt_store(keyed(key_with_lock(5, index)), 0, 3, 0, BOUND_LOWER, MOVE_NONE);
  };
  for (uint64_t i = 0; i < 100; i++) store_at(first + i);
  store_at(first + 1000);  // behind the sample
  store_at(first - 10);    // before it
  EXPECT_FLOAT_EQ(tt_hashfull(), 0.1f);
  Control.ttAge = 2;  // the next search: nothing of it written yet
  EXPECT_FLOAT_EQ(tt_hashfull(), 0.0f);
}

bool all_zero() {
  for (uint64_t i = 0; i < uint64_t(ttEntries) + 16; i++) {
    const TTEntry& e = ttTable[i];
    if (e.lock.load() || e.check.load() || e.move.load() || e.score.load() || e.depth.load() ||
        e.bound.load() || e.age.load() || e.fiftyAtStore.load())
      return false;
  }
  return true;
}

void scribble() {
  for (uint64_t i = 0; i < uint64_t(ttEntries) + 16; i += 997) ttTable[i].depth.store(9);
  ttTable[0].lock.store(1);
  ttTable[ttEntries + 15].age.store(3);  // the last spare entry
  ttTable[ttEntries - 1].score.store(-5);
}

TEST_F(TTTest, ClearZeroesEveryEntryWithSeveralWorkers) {
  Options.Threads = 7;  // shares that do not divide the table evenly
  scribble();
  tt_clear();
  EXPECT_TRUE(all_zero());
}

TEST_F(TTTest, ClearDoesNothingWhileTheTableIsSwitchedOff) {
  scribble();
  Control.ttInUse = 0;
  tt_clear();
  EXPECT_FALSE(all_zero());
}

TEST_F(TTTest, ResizeDiscardsTheContents) {
  store(7, 5);
  Options.Hash = 2;
  ASSERT_TRUE(tt_allocate());
  TTHit hit{};
  EXPECT_FALSE(probe(key_with_lock(7), hit));
}

TEST_F(TTTest, SizedTableIsUsedAgainAfterASearchWithoutOne) {
  Options.Hash = 0;
  ASSERT_TRUE(tt_allocate());
  Control.ttInUse = 0;  // what a search start does without a table
  Options.Hash = 1;
  ASSERT_TRUE(tt_allocate());
  store(7, 5);
  TTHit hit{};
  EXPECT_TRUE(probe(key_with_lock(7), hit));
}

TEST_F(TTTest, AllocationAnnouncesTheSize) {
  Options.Hash = 2;
  testing::internal::CaptureStdout();
  ASSERT_TRUE(tt_allocate());
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "info string allocated 2 Mbytes for hash table\n");
}

}  // namespace
