// Self-play training data: the engine plays itself at a fixed node count
// per move from opening positions and writes every quiet position of each
// game with its search score and the game's final result (tools/netdata.h
// gives the record layout).
//
// One process plays one shard on one core; run one per core with its own
// output file and shard number, then concatenate the files. Every game is
// written at its end in one piece, and game n of a shard is fully decided
// by (seed, shard, n): a run that was stopped continues where its file
// ends, and the same command gives the same data.
//
// Variety comes from the opening files (one line picked at random per
// game) and a few random legal moves played after it. Decided games are
// adjudicated to save time: a side whose score stays beyond a threshold for
// several moves of both sides wins, a long game whose score stays near zero
// is a draw, and with -syzygy a game that reaches the tables ends with
// their verdict.
//
// With -soft-nodes every search finishes the iteration under way once that
// many nodes are spent and starts no new one; -nodes stays the hard limit
// within an iteration. With -balance a game starts only when a search of
// its first position scores within that many centipawns of equality, so
// that random plies do not hand one side a won game.
//
// Usage: selfplay -out FILE [-games N] [-nodes N] [-soft-nodes N] [-balance CP]
//                 [-seed N] [-shard N] [-random-plies N] [-hash MB] [-hce]
//                 [-net FILE] [-syzygy DIRS] EPD...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/control.h"
#include "core/game.h"
#include "core/options.h"
#include "core/searchthread.h"
#include "eval/network.h"
#include "frontend/gamemoves.h"
#include "gamerules.h"
#include "netdata.h"
#include "search/rootsearch.h"
#include "search/searchstart.h"
#include "search/threads.h"
#include "search/tt.h"
#include "syzygy/tbregistry.h"
#include "tool_setup.h"

namespace {

// A game still running here is scored a draw; real games rarely last so long.
constexpr int MAX_GAME_PLIES = 400;
constexpr float UNLIMITED_SECONDS = 1e6f;
constexpr int LINE_BUFFER = 512;
constexpr int PROGRESS_GAMES = 100;

struct Settings {
  const char* out = nullptr;
  const char* net = nullptr;
  const char* syzygy = nullptr;
  long games = 1000;
  uint64_t nodes = 5000;
  uint64_t softNodes = 0;  // 0: the node limit alone
  int balance = 0;         // 0: every opening is played
  uint64_t seed = 1;
  uint32_t shard = 0;
  int randomPlies = 2;
  int hash = 16;
  bool hce = false;
  std::vector<const char*> openings;
};

struct GameOutcome {
  std::vector<NetRecord> records;
  int result = RESULT_DRAW;
  int plies = 0;
};

// The splitmix64 finaliser: spreads (seed, shard, game) over the whole
// 64-bit seed range, so neighbouring games get unrelated generators.
uint64_t mix64(uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

// Lines of the opening files (FEN or EPD; the operations are ignored).
std::vector<std::string> read_openings(const std::vector<const char*>& files) {
  std::vector<std::string> lines;
  char buf[LINE_BUFFER];
  for (const char* path : files) {
    FILE* f = std::fopen(path, "r");
    if (!f) {
      std::fprintf(stderr, "cannot open %s\n", path);
      continue;
    }
    while (std::fgets(buf, sizeof buf, f)) {
      buf[std::strcspn(buf, "\r\n")] = 0;
      if (std::strchr(buf, '/')) lines.emplace_back(buf);
    }
    std::fclose(f);
  }
  return lines;
}

// One search of the game position to the node limit; the score is from
// the side to move's view.
Move search_position(int& score) {
  prepare_search();
  run_search_here();
  Control.state.store(STATE_IDLE);
  score = Control.score;
  return Control.bestMove;
}

// The opening line and the random plies after it; false when the game
// would start finished or from a position the engine refuses.
bool start_game(const std::vector<std::string>& openings, std::mt19937_64& rng, int randomPlies) {
  const std::string& line = openings[rng() % openings.size()];
  if (!set_game_position(line.c_str())) return false;
  int plies = randomPlies ? int(rng() % (randomPlies + 1)) : 0;
  Move moves[MAX_PLY_MOVES];
  for (int i = 0; i < plies; i++) {
    int n = legal_moves(Game->pos, moves);
    if (n == 0 || !play_game_move(moves[rng() % n])) return false;
  }
  return legal_moves(Game->pos, moves) > 0;
}

// Whether the opening position is close enough to equal to be worth a
// game; the table is emptied first, so the verdict depends on the position
// alone.
bool balanced_opening(int balance) {
  if (balance <= 0) return true;
  tt_clear();
  int score = 0;
  search_position(score);
  return std::abs(score) <= balance;
}

GameOutcome play_game(uint32_t game) {
  GameOutcome g;
  Adjudicator adj = {};
  tt_clear();
  int result = -1;
  for (int ply = 0; result < 0 && ply < MAX_GAME_PLIES; ply++) {
    Position& pos = Game->pos;
    if ((result = rule_result(pos)) >= 0 || (result = tablebase_result(pos)) >= 0) break;
    int score = 0;
    Move best = search_position(score);
    if (best == MOVE_NONE) break;
    if (is_quiet_choice(pos, best) && std::abs(score) <= MAX_RECORDED_SCORE) {
      g.records.emplace_back();
      pack_record(pos, score, RESULT_DRAW, game, g.records.back());
    }
    result = adjudicate(adj, pos.side == WHITE ? score : -score, ply);
    if (!play_game_move(best)) break;
    g.plies = ply + 1;
  }
  g.result = result < 0 ? RESULT_DRAW : result;
  for (NetRecord& r : g.records) r.result = uint8_t(g.result);
  return g;
}

// Where a stopped run continues: the records of the last game in the file
// are dropped (it may have been cut off while being written) and that game
// is played again, which gives the same records, since a game depends only
// on (seed, shard, game number).
uint32_t resume_point(const char* path) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return 0;
  std::fseek(f, 0, SEEK_END);
  long records = std::ftell(f) / NET_RECORD_BYTES;
  uint32_t game = 0;
  long keep = 0;
  NetRecord r;
  for (long i = records - 1; i >= 0; i--) {
    std::fseek(f, i * NET_RECORD_BYTES, SEEK_SET);
    if (read_records(f, &r, 1) != 1) break;
    if (i == records - 1) game = r.game;
    if (r.game != game) {
      keep = i + 1;
      break;
    }
  }
  std::fclose(f);
  std::error_code ignored;
  std::filesystem::resize_file(path, uintmax_t(keep) * NET_RECORD_BYTES, ignored);
  return game;
}

bool parse_args(int argc, char** argv, Settings& cfg) {
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    bool v = i + 1 < argc;
    if (a == "-out" && v) cfg.out = argv[++i];
    else if (a == "-net" && v) cfg.net = argv[++i];
    else if (a == "-games" && v) cfg.games = std::atol(argv[++i]);
    else if (a == "-nodes" && v) cfg.nodes = std::strtoull(argv[++i], nullptr, 10);
    else if (a == "-soft-nodes" && v) cfg.softNodes = std::strtoull(argv[++i], nullptr, 10);
    else if (a == "-balance" && v) cfg.balance = std::max(0, std::atoi(argv[++i]));
    else if (a == "-seed" && v) cfg.seed = std::strtoull(argv[++i], nullptr, 10);
    else if (a == "-shard" && v) cfg.shard = uint32_t(std::strtoul(argv[++i], nullptr, 10));
    else if (a == "-random-plies" && v) cfg.randomPlies = std::clamp(std::atoi(argv[++i]), 0, 40);
    else if (a == "-hash" && v) cfg.hash = std::clamp(std::atoi(argv[++i]), 1, 4096);
    else if (a == "-syzygy" && v) cfg.syzygy = argv[++i];
    else if (a == "-hce") cfg.hce = true;
    else if (a[0] == '-') return false;
    else cfg.openings.push_back(argv[i]);
  }
  return cfg.out && !cfg.openings.empty() && cfg.nodes > 0;
}

