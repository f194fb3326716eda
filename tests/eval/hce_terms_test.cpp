// The working record (passed and candidate pawns), the threat words, and
// the colour symmetry of the whole evaluation, and its two caches.
#include <cstdio>
#include <random>

#include "../board/board_fixture.h"
#include "board/attacks.h"
#include "board/makemove.h"
#include "eval/evaltrace.h"
#include "eval/kingsafety.h"
#include "eval/passers.h"
#include "eval/pawns.h"
#include "eval/pieces.h"
#include "eval/threats.h"
#include "hce_fixture.h"

namespace {

Bitboard squares(std::initializer_list<const char*> names) {
  Bitboard b = 0;
  for (const char* n : names) b |= bit((n[0] - 'a') + 8 * (n[1] - '1'));
  return b;
}

// --------------------------------------------------------------- symmetry
// Colour-flipped twins: the board mirrored top to bottom with colours and
// the side to move swapped must score exactly the same, with the threat
// words swapped between the colours.

constexpr int RANDOM_LINE_PLIES = 40;
constexpr unsigned LINE_SEED = 20261206;

struct Outcome {
  int score;
  int16_t threat[2];
};

class HceSymmetryTest : public HceTest {
 protected:
  Outcome evaluate_fen(const std::string& fen) {
    set(fen);
    int s = hce_evaluate(t, t->pos.side, 1, 0);
    return {s, {t->plies[1].threat[WHITE], t->plies[1].threat[BLACK]}};
  }
  bool in_check() { return square_attacked(t->pos, t->pos.kingSq[t->pos.side], t->pos.side ^ 1); }
  void expect_twins(const std::string& fen) {
    if (in_check()) return;
    Outcome a = evaluate_fen(fen);
    std::string flipped = flip_fen(fen);
    Outcome b = evaluate_fen(flipped);
    EXPECT_EQ(a.score, b.score) << fen << "  vs  " << flipped;
    EXPECT_EQ(a.threat[WHITE], b.threat[BLACK]) << fen;
    EXPECT_EQ(a.threat[BLACK], b.threat[WHITE]) << fen;
    checked++;
  }
  // A random legal continuation of the position on the thread.
  bool play_random(std::mt19937& rng) {
    int16_t ply = t->ply;
    t->ply = 1;
    std::vector<Move> legal = legal_moves(t->pos);
    t->ply = ply;
    if (legal.empty()) return false;
    make_move(t->pos, legal[rng() % legal.size()]);
    return true;
  }
  int checked = 0;
};

// Random lines reach endings, promotions and odd king placements that the
// test suites rarely contain.
TEST_F(HceSymmetryTest, RandomLinePositionsScoreLikeTheirTwins) {
  std::mt19937 rng(LINE_SEED);
  std::vector<std::string> fens = epd_positions();
  for (size_t i = 0; i < fens.size(); i += 2) {
    set(fens[i]);
    for (int n = 0; n < RANDOM_LINE_PLIES && play_random(rng); n++) {
      std::string text = fen_of(t->pos);
      set(text);
      expect_twins(text);
      if (HasFailure()) return;
    }
  }
  EXPECT_GT(checked, 10000);
}

// ----------------------------------------------------------------- caches
// The result cache (read from ply 2 on, never at the root, threat words
// copied on a hit) and the pawn cache with its key rule.

const std::string MIDDLEGAME = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ -";

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

}  // namespace

class HceTermsTest : public HceTest {
 protected:
  EvalInfo info(const std::string& fen, int traceLevel = 0) {
    set(fen);
    EvalInfo ei;
    setup_eval_info(t->pos, ei, traceLevel);
    return ei;
  }
  struct Threats {
    int white, black;
    bool operator==(const Threats&) const = default;
  };
  // A colour's trace value for one category (line 1 + category).
  int category(const std::string& fen, TraceCategory which, int colour) {
    set(fen);
    std::vector<std::string> lines = captured_lines([&] { hce_evaluate(t, t->pos.side, 1, 1); });
    char name[16];
    int value[2] = {0, 0};
    EXPECT_EQ(std::sscanf(lines.at(1 + which).c_str(), "%15s %d %d", name, &value[WHITE], &value[BLACK]), 3);
    return value[colour];
  }
  int tapered(int32_t packed, const std::string& fen) { return taper(packed, info(fen).phase); }
  Threats threats(const std::string& fen) {
    eval_root(fen);
    return {t->plies[1].threat[WHITE], t->plies[1].threat[BLACK]};
  }
};

