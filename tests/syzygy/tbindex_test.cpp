// Index numbers of hand-placed pieces against the worked examples of the
// format: three-unique, two-kings and pawn encodings, both pawn groups,
// the symmetry normalisations, and the sub-table sizes.
#include "syzygy/tbindex.h"

#include <gtest/gtest.h>

namespace {

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

}  // namespace
