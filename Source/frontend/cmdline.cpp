#include "frontend/cmdline.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/control.h"
#include "core/options.h"
#include "core/output.h"
#include "core/textparse.h"
#include "search/strength.h"

namespace {

constexpr float DEPTH_MOVE_TIME = 10000.0f;
constexpr float NODES_MOVE_TIME = 1000.0f;
constexpr int MAX_HASH_MB = 32768;
constexpr double MIN_NPS = 1.0;
constexpr double MAX_TUNE_RATE = 0.008;
constexpr int KIND_COUNT = 4;  // PGN scan kinds, tuner variants
constexpr const char* SCAN_PGN_NAMES[KIND_COUNT] = {"-scan_pgn1", "-scan_pgn2", "-scan_pgn3",
                                                    "-scan_pgn4"};
constexpr const char* TUNE_NAMES[KIND_COUNT] = {"-tune", "-tune2", "-tune3", "-tune4"};
constexpr const char* TBX_PATH = "C:\\Chess\\Syzygy;C:\\Chess\\Syzygy\\6-Piece";
constexpr int EXIT_REFUSED = 1;
constexpr int TUNE_VALUES = 3;       // file, learning rate, count (a 0/1 may follow)
constexpr int TRAINDATA_VALUES = 2;  // file, position count
// "bench" without a depth: OpenBench stops a benchmark after 60 seconds
// and runs one per core at once; the full -bench (depth 17) takes about a
// minute on a small machine, depth 13 some six seconds.
constexpr const char* OPENBENCH_DEPTH = "13";

// Position of `arg` in a list of option spellings, -1 when absent.
int name_index(const char* const (&names)[KIND_COUNT], const char* arg) {
  for (int k = 0; k < KIND_COUNT; k++)
    if (std::strcmp(arg, names[k]) == 0) return k;
  return -1;
}

struct ParseState {
  int argc;
  char** argv;
  int at;  // index of the argument being compared
  CommandLine* line;
};

const char* current(const ParseState& s) { return s.argv[s.at]; }

// Moves on to the option's value; nullptr when the arguments ran out.
const char* take_value(ParseState& s) {
  if (s.at + 1 >= s.argc) return nullptr;
  return s.argv[++s.at];
}

// A missing value of an ordinary option only loses that option.
const char* take_optional_value(ParseState& s) {
  const char* option = current(s);
  const char* value = take_value(s);
  if (!value) print_linef("info string %s needs a value; ignored", option);
  return value;
}

// Tools cannot run without their input: a missing value ends the program.
bool refuse_missing(ParseState& s, const char* what) {
  print_linef("info string %s needs %s", current(s), what);
  s.line->exitStatus = EXIT_REFUSED;
  return false;
}

void choose_mode(ParseState& s, int mode, const char* option) {
  Control.runMode = mode;
  copy_bounded(s.line->modeOption, sizeof s.line->modeOption, option);
}

bool opt_uci(ParseState&) { Control.uciMode = 1; return true; }
bool opt_console(ParseState&) { Control.uciMode = 0; return true; }
bool opt_log(ParseState&) { Options.Log = 1; return true; }
bool opt_numa(ParseState&) { return true; }  // accepted for old scripts, no effect

bool opt_noise(ParseState& s) {
  if (const char* v = take_optional_value(s)) Control.noise = static_cast<float>(std::atof(v));
  return true;
}

bool opt_quiet(ParseState&) {
  Control.noise = QUIET_NOISE;
  Options.Log = 0;
  return true;
}

bool opt_cfg(ParseState& s) {
  if (const char* v = take_optional_value(s))
    copy_bounded(Options.ConfigFilePath, sizeof Options.ConfigFilePath, v);
  return true;
}

void set_fixed_depth(ParseState& s, const char* value) {
  Control.limits.maxDepth = static_cast<uint8_t>(clamp_int(read_int_prefix(value), 1, MAX_DEPTH));
  Control.limits.limitKind = LIMIT_FIXED;
  Control.limits.timePerMove = DEPTH_MOVE_TIME;
  s.line->depthGiven = true;
}

bool opt_depth(ParseState& s) {
  if (const char* v = take_optional_value(s)) set_fixed_depth(s, v);
  return true;
}

bool opt_time(ParseState& s) {
  const char* v = take_optional_value(s);
  if (!v) return true;
  double seconds = std::atof(v);
  Control.limits.timePerMove = seconds > 0 ? static_cast<float>(seconds) : 0.0f;
  Control.limits.limitKind = LIMIT_FIXED;
  return true;
}

bool opt_nodes(ParseState& s) {
  const char* v = take_optional_value(s);
  if (!v) return true;
  int64_t nodes = read_int_prefix(v);
  Control.limits.nodeLimit = nodes > 0 ? static_cast<uint64_t>(nodes) : 0;
  Control.limits.limitKind = LIMIT_FIXED;
  Control.limits.timePerMove = NODES_MOVE_TIME;
  s.line->nodesGiven = true;
  return true;
}

// The rating a search speed stands for, as the setting holds it.
int rating_of_speed(double nps) {
  double elo = elo_for_nps(nps);
  return elo > INT16_MAX ? INT16_MAX : static_cast<int>(elo);
}

bool opt_nps(ParseState& s) {
  const char* v = take_optional_value(s);
  if (!v) return true;
  double nps = std::atof(v);
  if (!(nps >= MIN_NPS) || std::isinf(nps)) {  // also refuses "nan"
    print_line("info string -nps needs a speed of at least 1 node per second; ignored");
    return true;
  }
  Control.targetNps = static_cast<float>(nps);
  Options.UCI_LimitStrength = 1;
  Options.UCI_Elo = static_cast<int16_t>(rating_of_speed(nps));
  std::printf("Elo= %d\n", Options.UCI_Elo);
  std::fflush(stdout);
  return true;
}

bool opt_hash(ParseState& s) {
  if (const char* v = take_optional_value(s))
    Options.Hash = clamp_int(read_int_prefix(v), 0, MAX_HASH_MB);
  return true;
}

bool opt_threads(ParseState& s) {
  if (const char* v = take_optional_value(s))
    Options.Threads = static_cast<int16_t>(clamp_int(read_int_prefix(v), 1, MAX_THREADS));
  return true;
}

bool opt_book(ParseState& s) {
  if (const char* v = take_optional_value(s))
    copy_bounded(Options.OwnBook_File, sizeof Options.OwnBook_File, v);
  return true;
}

bool opt_tbpath(ParseState& s) {
  if (const char* v = take_optional_value(s))
    copy_bounded(Options.SyzygyPath, sizeof Options.SyzygyPath, v);
  return true;
}

bool opt_tbx(ParseState&) {
  copy_bounded(Options.SyzygyPath, sizeof Options.SyzygyPath, TBX_PATH);
  return true;
}

bool opt_use_hce(ParseState&) { Control.useNN = 0; return true; }
bool opt_use_nn(ParseState&) { Control.useNN = 1; return true; }

bool opt_output(ParseState& s) {
  if (const char* v = take_optional_value(s))
    copy_bounded(s.line->outputFile, sizeof s.line->outputFile, v);
  return true;
}

bool opt_anepd(ParseState& s) {
  const char* option = current(s);
  const char* v = take_optional_value(s);
  if (!v) return true;
  copy_bounded(s.line->analysisFile, sizeof s.line->analysisFile, v);
  choose_mode(s, MODE_ANEPD, option);
  Control.noise = QUIET_NOISE;
  return true;
}

// -scan_pgn1 .. -scan_pgn4 choose the kind; another spelling keeps the mode.
bool opt_scan_pgn(ParseState& s) {
  const char* option = current(s);
  int kind = name_index(SCAN_PGN_NAMES, option);
  const char* v = take_value(s);
  if (!v) return refuse_missing(s, "a PGN file");
  if (kind >= 0) choose_mode(s, MODE_SCAN_PGN1 + kind, option);
  copy_bounded(s.line->sourceFile, sizeof s.line->sourceFile, v);
  return true;
}

bool opt_bench(ParseState& s) {
  choose_mode(s, MODE_BENCH, current(s));
  Control.pbench = false;
  return true;
}

bool is_number(const char* text) {
  if (!*text) return false;
  for (; *text; text++)
    if (*text < '0' || *text > '9') return false;
  return true;
}

// "bench [depth]", the form OpenBench and most engines' scripts call: the
// -bench benchmark, to the depth given or else to OPENBENCH_DEPTH (unless
// -d named one), which the -d option's rules then govern.
bool opt_bench_word(ParseState& s) {
  opt_bench(s);
  if (s.at + 1 < s.argc && is_number(s.argv[s.at + 1])) set_fixed_depth(s, s.argv[++s.at]);
  else if (!s.line->depthGiven) set_fixed_depth(s, OPENBENCH_DEPTH);
  return true;
}

bool opt_pbench(ParseState& s) {
  choose_mode(s, MODE_BENCH, current(s));
  Control.pbench = true;
  return true;
}

bool opt_mkconfig(ParseState& s) {
  choose_mode(s, MODE_CONFIG_ONLY, current(s));
  return true;
}

bool take_source_file(ParseState& s, int mode, const char* what) {
  const char* option = current(s);
  if (s.at + 1 >= s.argc) return refuse_missing(s, what);
  copy_bounded(s.line->sourceFile, sizeof s.line->sourceFile, take_value(s));
  choose_mode(s, mode, option);
  return true;
}

bool opt_mkbook(ParseState& s) { return take_source_file(s, MODE_MKBOOK, "a PGN file"); }
bool opt_mktune1(ParseState& s) { return take_source_file(s, MODE_MKTUNE1, "an EPD file"); }
bool opt_mktune2(ParseState& s) { return take_source_file(s, MODE_MKTUNE2, "an EPD file"); }

bool opt_mktraindata(ParseState& s) {
  if (s.at + TRAINDATA_VALUES >= s.argc) return refuse_missing(s, "a file and a position count");
  const char* option = current(s);
  copy_bounded(s.line->sourceFile, sizeof s.line->sourceFile, take_value(s));
  s.line->trainingCount = clamp_int(read_int_prefix(take_value(s)), 0, INT32_MAX);
  choose_mode(s, MODE_TRAINDATA, option);
  return true;
}

// The tuners are not part of this build, but their values are still
// checked first, as a tuning script expects.
bool opt_tune(ParseState& s) {
  const char* option = current(s);
  int variant = name_index(TUNE_NAMES, option);
  if (s.at + TUNE_VALUES >= s.argc)
    return refuse_missing(s, "a file, a learning rate and a count");
  copy_bounded(s.line->sourceFile, sizeof s.line->sourceFile, take_value(s));
  s.line->tuneRate = std::atof(take_value(s));
  s.line->tuneCount = clamp_int(read_int_prefix(take_value(s)), INT32_MIN, INT32_MAX);
  if (!(s.line->tuneRate <= MAX_TUNE_RATE) || s.line->tuneCount < 1) {
    print_linef("info string %s needs a learning rate of at most 0.008 and a count of at least 1",
                option);
    s.line->exitStatus = EXIT_REFUSED;
    return false;
  }
  if (s.at + 1 < s.argc && (s.argv[s.at + 1][0] == '0' || s.argv[s.at + 1][0] == '1'))
    s.line->tuneVariant = s.argv[++s.at][0] - '0';
  choose_mode(s, MODE_TUNE + variant, option);
  return true;
}

enum MatchKind { MATCH_EXACT, MATCH_CONTAINS, MATCH_TUNE };

struct OptionEntry {
  const char* name;
  MatchKind match;
  bool (*handle)(ParseState&);
};

// The order in which each argument is compared; it decides what an option
// value that looks like an option does (it is compared with the rest).
constexpr OptionEntry OPTION_TABLE[] = {
    {"-uci", MATCH_EXACT, opt_uci},
    {"-c", MATCH_EXACT, opt_console},
    {"-log", MATCH_EXACT, opt_log},
    {"-numa", MATCH_EXACT, opt_numa},
    {"-noise", MATCH_EXACT, opt_noise},
    {"-quiet", MATCH_EXACT, opt_quiet},
    {"-cfg", MATCH_EXACT, opt_cfg},
    {"-d", MATCH_EXACT, opt_depth},
    {"-t", MATCH_EXACT, opt_time},
    {"-n", MATCH_EXACT, opt_nodes},
    {"-nps", MATCH_EXACT, opt_nps},
    {"-hash", MATCH_EXACT, opt_hash},
    {"-threads", MATCH_EXACT, opt_threads},
    {"-book", MATCH_EXACT, opt_book},
    {"-tbpath", MATCH_EXACT, opt_tbpath},
    {"-tbx", MATCH_EXACT, opt_tbx},
    {"-use_hce", MATCH_EXACT, opt_use_hce},
    {"-use_nn", MATCH_EXACT, opt_use_nn},
    {"-o", MATCH_EXACT, opt_output},
    {"-anepd", MATCH_EXACT, opt_anepd},
    {"-scan_pgn", MATCH_CONTAINS, opt_scan_pgn},
    {"-bench", MATCH_EXACT, opt_bench},
    {"-pbench", MATCH_EXACT, opt_pbench},
    {"bench", MATCH_EXACT, opt_bench_word},
    {"-mkconfig", MATCH_EXACT, opt_mkconfig},
    {"-mkbook", MATCH_EXACT, opt_mkbook},
    {"-mktune1", MATCH_EXACT, opt_mktune1},
    {"-mktune2", MATCH_EXACT, opt_mktune2},
    {"-mktraindata", MATCH_EXACT, opt_mktraindata},
    {"-tune", MATCH_TUNE, opt_tune},
};

bool matches(const OptionEntry& entry, const char* arg) {
  switch (entry.match) {
    case MATCH_CONTAINS:
      return std::strstr(arg, entry.name) != nullptr;
    case MATCH_TUNE:
      return name_index(TUNE_NAMES, arg) >= 0;
    default:
      return std::strcmp(arg, entry.name) == 0;
  }
}

}  // namespace

