#include "frontend/optionset.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/control.h"
#include "core/options.h"
#include "core/output.h"
#include "core/textparse.h"
#include "eval/network.h"
#include "search/tt.h"
#include "syzygy/tbregistry.h"

namespace {

struct SpinRange {
  int low, high;
};

constexpr SpinRange HASH_RANGE{0, 32768};
constexpr SpinRange THREADS_RANGE{1, MAX_THREADS};
constexpr SpinRange BOOK_DEPTH_RANGE{0, 60};
constexpr SpinRange BOOK_VARIETY_RANGE{0, 100};
constexpr SpinRange PROBE_DEPTH_RANGE{-5, 100};
constexpr SpinRange MULTIPV_RANGE{1, 255};
constexpr SpinRange OVERHEAD_RANGE{0, 5000};
constexpr SpinRange ELO_RANGE{1500, 3300};
constexpr SpinRange CONTEMPT_RANGE{-150, 150};
constexpr SpinRange SELECTIVITY_RANGE{0, 200};
// Full strength until the start-up speed calibration measures this
// machine: the top of the settable range.
constexpr int UNCALIBRATED_ELO = 3300;
constexpr int EXIT_HASH_FAILURE = -1;

// Settings that are a clamped number in the record and nothing more.
struct SpinOption {
  const char* name;
  int16_t EngineOptions::*field;
  SpinRange range;
};

constexpr SpinOption PLAIN_SPINS[] = {
    {"MoveOverhead", &EngineOptions::MoveOverhead, OVERHEAD_RANGE},
    {"Contempt", &EngineOptions::Contempt, CONTEMPT_RANGE},
    {"Selectivity", &EngineOptions::Selectivity, SELECTIVITY_RANGE},
    {"MultiPV", &EngineOptions::MultiPV, MULTIPV_RANGE},
    {"OwnBook_Variety", &EngineOptions::OwnBook_Variety, BOOK_VARIETY_RANGE},
    {"OwnBook_Depth", &EngineOptions::OwnBook_Depth, BOOK_DEPTH_RANGE},
    {"OwnBook2_Depth", &EngineOptions::OwnBook2_Depth, BOOK_DEPTH_RANGE},
    {"SyzygyProbeDepth6", &EngineOptions::SyzygyProbeDepth6, PROBE_DEPTH_RANGE},
    {"UCI_Elo", &EngineOptions::UCI_Elo, ELO_RANGE},
};

// Switches that are a 0/1 field of the record and nothing more.
struct CheckOption {
  const char* name;
  int16_t EngineOptions::*field;
};

constexpr CheckOption PLAIN_CHECKS[] = {
    {"Ponder", &EngineOptions::Ponder},
    {"OwnBook", &EngineOptions::OwnBook},
    {"UCI_LimitStrength", &EngineOptions::UCI_LimitStrength},
    {"UCI_ShowWDL", &EngineOptions::UCI_ShowWDL},
};

bool search_running() { return Control.state.load() != STATE_IDLE; }

int read_spin(const char* value, SpinRange range) {
  return clamp_int(read_int_prefix(value), range.low, range.high);
}

// Only the lower-case word switches on: "True" from a careless GUI is off.
int read_check(const char* value) { return std::strstr(value, "true") ? 1 : 0; }

void announce(const char* name, int value) { print_linef("info string %s set to %d", name, value); }

template <size_t N>
void store_text(char (&field)[N], const char* name, const char* value) {
  copy_bounded(field, N, value);
  print_linef("info string %s set to '%s'", name, field);
}

// Options that would pull the table or the threads from under a running
// search: refused silently while one runs.
void set_config_path(const char* value) {
  if (search_running()) return;
  store_text(Options.ConfigFilePath, "ConfigFilePath", value);
  load_config();
}

void set_hash(const char* value) {
  if (search_running()) return;
  Options.Hash = read_spin(value, HASH_RANGE);
  announce("Hash", Options.Hash);
  if (uint32_t(Options.Hash) == Control.hashSize || tt_allocate()) return;
  // A GUI user who picks more than the machine has keeps a working engine
  // with the table it had, instead of losing it in the middle of a session.
  if (!tt_allocated()) std::exit(EXIT_HASH_FAILURE);
  print_linef("info string cannot allocate %d Mbytes for hash table, keeping %u", Options.Hash,
              Control.hashSize);
  Options.Hash = int(Control.hashSize);
}

void set_threads(const char* value) {
  if (search_running()) return;
  int threads = read_spin(value, THREADS_RANGE);
  announce("Threads", threads);
  if (threads == Control.activeThreads) return;
  Options.Threads = int16_t(threads);
  Control.activeThreads = uint8_t(threads);
}

void clear_hash(const char*) {
  if (search_running()) return;
  tt_clear();
  print_line("info string Hash table cleared");
}

// A network that cannot be loaded leaves the one in use, and its name.
void set_network_file(const char* value) {
  char inUse[sizeof Options.NN_File];
  copy_bounded(inUse, sizeof inUse, Options.NN_File);
  store_text(Options.NN_File, "NN_File", value);
  if (!load_network()) copy_bounded(Options.NN_File, sizeof Options.NN_File, inUse);
}

void set_use_network(const char* value) {
  Control.useNN = uint8_t(read_check(value));
  announce("Use_NN_eval", Control.useNN);
}

void set_chess960(const char* value) {
  Control.chess960 = uint8_t(read_check(value));
  announce("UCI_Chess960", Control.chess960);
}

// Off stops the writing but keeps the file; on opens it the first time.
void set_log(const char* value) {
  int on = read_check(value);
  set_logging(on);
  if (on && !log_is_open()) open_log();
  Options.Log = int16_t(logging_enabled() ? 1 : 0);
  announce("Log", on);
}

void set_book_file(const char* value) { store_text(Options.OwnBook_File, "OwnBook_File", value); }

void set_book2_file(const char* value) {
  store_text(Options.OwnBook2_File, "OwnBook2_File", value);
}

// The tables are mapped under a running search's feet, so a new path
// waits for the search to end.
void set_syzygy_path(const char* value) {
  if (search_running()) {
    print_linef("info string SyzygyPath cannot change while a search runs");
    return;
  }
  store_text(Options.SyzygyPath, "SyzygyPath", value);
  tb_init(Options.SyzygyPath);
}

struct ActionOption {
  const char* name;
  void (*apply)(const char* value);
};

constexpr ActionOption ACTION_OPTIONS[] = {
    {"ConfigFilePath", set_config_path},
    {"Hash", set_hash},
    {"Threads", set_threads},
    {"NN_File", set_network_file},
    {"Use_NN_eval", set_use_network},
    {"OwnBook_File", set_book_file},
    {"OwnBook2_File", set_book2_file},
    {"Log", set_log},
    {"Clear_Hash", clear_hash},
    {"SyzygyPath", set_syzygy_path},
    {"UCI_Chess960", set_chess960},
};

// Option names are not case sensitive (the UCI protocol says so, and
// clients pass on the spelling their user typed: "hash", "THREADS").
bool same_name(const char* given, const char* name) {
  for (; *given && *name; given++, name++) {
    if (std::tolower(static_cast<unsigned char>(*given)) != std::tolower(static_cast<unsigned char>(*name)))
      return false;
  }
  return *given == *name;
}

}  // namespace

