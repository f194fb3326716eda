// The working record (passed and candidate pawns) and the threat words.
#include <cstdio>

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
