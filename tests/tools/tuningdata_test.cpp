// PGN scans and tuning positions: the comment scores match managers
// write, the mistake marking, the result filters, and every mode run
// through the built binary on small constructed files; the EPD runner's
// scoring; and the network training pipeline.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <utility>

#include "../board/board_fixture.h"
#include "../eval/hce_fixture.h"
#include "../frontend/dialogue.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "checkpoint.h"
#include "eval/netfeatures.h"
#include "eval/netweights.h"
#include "gamerules.h"
#include "netdata.h"
#include "nettrain.h"
#include "recordstream.h"
#include "syzygy/tbregistry.h"
#include "tools/epdanalysis.h"
#include "tools/pgnscan.h"
#include "tools/tuningdata.h"
#include "tune_measure.h"
#include "tune_model.h"
#include "wdlfit.h"

namespace {

TEST(CommentScore, MatchManagerComments) {
  struct Case { const char* comment; bool black; int score; CommentKind kind; } const cases[] = {
      {"+1.25/14 0.5s", false, 125, COMMENT_SCORE},
      {"-0.29/7 0.05s", false, -29, COMMENT_SCORE},  // not 28 from binary rounding
      {"eval 40, depth 12", false, 40, COMMENT_EVAL},
      {"eval 40, depth 12", true, -40, COMMENT_EVAL},  // White's view turned
      {"-M5/20 0.1s", false, -9000, COMMENT_MATE},
      {"+M1/127 0.002s, White mates", true, 9000, COMMENT_MATE},
      {"+0.30/8 book", false, 0, COMMENT_BOOK},
      {"+1/5 0.1s", false, SCAN_UNREADABLE, COMMENT_NONE},      // too short a word
      {"+999.99/3", false, 29000, COMMENT_SCORE},  // kept within 16 bits
  };
  for (const Case& c : cases) {
    CommentScore s = read_comment_score(c.comment, c.black);
    EXPECT_EQ(s.score, c.score) << c.comment << (c.black ? " (Black)" : "");
    EXPECT_EQ(s.kind, c.kind) << c.comment;
  }
}

TEST(ScanMistakes, OpponentScoresRisingAfterTheMove) {
  // Plies scored 0 but for the score before the move and the opponent's
  // scores 1 and 3 plies (`rise`) and 7 plies (`late`) after it.
  struct Case { int ply, moves, before, rise, late; bool mistake; } const cases[] = {
      {15, 30, 0, 40, 60, true},      {15, 30, 0, 40, 50, false},  // the late rise must exceed 50
      {11, 30, 0, 40, 60, false},     {15, 24, 0, 40, 60, false},  // too early, too near the end
      {15, 30, 250, 400, 400, false},  // already won for the opponent
      {15, 30, -1000, 40, 60, false}, {15, 30, -999, 40, 60, true},
      {15, 30, 100, 40, 400, false},  // margin 10 + 30: 40 is not enough
  };
  for (const Case& c : cases) {
    static ScanGame g;
    g = ScanGame{};
    g.moveCount = c.moves;
    g.moves[c.ply - 1].score = int16_t(c.before);
    g.moves[c.ply + 1].score = g.moves[c.ply + 3].score = int16_t(c.rise);
    g.moves[c.ply + 7].score = int16_t(c.late);
    EXPECT_EQ(is_scan_mistake(g, c.ply), c.mistake) << c.ply << " " << c.moves << " " << c.before;
  }
}

// 32 plies of knight moves (the fifty counter climbs), then an opening
// with a check at ply 38 (Black to move in check at ply 39): 44 plies.
const char* const SHUFFLE[] = {"Nf3", "Nf6", "Ng1", "Ng8"};
const char* const OPENING[] = {"e4", "e5", "Nc3", "Nc6", "Qh5", "Nf6",
                               "Qxf7+", "Kxf7", "d3", "d6", "Be2", "Be7"};
constexpr int PLIES = 44;

// The game with a comment per ply from `score` (none for -30000).
std::string scored_game(const std::string& result, int (*score)(int)) {
  std::ostringstream pgn;
  pgn << "[Event \"t\"]\n[Round \"1\"]\n[Result \"" << result << "\"]\n\n";
  for (int ply = 0; ply < PLIES; ply++) {
    if (ply % 2 == 0) pgn << ply / 2 + 1 << ". ";
    pgn << (ply < 32 ? SHUFFLE[ply % 4] : OPENING[ply - 32]) << " ";
    char comment[32];
    std::snprintf(comment, sizeof comment, "{%+.2f/9 0.1s}\n", score(ply) / 100.0);
    if (score(ply) != SCAN_NO_SCORE) pgn << comment;
  }
  return pgn.str() + result + "\n";
}

std::string write_file(const std::string& dir, const std::string& name, const std::string& text) {
  std::ofstream(dir + "/" + name) << text;
  return name;
}

// A mistake at ply 15 (see ScanMistakes): the reply at ply 16 is the best move.
int mistake_scores(int ply) {
  return ply == 16 || ply == 18 ? 40 : ply == 22 ? 60 : ply == 10 ? 600 : 0;
}

TEST(ScanDialogue, AnnotatedGamesBestMovesAndRookEndings) {
  std::string dir = make_temp_dir();
  write_file(dir, "g.pgn", scored_game("0-1", mistake_scores));
  Dialogue d = run_engine({"-scan_pgn1", "g.pgn", "-o", "a.pgn"}, "", dir);
  EXPECT_NE(d.output.find("games= 1, positions= 1\n"), std::string::npos) << d.output;
  std::vector<std::string> lines = lines_of(read_file(dir + "/a.pgn"));
  ASSERT_GE(lines.size(), 4u + PLIES);
  EXPECT_EQ(lines[1], "[Round \"1\"]");
  EXPECT_EQ(lines[2], "[Tag \"game_1\"]");
  EXPECT_EQ(lines[4], "  1.  Nf3     {  0.00}");
  EXPECT_EQ(lines[4 + 10], "  6.  Ng1     {  6.00}");
  EXPECT_EQ(lines[4 + 16], "  9.  Nf3     {  0.40 ! rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 16 16 bm Nf3;}");
  EXPECT_EQ(lines[4 + 15], "      Ng8     {  0.00 ? rnbqkb1r/pppppppp/5n2/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 15 15 am Ng8;}");
  EXPECT_EQ(read_file(dir + "/tmpX.epd"), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 16 16 bm Nf3;\n");
  // Best moves stop after the first decided score (ply 10, 600).
  d = run_engine({"-scan_pgn3", "g.pgn"}, "", dir);
  EXPECT_NE(d.output.find("games= 1, positions= 11\n"), std::string::npos) << d.output;
  EXPECT_EQ(lines_of(read_file(dir + "/tmp.epd"))[10],
            "rnbqkb1r/pppppppp/5n2/8/8/5N2/PPPPPPPP/RNBQKB1R w KQkq - 10 10 bm Ng1; ce 600;");
  // Rook and pawn against rook until the black rook is taken.
  write_file(dir, "r.pgn",
             "[Event \"r\"]\n[FEN \"4k3/r7/8/8/8/8/4P3/4K2R w - - 0 1\"]\n[Result \"1-0\"]\n"
             "1. Rh8+ Kd7 2. Rh7+ Ke6 3. Rxa7 Kd5 1-0\n");
  d = run_engine({"-scan_pgn4", "r.pgn"}, "", dir);
  EXPECT_NE(d.output.find("games= 1, positions= 5\n"), std::string::npos) << d.output;
  lines = lines_of(read_file(dir + "/tmp.epd"));
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "4k3/r7/8/8/8/8/4P3/4K2R w - - 0 0 bm Rh8+; ce -30000; tune 1.00000;");
  EXPECT_EQ(lines[1].substr(lines[1].find(" bm")), " bm Kd7; ce -30000; tune 0.00000;");
}

TEST(TuneDialogue, LabelledPositionsOfBothKinds) {
  std::string dir = make_temp_dir();
  write_file(dir, "in.epd",
             "# comment\n"
             "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - ce 300; gr 0.0;\n"  // contradicts
             "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - ce 10; gr 0.5;\n"
             "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq -\n"
             "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - ce 12;\n"
             "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -\n"  // mated: in check
             "x" + std::string(300, 'y') + "\n"
             "8/8/8/8/8/2k5/8/KQ6 b - -\n");
  Dialogue d = run_engine({"-d", "3", "-mktune1", "in.epd"}, "", dir);
  EXPECT_NE(d.output.find("Creating file tune_new.epd\n"), std::string::npos) << d.output;
  EXPECT_NE(d.output.find("longer than 253 characters"), std::string::npos);
  std::string fen = R"([1-8pnbrqkPNBRQK/]+ [wb] [KQkq-]+ [-a-h36]+)";
  std::regex kind1(fen + R"( ce -?\d+; sc -?\d+; gr 0\.5;\n)" + fen + R"( -?\d+;\n)" + fen +
                   R"( ce -?12;\n)" + fen + R"( -?\d+;\n)");
  std::string out = read_file(dir + "/tune_new.epd");
  EXPECT_TRUE(std::regex_match(out, kind1)) << out;
  // Kind 2 writes the input positions; the tables decide KQvK.
  d = run_engine({"-d", "3", "-tbpath", data_path("syzygy"), "-mktune2", "in.epd", "-o", "t2.epd"},
                 "", dir);
  std::vector<std::string> lines = lines_of(read_file(dir + "/t2.epd"));
  ASSERT_EQ(lines.size(), 4u) << d.output;
  EXPECT_TRUE(std::regex_match(lines[0], std::regex(fen + R"( ce 10; sc -?\d+; gr 0\.5;)")));
  EXPECT_TRUE(std::regex_match(lines[1], std::regex(fen + R"( sc -?\d+;)")));
  std::smatch m;
  ASSERT_TRUE(std::regex_match(lines[3], m, std::regex(R"(8/8/8/8/8/2k5/8/KQ6 b - - sc (-\d+);)")));
  EXPECT_LE(std::stoi(m[1]), -9800);
}

// ------------------------------------------------------------- EPD runner
// The counting rules of one answer.

constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

class EpdScoring : public BoardTest {};

TEST_F(EpdScoring, BestMovesAvoidMovesAndPoints) {
  struct Case {
    const char* ops;  // operations after the position
    const char* answer;
    int correct, points, possible;
  };
  const Case cases[] = {
      {"bm e4;", "e4", 1, 0, 0},
      {"bm Nf3 e4;", "e4", 1, 0, 0},          // any listed move
      {"bm Nf3,g1f3;", "Nf3", 2, 0, 0},       // every matching piece counts
      {"bm \"e4\";", "e4", 1, 0, 0},
      {"bm Ke2 xx;", "e4", 0, 0, 0},          // unparsable pieces count nothing
      {"am e4;", "d4", 1, 0, 0},
      {"am Zz9;", "d4", 0, 0, 0},             // an unparsable "am" is not counted
      {"bm d4; am e4;", "d4", 1, 0, 0},       // with "bm" the "am" is not read
      {"c0 \"e4=10, d4=5\";", "e4", 0, 10, 10},
      {"c0 \"e4=10, d4=5\";", "d4", 0, 5, 10},
      {"c0 \"e4=3, d4=7\"; bm d4;", "d4", 1, 7, 7},
      {"c0 \"e4 d4\";", "e4", 0, 0, 0},       // no points listed at all
      {"c0 \"=5, e4=, xx=9\";", "e4", 0, 0, 9},  // broken pieces: no crash
  };
  for (const Case& c : cases) {
    std::string line = std::string(START) + " " + c.ops;
    EpdFields ops;
    parse_epd(line.c_str(), ops);
    Position& pos = set(START);
    Move answer = MOVE_NONE;
    ASSERT_TRUE(parse_move_in(pos, c.answer, &answer)) << c.answer;
    EpdAnswerScore s = score_epd_answer(pos, ops, answer);
    EXPECT_EQ(s.correct, c.correct) << c.ops << " / " << c.answer;
    EXPECT_EQ(s.points, c.points) << c.ops << " / " << c.answer;
    EXPECT_EQ(s.possible, c.possible) << c.ops << " / " << c.answer;
  }
}

// --------------------------------------------------------------- training
// The training pipeline: the record format against real positions, the
// self-play rules (quiet positions, adjudication), the network trainer's
// gradient against finite differences, and the table tuner's error model.

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
  SampleSet s = tiny_samples(6, 20);
  // The engine's own logistic and a fitted score scale that stretches it.
  for (double outScale : {1.0, 1.4}) {
    Model m = tiny_model(5);
    m.outScale = outScale;
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
      EXPECT_NEAR(g.g[i], numeric, 2e-3 + 0.02 * std::abs(numeric)) << "value " << i << " scale " << outScale;
    }
  }
}