void set_option(const char* name, const char* value) {
  for (const ActionOption& o : ACTION_OPTIONS)
    if (same_name(name, o.name)) o.apply(value);
  for (const SpinOption& o : PLAIN_SPINS) {
    if (!same_name(name, o.name)) continue;
    Options.*o.field = int16_t(read_spin(value, o.range));
    announce(o.name, Options.*o.field);
  }
  for (const CheckOption& o : PLAIN_CHECKS) {
    if (!same_name(name, o.name)) continue;
    Options.*o.field = int16_t(read_check(value));
    announce(o.name, Options.*o.field);
  }
}

namespace {

// Read by the main thread alone: copied into the search control record or
// used by the strength limit and the time plan when a search starts, or
// read by the book before one.
constexpr const char* SEARCH_SAFE_OPTIONS[] = {
    "MoveOverhead",    "Ponder",        "MultiPV",        "OwnBook",
    "OwnBook_File",    "OwnBook2_File", "OwnBook_Depth",  "OwnBook2_Depth",
    "OwnBook_Variety", "UCI_LimitStrength", "UCI_Elo",
};

}  // namespace

bool option_safe_during_search(const char* name) {
  for (const char* safe : SEARCH_SAFE_OPTIONS)
    if (same_name(name, safe)) return true;
  return false;
}

