// Making and unmaking moves: random games check every incremental update
// against a recomputation and every take-back byte for byte; hand-made
// positions pin castling rights, en passant, Chess960 castling and
// promotion. Then the legality tests, the draws by rule and perft.
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>

#include "board/attacks.h"
#include "board/draw.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/perft.h"
#include "board_checks.h"
#include "board_fixture.h"

namespace {

// Everything make/unmake may change: the position and the three counters.
struct Snapshot {
  Position pos;
  uint16_t undoIndex;
  int16_t ply;
  Move lastMove;
  explicit Snapshot(const SearchThread* t) : undoIndex(t->undoIndex), ply(t->ply), lastMove(t->lastMove) {
    std::memcpy(&pos, &t->pos, sizeof pos);
  }
  bool matches(const SearchThread* t) const {
    return std::memcmp(&pos, &t->pos, sizeof pos) == 0 && undoIndex == t->undoIndex && ply == t->ply &&
           lastMove == t->lastMove;
  }
};

class MakeMoveTest : public BoardTest {
 protected:
  std::string fen() { return fen_of(t->pos); }
  // Legal moves generated at ply 1 whatever the line's length: the game
  // may run deeper than the per-ply records.
  std::vector<Move> moves_here() {
    int16_t ply = t->ply;
    t->ply = 1;
    std::vector<Move> moves = legal_moves(t->pos);
    t->ply = ply;
    return moves;
  }
  // Keys as recomputed from scratch and as read back from the FEN text.
  void expect_keys_fresh(const char* what) {
    Position copy = t->pos;
    compute_keys(copy);
    EXPECT_EQ(copy.key, t->pos.key) << what << " " << fen();
    EXPECT_EQ(copy.pawnKey, t->pos.pawnKey) << what;
    set_position(other->pos, fen().c_str());
    EXPECT_EQ(other->pos.castling, t->pos.castling) << what << " " << fen();
    EXPECT_EQ(other->pos.key, t->pos.key) << what << " " << fen();
  }
  void play_random_games(const std::string& start, int games, int maxPlies, std::mt19937& rng) {
    for (int g = 0; g < games; g++) {
      Position& pos = set(start.c_str());
      std::vector<Snapshot> line;
      for (int n = 0; n < maxPlies; n++) {
        std::vector<Move> moves = moves_here();
        if (moves.empty()) break;
        // Half the time castling, en passant or a promotion is preferred
        // when there is one: pure random play rarely reaches them.
        std::vector<Move> unusual;
        for (Move c : moves) {
          int ty = type_of(pos.board[move_from(c)]);
          if ((ty == KING && move_flags(c)) || (ty == PAWN && (move_flags(c) || move_to(c) == pos.epSquare)))
            unusual.push_back(c);
        }
        Move m = !unusual.empty() && rng() % 2 ? unusual[rng() % unusual.size()] : moves[rng() % moves.size()];
        Snapshot before(t);
        int from = move_from(m), to = move_to(m), mover = pos.side;
        int piece = pos.board[from];
        bool castle = type_of(piece) == KING && move_flags(m);
        bool capture = !castle && pos.board[to];
        bool pawn = type_of(piece) == PAWN;
        make_move(pos, m);
        std::string ctx = start + " game " + std::to_string(g) + " ply " + std::to_string(n);
        ASSERT_EQ(consistency_error(pos), "") << ctx;
        expect_keys_fresh(ctx.c_str());
        ASSERT_FALSE(HasFailure()) << ctx;
        EXPECT_EQ(t->lastMove, m);
        EXPECT_EQ(t->undoIndex, before.undoIndex + 1);
        EXPECT_EQ(pos.side, mover ^ 1);
        EXPECT_EQ(pos.fifty, pawn || capture || castle ? 0 : before.pos.fifty + 1) << ctx;
        EXPECT_EQ(pos.epSquare, pawn && std::abs(to - from) == 16 ? (from + to) / 2 : NO_SQUARE);
        EXPECT_EQ(pos.castling & ~before.pos.castling, 0) << "rights never come back";
        // The mover's king is never left in check by a legal move.
        EXPECT_FALSE(square_attacked(pos, pos.kingSq[mover], pos.side)) << ctx;
        unmake_move(pos);
        ASSERT_TRUE(before.matches(t)) << ctx << " unmake";
        // A pass changes only the side, the en-passant square and the key.
        if (!square_attacked(pos, pos.kingSq[pos.side], pos.side ^ 1)) {
          make_null_move(pos);
          Position copy = pos;
          compute_keys(copy);
          EXPECT_EQ(copy.key, pos.key) << ctx << " null";
          EXPECT_EQ(pos.epSquare, NO_SQUARE);
          EXPECT_EQ(t->lastMove, MOVE_NONE);
          unmake_null_move(pos);
          ASSERT_TRUE(before.matches(t)) << ctx << " null unmake";
        }
        make_move(pos, m);
        line.push_back(before);
        totalPlies++;
        seen.castles += castle;
        seen.enPassant += pawn && to == before.pos.epSquare;
        seen.promotions += pawn && move_flags(m);
      }
      // Taking the whole game back passes every earlier state again.
      while (!line.empty()) {
        unmake_move(pos);
        ASSERT_TRUE(line.back().matches(t)) << start << " game " << g << " unwinding to " << line.size();
        line.pop_back();
      }
    }
  }
  void TearDown() override {
    free_search_thread(other);
    BoardTest::TearDown();
  }
  SearchThread* other = new_search_thread();
  int totalPlies = 0;
  struct {
    int castles = 0, enPassant = 0, promotions = 0;
  } seen;
};

TEST_F(MakeMoveTest, RandomGamesKeepEveryFieldInStep) {
  std::mt19937 rng(1234567);
  play_random_games(START_FEN, 12, 200, rng);
  play_random_games(KIWIPETE, 12, 200, rng);
  for (const std::string& fen : perft_fens("chess960.perft", 80)) play_random_games(fen, 2, 200, rng);
  // The games must actually reach the unusual moves.
  EXPECT_GT(totalPlies, 5000);
  EXPECT_GT(seen.castles, 10);
  EXPECT_GT(seen.enPassant, 3);
  EXPECT_GT(seen.promotions, 10);
}

TEST_F(MakeMoveTest, CapturingARookOnItsSquareEndsThatRight) {
  Position& pos = set("r3k2r/8/8/8/8/8/1B6/R3K2R w KQkq -");
  make_move(pos, find_move(pos, "b2h8"));
  EXPECT_EQ(pos.castling, CASTLE_WK | CASTLE_WQ | CASTLE_BQ);
  make_move(pos, find_move(pos, "a8a1"));
  EXPECT_EQ(pos.castling, CASTLE_WK);
  unmake_move(pos);
  unmake_move(pos);
  EXPECT_EQ(pos.castling, 15);
}

TEST_F(MakeMoveTest, CastlingPutsKingAndRookOnTheirFilesInEveryArrangement) {
  struct Case { const char* before; const char* move; const char* after; } cases[] = {
      {"4k3/8/8/8/8/8/8/5K1R w K -", "f1g1c", "4k3/8/8/8/8/8/8/5RK1 b - -"},
      {"4k3/8/8/8/8/8/8/6KR w K -", "g1g1c", "4k3/8/8/8/8/8/8/5RK1 b - -"},  // king stays
      {"4k3/8/8/8/8/8/8/R2K4 w Q -", "d1c1c", "4k3/8/8/8/8/8/8/2KR4 b - -"},  // rook onto king square
      {"4k3/8/8/8/8/8/8/1R4K1 w Q -", "g1c1c", "4k3/8/8/8/8/8/8/2KR4 b - -"},
      {"4k3/8/8/8/8/8/8/4K1R1 w K -", "e1g1c", "4k3/8/8/8/8/8/8/5RK1 b - -"},  // king onto rook square
      {"4k3/8/8/8/8/8/8/2RK4 w Q -", "d1c1c", "4k3/8/8/8/8/8/8/2KR4 b - -"},  // the two swap
      {"rk6/8/8/8/8/8/8/6K1 b q -", "b8c8c", "2kr4/8/8/8/8/8/8/6K1 w - -"},
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "e1c1c", "r3k2r/8/8/8/8/8/8/2KR3R b kq -"},
      // Two rooks on one side: the one the right names castles, the
      // other stays (an inner rook named by its file letter).
      {"4k3/8/8/8/8/8/8/4KR1R w F -", "e1g1c", "4k3/8/8/8/8/8/8/5RKR b - -"},
      {"4k3/8/8/8/8/8/8/4K1RR w G -", "e1g1c", "4k3/8/8/8/8/8/8/5RKR b - -"},
      {"4k3/8/8/8/8/8/8/RR2K3 w B -", "e1c1c", "4k3/8/8/8/8/8/8/R1KR4 b - -"},
      {"r1r1k3/8/8/8/8/8/8/4K3 b c -", "e8c8c", "r1kr4/8/8/8/8/8/8/4K3 w - -"},
  };
  for (const Case& c : cases) {
    Position& pos = set(c.before);
    pos.fifty = 7;
    Snapshot start(t);
    Move m = find_move(pos, c.move);
    ASSERT_NE(m, MOVE_NONE) << c.before;
    EXPECT_TRUE(move_is_legal(pos, pos.side, m)) << c.before;
    make_move(pos, m);
    EXPECT_EQ(fen(), c.after);
    EXPECT_EQ(pos.fifty, 0);
    EXPECT_EQ(consistency_error(pos), "") << c.before;
    set_position(other->pos, c.after);
    EXPECT_EQ(pos.key, other->pos.key) << c.before;
    unmake_move(pos);
    EXPECT_TRUE(start.matches(t)) << c.before;
  }
}

