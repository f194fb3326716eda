// The transposition table: scores as stored and read back, the bucket's
// replacement choices, torn and foreign entries.
#include "search/tt.h"

#include <gtest/gtest.h>

#include "../board/board_fixture.h"
#include "frontend/control.h"
#include "frontend/options.h"

namespace {

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
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

// Mate scores are kept relative to the storing node (exactly from the edge
// of the mate band on); other scores fade as the fifty-move count grows
// after the store, truncated toward zero.
TEST_F(TTTest, ScoresAsStoredAndReadBack) {
  struct Case { int storeFifty, storePly, score, inSlot, probeFifty, probePly, read; } cases[] = {
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

// The same position keeps a deeper entry (within three plies it is
// replaced); a full bucket of the current search gives up only its
// shallowest entry, and only to a store within seven plies of it.
TEST_F(TTTest, ReplacementInTheBucket) {
  store(7, 10);
  store(7, 6);
  EXPECT_EQ(slot(0).depth.load(), 10);
  store(7, 7);
  EXPECT_EQ(slot(0).depth.load(), 7);
  EXPECT_EQ(slot(1).lock.load(), 0u);
  tt_clear();
  const int depths[4] = {12, 9, 9, 15};
  for (int i = 0; i < 4; i++) store(uint32_t(i + 1), depths[i]);
  store(9, 1);
  for (int i = 0; i < 4; i++) EXPECT_EQ(slot(i).lock.load(), uint32_t(i + 1));
  store(9, 2);
  EXPECT_EQ(slot(1).lock.load(), 9u);
  EXPECT_EQ(slot(2).lock.load(), 3u);
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

}  // namespace