namespace {

const char* bool_text(int on) { return on ? "true" : "false"; }

void print_spin(const char* name, int value, SpinRange range) {
  print_linef("option name %s type spin default %d min %d max %d", name, value, range.low,
              range.high);
}

void print_check(const char* name, int on) {
  print_linef("option name %s type check default %s", name, bool_text(on));
}

void print_text(const char* name, const char* value) {
  print_linef("option name %s type string default %s", name, value);
}

int calibrated_elo() {
  return Control.calibratedElo > 0 ? int(Control.calibratedElo) : UNCALIBRATED_ELO;
}

void print_book_and_table_options(const EngineOptions& d) {
  print_check("OwnBook", d.OwnBook);
  print_text("OwnBook_File", d.OwnBook_File);
  print_spin("OwnBook_Depth", d.OwnBook_Depth, BOOK_DEPTH_RANGE);
  print_text("OwnBook2_File", d.OwnBook2_File);
  print_spin("OwnBook2_Depth", d.OwnBook2_Depth, BOOK_DEPTH_RANGE);
  print_spin("OwnBook_Variety", d.OwnBook_Variety, BOOK_VARIETY_RANGE);
  print_text("SyzygyPath", d.SyzygyPath);
  print_spin("SyzygyProbeDepth6", d.SyzygyProbeDepth6, PROBE_DEPTH_RANGE);
}

void print_play_options(EngineOptions& d) {
  print_check("Log", d.Log);
  print_check("Ponder", d.Ponder);
  print_spin("MultiPV", d.MultiPV, MULTIPV_RANGE);
  print_check("UCI_Chess960", Control.chess960);
  print_spin("MoveOverhead", d.MoveOverhead, OVERHEAD_RANGE);
  print_check("UCI_LimitStrength", d.UCI_LimitStrength);
  // The rating range ends at what this machine reaches at full strength.
  int fullStrength = calibrated_elo();
  if (d.UCI_Elo == 0) d.UCI_Elo = int16_t(fullStrength);
  print_spin("UCI_Elo", d.UCI_Elo, SpinRange{ELO_RANGE.low, fullStrength});
  print_spin("Contempt", d.Contempt, CONTEMPT_RANGE);
  print_spin("Selectivity", d.Selectivity, SELECTIVITY_RANGE);
  print_check("UCI_ShowWDL", d.UCI_ShowWDL);
}

}  // namespace

void print_options() {
  EngineOptions& d = OptionDefaults;
  print_text("ConfigFilePath", d.ConfigFilePath);
  print_spin("Hash", d.Hash, HASH_RANGE);
  print_spin("Threads", d.Threads, THREADS_RANGE);
  print_line("option name Clear_Hash type button");
  print_text("NN_File", Options.NN_File);
  print_check("Use_NN_eval", Control.useNN);
  print_book_and_table_options(d);
  print_play_options(d);
}

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// First occurrence of `word` standing alone (blanks or the ends around it),
// so a file name containing "name" or "value" is not taken for the keyword.
const char* find_word(const char* text, const char* word) {
  size_t length = std::strlen(word);
  for (const char* at = std::strstr(text, word); at; at = std::strstr(at + 1, word)) {
    bool startOk = at == text || is_blank(at[-1]);
    bool endOk = at[length] == '\0' || is_blank(at[length]);
    if (startOk && endOk) return at;
  }
  return nullptr;
}

// Copies [begin, end) without its leading and trailing blanks, cut to the
// destination's capacity.
void copy_trimmed(char* dest, size_t capacity, const char* begin, const char* end) {
  while (begin < end && is_blank(*begin)) begin++;
  while (end > begin && is_blank(end[-1])) end--;
  size_t length = size_t(end - begin);
  if (length >= capacity) length = capacity - 1;
  std::memcpy(dest, begin, length);
  dest[length] = '\0';
}

// The text after a keyword and its one separator character.
const char* after_keyword(const char* at, const char* keyword) {
  const char* p = at + std::strlen(keyword);
  return *p ? p + 1 : p;
}

}  // namespace

