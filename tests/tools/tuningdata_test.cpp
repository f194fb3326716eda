// PGN scans and tuning positions: the comment scores match managers
// write, the mistake marking, the result filters, and every mode run
// through the built binary on small constructed files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

#include "../board/board_fixture.h"
#include "../frontend/dialogue.h"
#include "tools/pgnscan.h"
#include "tools/tuningdata.h"

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
  // Same input and output: nothing at all.
  d = run_engine({"-mktune2", "in.epd", "-o", "in.epd"}, "", dir);
  EXPECT_EQ(d.output.find("Creating file"), std::string::npos);
}

}  // namespace