// A last-rank push written without a piece letter becomes a queen and
// still unmakes to the pawn (promotions with their piece are played in the
// random games and by the "position" tests).
TEST_F(MakeMoveTest, PromotionWithoutAPieceIsAQueen) {
  Position& pos = set("r3k3/1P6/8/8/8/8/8/4K3 w q -");
  Snapshot start(t);
  make_move(pos, make_move_code(49, 57));
  EXPECT_EQ(pos.board[57], make_piece(WHITE, QUEEN));
  EXPECT_EQ(consistency_error(pos), "");
  unmake_move(pos);
  EXPECT_TRUE(start.matches(t));
}

// --------------------------------------------------------------- legality
// Legality of pseudo-legal moves, the check test for a move, and the
// validity test for moves read from the hash table.

using LegalityTest = BoardTest;

TEST_F(LegalityTest, GivesCheckAgreesWithThePlayedMove) {
  // Castling (the rook's part) and en passant (the removed pawn) are left
  // to the search; every other move must predict the check exactly.
  // Besides the collection: promotions to each piece, a discovered check
  // and a check that stays blocked.
  std::vector<std::string> fens = perft_fens("random.perft", 5);
  for (const char* fen : {"k7/4P3/8/8/8/8/8/4K3 w - -", "8/2k1P3/8/8/8/8/8/4K3 w - -", "3r1k2/4P3/8/8/8/8/8/4K3 w - -",
                          "4r3/2k2P2/8/8/8/8/8/4K3 w - -", "7k/8/8/8/3N4/8/1B6/K7 w - -", "4k3/8/8/8/8/8/4P3/4RK2 w - -"})
    fens.push_back(fen);
  int checking = 0;
  for (const std::string& fen : fens) {
    Position& pos = set(fen.c_str());
    for (Move m : legal_moves(pos)) {
      MoveEntry e{m, 0, pos.board[move_from(m)], pos.board[move_to(m)]};
      int type = type_of(e.piece);
      if ((type == KING && move_flags(m)) || (type == PAWN && move_to(m) == pos.epSquare)) continue;
      bool predicted = gives_check(pos, pos.side, e);
      make_move(pos, m);
      bool actual = square_attacked(pos, pos.kingSq[pos.side], pos.side ^ 1);
      unmake_move(pos);
      ASSERT_EQ(predicted, actual) << fen << " move " << m;
      checking += actual;
    }
  }
  EXPECT_GT(checking, 500);
}

