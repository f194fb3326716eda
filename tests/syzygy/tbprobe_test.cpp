// Every reference probe, and its colour-reversed twin, gives exactly the
// reference WDL and DTZ; positions without a table to read stay defined;
// the index numbers underneath against the format's worked examples; the
// root decision against the reference root file.
#include "syzygy/tbprobe.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "board/notation.h"
#include "syzygy/tbindex.h"
#include "syzygy/tbroot.h"
#include "tb_fixture.h"

namespace {

class TbProbe : public TbTest {};

TEST_F(TbProbe, ReferenceProbesAndTheirColourMirrors) {
  auto cases = read_probe_file();
  ASSERT_GT(cases.size(), 1000u);
  int wrongWdl = 0, wrongDtz = 0, failed = 0;
  for (const auto& c : cases) {
    for (const std::string& fen : {c.fen, flip_fen(c.fen)}) {
      int success = 1;
      int wdl = tb_probe_wdl(tb(fen), &success);
      int dtz = tb_probe_dtz(tb(fen), &success);
      if (!success) {
        ADD_FAILURE() << "probe failed: " << fen;
        if (++failed > 10) return;
        continue;
      }
      if (wdl != c.wdl && ++wrongWdl <= 10) ADD_FAILURE() << fen << " wdl " << wdl << " want " << c.wdl;
      if (dtz != c.dtz && ++wrongDtz <= 10) ADD_FAILURE() << fen << " dtz " << dtz << " want " << c.dtz;
    }
  }
  EXPECT_EQ(wrongWdl, 0);
  EXPECT_EQ(wrongDtz, 0);
}

// Bare kings need no file; a checkmated side has DTZ -1; en passant that
// wins turns a drawn table value into a win (DTZ 1); a stalemate that
// exists only without the en-passant capture is no draw.
TEST_F(TbProbe, PositionsDecidedWithoutTheTableValue) {
  struct Case { const char* fen; int wdl, dtz; } cases[] = {
      {"8/8/8/4k3/8/8/8/4K3 w - - 0 1", 0, 0},
      {"4k3/8/8/8/8/8/8/4K3 b - - 0 1", 0, 0},
      {"R3k3/8/4K3/8/8/8/8/8 b - - 0 1", -2, -1},
      {"8/8/8/8/5pP1/K7/8/5k2 b - g3 0 1", 2, 1},
      {"8/8/8/8/5pP1/K7/8/5k2 b - - 0 1", 0, 0},
  };
  for (const Case& c : cases) {
    int success = 1;
    EXPECT_EQ(tb_probe_wdl(tb(c.fen), &success), c.wdl) << c.fen;
    EXPECT_EQ(tb_probe_dtz(tb(c.fen), &success), c.dtz) << c.fen;
    EXPECT_EQ(success, 1) << c.fen;
  }
}

// More than six pieces, or material without a table, fail the probe.
TEST_F(TbProbe, MissingMaterialFails) {
  for (const char* fen : {"4k3/8/8/8/8/8/PPPPP3/4K3 w - - 0 1", "4k3/pp6/8/8/8/8/PPP5/4K3 w - - 0 1"}) {
    int success = 1;
    tb_probe_wdl(tb(fen), &success);
    EXPECT_EQ(success, 0) << fen;
  }
}

// --------------------------------------------------------------- indexing
// Index numbers of hand-placed pieces against the worked examples of the
// format: three-unique, two-kings and pawn encodings, both pawn groups,
// the symmetry normalisations, and the sub-table sizes.

// File piece codes: white 1..6, black 9..14 (pawn..king).
constexpr uint8_t WP = 1, WN = 2, WB = 3, WR = 4, WQ = 5, WK = 6, BP = 9, BR = 12, BK = 14;

int sq(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

struct IndexCase {
  const char* what;
  std::vector<uint8_t> codes;
  bool pawns;
  int order, order2, cls;
  std::vector<const char*> squares;
  uint64_t index, size;
};

TEST(TbIndex, WorkedExamples) {
  const IndexCase cases[] = {
      {"KRvK rank flip and reflection", {BK, WK, WR}, false, 0, 15, 0, {"e5", "e1", "a1"}, 30007, 31332},
      {"KRvK colours swapped", {BK, WK, WR}, false, 0, 15, 0, {"d4", "e1", "a1"}, 28830, 31332},
      {"KBNvK file mirror", {BK, WB, WN, WK}, false, 1, 15, 0, {"e2", "e6", "d5", "c7"}, 1114093, 1911252},
      {"KBNvK distance sub-table", {WK, WB, WN, BK}, false, 1, 15, 0, {"c7", "e6", "d5", "e2"}, 788230, 1911252},
      {"KQvKR", {BK, WQ, BR, WK}, false, 1, 15, 0, {"d5", "b1", "e4", "h8"}, 1794795, 1911252},
      {"KBBvK two kings", {BK, WK, WB, WB}, false, 0, 15, 0, {"b6", "e1", "b1", "c1"}, 113394, 873642},
      {"KPvK pawn on f2", {WP, WK, BK}, true, 2, 15, 2, {"f2", "e1", "c3"}, 1200, 23436},
      {"KQvKP black pawn leads", {BP, WQ, BK, WK}, true, 3, 15, 1, {"b2", "f1", "c3", "d1"}, 12731, 1429596},
      {"KQvKP distance sub-table", {BP, WK, WQ, BK}, true, 3, 15, 1, {"b2", "d1", "f1", "c3"}, 58845, 1429596},
      {"KPvKP two pawn groups", {WP, BP, BK, WK}, true, 3, 2, 3, {"e2", "b7", "e8", "d4"}, 171921, 1066524},
  };
  for (const IndexCase& c : cases) {
    TbLayout l;
    ASSERT_TRUE(tb_build_layout(l, c.codes.data(), int(c.codes.size()), c.pawns, c.order, c.order2, c.cls))
        << c.what;
    uint8_t squares[TB_MAX_PIECES];
    for (size_t i = 0; i < c.squares.size(); i++) squares[i] = uint8_t(sq(c.squares[i]));
    EXPECT_EQ(tb_index(l, squares), c.index) << c.what;
    EXPECT_EQ(l.size, c.size) << c.what;
  }
}

// Piece lists no table can have are refused, not indexed.
TEST(TbIndex, RefusesImpossiblePieceLists) {
  const uint8_t pawnless[] = {BK, WK, WP};
  const uint8_t badCode[] = {BK, WK, 7};
  const uint8_t tooMany[] = {BK, WK, WR, WR, WR, WR, WR};
  const uint8_t kpvk[] = {WP, WK, BK};
  TbLayout l;
  EXPECT_FALSE(tb_build_layout(l, pawnless, 3, false, 0, 15, 0));
  EXPECT_FALSE(tb_build_layout(l, badCode, 3, false, 0, 15, 0));
  EXPECT_FALSE(tb_build_layout(l, tooMany, 7, false, 0, 15, 0));
  EXPECT_FALSE(tb_build_layout(l, kpvk, 3, true, 9, 15, 0));  // digit order beyond the groups
}

// ------------------------------------------------------------- root moves
// The root decision against the reference file: result code under the
// fifty-move count, |DTZ| of the root, a move among the best ones, and
// the moves that keep the result (all best moves; exactly the drawing
// moves of a drawn root).

class TbRoot : public TbTest {};

std::string move_text(Move m) {
  static const char PROMO[] = " nbrq";
  std::string s = SquareName[move_from(m)];
  s += SquareName[move_to(m)];
  if (move_flags(m)) s += PROMO[promotion_type(m) - 1];
  return s;
}

TEST_F(TbRoot, ReferenceRootDecisions) {
  auto cases = read_root_file();
  ASSERT_GT(cases.size(), 250u);
  int wrong = 0;
  for (const auto& c : cases) {
    Position& pos = set(c.fen);
    Move m;
    int code = -1, absDtz = -1;
    int r = tb_probe_root(pos, &m, &code, &absDtz);
    std::string text = m == MOVE_NONE ? "none" : move_text(m);
    bool listed = std::find(c.moves.begin(), c.moves.end(), text) != c.moves.end();
    Move keep[TB_ROOT_MAX_MOVES];
    int kept = tb_root_keepers(pos, keep);
    std::vector<std::string> keepers;
    for (int i = 0; i < kept; i++) keepers.push_back(move_text(keep[i]));
    bool covered = std::all_of(c.moves.begin(), c.moves.end(), [&](const std::string& m) {
      return std::find(keepers.begin(), keepers.end(), m) != keepers.end();
    });
    if (c.code == 2) covered = covered && keepers.size() == c.moves.size();
    if ((r != c.code || code != c.code || absDtz != c.absDtz || !listed || !covered) && ++wrong <= 10)
      ADD_FAILURE() << c.fen << ": " << r << " " << absDtz << " " << text << " keeps " << kept;
  }
  EXPECT_EQ(wrong, 0);
}

// Castling rights, a missing king, a pawn on the last rank, the side not
// to move in check, more than six pieces: the tables are not asked.
TEST_F(TbRoot, RefusesPositionsTheTablesCannotHold) {
  const char* refused[] = {
      "4k3/8/8/8/8/8/8/R3K3 w Q - 0 1",       "8/8/8/8/8/8/8/R3K3 w - - 0 1",
      "4k2P/8/8/8/8/8/8/R3K3 w - - 0 1",      "4k3/8/8/8/8/8/8/K3R3 w - - 0 1",
      "4k3/8/8/8/8/8/PPP5/RN2K3 w - - 0 1",
  };
  for (const char* fen : refused) {
    Position& pos = set(fen);
    Move m;
    int code, absDtz;
    EXPECT_EQ(tb_probe_root(pos, &m, &code, &absDtz), TB_ROOT_FAILED) << fen;
    EXPECT_EQ(m, MOVE_NONE) << fen;
  }
}

}  // namespace