bool setup_engine(const Settings& cfg) {
  setup_engine_for_tool();
  if (!allocate_game()) return false;
  Options.Hash = cfg.hash;
  Options.Threads = 1;
  Options.MultiPV = 1;
  Options.Ponder = 0;
  Control.activeThreads = 1;
  Control.useNN = cfg.hce ? 0 : 1;
  Control.noise = QUIET_NOISE;
  Control.limits.limitKind = LIMIT_FIXED;
  Control.limits.timePerMove = UNLIMITED_SECONDS;
  Control.limits.maxDepth = MAX_DEPTH;
  Control.limits.nodeLimit = cfg.nodes;
  Control.limits.softNodeLimit = cfg.softNodes;
  if (cfg.net) std::snprintf(Options.NN_File, sizeof Options.NN_File, "%s", cfg.net);
  if (cfg.syzygy) tb_init(cfg.syzygy);
  return init_search_locks() == 0 && tt_allocate() && load_network();
}

}  // namespace

int main(int argc, char** argv) {
  Settings cfg;
  if (!parse_args(argc, argv, cfg)) {
    std::fprintf(stderr,
                 "usage: selfplay -out FILE [-games N] [-nodes N] [-soft-nodes N] [-balance CP] [-seed N] "
                 "[-shard N] [-random-plies N] [-hash MB] [-hce] [-net FILE] [-syzygy DIRS] EPD...\n");
    return 1;
  }
  std::vector<std::string> openings = read_openings(cfg.openings);
  if (openings.empty() || !setup_engine(cfg)) {
    std::fprintf(stderr, "no openings, or the engine could not be set up\n");
    return 1;
  }
  uint32_t first = resume_point(cfg.out);
  FILE* out = std::fopen(cfg.out, "ab");
  if (!out) {
    std::fprintf(stderr, "cannot write %s\n", cfg.out);
    return 1;
  }
  auto t0 = std::chrono::steady_clock::now();
  long positions = 0, results[3] = {0, 0, 0};
  for (uint32_t game = first; game < uint32_t(cfg.games); game++) {
    std::mt19937_64 rng(mix64(cfg.seed ^ mix64(uint64_t(cfg.shard) << 32 | game)));
    if (!start_game(openings, rng, cfg.randomPlies) || !balanced_opening(cfg.balance)) continue;
    GameOutcome g = play_game(game);
    if (!write_records(out, g.records.data(), g.records.size())) {
      std::fprintf(stderr, "write failed\n");
      return 1;
    }
    positions += long(g.records.size());
    results[g.result]++;
    if ((game + 1) % PROGRESS_GAMES == 0) {
      double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      std::printf("game %u: %ld positions this run, %.0f positions/s, +%ld =%ld -%ld (White's view)\n", game + 1,
                  positions, positions / s, results[RESULT_WHITE_WINS], results[RESULT_DRAW],
                  results[RESULT_BLACK_WINS]);
      std::fflush(stdout);
    }
  }
  std::fclose(out);
  return 0;
}
