#include "harness.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/bitboard.h"
#include "board/fen.h"
#include "eval/kpk.h"
#include "eval/network.h"
#include "eval/netweights.h"
#include "eval/params.h"
#include "core/control.h"
#include "frontend/gamemoves.h"
#include "core/options.h"
#include "core/output.h"
#include "frontend/calibration.h"
#include "frontend/input.h"
#include "frontend/loop.h"
#include "frontend/searchcommand.h"
#include "platform/platform.h"
#include "search/rootsearch.h"
#include "search/tt.h"
#include "syzygy/tbregistry.h"

namespace {

// rand() drives the book choice and the node-limit spread: a fixed seed
// per input keeps findings repeatable.
constexpr unsigned FUZZ_SEED = 12345;

// The broken network: the header and five values of the valid one.
constexpr off_t FUZZ_BROKEN_NET_BYTES = NET_HEADER_BYTES + 10;

// Generation of the built-in network as the last reset left it: a later
// one means an input loaded another network.
uint32_t BuiltinGeneration;

// FUZZ_VALID_NETWORK (the built-in network as a file) and
// FUZZ_BROKEN_NETWORK in the scratch directory.
void write_fuzz_networks() {
  bool written = write_network_file(Net, FUZZ_VALID_NETWORK) && write_network_file(Net, FUZZ_BROKEN_NETWORK);
  if (!written || truncate(FUZZ_BROKEN_NETWORK, FUZZ_BROKEN_NET_BYTES) != 0)
    fuzz_fail("cannot write the fuzz networks");
}

// The settings every input starts from: the defaults with a small table,
// and searches held to a few thousand nodes whatever limits they name.
void default_settings() {
  set_default_options(Options);
  Options.Hash = FUZZ_HASH_MB;
  set_control_defaults(Control);
  for (SearchLimits* limits : {&Control.limits, &Control.baseLimits}) {
    limits->maxDepth = FUZZ_MAX_DEPTH;
    limits->nodeLimit = FUZZ_NODE_LIMIT;
  }
}

void start_once() {
  init_platform();
  init_board_tables();
  init_kpk_table();
  if (!allocate_game()) fuzz_fail("no memory for the game record");
  default_settings();
  if (init_output() != 0 || init_search_locks() != 0) fuzz_fail("no output or locks");
  if (!tt_allocate()) fuzz_fail("no memory for the hash table");
  OptionDefaults = Options;
  setup_eval_params();
  Options.paramsChanged = 0;
  load_network();
  BuiltinGeneration = Net.generation;
  write_fuzz_networks();
  calibrate();  // the strength limit needs this machine's speed, as in the real loop
  set_game_position(START_FEN);
}

}  // namespace

const std::string& fuzz_scratch_dir() {
  static std::string dir;
  if (!dir.empty()) return dir;
  if (const char* given = std::getenv("ZERV_FUZZ_SCRATCH")) {
    dir = given;
  } else {
    char pattern[] = "/tmp/zerv-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) fuzz_fail("cannot make a scratch directory");
    dir = pattern;
  }
  return dir;
}

void fuzz_start_engine() {
  static bool started = false;
  if (started) return;
  started = true;
  // Files the engine writes by fixed name (log, "nn.bin", books) land in
  // the scratch directory, never in the source or build tree.
  if (chdir(fuzz_scratch_dir().c_str()) != 0) fuzz_fail("cannot enter the scratch directory");
  start_once();
}

void fuzz_reset_engine() {
  fuzz_start_engine();
  stop_and_wait();
  reset_input();
  set_logging(false);
  close_log();
  default_settings();
  // Every search ages the table: an unaged table holds nothing to clear.
  bool searched = Control.ttAge != 0;
  if (Control.hashSize != uint32_t(FUZZ_HASH_MB) && !tt_allocate()) fuzz_fail("hash table lost");
  if (searched) tt_clear();
  Control.ttAge = 0;
  OptionDefaults = Options;
  // The parameters are rebuilt from the default settings at the next
  // search start, before anything evaluates.
  Options.paramsChanged = 1;
  if (tb_count() > 0) tb_init("");
  // Settings name the built-in network again (default_settings).
  if (Net.generation != BuiltinGeneration && load_network() != 1) fuzz_fail("built-in network lost");
  BuiltinGeneration = Net.generation;
  set_game_position(START_FEN);
  srand(FUZZ_SEED);
}

void fuzz_run_loop(const std::string& text) {
  std::string path = fuzz_write_file("loop-input.txt", reinterpret_cast<const uint8_t*>(text.data()),
                                     text.size());
  int saved = dup(STDIN_FILENO);
  int input = open(path.c_str(), O_RDONLY);
  if (saved < 0 || input < 0) fuzz_fail("cannot redirect standard input");
  dup2(input, STDIN_FILENO);
  close(input);
  reset_input();
  run_interactive();
  dup2(saved, STDIN_FILENO);
  close(saved);
}

const char* const FUZZ_POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "rk2r3/8/8/3pP3/8/8/8/RK2R3 w KQkq d6 0 1",
    "3k4/8/8/8/8/8/8/R3K2R b KQ - 0 1",
    "8/8/8/8/8/2k5/1p6/3K4 b - - 0 1",
    "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3",
    "6k1/5ppp/8/8/8/8/1P3PPP/6K1 b - - 0 1",
    "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
    "rnbqkbnr/ppp1pppp/8/3p4/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2",
};
const int FUZZ_POSITION_COUNT = int(sizeof FUZZ_POSITIONS / sizeof FUZZ_POSITIONS[0]);

void fuzz_set_position(const char* fen) {
  if (!set_game_position(fen)) fuzz_fail("a harness position is refused");
}

std::string fuzz_write_file(const char* name, const uint8_t* data, size_t size) {
  std::string path = fuzz_scratch_dir() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) fuzz_fail("cannot write a scratch file");
  if (size > 0 && std::fwrite(data, 1, size, f) != size) fuzz_fail("short scratch write");
  std::fclose(f);
  return path;
}

std::string fuzz_text(const uint8_t* data, size_t size) {
  const void* zero = std::memchr(data, 0, size);
  size_t length = zero ? size_t(static_cast<const uint8_t*>(zero) - data) : size;
  return std::string(reinterpret_cast<const char*>(data), length);
}

void fuzz_fail(const char* what) {
  std::fprintf(stderr, "fuzz harness: %s\n", what);
  std::abort();
}

#ifdef ZERV_FUZZ_MAIN
// The engine's answers would drown the fuzzer's own report: standard
// output goes to /dev/null unless ZERV_FUZZ_VERBOSE is set.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (std::getenv("ZERV_FUZZ_VERBOSE")) return 0;
  int null = open("/dev/null", O_WRONLY);
  if (null >= 0) {
    dup2(null, STDOUT_FILENO);
    close(null);
  }
  return 0;
}
#endif