TEST_F(LegalityTest, StoredMoveValidExactlyWhenLegalHere) {
  // Moves generated in other positions are the realistic foreign hash
  // moves: each must be accepted exactly when it is a legal move here.
  std::vector<std::string> fens = perft_fens("random.perft", 10);
  fens.push_back(KIWIPETE);
  std::set<Move> pool;
  for (const std::string& fen : fens)
    for (MoveEntry* e = generate_all(set(fen.c_str())); e->move != MOVE_END; e++) pool.insert(e->move);
  ASSERT_GT(pool.size(), 1500u);
  for (const std::string& fen : fens) {
    Position& pos = set(fen.c_str());
    std::vector<Move> legalHere = legal_moves(pos);
    std::set<Move> expected(legalHere.begin(), legalHere.end());
    for (Move m : pool) ASSERT_EQ(stored_move_is_valid(pos, m), expected.count(m) == 1) << fen << " move " << m;
    for (Move m : legalHere) ASSERT_TRUE(stored_move_is_valid(pos, m)) << fen << " move " << m;
  }
}

// ------------------------------------------------------------------ draws
// Repetition and fifty-move draws as the search sees them: history before
// the root needs a threefold repetition (one earlier occurrence inside
// the line is the search tests'), and a null move ends the scan.

class DrawTest : public BoardTest {
 protected:
  void play(std::initializer_list<const char*> moves) {
    for (const char* m : moves) {
      if (std::string(m) == "null") {
        make_null_move(t->pos);
        continue;
      }
      Move mv = find_move(t->pos, m);
      ASSERT_NE(mv, MOVE_NONE) << m;
      make_move(t->pos, mv);
    }
  }
};

