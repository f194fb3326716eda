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
  store(7, 5);
  Options.Hash = 3;
  testing::internal::CaptureStdout();
  ASSERT_TRUE(tt_allocate());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "info string allocated 3 Mbytes for hash table\n");
  EXPECT_EQ(ttEntries, 3 * ENTRIES_PER_MB);
  EXPECT_EQ(Control.hashSize, 3u);
  TTHit hit{};
  EXPECT_FALSE(probe(key_with_lock(7), hit)) << "a resize discards the contents";
  // No table at all: nothing is stored or found.
  Options.Hash = 0;
  ASSERT_TRUE(tt_allocate());
  EXPECT_EQ(ttEntries, 0u);
  tt_store(keyed(key_with_lock(7)), 0, 5, 10, BOUND_EXACT, MOVE_NONE);
  EXPECT_FALSE(probe(key_with_lock(7), hit));
  EXPECT_EQ(tt_hashfull(), 0.0f);
  tt_clear();
  // A search start without a table switches it off; a sized one is used again.
  Control.ttInUse = 0;
  Options.Hash = 1;
  ASSERT_TRUE(tt_allocate());
  store(7, 5);
  EXPECT_TRUE(probe(key_with_lock(7), hit));
}

// Mate scores are kept relative to the storing node (exactly from the edge
// of the mate band on); other scores fade as the fifty-move count grows
// after the store, truncated toward zero.
TEST_F(TTTest, ScoresAsStoredAndReadBack) {
  struct Case {
    int storeFifty, storePly, score, inSlot, probeFifty, probePly, read;
  } cases[] = {
      {0, 5, 9990, 9995, 0, 3, 9992},   {0, 5, -9990, -9995, 0, 3, -9992},
      {0, 4, 9798, 9798, 0, 4, 9798},   {0, 4, 9799, 9803, 0, 1, 9802},
      {0, 4, -9799, -9799, 0, 4, -9799}, {0, 4, -9800, -9804, 0, 4, -9800},
      {10, 0, 200, 200, 74, 0, 150},    {10, 0, 200, 200, 10, 0, 200},
      {10, 0, 200, 200, 2, 0, 200},     {0, 0, -300, -300, 3, 0, -297},
      {0, 0, 9990, 9990, 90, 0, 9990},
  };
  for (const Case& c : cases) {
    tt_store(keyed(key_with_lock(7), c.storeFifty), c.storePly, 4, c.score, BOUND_EXACT, MOVE_NONE);
    EXPECT_EQ(slot(0).score.load(), c.inSlot) << c.score;
    TTHit hit{};
    ASSERT_TRUE(probe(key_with_lock(7), hit, c.probePly, c.probeFifty));
    EXPECT_EQ(hit.score, c.read) << c.score << " fifty " << c.probeFifty;
    EXPECT_EQ(hit.fiftyAtStore, c.storeFifty);
  }
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
  tt_store(p, 0, -2, 35, BOUND_EXACT, e2e4);
  TTHit hit{};
  ASSERT_TRUE(tt_probe(p, 0, hit));
  EXPECT_EQ(hit.move, e2e4);
  EXPECT_EQ(hit.score, 35);
  EXPECT_EQ(hit.depth, -2);  // quiescence depths survive the round trip
  EXPECT_EQ(hit.bound, BOUND_EXACT);
  EXPECT_EQ(hit.fiftyAtStore, 3);
  const TTEntry& e = ttTable[p.key % ttEntries];
  EXPECT_EQ(e.lock.load(), uint32_t(p.key >> 32));
  EXPECT_EQ(e.age.load(), 1);
}

TEST_F(TTTest, TornOrForeignEntryIsRejected) {
  store(7, 5, BOUND_EXACT, 40);
  slot(0).score.store(41);  // the score of another write
  TTHit hit{};
  EXPECT_FALSE(probe(key_with_lock(7), hit));
  store(8, 5, BOUND_EXACT, 40);
  // A sound copy of it behind, which a failed check must not reach.
  TTEntry &damaged = slot(1), &copy = slot(2);
  copy.lock.store(damaged.lock.load()), copy.check.store(damaged.check.load());
  copy.move.store(damaged.move.load()), copy.score.store(damaged.score.load());
  copy.depth.store(damaged.depth.load()), copy.bound.store(damaged.bound.load());
  copy.age.store(damaged.age.load()), copy.fiftyAtStore.store(damaged.fiftyAtStore.load());
  damaged.move.store(make_move_code(12, 28));  // a move without its check
  EXPECT_FALSE(probe(key_with_lock(8), hit));
  // Same bucket (the index is the low bits) and lock, other lower half.
  store(9, 5, BOUND_EXACT, 40);
  EXPECT_FALSE(probe(key_with_lock(9) + (uint64_t(1) << 20), hit));
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

}  // namespace
