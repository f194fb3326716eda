// The result cache (read from ply 2 on, never at the root, threat words
// copied on a hit) and the pawn cache with its key rule.
#include "eval/pawns.h"
#include "hce_fixture.h"

namespace {

const std::string MIDDLEGAME = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ -";

}  // namespace

class HceCacheTest : public HceTest {
 protected:
  EvalCacheEntry& entry() { return t->evalCache[eval_cache_index(t->pos.key, t->pos.side)]; }
  // Evaluation at a ply where the result cache could be read, with this
  // position's entry spoiled first so only the pawn cache may serve.
  int eval_pawn_cached(int ply) {
    entry().key = ~t->pos.key;
    return hce_evaluate(t, t->pos.side, ply, 0);
  }
};

TEST_F(HceCacheTest, RootRecomputesDeeperPliesRead) {
  set(MIDDLEGAME);
  int s = hce_evaluate(t, WHITE, 1, 0);
  EXPECT_EQ(entry().key, t->pos.key);
  EXPECT_EQ(entry().hceScore, s);
  // A planted entry shows whether the cache was read.
  entry().hceScore = int16_t(s + 77);
  entry().threat[WHITE] = 11;
  entry().threat[BLACK] = 22;
  EXPECT_EQ(hce_evaluate(t, WHITE, 2, 0), s + 77);
  EXPECT_EQ(t->plies[2].threat[WHITE], 11);
  EXPECT_EQ(t->plies[2].threat[BLACK], 22);
  EXPECT_EQ(t->evalHits, 1u);
  EXPECT_EQ(hce_evaluate(t, WHITE, 1, 0), s);
  EXPECT_EQ(entry().hceScore, s) << "the root evaluation rewrites the entry";
  EXPECT_EQ(t->evalHits, 1u);
  EXPECT_EQ(t->evalCalls, 3u);
}

// The same pawns with a king moved across: the cached structure of one must
// never be served to the other (its tables are mirrored differently).
TEST_F(HceCacheTest, KingsChangingWingsNeverShareAPawnEntry) {
  const char* pairs[][2] = {
      {"r4rk1/pp3ppp/2n5/3p4/3P4/2N5/PP3PPP/R4RK1 w - -", "r4rk1/pp3ppp/2n5/3p4/3P4/2N5/PP3PPP/1KR4R w - -"},
      {"r4rk1/pp3ppp/2n5/3p4/3P4/2N5/PP3PPP/R4RK1 w - -", "1kr4r/pp3ppp/2n5/3p4/3P4/2N5/PP3PPP/R4RK1 w - -"},
  };
  for (auto& pair : pairs) {
    SearchThread* fresh = new_search_thread();
    ASSERT_NE(fresh, nullptr);
    set_position(fresh->pos, pair[1]);
    int expected = hce_evaluate(fresh, fresh->pos.side, 1, 0);
    free_search_thread(fresh);
    set(pair[0]);
    hce_evaluate(t, t->pos.side, 1, 0);
    set(pair[1]);
    EXPECT_EQ(eval_pawn_cached(2), expected) << pair[1];
  }
}

// Every test-suite position scores the same fresh and with the pawn
// structure served from the cache.
TEST_F(HceCacheTest, PawnCacheServesTheComputedStructure) {
  std::vector<std::string> fens = epd_positions();
  int compared = 0;
  for (size_t i = 0; i < fens.size(); i += 3) {
    set(fens[i]);
    int fresh = hce_evaluate(t, t->pos.side, 1, 0);
    EXPECT_EQ(eval_pawn_cached(3), fresh) << fens[i];
    compared++;
  }
  EXPECT_EQ(t->pawnHits, uint64_t(compared));
}
