// Book probing speed: every position of a probe list (FEN first on each
// line, as in book-probes.txt) is probed in turn, many rounds over, as the
// interactive loop probes before a search: the book file opened, bisected,
// read and closed each time. Probes per second are printed for the whole
// probe (key, bisection, choice, validity) and for the key alone.
//
// Usage: zerv_bench_book BOOK PROBES [ROUNDS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "board/fen.h"
#include "book/polyglot.h"
#include "core/control.h"
#include "core/searchthread.h"
#include "search/threadrecord.h"
#include "tool_setup.h"

namespace {

constexpr int DEFAULT_ROUNDS = 50;
constexpr int LINE_SIZE = 4096;

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<std::string> read_fens(const char* path) {
  std::vector<std::string> fens;
  std::FILE* f = std::fopen(path, "r");
  char line[LINE_SIZE];
  while (f && std::fgets(line, sizeof line, f)) {
    if (line[0] == '#' || line[0] == '\n') continue;
    line[std::strcspn(line, "|\n")] = 0;
    fens.push_back(line);
  }
  if (f) std::fclose(f);
  return fens;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::printf("usage: zerv_bench_book BOOK PROBES [ROUNDS]\n");
    return 1;
  }
  setup_engine_for_tool();
  Control.uciMode = 0;
  Control.noise = QUIET_NOISE;
  int rounds = argc > 3 ? std::atoi(argv[3]) : DEFAULT_ROUNDS;
  std::vector<std::string> fens = read_fens(argv[2]);
  SearchThread* t = new_search_thread();
  if (!t || fens.empty()) return 1;
  std::vector<Position> positions;
  for (const std::string& fen : fens) {
    set_position(t->pos, fen.c_str());
    positions.push_back(t->pos);
  }
  auto start = std::chrono::steady_clock::now();
  std::clock_t cpuStart = std::clock();
  long found = 0, probes = 0;
  for (int r = 0; r < rounds; r++)
    for (const Position& pos : positions) {
      found += book_probe(pos, argv[1]) != MOVE_NONE;
      probes++;
    }
  double probeTime = seconds_since(start);
  double probeCpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  start = std::chrono::steady_clock::now();
  uint64_t keys = 0;
  for (int r = 0; r < rounds * 100; r++)
    for (const Position& pos : positions) keys += book_key(pos);
  double keyTime = seconds_since(start);
  std::printf("book %s, %zu positions x %d rounds\n", argv[1], positions.size(), rounds);
  // On a busy machine the processor time is the fairer figure.
  std::printf("probes: %ld in %.3f s = %.0f probes/s; %.3f s processor = %.0f probes/s (%ld gave a move)\n",
              probes, probeTime, double(probes) / probeTime, probeCpu, double(probes) / probeCpu, found);
  std::printf("keys:   %.0f keys/s (sum %016llx)\n",
              double(positions.size()) * rounds * 100 / keyTime, static_cast<unsigned long long>(keys));
  free_search_thread(t);
  return 0;
}