bool parse_setoption(const char* args, char* name, char* value) {
  name[0] = value[0] = '\0';
  const char* nameAt = find_word(args, "name");
  const char* valueAt = find_word(args, "value");
  if (!nameAt || (valueAt && valueAt < nameAt)) return false;
  const char* nameText = after_keyword(nameAt, "name");
  if (valueAt) {
    const char* valueText = after_keyword(valueAt, "value");
    copy_trimmed(name, OPTION_NAME_SIZE, nameText, valueAt);
    while (is_blank(*valueText)) valueText++;
    copy_bounded(value, OPTION_VALUE_SIZE, valueText);
  } else {
    copy_trimmed(name, OPTION_NAME_SIZE, nameText, nameText + std::strlen(nameText));
  }
  return name[0] != '\0';
}

void setoption_command(const char* args) {
  char name[OPTION_NAME_SIZE], value[OPTION_VALUE_SIZE];
  if (parse_setoption(args, name, value)) set_option(name, value);
  OptionDefaults = Options;
}

namespace {

constexpr int CONFIG_LINE_SIZE = 255;    // 254 characters of a line are read
constexpr int SHORTEST_CONFIG_LINE = 4;  // shorter lines cannot hold a setting

// The files being loaded, outermost first: a file met again is a loop.
struct ConfigNesting {
  char paths[MAX_CONFIG_NESTING][PATH_FIELD_SIZE];
  int depth;
};

ConfigNesting Nesting;

bool being_loaded(const char* path) {
  for (int i = 0; i < Nesting.depth; i++)
    if (std::strcmp(Nesting.paths[i], path) == 0) return true;
  return false;
}

// One line into `line` (the rest of an over-long line is dropped, so its
// tail can never pass for a setting); false at the end of the file. The
// length counts the line feed, as read.
bool read_config_line(std::FILE* file, char* line, int& lengthRead) {
  int c, kept = 0;
  lengthRead = 0;
  while ((c = std::fgetc(file)) != EOF) {
    lengthRead++;
    if (c == '\n') break;
    if (kept < CONFIG_LINE_SIZE - 1) line[kept++] = char(c);
  }
  line[kept] = '\0';
  if (lengthRead > CONFIG_LINE_SIZE - 1) lengthRead = CONFIG_LINE_SIZE - 1;
  return lengthRead > 0;
}

// name=value with the name from column 1; a '#' starts a comment. Line
// ends written by other systems (a carriage return) end the line too.
void apply_config_line(char* line) {
  line[std::strcspn(line, "\r#")] = '\0';
  char* equals = std::strchr(line, '=');
  if (!equals) return;
  char name[OPTION_NAME_SIZE], value[OPTION_VALUE_SIZE];
  const char* nameEnd = equals;
  while (nameEnd > line && is_blank(nameEnd[-1])) nameEnd--;
  size_t nameLength = size_t(nameEnd - line);
  if (nameLength >= sizeof name) nameLength = sizeof name - 1;
  std::memcpy(name, line, nameLength);
  name[nameLength] = '\0';
  copy_trimmed(value, sizeof value, equals + 1, equals + std::strlen(equals));
  set_option(name, value);
}

bool may_load(const char* path) {
  if (being_loaded(path)) {
    print_linef("info string %s is already being loaded; not loaded again", path);
    return false;
  }
  if (Nesting.depth >= MAX_CONFIG_NESTING) {
    print_linef("info string configuration files nest deeper than %d; %s not loaded",
                MAX_CONFIG_NESTING, path);
    return false;
  }
  return true;
}

}  // namespace

int load_config() {
  char path[PATH_FIELD_SIZE];
  copy_bounded(path, sizeof path, Options.ConfigFilePath);
  if (!may_load(path)) return 0;
  std::FILE* file = std::fopen(path, "r");
  if (!file) return 0;
  print_linef("info string loading parameters from %s", path);
  copy_bounded(Nesting.paths[Nesting.depth++], PATH_FIELD_SIZE, path);
  char line[CONFIG_LINE_SIZE];
  int lengthRead;
  while (read_config_line(file, line, lengthRead))
    if (lengthRead >= SHORTEST_CONFIG_LINE) apply_config_line(line);
  Nesting.depth--;
  std::fclose(file);
  Options.paramsChanged = 1;
  OptionDefaults = Options;
  return 1;
}
