// Every reference probe, and its colour-reversed twin, gives exactly the
// reference WDL and DTZ; positions without a table to read stay defined.
#include "syzygy/tbprobe.h"

#include "tb_fixture.h"

namespace {

class TbProbe : public TbTest {};

// The same position with colours reversed and the board flipped.
std::string mirrored_fen(const std::string& fen) {
  std::stringstream in(fen);
  std::string board, side, castle, ep;
  in >> board >> side >> castle >> ep;
  std::vector<std::string> ranks;
  std::stringstream rs(board);
  for (std::string r; std::getline(rs, r, '/');) ranks.insert(ranks.begin(), r);
  std::string out;
  for (size_t i = 0; i < ranks.size(); i++) {
    for (char c : ranks[i]) out += std::isalpha(c) ? char(c ^ 0x20) : c;
    if (i + 1 < ranks.size()) out += '/';
  }
  if (ep != "-") ep[1] = char('1' + '8' - ep[1]);
  return out + (side == "w" ? " b " : " w ") + castle + " " + ep + " 0 1";
}

TEST_F(TbProbe, ReferenceProbesAndTheirColourMirrors) {
  auto cases = read_probe_file();
  ASSERT_GT(cases.size(), 1000u);
  int wrongWdl = 0, wrongDtz = 0, failed = 0;
  for (const auto& c : cases) {
    for (const std::string& fen : {c.fen, mirrored_fen(c.fen)}) {
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

}  // namespace
