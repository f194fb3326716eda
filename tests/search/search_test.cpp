// The node search driven directly: draws by rule, easy tactics, the
// quiescence search, the transposition table and its use, the move loop's
// decisions per move, and the pruning settings derived from the options.
#include "search/search.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>

#include "../board/board_fixture.h"
#include "board/bitboard.h"
#include "board/fen.h"
#include "board/notation.h"
#include "board/zobrist.h"
#include "eval/evaluate.h"
#include "core/control.h"
#include "core/options.h"
#include "search/moveloop.h"
#include "search/searchparams.h"
#include "core/searchthread.h"
#include "search/threadrecord.h"
#include "search/tt.h"
#include "search_fixture.h"

namespace {

constexpr int FULL = INFINITE_SCORE;
// White has an extra queen: any score that is not a draw is far from 0.
constexpr const char* QUEEN_UP = "rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr int CLEARLY_WINNING = 500;

// Draws by rule inside the search: a repetition inside the line, and the
// fifty-move rule from the 101st reversible half-move on, down to the
// quiescence search; otherwise the side a queen up is far ahead. (History
// before the root is the draw and root search tests'.)
TEST_F(SearchTest, DrawsByRepetitionAndTheFiftyMoveRule) {
  set(QUEEN_UP);
  EXPECT_GT(search_here(2, -FULL, FULL), CLEARLY_WINNING);
  for (const char* m : {"g1f3", "g8f6", "f3g1", "f6g8"}) ASSERT_TRUE(play(m));
  EXPECT_EQ(search_here(2, -FULL, FULL), 0) << "repeated inside the line";
  set(QUEEN_UP);
  t->pos.fifty = 100;
  ASSERT_TRUE(play("g1f3"));
  EXPECT_EQ(search_here(0, -FULL, FULL), 0) << "the 101st reversible half-move";
}

// A handful of easy Win At Chess positions as a sanity check of the whole
// node search (no transposition table, no root driver): each is solved by
// depth 6, the mates with their exact distance (mate in 2 is three plies
// of the winner's line: mated at ply 4).
constexpr int SOLVE_DEPTH = 6;
constexpr int NOT_A_MATE = 0;

struct Tactic {
  const char* id;
  int matePlies;  // plies to the mate for mates, else NOT_A_MATE
};

constexpr Tactic TACTICS[] = {
    {"WAC.001", 3},          {"WAC.003", NOT_A_MATE}, {"WAC.004", 3},
    {"WAC.005", 3},          {"WAC.008", NOT_A_MATE}, {"WAC.009", NOT_A_MATE},
    {"WAC.010", NOT_A_MATE}, {"WAC.022", NOT_A_MATE}, {"WAC.032", NOT_A_MATE},
    {"WAC.058", NOT_A_MATE},
};

bool find_epd(const char* id, EpdFields& out) {
  std::ifstream in(std::string(ZERV_DATA_DIR) + "/epd/wac.epd");
  std::string line, quoted = std::string("\"") + id + "\"";
  while (std::getline(in, line)) {
    if (line.find(quoted) == std::string::npos) continue;
    parse_epd(line.c_str(), out);
    return true;
  }
  return false;
}

TEST_F(SearchTest, EasyWinAtChessPositionsAreSolved) {
  for (const Tactic& tactic : TACTICS) {
    SCOPED_TRACE(tactic.id);
    EpdFields epd;
    ASSERT_TRUE(find_epd(tactic.id, epd));
    set(epd.fen);
    Move best = parse(epd.bm);
    ASSERT_NE(best, MOVE_NONE);
    int score = deepen(SOLVE_DEPTH);
    EXPECT_EQ(pv[1], best);
    if (tactic.matePlies != NOT_A_MATE) {
      EXPECT_EQ(score, MATE - 1 - tactic.matePlies);
    }
  }
}

// ------------------------------------------------------------- quiescence
// Through the node entry: delta pruning spares checks, and a recapture is
// tried at any depth.

// A window far above the static evaluation: every capture of a pawn falls
// short of it by more than the delta margin.
constexpr int FAR_ABOVE = 1000;
constexpr int WINDOW = 100;
constexpr int QUEEN_GAIN = 500;

int static_eval(SearchThread* t) { return evaluate(t, t->pos.side, t->ply, 0); }

// A pawn capture that cannot reach the window is pruned, unless it gives
// check or takes a bare king's last pawn.
TEST_F(SearchTest, HopelessPawnCaptureIsDeltaPruned) {
  const std::pair<const char*, bool> cases[] = {
      {"7k/p7/3p4/4P3/8/8/8/K7 w - - 0 1", true},
      {"8/p3k3/3p4/4P3/8/8/8/K7 w - - 0 1", false},
      {"7k/8/3p4/4P3/8/8/8/K7 w - - 0 1", false},
  };
  for (auto [fen, pruned] : cases) {
    set(fen);
    int ev = static_eval(t);
    int score = search_here(0, ev + FAR_ABOVE, ev + FAR_ABOVE + WINDOW);
    if (fen != cases[2].first) {
      EXPECT_EQ(score, ev + FAR_ABOVE) << fen;
    }
    EXPECT_EQ(t->nodes == 1u, pruned) << fen;
  }
}

TEST_F(SearchTest, RecaptureOnTheLastMovesSquareIsTriedAtAnyDepth) {
  set("4k3/pppp4/8/8/8/3q1N2/PPPP4/4K3 b - - 0 1");
  ASSERT_TRUE(play("d3d4"));
  int ev = static_eval(t);
  EXPECT_GT(search_here(-6, -FULL, FULL), ev + QUEEN_GAIN);
  EXPECT_EQ(pv[2], parse("f3d4"));
}

// ------------------------------------------------------ hash table in use
// Root entries and their moves; a stopped search leaves no entries for
// the nodes it abandoned.

constexpr int SMALL_TABLE_MB = 1;

class SearchTableTest : public SearchTest {
 protected:
  void SetUp() override {
    SearchTest::SetUp();
    Options.Hash = SMALL_TABLE_MB;
    ASSERT_TRUE(tt_allocate());
    Control.ttInUse = 1;
  }
  void TearDown() override {
    tt_free();
    SearchTest::TearDown();
  }
};

// A node limit stops the whole tree at once: the node that crossed it was
// the last one entered.
TEST_F(SearchTableTest, StoppedNodesStoreNothing) {
  set("r1bq1rk1/ppp2ppp/2np1n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQ1RK1 w - - 0 7");
  constexpr uint64_t LIMIT = 2000;
  t->nodeLimit = LIMIT;
  t->rootDepthDone = 2;  // the limit applies once a best move exists
  EXPECT_EQ(search_root(10), 0);
  ASSERT_EQ(Control.stop.load(), 1);
  EXPECT_EQ(t->nodes, LIMIT + 1);
  TTHit hit;
  EXPECT_FALSE(tt_probe(t->pos, 1, hit));
}

// Root entries with the best move: an exact score for a quiet root
// deepened to 5; mate in one as a fail-high, since mate on the next ply is
// the best any move can do and the mate-distance window closed beta there.
TEST_F(SearchTableTest, RootIsStoredWithItsBestMove) {
  struct Case { const char* fen; int depth; const char* move; int bound; } cases[] = {
      {"r1bq1rk1/ppp2ppp/2np1n2/2b1p3/2B1P3/2NP1N2/PPP2PPP/R1BQ1RK1 w - - 0 7", 5, nullptr, BOUND_EXACT},
      {"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", 3, "a1a8", BOUND_LOWER},
  };
  for (const Case& c : cases) {
    set(c.fen);
    int score = deepen(c.depth);
    TTHit hit;
    ASSERT_TRUE(tt_probe(t->pos, 1, hit)) << c.fen;
    EXPECT_EQ(hit.move, c.move ? parse(c.move) : pv[1]) << c.fen;
    EXPECT_EQ(hit.score, c.move ? MATE - 2 : score) << c.fen;
    EXPECT_EQ(hit.depth, c.depth) << c.fen;
    EXPECT_EQ(hit.bound, c.bound) << c.fen;
  }
}

// -------------------------------------------------------------- move loop
// The flags that steer extensions, pruning and reductions, and the threat
// test that saves a late quiet move from pruning.

class MoveLoopTest : public BoardTest {
 protected:
  void set(const char* fen) {
    BoardTest::set(fen);
    reset_ply_lists(t);
  }
  // The move as the picker would hand it out.
  MoveEntry entry(const char* text) {
    Move m = MOVE_NONE;
    EXPECT_EQ(parse_move_in(t->pos, text, &m), 1) << text;
    MoveEntry e{};
    e.move = m;
    e.piece = t->pos.board[move_from(m)];
    e.captured = t->pos.board[move_to(m)];
    return e;
  }
  int flags(const char* text) {
    MoveEntry e = entry(text);
    return search_move_flags(t->pos, t->pos.side, e);
  }
  bool threatens(const char* text) {
    MoveEntry e = entry(text);
    return move_threatens(t->pos, t->pos.side, e);
  }
};

struct MoveCase { const char *fen, *move; int expected; };

TEST_F(MoveLoopTest, FlagsThatSteerTheSearch) {
  const MoveCase cases[] = {
      {"4k3/8/8/8/8/8/4P3/R3K1N1 w - - 0 1", "e2e4", 0},
      // En passant; the black pawn on c7 keeps it from counting as a free
      // sixth-rank advance.
      {"4k3/2p5/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", MF_CAPTURE},
      {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", MF_CAPTURE | MF_ADVANCED_PAWN},
      {"4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "e4d5", MF_CAPTURE},
      {"4k3/8/8/8/8/8/8/R3K1N1 w - - 0 1", "a1a8", MF_CHECK},
      {"4k3/8/8/8/8/8/4N3/4RK2 w - - 0 1", "e2c3", MF_CHECK},  // uncovers the rook
      {"8/P3k3/8/8/8/8/1P6/4K3 w - - 0 1", "a7a8q", MF_QUEEN_PROMOTION},
      {"8/P3k3/8/8/8/8/1P6/4K3 w - - 0 1", "a7a8n", MF_ADVANCED_PAWN},
      {"4k3/8/1P6/8/8/8/8/4K3 w - - 0 1", "b6b7", MF_SEVENTH_RANK},
      {"4k3/8/8/8/8/6p1/8/K7 b - - 0 1", "g3g2", MF_SEVENTH_RANK},  // Black's seventh
      {"4k3/8/8/1P6/8/8/8/4K3 w - - 0 1", "b5b6", MF_ADVANCED_PAWN},
      {"4k3/p7/8/1P6/8/8/8/4K3 w - - 0 1", "b5b6", 0},  // a pawn beside can still stop it
      {"4k3/1n6/8/1P6/8/8/8/4K3 w - - 0 1", "b5b6", 0},  // the square ahead is taken
  };
  for (const MoveCase& c : cases) {
    set(c.fen);
    EXPECT_EQ(flags(c.move), c.expected) << c.fen << " " << c.move;
  }
}

// A late quiet move is kept from pruning when it attacks something worth
// more than the mover (pawns: any piece) or joins an attack on the king
// zone; king moves never are.
TEST_F(MoveLoopTest, ThreatsThatSaveAQuietMove) {
  const MoveCase cases[] = {
      {"4k3/8/8/2n5/8/3P4/8/4K3 w - - 0 1", "d3d4", true},
      {"4k3/8/8/2p5/8/3P4/8/4K3 w - - 0 1", "d3d4", false},
      {"8/8/5k2/8/8/3P4/8/4K3 w - - 0 1", "d3d4", true},  // e5, next to the king
      {"4k3/8/8/8/3r4/8/8/2N1K3 w - - 0 1", "c1b3", true},
      {"4k3/8/8/8/3b4/8/8/2N1K3 w - - 0 1", "c1b3", false},
      {"4k3/1r6/8/8/8/8/8/4KB2 w - - 0 1", "f1g2", true},
      {"4k3/8/r7/8/8/8/8/4KB2 w - - 0 1", "f1d3", false},  // attacked the rook already
      {"6k1/8/8/7Q/8/8/8/4KB2 w - - 0 1", "f1c4", true},  // joins the queen on f7
      {"4k3/8/8/8/8/8/q7/4K2R w - - 0 1", "h1h2", true},
      {"6k1/8/8/8/8/8/6R1/3QK3 w - - 0 1", "d1d4", true},  // joins the rook on g7
      {"4k3/8/8/8/8/8/8/2n1K3 w - - 0 1", "e1d2", false},
  };
  for (const MoveCase& c : cases) {
    set(c.fen);
    EXPECT_EQ(threatens(c.move), bool(c.expected)) << c.fen << " " << c.move;
  }
}

// ------------------------------------------------------------- parameters
// The pruning settings and reduction tables derived from the options.

class SearchParamsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = save_settings();
    set_default_options(Options);
    Control.targetNps = Control.calibrationNps = 0;
  }
  void TearDown() override {
    restore_settings(saved);
    init_search_params();
  }
  void with_selectivity(int s) {
    Options.Selectivity = int16_t(s);
    init_search_params();
  }
  SavedSettings saved;
};

// Selectivity 0 switches pruning off and leaves the non-PV reductions only
// their constant part (1 from row 3 and column 1); 50 widens the beta
// pruning margin and halves the logarithmic part of the reductions.
TEST_F(SearchParamsTest, SelectivityScalesPruningAndReductions) {
  with_selectivity(0);
  const SearchParams& p = SParams;
  EXPECT_EQ(std::tuple(p.LMR_depth, p.NMP_depth, p.LMP_depth, p.SEP_depth, p.FP_depth, p.BP_margin),
            std::tuple(100, 100, 0, 0, 0, 5000));
  for (int d = 0; d < LMR_SIZE; d++)
    for (int m = 0; m < LMR_SIZE; m++) {
      ASSERT_EQ(p.lmrPV[d][m], 0);
      ASSERT_EQ(p.lmrOther[d][m], d >= 3 && m >= 1) << d << " " << m;
    }
  with_selectivity(50);
  EXPECT_EQ(std::pair(p.BP_margin, p.LMR_depth), std::pair(40, 3));
  // a = (0.44 ln 8 ln 27 - 0.5) / 2 = 1.26: one ply on a PV node, two elsewhere.
  EXPECT_EQ(p.lmrPV[8][27], 1);
  EXPECT_EQ(p.lmrOther[8][27], 2);
  // 4.69 at full selectivity is halved before the clamp to 3: 2.34.
  EXPECT_EQ(p.lmrPV[31][31], 2);
}

TEST_F(SearchParamsTest, NodeRateLimitNeedsATargetClearlyBelowTheCalibration) {
  // Within the tolerance of 20 nodes a second no limit; tools never calibrate.
  struct Case { float calibration, target; bool limited; } cases[] = {
      {1000000, 1000000, false}, {1000000, 999985, false}, {1000000, 500000, true}, {0, 0, false}};
  for (const Case& c : cases) {
    Control.calibrationNps = c.calibration;
    Control.targetNps = c.target;
    init_search_params();
    EXPECT_EQ(SParams.nodeRateLimited, c.limited) << c.target;
  }
}

// ------------------------------------------------------------- hash table
// The transposition table: scores as stored and read back, the bucket's
// replacement choices, torn and foreign entries (a stored move's validity
// is the legality tests').

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

}  // namespace