// A long run stopped and resumed must continue from the very same floats
// and moments; a checkpoint of another network shape must be refused.
TEST(NetworkTrainer, CheckpointsRestoreTheRunAndRefuseOtherShapes) {
  Model m = tiny_model(7);
  Adam a = {std::vector<float>(m.values.size(), 0.25f), std::vector<float>(m.values.size(), 0.5f), 42};
  const std::string path = ::testing::TempDir() + "zerv_train.ckpt";
  ASSERT_TRUE(save_checkpoint(path.c_str(), m, a, {3, 17, 1000, 0.0005}));
  Model back = tiny_model(8);
  Adam b = {std::vector<float>(m.values.size()), std::vector<float>(m.values.size()), 0};
  TrainProgress p;
  ASSERT_TRUE(load_checkpoint(path.c_str(), back, b, p));
  EXPECT_EQ(back.values, m.values);
  EXPECT_EQ(b.m, a.m);
  EXPECT_EQ(b.step, 42);
  EXPECT_EQ(p.epoch, 3);
  EXPECT_EQ(p.window, 17);
  EXPECT_EQ(p.dataRecords, 1000);
  Model other = tiny_model(9);
  other.values.pop_back();
  const std::vector<float> before = other.values;
  EXPECT_FALSE(load_checkpoint(path.c_str(), other, b, p));
  EXPECT_EQ(other.values, before);
  std::remove(path.c_str());
}

