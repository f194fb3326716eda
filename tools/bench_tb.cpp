// Tablebase probing speed (one thread): WDL probes per second over the
// positions of the reference probe file, with every table already mapped,
// and a check that each probe still gives the reference result.
//
// Usage: zerv_bench_tb [table directory] [probe file] [rounds]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "board/bitboard.h"
#include "board/fen.h"
#include "board/zobrist.h"
#include "core/searchthread.h"
#include "search/threadrecord.h"
#include "syzygy/tbprobe.h"
#include "syzygy/tbregistry.h"

namespace {

constexpr int DEFAULT_ROUNDS = 20;
constexpr int FEN_FIELD = 0, WDL_FIELD = 1, DTZ_FIELD = 2;

struct Probe {
  TbPosition pos;
  int wdl, dtz;
};

std::vector<Probe> read_probes(const char* path) {
  std::vector<Probe> out;
  std::ifstream in(path);
  SearchThread* t = new_search_thread();  // owns the position's undo stack
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::string fields[3];
    int f = 0;
    for (char c : line) {
      if (c == '|') f++;
      else if (f < 3) fields[f] += c;
    }
    if (f != 2) continue;
    set_position(t->pos, fields[FEN_FIELD].c_str());
    out.push_back({tb_position_from(t->pos), std::atoi(fields[WDL_FIELD].c_str()),
                   std::atoi(fields[DTZ_FIELD].c_str())});
  }
  free_search_thread(t);
  return out;
}

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const char* dir = argc > 1 ? argv[1] : "../shared/data/syzygy";
  const char* file = argc > 2 ? argv[2] : "../shared/data/syzygy-probes.txt";
  int rounds = argc > 3 ? std::atoi(argv[3]) : DEFAULT_ROUNDS;
  init_board_tables();
  init_zobrist();
  tb_init(dir);
  std::vector<Probe> probes = read_probes(file);
  if (probes.empty()) {
    std::printf("no probes read from %s\n", file);
    return 1;
  }
  int wrongWdl = 0, wrongDtz = 0, roundedDtz = 0, failed = 0;
  for (const Probe& p : probes) {  // also maps every table before timing
    int success = 1;
    int wdl = tb_probe_wdl(p.pos, &success);
    int dtz = tb_probe_dtz(p.pos, &success);
    if (!success) failed++;
    else {
      wrongWdl += wdl != p.wdl;
      bool rounded = dtz != p.dtz && std::abs(dtz - p.dtz) == 1 && (dtz > 0) == (p.dtz > 0);
      roundedDtz += rounded;
      wrongDtz += dtz != p.dtz && !rounded;
    }
  }
  std::printf("%zu positions: %d failed, %d wrong WDL, %d wrong DTZ, %d DTZ one ply off\n",
              probes.size(), failed, wrongWdl, wrongDtz, roundedDtz);
  long long total = 0, sum = 0;
  auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < rounds; r++)
    for (const Probe& p : probes) {
      int success = 1;
      sum += tb_probe_wdl(p.pos, &success);
      total++;
    }
  double wdlTime = seconds_since(start);
  start = std::chrono::steady_clock::now();
  long long dtzTotal = 0;
  for (const Probe& p : probes) {
    int success = 1;
    sum += tb_probe_dtz(p.pos, &success);
    dtzTotal++;
  }
  double dtzTime = seconds_since(start);
  std::printf("WDL probes: %lld in %.3f s = %.0f per second (checksum %lld)\n", total, wdlTime,
              double(total) / wdlTime, sum);
  std::printf("DTZ probes: %lld in %.3f s = %.0f per second\n", dtzTotal, dtzTime,
              double(dtzTotal) / dtzTime);
  tb_free();
  return failed || wrongWdl || wrongDtz ? 1 : 0;
}
