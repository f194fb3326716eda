// The training pipeline: the record format against real positions, the
// self-play rules (quiet positions, adjudication), the network trainer's
// gradient against finite differences, and the table tuner's error model.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <string>
#include <utility>

#include "../board/board_fixture.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "eval/netweights.h"
#include "gamerules.h"
#include "netdata.h"
#include "nettrain.h"
#include "syzygy/tbregistry.h"
#include "tune_model.h"

namespace {

using TrainingData = BoardTest;

// The placement and side to move of a FEN text (the record keeps no more).
std::string placement_and_side(const std::string& fen) {
  size_t a = fen.find(' ');
  return fen.substr(0, a + 2);
}

TEST_F(TrainingData, RecordsKeepPlacementAndSideOfRealPositions) {
  std::ifstream in(data_path("san.txt"));
  std::string line, last;
  int checked = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::string fen = line.substr(0, line.find(" |"));
    if (fen == last) continue;
    last = fen;
    set_position(t->pos, fen.c_str());
    NetRecord r;
    pack_record(t->pos, -123, RESULT_WHITE_WINS, 77, r);
    SearchThread* u = new_search_thread();
    ASSERT_TRUE(unpack_record(r, u->pos)) << fen;
    EXPECT_EQ(placement_and_side(fen_of(u->pos)), placement_and_side(fen));
    EXPECT_EQ(r.score, -123);
    EXPECT_EQ(r.game, 77u);
    EXPECT_EQ(result_for_side_to_move(r), t->pos.side == WHITE ? 1.0 : 0.0);
    free_search_thread(u);
    checked++;
  }
  EXPECT_GT(checked, 300);
}