// Rows shared by both king wings: the folded network is the factorised
// model (written here as a network with the shared rows as further
// inputs), a shared row's gradient follows finite differences of its
// loss, a training step moves it by that gradient, every batch refolds
// it, and a checkpoint carries it so a resumed run goes on exactly.
// Narrow networks have no wings to share.
TEST(NetworkTrainer, SharedWingRowsFoldTrainAndResume) {
  Model narrow = tiny_model(3);
  narrow.header.mainInputs = NET_MAIN_INPUTS_NARROW;
  EXPECT_FALSE(add_factor_rows(narrow));
  SampleSet s = tiny_samples(12, 20);
  Model m = tiny_model(10);
  const size_t fileValues = m.values.size(), pair = size_t(NET_WING_OFFSET) * TINY_HIDDEN;
  ASSERT_TRUE(add_factor_rows(m));
  std::mt19937 rng(11);
  for (size_t i = fileValues; i < m.values.size(); i++) m.values[i] = float(int(rng() % 61) - 30) / 100;
  const Model folded = folded_model(m);
  ASSERT_EQ(folded.values.size(), fileValues);
  // The factorised model as a plain network: the shared rows are inputs
  // after the file's, each main input also switching on its square's.
  Model shared = folded;
  shared.values.assign(m.values.begin(), m.values.begin() + m.headOffset);
  shared.values.insert(shared.values.end(), m.values.begin() + fileValues, m.values.end());
  shared.values.insert(shared.values.end(), m.values.begin() + m.headOffset, m.values.begin() + fileValues);
  shared.headOffset += pair;
  shared.biasIndex += pair;
  std::vector<float> raw(TINY_HIDDEN), act(TINY_HIDDEN);
  for (size_t i = 0; i < s.size(); i++) {
    std::vector<uint16_t> f(s.features.begin() + s.start[i], s.features.begin() + s.start[i + 1]);
    double out = forward(folded, f.data(), int(f.size()), s.mix[i], s.pieceless[i], raw.data(), act.data());
    for (size_t k = 0, n = f.size(); k < n; k++)
      if (f[k] < NET_MAIN_INPUTS_WIDE) f.push_back(uint16_t(TINY_INPUTS + f[k] % NET_WING_OFFSET));
    EXPECT_NEAR(forward(shared, f.data(), int(f.size()), s.mix[i], s.pieceless[i], raw.data(), act.data()), out,
                1e-5) << "sample " << i;
  }
  Gradient g = set_gradient(folded, s);
  g.g.resize(m.values.size());
  add_factor_gradient(m, g.g);
  const double n = double(s.size()), h = 1e-3;
  for (int k = 0; k < 4; k++) {
    size_t i = m.factorOffset + size_t(s.features[k] % NET_WING_OFFSET) * TINY_HIDDEN + k;
    Model up = m, down = m;
    up.values[i] += float(h);
    down.values[i] -= float(h);
    double numeric = (evaluate_set(up, s).loss - evaluate_set(down, s).loss) * n / (2 * h);
    EXPECT_NEAR(g.g[i], numeric, 2e-3 + 0.02 * std::abs(numeric)) << "shared value " << i;
  }
  // Adam's first step moves every value by the learning rate against the
  // sign of its gradient: the whole batch's, on two threads.
  std::vector<uint32_t> order(s.size());
  for (size_t i = 0; i < order.size(); i++) order[i] = uint32_t(i);
  std::vector<Gradient> grads(2, {std::vector<float>(m.values.size()), 0});
  Adam a = {std::vector<float>(m.values.size()), std::vector<float>(m.values.size()), 0};
  const double lr = 1e-3;
  const size_t batch = 8;
  const Model before = m;
  train_epoch(m, a, grads, s, order, order.size(), lr);
  int moved = 0;
  for (size_t i = m.factorOffset; i < m.values.size(); i++) {
    if (std::abs(g.g[i]) < 1e-4 * n) continue;
    EXPECT_NEAR(m.values[i] - before.values[i], g.g[i] > 0 ? -lr : lr, lr / 100) << "shared value " << i;
    moved++;
  }
  EXPECT_GT(moved, 100);
  const std::string path = ::testing::TempDir() + "zerv_factor.ckpt";
  ASSERT_TRUE(save_checkpoint(path.c_str(), m, a, {1, 1, 20, lr}));
  Model back = tiny_model(13);
  ASSERT_TRUE(add_factor_rows(back));
  Adam b = {std::vector<float>(m.values.size()), std::vector<float>(m.values.size()), 0};
  TrainProgress p;
  ASSERT_TRUE(load_checkpoint(path.c_str(), back, b, p));
  std::remove(path.c_str());
  // Batches passed one at a time: each must see the values the one before left.
  train_epoch(m, a, grads, s, order, batch, lr);
  for (size_t from = 0; from < order.size(); from += batch) {
    std::vector<uint32_t> part(order.begin() + from, order.begin() + std::min(order.size(), from + batch));
    train_epoch(back, b, grads, s, part, batch, lr);
  }
  EXPECT_EQ(back.values, m.values);
}

