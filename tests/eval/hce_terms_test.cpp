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

TEST_F(HceTermsTest, HangingPawnAndStoppedPasser) {
  // a5 hangs to the rook (64 to Black's word); the black passer on its
  // fourth rank cannot advance safely, so White's word gets 150 / 4.
  Threats expected{37, 64};
  EXPECT_EQ(threats("3r2k1/5ppp/8/p7/8/8/5PPP/R5K1 w - -"), expected);
  EXPECT_EQ(threats("3r2k1/5ppp/8/p7/8/8/5PPP/R5K1 b - -"), expected);
}

TEST_F(HceTermsTest, QueenContactCheck) {
  // Queen h4 and knight g4 both hit h2 next to the king on g1.
  Threats expected{800, 0};
  EXPECT_EQ(threats("6k1/5ppp/8/8/6nq/8/5PP1/5RK1 w - -"), expected);
  // With the knight elsewhere h2 is covered by the king: no threat.
  expected = {0, 0};
  EXPECT_EQ(threats("6k1/5ppp/8/8/2n4q/8/5PP1/5RK1 w - -"), expected);
}

TEST_F(HceTermsTest, PasserThreatByMobility) {
  // Free passer on the sixth: the full 600 for Black's word (the knight
  // keeps the position out of the mop-up rule).
  Threats free{0, 600};
  EXPECT_EQ(threats("6k1/8/1P6/7n/8/8/8/R5K1 w - -"), free);
  // The same pawn blocked by the knight: a quarter.
  Threats blocked{0, 150};
  EXPECT_EQ(threats("6k1/1n6/1P6/8/8/8/8/R5K1 w - -"), blocked);
}

TEST_F(HceTermsTest, PinnedPieceAgainstTheKing) {
  // The knight on c3 is attacked by the bishop either way; only with the
  // king on e5 behind it is it pinned.
  const std::string pinned = "8/p7/8/4k3/8/2n5/7P/B5K1 b - -";
  const std::string free = "8/p7/4k3/8/8/2n5/7P/B5K1 b - -";
  int difference = category(pinned, TRACE_THREATS, BLACK) - category(free, TRACE_THREATS, BLACK);
  EXPECT_NEAR(difference, tapered(W.pinned_piece->packed, pinned), 1);
}

TEST_F(HceTermsTest, PawnPushForkingTwoKnights) {
  // e4-e5 would hit both knights from a square Black does not control;
  // from e3 the push lands on a square both knights cover.
  const std::string fork = "4k3/8/3n1n2/8/4P3/8/8/4K3 w - -";
  const std::string none = "4k3/8/3n1n2/8/8/4P3/8/4K3 w - -";
  int difference = category(fork, TRACE_THREATS, BLACK) - category(none, TRACE_THREATS, BLACK);
  EXPECT_NEAR(difference, tapered(int32_t(2u * uint32_t(W.ppush_threat->packed)), fork), 1);
}