TEST_F(TrainingData, OnlyQuietChoicesBecomeRecords) {
  struct Case { const char* fen; const char* move; bool quiet; } cases[] = {
      {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1", "e7e5", true},
      {"rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2", "e4d5", false},   // capture
      {"4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", "b7b8n", false},                                // promotion
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", false},                               // en passant
      {"4k3/8/8/8/8/8/3r4/4K3 w - - 0 1", "e1f1", true},                                  // not in check
      {"4k3/8/8/8/8/8/8/r3K3 w - - 0 1", "e1e2", false},                                  // in check
      {"r3k3/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1", true},                                  // castling
  };
  for (const Case& c : cases) {
    set_position(t->pos, c.fen);
    Move m;
    t->ply = 1;
    ASSERT_TRUE(parse_move_in(t->pos, c.move, &m)) << c.fen << " " << c.move;
    EXPECT_EQ(is_quiet_choice(t->pos, m), c.quiet) << c.fen << " " << c.move;
  }
}

TEST_F(TrainingData, RulesEndGamesByMateStalemateAndRepetition) {
  const std::pair<const char*, int> cases[] = {{"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", RESULT_WHITE_WINS},
                                               {"7k/8/6QK/8/8/8/8/8 b - - 0 1", RESULT_DRAW},
                                               {"4k3/8/8/8/8/8/8/4K2R w - - 0 1", -1}};
  for (auto [fen, result] : cases) {
    set_position(t->pos, fen);
    EXPECT_EQ(rule_result(t->pos), result) << fen;
  }
  for (const char* text : {"h1h2", "e8d8", "h2h1", "d8e8", "h1h2", "e8d8", "h2h1", "d8e8"}) {
    Move m;
    t->ply = 1;
    ASSERT_TRUE(parse_move_in(t->pos, text, &m));
    make_move(t->pos, m);
  }
  EXPECT_EQ(rule_result(t->pos), RESULT_DRAW);
}

// The tables decide a game that reaches them, but only right after the
// zeroing move: later the fifty count could turn a won ending into a draw.
TEST_F(TrainingData, TablebasesDecideGamesThatReachThem) {
  struct Case { const char* fen; int result, fifty; } cases[] = {  // fifty: set after the FEN
      {"8/8/8/4k3/8/8/3QK3/8 b - - 0 1", RESULT_WHITE_WINS, 0},   // KQvK, Black to move
      {"8/8/8/4k3/8/8/3QK3/8 w - - 0 1", RESULT_WHITE_WINS, 0},   // KQvK, White to move
      {"8/8/8/4k3/8/8/q7/4K3 w - - 0 1", RESULT_BLACK_WINS, 0},    // KvKQ, White to move
      {"8/8/8/4k1r1/8/8/3RK3/8 w - - 0 1", RESULT_DRAW, 0},       // KRvKR
      {"8/8/8/4k3/8/8/3QK3/8 b - - 5 3", -1, 5},               // fifty count running
      {"8/8/8/4k3/8/8/2NQK3/3r4 b - - 0 1", -1, 0},               // five men: beyond these tables
  };
  tb_init((std::string(ZERV_DATA_DIR) + "/syzygy").c_str());
  for (const Case& c : cases) {
    set_position(t->pos, c.fen);
    t->pos.fifty = uint8_t(c.fifty);
    EXPECT_EQ(tablebase_result(t->pos), c.result) << c.fen;
  }
  tb_init("");
  set_position(t->pos, cases[0].fen);
  EXPECT_EQ(tablebase_result(t->pos), -1) << "no tables loaded";
}

TEST(Adjudication, DecidesHeldScoresOnly) {
  // White's view scores ply by ply: a lead must hold WIN_PLIES plies in a row.
  Adjudicator a = {};
  for (int ply = 0; ply < WIN_PLIES - 1; ply++) EXPECT_EQ(adjudicate(a, WIN_SCORE, ply), -1);
  EXPECT_EQ(adjudicate(a, WIN_SCORE - 1, WIN_PLIES), -1);  // one ply below breaks the run
  for (int ply = 0; ply < WIN_PLIES - 1; ply++) EXPECT_EQ(adjudicate(a, -WIN_SCORE - 50, ply), -1);
  EXPECT_EQ(adjudicate(a, -WIN_SCORE, WIN_PLIES), RESULT_BLACK_WINS);

  // A side change restarts the run.
  Adjudicator b = {};
  for (int ply = 0; ply < WIN_PLIES - 1; ply++) adjudicate(b, WIN_SCORE, ply);
  EXPECT_EQ(adjudicate(b, -WIN_SCORE, WIN_PLIES), -1);

  // Dead draws only after DRAW_FROM_PLY.
  Adjudicator c = {};
  for (int ply = 0; ply < DRAW_FROM_PLY - 1; ply++) EXPECT_EQ(adjudicate(c, DRAW_SCORE, ply), -1);
  EXPECT_EQ(adjudicate(c, -DRAW_SCORE, DRAW_FROM_PLY), RESULT_DRAW);
  Adjudicator d = {};
  for (int ply = DRAW_FROM_PLY; ply < DRAW_FROM_PLY + DRAW_PLIES - 1; ply++) adjudicate(d, 0, ply);
  EXPECT_EQ(adjudicate(d, DRAW_SCORE + 1, DRAW_FROM_PLY + DRAW_PLIES), -1);
}

// A tiny network of the built-in input layout with random values, and a
// few samples over random features.
constexpr int TINY_HIDDEN = 8;
constexpr int TINY_INPUTS = 1824;

Model tiny_model(unsigned seed) {
  Model m;
  m.header = {540, 1, 1792, 32, TINY_HIDDEN, 0, 5, 0};
  m.inputs = TINY_INPUTS;
  m.hidden = TINY_HIDDEN;
  m.values.resize(size_t(TINY_INPUTS) * TINY_HIDDEN + 5 * TINY_HIDDEN + 5 + NET_PARAM_COUNT);
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> u(-0.3f, 0.3f);
  for (float& v : m.values) v = u(rng);
  m.headOffset = size_t(TINY_INPUTS) * TINY_HIDDEN;
  m.biasIndex = m.values.size() - NET_PARAM_COUNT + NET_PARAM_FIRST_BIAS;
  return m;
}

SampleSet tiny_samples(unsigned seed, int count) {
  SampleSet s;
  s.start.push_back(0);
  std::mt19937 rng(seed);
  for (int i = 0; i < count; i++) {
    for (int k = 0; k < 12; k++) s.features.push_back(uint16_t(rng() % TINY_INPUTS));
    s.start.push_back(uint32_t(s.features.size()));
    s.mix.push_back(float(rng() % 100) / 100.0f);
    s.pieceless.push_back(i % 5 == 0);
    s.target.push_back(float(rng() % 100) / 100.0f);
    s.score.push_back(0);
  }
  return s;
}

Gradient set_gradient(const Model& m, const SampleSet& s) {
  Gradient g = {std::vector<float>(m.values.size()), 0};
  std::vector<uint32_t> order(s.size());
  for (size_t i = 0; i < order.size(); i++) order[i] = uint32_t(i);
  batch_gradient(m, s, order.data(), 0, order.size(), g);
  return g;
}

TEST(NetworkTrainer, GradientMatchesFiniteDifferences) {
  Model m = tiny_model(5);
  SampleSet s = tiny_samples(6, 20);
  Gradient g = set_gradient(m, s);
  // A used first-layer weight, each head row and the shared bias.
  std::vector<size_t> probes = {size_t(s.features[0]) * TINY_HIDDEN + 3, m.headOffset + 1,
                                m.headOffset + TINY_HIDDEN + 2, m.headOffset + 2 * TINY_HIDDEN + 5, m.biasIndex};
  const float h = 1e-3f;
  for (size_t i : probes) {
    Model up = m, down = m;
    up.values[i] += h;
    down.values[i] -= h;
    double numeric = (set_gradient(up, s).loss - set_gradient(down, s).loss) / (2 * h);
    EXPECT_NEAR(g.g[i], numeric, 2e-3 + 0.02 * std::abs(numeric)) << "value " << i;
  }
}

TEST(TableTuner, ErrorAndGradientFollowTheLinearModel) {
  TuneSet s;
  // The tuner's model on hand-made positions: a middlegame with a White man
  // on entry 0, an endgame with a Black one there.
  add_tune_position(s, {0, 0.0f, 1.0f, 0.5f, {{0, 1}}});
  add_tune_position(s, {100, 1.0f, 1.0f, 1.0f, {{0, -1}, {1, 1}}});
  TuneDeltas d = make_deltas(2);
  const double k = 0.01;
  double p = 1 / (1 + std::exp(-1.0));
  EXPECT_NEAR(tune_error(s, d, k), (0.0 + (1 - p) * (1 - p)) / 2, 1e-12);
  d.mg[0] = 30;  // moves only the middlegame position
  d.eg[0] = 20;  // moves only the endgame one, against White
  EXPECT_NEAR(tuned_eval(s, 0, d), 30, 1e-9);
  EXPECT_NEAR(tuned_eval(s, 1, d), 80, 1e-9);
  std::vector<double> gMg, gEg;
  tune_gradient(s, d, k, gMg, gEg);
  for (int i = 0; i < 2; i++) {
    for (int eg = 0; eg < 2; eg++) {
      TuneDeltas up = d, down = d;
      (eg ? up.eg : up.mg)[i] += 1e-4;
      (eg ? down.eg : down.mg)[i] -= 1e-4;
      double numeric = (tune_error(s, up, k) - tune_error(s, down, k)) / 2e-4;
      EXPECT_NEAR((eg ? gEg : gMg)[i], numeric, 1e-9);
    }
  }
}

}  // namespace