TEST_F(DrawTest, HistoryBeforeTheRootNeedsThreeOccurrences) {
  Position& pos = set("1n2k3/8/8/8/8/8/8/4K1N1 w - -");
  play({"g1f3", "b8c6", "f3g1", "c6b8"});
  EXPECT_FALSE(is_draw(pos, 0));
  // The root itself is not part of the line searched from it.
  EXPECT_FALSE(is_draw(pos, 4));
  play({"g1f3", "b8c6", "f3g1", "c6b8"});
  EXPECT_TRUE(is_draw(pos, 0));
  pos.fifty = 3;  // no four reversible plies: no repetition can be there
  EXPECT_FALSE(is_draw(pos, 0));
}

TEST_F(DrawTest, NullMoveBetweenOccurrencesHidesTheRepetition) {
  // After 1.Nf3 both kings walk away and back; black triangulates in one
  // line and passes in the other.
  Position& pos = set("4k3/8/8/8/8/8/8/4K1N1 w - -");
  play({"g1f3", "e8d8", "e1d1", "d8d7", "d1d2", "d7e8", "d2e1"});
  EXPECT_TRUE(is_draw(pos, 7));
  uint64_t repeated = pos.key;
  set("4k3/8/8/8/8/8/8/4K1N1 w - -");
  play({"g1f3", "e8d8", "e1d1", "d8e8", "d1d2", "null", "d2e1"});
  ASSERT_EQ(pos.key, repeated);
  EXPECT_FALSE(is_draw(pos, 7));
}

TEST_F(DrawTest, FiftyMoveRule) {
  Position& pos = set("4k3/8/8/8/8/8/8/4K1N1 w - -");
  pos.fifty = 100;
  EXPECT_FALSE(is_draw(pos, 1));
  pos.fifty = 101;
  EXPECT_TRUE(is_draw(pos, 1));
  // At the root the game goes on while there is a move to play...
  EXPECT_FALSE(is_draw(pos, 0));
  // ...and is drawn when there is none.
  Position& stalemate = set("7k/5Q2/6K1/8/8/8/8/8 b - -");
  stalemate.fifty = 101;
  EXPECT_TRUE(is_draw(stalemate, 0));
  // A threefold repetition still counts at the root.
  set("1n2k3/8/8/8/8/8/8/4K1N1 w - -");
  play({"g1f3", "b8c6", "f3g1", "c6b8", "g1f3", "b8c6", "f3g1", "c6b8"});
  pos.fifty = 120;
  EXPECT_TRUE(is_draw(pos, 0));
}

