// Program entry: start-up in a fixed order, exactly one run mode, shut-down.
#include <cstdlib>

#include "board/bitboard.h"
#include "board/fen.h"
#include "book/mkbook.h"
#include "core/control.h"
#include "core/options.h"
#include "core/output.h"
#include "eval/hce.h"
#include "eval/network.h"
#include "eval/params.h"
#include "frontend/calibration.h"
#include "frontend/cmdline.h"
#include "frontend/gamemoves.h"
#include "frontend/loop.h"
#include "frontend/optionset.h"
#include "frontend/ucicommands.h"
#include "platform/platform.h"
#include "search/rootsearch.h"
#include "search/threads.h"
#include "search/tt.h"
#include "syzygy/tbregistry.h"
#include "tools/bench.h"
#include "tools/epdanalysis.h"
#include "tools/pgnscan.h"
#include "tools/tuningdata.h"

namespace {

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr double SEED_SCALE = 1000.0;  // milliseconds of the clock seed rand()

void seed_random() {
  srand(static_cast<unsigned>(static_cast<long long>(monotonic_seconds() * SEED_SCALE)));
}

bool is_tuning_mode(int mode) { return mode >= MODE_TUNE && mode <= MODE_TRAINDATA; }

void start_logging() {
  if (!Options.Log) return;
  set_logging(true);
  open_log();
  Options.Log = logging_enabled() ? 1 : 0;
}

void run_interactive_mode() {
  Options.evalNoise = 1;
  calibrate();
  tb_init(Options.SyzygyPath);
  set_game_position(START_FEN);
  run_interactive();
}

int run_mode(const CommandLine& line) {
  switch (Control.runMode) {
    case MODE_INTERACTIVE:
      run_interactive_mode();
      return EXIT_OK;
    case MODE_CONFIG_ONLY:
      return EXIT_OK;
    case MODE_BENCH:
      run_benchmark();
      return EXIT_OK;
    case MODE_MKBOOK:
      make_book(line.sourceFile);
      return EXIT_OK;
    case MODE_ANEPD:
      run_epd_analysis(line.analysisFile, line.outputFile);
      return EXIT_OK;
    case MODE_SCAN_PGN1:
    case MODE_SCAN_PGN1 + 1:
    case MODE_SCAN_PGN1 + 2:
    case MODE_SCAN_PGN1 + 3:
      scan_pgn(line.sourceFile, line.outputFile, Control.runMode - MODE_SCAN_PGN1 + 1);
      return EXIT_OK;
    case MODE_MKTUNE1:
    case MODE_MKTUNE2:
      make_tuning_positions(line.sourceFile, line.outputFile, Control.runMode - MODE_MKTUNE1 + 1);
      return EXIT_OK;
    default:
      print_linef("info string %s is not available in this build", line.modeOption);
      return EXIT_FAILED;
  }
}

void shut_down() {
  tb_free();
  free_thread_records();
  tt_free();
  close_log();
  free_game();
}

}  // namespace

int main(int argc, char* argv[]) {
  init_platform();
  seed_random();
  if (!allocate_game()) {
    free_game();
    return EXIT_FAILED;
  }
  init_board_tables();
  init_kpk_table();
  set_default_options(Options);
  set_control_defaults(Control);
  CommandLine line;
  if (!parse_command_line(argc, argv, line)) {
    shut_down();
    return line.exitStatus;
  }
  // Every UCI "go" starts again from the command line's limits.
  Control.baseLimits = Control.limits;
  if (is_tuning_mode(Control.runMode)) {
    print_line("Need to compile with 'make ttune'");
    shut_down();
    return EXIT_FAILED;
  }
  Control.activeThreads = static_cast<uint8_t>(Options.Threads);
  if (int status = init_output()) {
    shut_down();
    return status;
  }
  if (int status = init_search_locks()) {
    shut_down();
    return status;
  }
  print_linef("info string Hello from %s", ENGINE_NAME);
  apply_fixed_limit_hash(line);
  if (!tt_allocate()) {
    shut_down();
    return EXIT_FAILED;
  }
  start_logging();
  // No timer-resolution request is needed: POSIX sleeps and clocks already
  // resolve well below the few milliseconds the search timer needs.
  OptionDefaults = Options;
  // Before the evaluation is set up: the file may change its settings.
  if (Options.ConfigFilePath[0]) load_config();
  setup_eval_params();
  Options.paramsChanged = 0;
  load_network();
  int status = run_mode(line);
  shut_down();
  return status;
}