bool parse_command_line(int argc, char* argv[], CommandLine& line) {
  line = CommandLine{};
  ParseState s{argc, argv, 1, &line};
  for (; s.at < argc; s.at++) {
    for (const OptionEntry& entry : OPTION_TABLE) {
      if (matches(entry, current(s)) && !entry.handle(s)) return false;
    }
  }
  return true;
}

namespace {

constexpr int SMALL_DEPTH = 8;             // below this 1 MB is plenty
constexpr int LARGEST_SIZED_DEPTH = 12;    // up to this the size follows the depth
constexpr int DEPTH_HASH_SHIFT = 7;        // depth 8 gets 2 MB
constexpr uint64_t NODES_PER_FIRST_MB = 32000;
constexpr int MAX_NODE_DOUBLINGS = 6;      // at most 64 MB for node limits

}  // namespace

void apply_fixed_limit_hash(const CommandLine& line) {
  if (line.depthGiven) {
    int depth = Control.limits.maxDepth;
    if (depth < SMALL_DEPTH) Options.Hash = 1;
    else if (depth <= LARGEST_SIZED_DEPTH) Options.Hash = 1 << (depth - DEPTH_HASH_SHIFT);
  }
  if (line.nodesGiven && Control.limits.nodeLimit > 0) {
    int hash = 1;
    uint64_t bound = NODES_PER_FIRST_MB;
    for (int d = 0; d < MAX_NODE_DOUBLINGS && Control.limits.nodeLimit > bound; d++) {
      hash *= 2;
      bound *= 2;
    }
    Options.Hash = hash;
  }
}