// ------------------------------------------------------------------ perft
// Leaf counts of the legal move tree against published perft results:
// the sharpest available check of generation, make/unmake and legality.

// Depth limit for the collections; a deeper run is asked for through
// the environment (the separate deep perft target).
int collection_depth() {
  const char* env = std::getenv("ZERV_PERFT_DEPTH");
  return env ? std::atoi(env) : 3;
}

class PerftTest : public BoardTest {
 protected:
  uint64_t count(int depth) {
    t->nodes = 0;
    perft(t, t->pos.side, 1, depth);
    return t->nodes;
  }
  void check_file(const char* file, int maxDepth, uint64_t maxLeaves = UINT64_MAX) {
    auto cases = read_perft_file(data_path(std::string("perft/") + file));
    ASSERT_FALSE(cases.empty()) << file;
    int checked = 0;
    for (const PerftCase& c : cases) {
      set(c.fen.c_str());
      for (auto [depth, leaves] : c.counts) {
        if (depth > maxDepth || leaves > maxLeaves) continue;
        ASSERT_EQ(count(depth), leaves) << file << " " << c.name << " " << c.fen << " depth " << depth;
        checked++;
      }
    }
    EXPECT_GT(checked, 0);
  }
};

// Depth five where the tree stays small enough for the everyday run (the
// start position, positions 3 and 4); the deep target takes them all.
constexpr uint64_t EVERYDAY_LEAVES = 20000000;

TEST_F(PerftTest, StandardPositionsToDepthFive) {
  int depth = std::max(5, collection_depth());
  check_file("standard.perft", depth, std::getenv("ZERV_PERFT_DEPTH") ? UINT64_MAX : EVERYDAY_LEAVES);
}
TEST_F(PerftTest, TrickyPositions) { check_file("tricky.perft", collection_depth()); }
TEST_F(PerftTest, Chess960StartPositions) { check_file("chess960.perft", collection_depth()); }
TEST_F(PerftTest, RandomPositions) { check_file("random.perft", collection_depth()); }

// Two rooks on one side of the king: "K"/"Q"/"k"/"q" name the outermost
// rook (X-FEN, as cutechess, lichess and python-chess read them), a file
// letter names that rook exactly (how each letter reads is the FEN
// tests'). The counts were computed with
// python-chess (../shared/tools/python-chess, commit 9c24454d; boards made
// with chess960=True, and for the standard-looking ones also without it,
// same counts), independently of this engine's code.
TEST_F(PerftTest, TwoRooksOnOneSideOfTheKing) {
  struct Case { const char* fen; std::vector<uint64_t> counts; } cases[] = {
      {"4k3/8/8/8/8/8/8/4KR1R w K - 0 1", {20, 60, 1534, 8117, 227454}},
      {"4k3/8/8/8/8/8/8/4KR1R w F - 0 1", {21, 63, 1598, 8470, 236952}},
      {"4k3/8/8/8/8/8/8/R1R1K3 w Q - 0 1", {22, 98, 2691, 13800, 403128}},
      {"r1r1k2r/8/8/8/8/8/8/R1R1KR1R w KQkq - 0 1", {37, 914, 34099, 942397}},
      {"1r2k1rr/8/8/8/8/8/8/RR2K1R1 w KQkq - 0 1", {30, 810, 25282, 747904}},
      {"1r2k1rr/8/8/8/8/8/8/RR2K1R1 w GBgb - 0 1", {31, 839, 26251, 772531}},
      {"rk2r2r/8/8/8/8/8/8/R1K1R2R w KQkq - 0 1", {33, 857, 26015, 752496}},
      {"rk2r2r/8/8/8/8/8/8/R1K1R2R w EAea - 0 1", {33, 857, 25911, 746651}},
  };
  for (const Case& c : cases) {
    set(c.fen);
    for (size_t d = 0; d < c.counts.size(); d++)
      EXPECT_EQ(count(int(d) + 1), c.counts[d]) << c.fen << " depth " << d + 1;
  }
}

}  // namespace