TEST_F(HceTermsTest, PassedAndCandidatePawns) {
  // h2 and a5 passed; c4 and d5 face only a neighbour's pawn: candidates;
  // the rammed e-pawns are neither.
  EvalInfo ei = info("4k3/8/8/p2pp3/2P1P3/8/7P/4K3 w - -");
  EXPECT_EQ(ei.passed & piece_set(t->pos, WHITE, PAWN), squares({"h2"}));
  EXPECT_EQ(ei.candidates & piece_set(t->pos, WHITE, PAWN), squares({"c4"}));
  EXPECT_EQ(ei.passed & piece_set(t->pos, BLACK, PAWN), squares({"a5"}));
  EXPECT_EQ(ei.candidates & piece_set(t->pos, BLACK, PAWN), squares({"d5"}));
}

TEST_F(HceTermsTest, PasserWorthMoreWithTheDefendingKingFar) {
  // The same free e5 passer with Black's king two steps from its path
  // (g7, covering none of it) and six (a1): only the defending king's
  // distance differs, so White's passer term must grow; the knights keep
  // the ending off the special rules.
  int near = category("8/6k1/8/4P3/8/8/1n4N1/6K1 w - -", TRACE_PASSERS, WHITE);
  int far = category("8/8/8/4P3/8/8/1n4N1/k5K1 w - -", TRACE_PASSERS, WHITE);
  EXPECT_GT(far, near + 10);
}

// Each side's threat word: a5 hangs to the rook (64 to Black's word) and
// the black passer on its fourth rank cannot advance safely (150 / 4 to
// White's), whoever is to move; queen h4 and knight g4 both hit h2 next to
// the king (none with the knight away, the king covers h2); a free passer
// on the sixth gets the full 600 for Black's word, a quarter when the
// knight blocks it (the knight keeps the position out of the mop-up rule).
TEST_F(HceTermsTest, ThreatWords) {
  struct Case { const char* fen; Threats expected; } cases[] = {
      {"3r2k1/5ppp/8/p7/8/8/5PPP/R5K1 w - -", {37, 64}}, {"3r2k1/5ppp/8/p7/8/8/5PPP/R5K1 b - -", {37, 64}},
      {"6k1/5ppp/8/8/6nq/8/5PP1/5RK1 w - -", {800, 0}},  {"6k1/5ppp/8/8/2n4q/8/5PP1/5RK1 w - -", {0, 0}},
      {"6k1/8/1P6/7n/8/8/8/R5K1 w - -", {0, 600}},       {"6k1/1n6/1P6/8/8/8/8/R5K1 w - -", {0, 150}},
  };
  for (const Case& c : cases) EXPECT_EQ(threats(c.fen), c.expected) << c.fen;
}

// Black's threat word with and without one feature, against its weight:
// the c3 knight attacked by the bishop either way but pinned only with the
// king on e5 behind it; e4-e5 hitting both knights from a square Black does
// not control (from e3 the push lands on a square both knights cover).
TEST_F(HceTermsTest, PinAndPawnPushFork) {
  struct Case { const char* with; const char* without; int32_t packed; } cases[] = {
      {"8/p7/8/4k3/8/2n5/7P/B5K1 b - -", "8/p7/4k3/8/8/2n5/7P/B5K1 b - -", W.pinned_piece->packed},
      {"4k3/8/3n1n2/8/4P3/8/8/4K3 w - -", "4k3/8/3n1n2/8/8/4P3/8/4K3 w - -",
       int32_t(2u * uint32_t(W.ppush_threat->packed))},
  };
  for (const Case& c : cases) {
    int difference = category(c.with, TRACE_THREATS, BLACK) - category(c.without, TRACE_THREATS, BLACK);
    EXPECT_NEAR(difference, tapered(c.packed, c.with), 1) << c.with;
  }
}
