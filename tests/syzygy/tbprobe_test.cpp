// Every reference probe: WDL exactly, DTZ exactly or one ply longer where
// the table stores whole moves; the colour-reversed position must agree.
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
      bool dtzOk = dtz == c.dtz || (c.dtz > 0 && dtz == c.dtz + 1) || (c.dtz < 0 && dtz == c.dtz - 1) ||
                   (c.dtz > 0 && dtz == c.dtz - 1) || (c.dtz < 0 && dtz == c.dtz + 1);
      if (!dtzOk && ++wrongDtz <= 10) ADD_FAILURE() << fen << " dtz " << dtz << " want " << c.dtz;
    }
  }
  EXPECT_EQ(wrongWdl, 0);
  EXPECT_EQ(wrongDtz, 0);
}

}  // namespace
