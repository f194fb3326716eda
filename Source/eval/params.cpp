// The evaluation parameter registry: fixed registration order, built-in
// values, overrides from a parameter file, personality scaling and the
// printed lists of the evaluation trace.
#include "eval/params.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "board/see.h"
#include "core/options.h"
#include "core/output.h"
#include "core/textparse.h"
#include "eval/param_values.h"

EvalParam Params[PARAM_COUNT];
int ParamCount;
EvalWeights W;

namespace {

// Each half of a packed score is 16 bits; a larger value would spill into
// the other half, so every value is held inside this bound.
constexpr int PARAM_VALUE_LIMIT = 32767;
constexpr double PERCENT = 0.01;
constexpr int PST_SIZE = 64;
constexpr int BOARD_FILES = 8;
constexpr int BOARD_RANKS = 8;
constexpr const char* PST_HALF_GAP = "     ";  // between the mg and eg halves

// The parameter file: line buffer, separators, the optional call wrapper.
constexpr int PARAM_LINE_SIZE = 254;
constexpr int LINE_TOKENS = 4;  // wrapper, name, mg, eg
constexpr const char* TOKEN_SEPARATORS = "(),\"\n";
constexpr const char* CALL_WRAPPER = "fset";
// The first entry; naming it restarts the running index, so a file or
// the built-in table always begins at the top of the registry.
constexpr const char* FIRST_PARAM_NAME = "mtl_pawn";
constexpr const char* TABLE_NAME_PREFIX = "PST_";

constexpr int EXCHANGE_VALUES[7] = {0, 100, 350, 350, 550, 1075, 9000};

using WeightRef = const EvalParam* EvalWeights::*;

struct ParamGroup {
  const char* name;
  int count;
  WeightRef ref;  // bound to the group's first entry
};

// Registration order; the evaluation, the parameter file and the tuner all
// address entries by this position.
constexpr ParamGroup LAYOUT[] = {
    {"mtl_pawn", 1, &EvalWeights::mtl_pawn},
    {"mtl_knight", 1, &EvalWeights::mtl_knight},
    {"mtl_bishop", 1, &EvalWeights::mtl_bishop},
    {"mtl_rook", 1, &EvalWeights::mtl_rook},
    {"mtl_queen", 1, &EvalWeights::mtl_queen},
    {"bishop_pair", 1, &EvalWeights::bishop_pair},
    {"pawn_isolated", 1, &EvalWeights::pawn_isolated},
    {"pawn_weak", 1, &EvalWeights::pawn_weak},
    {"pawn_blocked", 1, &EvalWeights::pawn_blocked},
    {"pawn_doubled", 1, &EvalWeights::pawn_doubled},
    {"ppawn_base", 6, &EvalWeights::ppawn_base},
    {"ppawn_mobile", 6, &EvalWeights::ppawn_mobile},
    {"ppawn_free", 6, &EvalWeights::ppawn_free},
    {"ppawn_fkdist", 8, &EvalWeights::ppawn_fkdist},
    {"ppawn_ekdist", 8, &EvalWeights::ppawn_ekdist},
    {"ppawn_connected", 6, &EvalWeights::ppawn_connected},
    {"candidate_passer", 6, &EvalWeights::candidate_passer},
    {"knight_mobility", 1, &EvalWeights::knight_mobility},
    {"knight_trapped", 1, &EvalWeights::knight_trapped},
    {"knight_outpost", 1, &EvalWeights::knight_outpost},
    {"knight_outpost_atk", 1, &EvalWeights::knight_outpost_atk},
    {"bishop_mobility", 1, &EvalWeights::bishop_mobility},
    {"bishop_mob2", 1, &EvalWeights::bishop_mob2},
    {"bishop_trapped", 1, &EvalWeights::bishop_trapped},
    {"bishop_outpost", 1, &EvalWeights::bishop_outpost},
    {"bishop_outpost_atk", 1, &EvalWeights::bishop_outpost_atk},
    {"rook_mobility", 1, &EvalWeights::rook_mobility},
    {"rook_mob2", 1, &EvalWeights::rook_mob2},
    {"rook_trapped", 1, &EvalWeights::rook_trapped},
    {"rook_openfile", 1, &EvalWeights::rook_openfile},
    {"rook_7th", 1, &EvalWeights::rook_7th},
    {"queen_mobility", 1, &EvalWeights::queen_mobility},
    {"queen_trapped", 1, &EvalWeights::queen_trapped},
    {"pawn_shield", 1, &EvalWeights::pawn_shield},
    {"enemy_checks", 1, &EvalWeights::enemy_checks},
    {"king_danger1", 1, &EvalWeights::king_danger1},
    {"king_danger2", 1, &EvalWeights::king_danger2},
    {"king_trapped", 1, &EvalWeights::king_trapped},
    {"king_pawn_dist", 1, &EvalWeights::king_pawn_dist},
    {"hung_pawn", 1, &EvalWeights::hung_pawn},
    {"attacked_pawn", 1, &EvalWeights::attacked_pawn},
    {"hung_minor", 1, &EvalWeights::hung_minor},
    {"attacked_minor", 1, &EvalWeights::attacked_minor},
    {"hung_major", 1, &EvalWeights::hung_major},
    {"ppush_threat", 1, &EvalWeights::ppush_threat},
    {"pinned_piece", 1, &EvalWeights::pinned_piece},
    {"bishop_rampawns", 1, &EvalWeights::bishop_rampawns},
    {"stm_bonus", 1, &EvalWeights::stm_bonus},
    {"ttune", 32, &EvalWeights::ttune},
    {"PST_P1", PST_SIZE, &EvalWeights::PST_P1},
    {"PST_CP", PST_SIZE, &EvalWeights::PST_CP},
    {"PST_DP", PST_SIZE, &EvalWeights::PST_DP},
    {"PST_N1", PST_SIZE, &EvalWeights::PST_N1},
    {"PST_B1", PST_SIZE, &EvalWeights::PST_B1},
    {"PST_R1", PST_SIZE, &EvalWeights::PST_R1},
    {"PST_Q1", PST_SIZE, &EvalWeights::PST_Q1},
    {"PST_K", PST_SIZE, &EvalWeights::PST_K},
    {"PST_P2", PST_SIZE, &EvalWeights::PST_P2},
    {"PST_N2", PST_SIZE, &EvalWeights::PST_N2},
    {"PST_B2", PST_SIZE, &EvalWeights::PST_B2},
    {"PST_R2", PST_SIZE, &EvalWeights::PST_R2},
    {"PST_Q2", PST_SIZE, &EvalWeights::PST_Q2},
};

constexpr int layout_entries() {
  int total = 0;
  for (const ParamGroup& g : LAYOUT) total += g.count;
  return total;
}
static_assert(layout_entries() == PARAM_COUNT);

// Personality groups in the order they are applied. A text scales every
// name containing it, so "knight_outpost" also reaches knight_outpost_atk,
// which its own text then scales a second time.
constexpr int MAX_GROUP_TEXTS = 6;
struct PersonalityGroup {
  const char* texts[MAX_GROUP_TEXTS];  // unused slots stay null
};
constexpr PersonalityGroup PERSONALITY[PERSONALITY_GROUPS] = {
    {{"mtl_pawn"}},
    {{"mtl_knight"}},
    {{"mtl_bishop"}},
    {{"mtl_rook"}},
    {{"mtl_queen"}},
    {{"knight_mobility", "knight_outpost", "knight_outpost_atk", "PST_N1", "PST_N2"}},
    {{"bishop_mobility", "bishop_mob2", "bishop_outpost", "bishop_outpost_atk", "PST_B1",
      "PST_B2"}},
    {{"rook_mobility", "rook_mob2", "PST_R1", "PST_R2"}},
    {{"queen_mobility", "PST_Q1", "PST_Q2"}},
    {{"PST_P1", "PST_P2", "PST_CP", "PST_DP"}},
    {{"ppawn_base", "ppawn_mobile", "ppawn_free", "candidate_passer"}},
    {{"king_danger", "enemy_checks"}},
    {{"hung_pawn", "attacked_pawn", "hung_minor", "attacked_minor", "hung_major",
      "pinned_piece"}},
};

struct PrintedTable {
  const char* title;
  WeightRef table;
};
constexpr PrintedTable PRINTED_TABLES[] = {
    {"Pawn1", &EvalWeights::PST_P1},   {"Pawn2", &EvalWeights::PST_P2},
    {"Connected Pawn", &EvalWeights::PST_CP}, {"Defended Pawn", &EvalWeights::PST_DP},
    {"Knight1", &EvalWeights::PST_N1}, {"Knight2", &EvalWeights::PST_N2},
    {"Bishop1", &EvalWeights::PST_B1}, {"Bishop2", &EvalWeights::PST_B2},
    {"Rook1", &EvalWeights::PST_R1},   {"Rook2", &EvalWeights::PST_R2},
    {"Queen1", &EvalWeights::PST_Q1},  {"Queen2", &EvalWeights::PST_Q2},
    {"King", &EvalWeights::PST_K},
};

// The entry the next set_next_param writes.
struct ParamCursor {
  int next;
};
ParamCursor Cursor;

float clamp_float(double value) {
  return float(std::clamp(value, double(-PARAM_VALUE_LIMIT), double(PARAM_VALUE_LIMIT)));
}

// Rounds half away from zero, as the packed word must match the floats.
int round_value(float value) { return int(std::lround(value)); }

void store_value(EvalParam& p, double mg, double eg) {
  p.mg = clamp_float(mg);
  p.eg = clamp_float(eg);
  p.packed = pack_score(round_value(p.mg), round_value(p.eg));
}

void register_group(const ParamGroup& group) {
  if (group.count <= 0 || ParamCount + group.count > PARAM_COUNT) return;
  W.*group.ref = &Params[ParamCount];
  for (int i = 0; i < group.count; ++i) {
    EvalParam& p = Params[ParamCount++];
    copy_bounded(p.name, sizeof p.name, group.name);
    store_value(p, 0, 0);  // provisional: the built-in values follow
  }
}

void register_all_params() {
  for (EvalParam& p : Params) p = EvalParam{};
  ParamCount = 0;
  W = EvalWeights{};
  for (const ParamGroup& group : LAYOUT) register_group(group);
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Cuts blanks off both ends of a token in place.
char* trim_blanks(char* token) {
  while (is_blank(*token)) ++token;
  char* end = token + std::strlen(token);
  while (end > token && is_blank(end[-1])) *--end = '\0';
  return token;
}

// Splits the line in place at the separators; empty and blank-only pieces
// are not tokens. Returns how many of at most `capacity` tokens were found.
int split_tokens(char* line, char* tokens[], int capacity) {
  int count = 0;
  char* p = line;
  while (*p && count < capacity) {
    size_t length = std::strcspn(p, TOKEN_SEPARATORS);
    char* next = p[length] ? p + length + 1 : p + length;
    p[length] = '\0';
    char* token = trim_blanks(p);
    if (*token) tokens[count++] = token;
    p = next;
  }
  return count;
}

// A whole token of optional sign and decimal digits, held inside the
// packable range.
bool read_value(const char* token, int& value) {
  const char* p = token;
  if (*p == '+' || *p == '-') ++p;
  if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
  while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
  if (*p != '\0') return false;
  value = clamp_int(read_int_prefix(token), -PARAM_VALUE_LIMIT, PARAM_VALUE_LIMIT);
  return true;
}

// `fset("name", mg, eg)` or `name, mg, eg`; anything else is skipped.
void apply_param_line(char* line) {
  char* tokens[LINE_TOKENS];
  int count = split_tokens(line, tokens, LINE_TOKENS);
  int nameAt = (count > 0 && std::strstr(tokens[0], CALL_WRAPPER)) ? 1 : 0;
  if (count < nameAt + 3) return;
  int mg = 0;
  int eg = 0;
  if (!read_value(tokens[nameAt + 1], mg) || !read_value(tokens[nameAt + 2], eg)) return;
  set_next_param(tokens[nameAt], mg, eg);
}

// Drops the remainder of a line too long for the buffer, so that its tail
// is never read as a line of its own.
void skip_rest_of_line(std::FILE* file) {
  int c;
  do c = std::fgetc(file);
  while (c != '\n' && c != EOF);
}

void apply_personality() {
  for (int g = 0; g < PERSONALITY_GROUPS; ++g) {
    int mgPercent = Options.personality[g][PHASE_MG];
    int egPercent = Options.personality[g][PHASE_EG];
    for (const char* text : PERSONALITY[g].texts)
      if (text) scale_params(text, mgPercent, egPercent);
  }
}

void set_exchange_values() { std::copy(std::begin(EXCHANGE_VALUES), std::end(EXCHANGE_VALUES), SeeValue); }

// True when all 64 entries from `table` lie inside the registry.
bool table_in_registry(const EvalParam* table) {
  std::less<const EvalParam*> before;
  if (!table || before(table, Params) || !before(table, Params + ParamCount)) return false;
  return (table - Params) + PST_SIZE <= ParamCount;
}

int append_value(char* line, int used, int capacity, const char* format, int value) {
  if (used >= capacity - 1) return used;
  int written = std::snprintf(line + used, size_t(capacity - used), format, value);
  return written < 0 ? used : std::min(used + written, capacity - 1);
}

// One rank: eight middlegame values, a gap, eight endgame values.
void print_pst_rank(const EvalParam* rank) {
  char line[OUTPUT_LINE_SIZE];
  int used = 0;
  for (int f = 0; f < BOARD_FILES; ++f)
    used = append_value(line, used, OUTPUT_LINE_SIZE, " %3d", packed_mg(rank[f].packed));
  int gap = int(std::strlen(PST_HALF_GAP));
  if (used + gap < OUTPUT_LINE_SIZE) {
    std::memcpy(line + used, PST_HALF_GAP, size_t(gap));
    used += gap;
  }
  for (int f = 0; f < BOARD_FILES; ++f)
    used = append_value(line, used, OUTPUT_LINE_SIZE, " %3d", packed_eg(rank[f].packed));
  line[used] = '\0';
  print_line(line);
}

}  // namespace

void set_next_param(const char* name, int mg, int eg) {
  if (!name) name = "";
  if (std::strcmp(name, FIRST_PARAM_NAME) == 0) Cursor.next = 0;
  // Past the last entry there is nothing to set; the line is dropped.
  if (Cursor.next < 0 || Cursor.next >= ParamCount) return;
  EvalParam& p = Params[Cursor.next++];
  if (std::strcmp(name, p.name) != 0) {
    std::printf("error %s  %s\n", name, p.name);
    std::fflush(stdout);
  }
  mg = std::clamp(mg, -PARAM_VALUE_LIMIT, PARAM_VALUE_LIMIT);
  eg = std::clamp(eg, -PARAM_VALUE_LIMIT, PARAM_VALUE_LIMIT);
  store_value(p, mg, eg);
}

void load_params_file(const char* path) {
  if (!path || !path[0]) return;
  std::FILE* file = std::fopen(path, "r");
  if (!file) return;  // no file: the built-in values stand
  char line[PARAM_LINE_SIZE];
  for (;;) {
    // Cleared first so a newline found anywhere in the buffer is this read's.
    std::memset(line, 0, sizeof line);
    if (!std::fgets(line, sizeof line, file)) break;
    if (!std::memchr(line, '\n', sizeof line) && !std::feof(file)) skip_rest_of_line(file);
    apply_param_line(line);
  }
  std::fclose(file);
}

int scale_params(const char* text, int mgPercent, int egPercent) {
  if (!text) return 1;
  bool matched = false;
  for (int i = 0; i < ParamCount; ++i) {
    EvalParam& p = Params[i];
    if (!std::strstr(p.name, text)) continue;
    // The floats carry the unrounded result, so scaling twice is exact.
    store_value(p, double(p.mg) * mgPercent * PERCENT, double(p.eg) * egPercent * PERCENT);
    matched = true;
  }
  return matched ? 0 : 1;
}

void setup_eval_params() {
  register_all_params();
  for (const ParamValue& row : BuiltinParamValues) set_next_param(row.name, row.mg, row.eg);
  // The option field is copied so an unterminated value cannot overrun.
  char path[FILE_NAME_FIELD_SIZE];
  std::memcpy(path, Options.paramFile, sizeof path);
  path[sizeof path - 1] = '\0';
  load_params_file(path);
  apply_personality();
  set_exchange_values();
}

void print_pst(const char* title, const EvalParam* table) {
  if (!table_in_registry(table)) return;
  print_line(title ? title : "");
  for (int rank = BOARD_RANKS - 1; rank >= 0; --rank) print_pst_rank(table + rank * BOARD_FILES);
  print_line("");
}

void print_param_list() {
  for (int i = 0; i < ParamCount; ++i) {
    const EvalParam& p = Params[i];
    if (std::strstr(p.name, TABLE_NAME_PREFIX)) continue;
    print_linef("%-22s  %4d , %4d", p.name, packed_mg(p.packed), packed_eg(p.packed));
  }
  for (const PrintedTable& t : PRINTED_TABLES) print_pst(t.title, W.*t.table);
}
