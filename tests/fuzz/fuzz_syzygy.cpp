// Damaged Syzygy tables: the first byte picks one of the shared tables,
// the rest is that file's (mutated) content, written under its real name
// beside an intact copy of its partner file. The tables are set up from
// that directory and the reference positions of that material probed for
// WDL, DTZ and the root decision. Damage may make answers wrong but must
// never make the prober read outside the file or crash.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "board/bitboard.h"
#include "board/fen.h"
#include "core/control.h"
#include "core/game.h"
#include "frontend/gamemoves.h"
#include "harness.h"
#include "core/searchthread.h"
#include "syzygy/tbposition.h"
#include "syzygy/tbprobe.h"
#include "syzygy/tbregistry.h"
#include "syzygy/tbroot.h"

namespace {

struct TableFile {
  const char* material;
  const char* ext;
};

// Small tables of every kind: pawnless and with pawns of one or both
// colours, WDL and DTZ.
constexpr TableFile TABLES[] = {
    {"KQvK", ".rtbw"},  {"KQvK", ".rtbz"},  {"KRvK", ".rtbw"},  {"KRvK", ".rtbz"},
    {"KPvK", ".rtbw"},  {"KPvK", ".rtbz"},  {"KBNvK", ".rtbw"}, {"KRvKR", ".rtbz"},
    {"KPPvK", ".rtbz"}, {"KPvKP", ".rtbz"}, {"KQvKR", ".rtbw"}, {"KBvKP", ".rtbz"},
};
constexpr int TABLE_COUNT = int(sizeof TABLES / sizeof TABLES[0]);
constexpr size_t PROBES_PER_INPUT = 12;
constexpr const char* PIECE_ORDER = "KQRBNP";

std::string data_path(const std::string& name) { return std::string(ZERV_DATA_DIR) + "/" + name; }

// "KQvKR" for a FEN board: White's pieces, "v", Black's, strongest first;
// `swapped` names Black's pieces first.
std::string material_of(const std::string& fen, bool swapped) {
  std::string sides[2];
  for (const char* p = PIECE_ORDER; *p; p++)
    for (char c : fen.substr(0, fen.find(' ')))
      if (c == *p || c == *p + ('a' - 'A')) sides[(c != *p) != swapped] += *p;
  return sides[0] + "v" + sides[1];
}

// The reference positions of a table (either colour stronger), at most
// PROBES_PER_INPUT of them.
std::vector<std::string> positions_of(const std::string& material) {
  static std::vector<std::string> all;
  if (all.empty()) {
    std::ifstream in(data_path("syzygy-probes.txt"));
    for (std::string line; std::getline(in, line);)
      if (!line.empty() && line[0] != '#') all.push_back(line.substr(0, line.find(" |")));
  }
  std::vector<std::string> found;
  for (const std::string& fen : all)
    if ((material_of(fen, false) == material || material_of(fen, true) == material) &&
        found.size() < PROBES_PER_INPUT)
      found.push_back(fen);
  return found;
}

void probe(const std::string& fen) {
  if (!set_game_position(fen.c_str())) return;
  TbPosition p = tb_position_from(Game->pos);
  int success = 1;
  tb_probe_wdl(p, &success);
  success = 1;
  tb_probe_dtz(p, &success);
  Move move;
  int wdlPlus2, absDtz;
  tb_probe_root(Game->pos, &move, &wdlPlus2, &absDtz);
}

}  // namespace

int fuzz_syzygy(const uint8_t* data, size_t size) {
  fuzz_start_engine();
  if (size == 0) return 0;
  const TableFile& table = TABLES[data[0] % TABLE_COUNT];
  std::string dir = fuzz_scratch_dir() + "/tb";
  mkdir(dir.c_str(), 0700);
  for (const char* ext : {".rtbw", ".rtbz"})
    for (const TableFile& t : TABLES) unlink((dir + "/" + t.material + ext).c_str());
  std::string name = std::string("tb/") + table.material + table.ext;
  fuzz_write_file(name.c_str(), data + 1, size - 1);
  const char* partner = std::string(table.ext) == ".rtbw" ? ".rtbz" : ".rtbw";
  std::string partnerName = std::string(table.material) + partner;
  if (symlink(data_path("syzygy/" + partnerName).c_str(), (dir + "/" + partnerName).c_str()) != 0)
    fuzz_fail("cannot link the partner table");
  tb_init(dir.c_str());
  for (const std::string& fen : positions_of(table.material)) probe(fen);
  tb_init("");
  return 0;
}

ZERV_FUZZ_TARGET(fuzz_syzygy)
