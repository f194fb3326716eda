// Colour-flipped twins: the board mirrored top to bottom with colours and
// the side to move swapped must score exactly the same, with the threat
// words swapped between the colours.
#include <random>

#include "../board/board_fixture.h"
#include "board/attacks.h"
#include "board/makemove.h"
#include "hce_fixture.h"

namespace {

constexpr int RANDOM_LINE_PLIES = 40;
constexpr unsigned LINE_SEED = 20261206;

struct Outcome {
  int score;
  int16_t threat[2];
};

}  // namespace

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