// Windows of the streamed data cross file ends: two files read as one
// sequence give back every record in order, and a range past the end fails.
TEST(NetworkTrainer, RecordWindowsSpanFiles) {
  const std::string dir = ::testing::TempDir();
  std::vector<std::string> paths = {dir + "zerv_stream_a.bin", dir + "zerv_stream_b.bin"};
  for (int file = 0; file < 2; file++) {
    FILE* f = std::fopen(paths[file].c_str(), "wb");
    ASSERT_TRUE(f);
    for (int i = 0; i < 5 + file; i++) {
      NetRecord r = {};
      r.game = uint32_t(file * 100 + i);
      ASSERT_TRUE(write_records(f, &r, 1));
    }
    std::fclose(f);
  }
  RecordSource src;
  ASSERT_TRUE(open_record_source({paths[0].c_str(), paths[1].c_str()}, src));
  EXPECT_EQ(src.total, 11);
  std::vector<NetRecord> got;
  ASSERT_TRUE(read_record_range(src, 3, 5, got));
  std::vector<uint32_t> games;
  for (const NetRecord& r : got) games.push_back(r.game);
  EXPECT_EQ(games, (std::vector<uint32_t>{3, 4, 100, 101, 102}));
  EXPECT_FALSE(read_record_range(src, 9, 5, got));
  for (const std::string& p : paths) std::remove(p.c_str());
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
  TuneSet again = s;  // measured where the deltas already stood: nothing left to add
  again.measuredMg = {30, 0};
  again.measuredEg = {20, 0};
  EXPECT_NEAR(tuned_eval(again, 0, d), 0, 1e-9);
  EXPECT_NEAR(tuned_eval(again, 1, d), 100, 1e-9);
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

// Outcomes drawn exactly as a known model expects them, at scores and
// material counts enough to fix both cubics: the fit finds that model's
// curves again from a neutral start, and its likelihood beats the start's.
TEST(WdlFit, FindsTheModelTheOutcomesCameFrom) {
  const WdlModel truth = {{250, -300, 200, -100}, {70, 60, -20, 10}};
  std::vector<WdlCell> cells;
  for (int material : {3, 20, 40, 60, 78})
    for (int score = -800; score <= 800; score += 20) {
      double chance[OUTCOMES];
      wdl_chances(truth, score, material, chance);
      cells.push_back({score, material, {1000 * chance[0], 1000 * chance[1], 1000 * chance[2]}});
    }
  const WdlModel start = {{200, 0, 0, 0}, {100, 0, 0, 0}};
  WdlModel fitted = fit_wdl_model(cells, start, WDL_TERMS);
  EXPECT_LT(wdl_log_loss(cells, fitted), wdl_log_loss(cells, start));
  for (int material : {3, 30, 50, 78}) {
    WdlCurve want = wdl_curve(truth, material), got = wdl_curve(fitted, material);
    EXPECT_NEAR(got.centre, want.centre, 0.5) << material;
    EXPECT_NEAR(got.width, want.width, 0.5) << material;
  }
}

// The whole-evaluation tuner's weights against the real evaluation: each
// entry a run may move, moved alone (mg and eg by different amounts),
// changes the score as the linear model says, in middlegames with the
// kings on one wing or on both, in endings with passers, in a scaled
// ending, and not at all in an ending scored by rule.
using EvaluationTuner = HceTest;

constexpr int SCORE_LIMIT = 32767;
constexpr int MG_MOVE = 40;
constexpr int EG_MOVE = 25;
// Truncations of the taper, the scale factor and each fractional term.
constexpr double MODEL_TOLERANCE = 3;
// Those truncations over the probe step: a weight that cancels between
// the colours may measure as this much.
constexpr double WEIGHT_NOISE = 0.05;

int white_eval(SearchThread* t) {
  int s = hce_evaluate(t, t->pos.side, 1, 0);
  return t->pos.side == WHITE ? s : -s;
}

void move_entry(int i, int mg, int eg) {
  EvalParam& p = Params[i];
  p.packed = pack_score(packed_mg(p.packed) + mg, packed_eg(p.packed) + eg);
  p.mg += float(mg);
  p.eg += float(eg);
}

TEST_F(EvaluationTuner, MeasuredWeightsPredictEachEntrysEffect) {
  const char* fens[] = {
      "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ -",
      "2kr3r/pppq1ppp/2n1bn2/2b1p1B1/4P3/2NP1N2/PPPQ1PPP/R4RK1 b - -",
      "8/p4k2/1p2p3/3pP1P1/1P1P4/2K5/5N2/8 b - -",
      "6k1/4bp2/6p1/8/2B2P2/6P1/5K2/8 w - -",
      "8/8/4k3/8/8/8/8/R3K3 w - -",
  };
  TuneTargets targets = tune_targets(TUNE_WHOLE_EVALUATION);
  const std::vector<EvalParam> saved(Params, Params + ParamCount);
  for (const char* fen : fens) {
    set(fen);
    TunePosition tp;
    ASSERT_TRUE(measure_position(t, targets, SCORE_LIMIT, tp));
    TuneSet s;
    add_tune_position(s, tp);
    ASSERT_EQ(tp.eval0, white_eval(t)) << fen;
    for (int i = 0; i < ParamCount; i++) {
      if (!targets.candidate[size_t(i)]) continue;
      TuneDeltas d = make_deltas(ParamCount);
      d.mg[size_t(i)] = MG_MOVE;
      d.eg[size_t(i)] = EG_MOVE;
      move_entry(i, MG_MOVE, EG_MOVE);
      int real = white_eval(t);
      Params[i] = saved[size_t(i)];
      EXPECT_NEAR(tuned_eval(s, 0, d), real, MODEL_TOLERANCE) << fen << "  " << Params[i].name << " #" << i;
    }
    // Measured again after the values moved: the score and the weights of
    // a fresh measurement there (the entries listed before).
    for (const ProbeGroup& g : targets.groups) move_entry(g.first, MG_MOVE, -EG_MOVE);
    TunePosition fresh;
    measure_position(t, targets, SCORE_LIMIT, fresh);
    remeasure_position(t, tp.eval0, tp.scale, tp.entries.data(), tp.entries.size());
    std::copy(saved.begin(), saved.end(), Params);
    EXPECT_EQ(tp.eval0, fresh.eval0) << fen;
    std::vector<double> a(ParamCount, 0.0), b(ParamCount, 0.0);
    for (const TuneEntry& e : tp.entries) a[size_t(e.index)] = e.weight;
    for (const TuneEntry& e : fresh.entries) b[size_t(e.index)] = e.weight;
    for (int i = 0; i < ParamCount; i++) EXPECT_NEAR(a[size_t(i)], b[size_t(i)], WEIGHT_NOISE) << fen << " #" << i;
  }
}

}  // namespace
