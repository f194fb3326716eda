#include "frontend/golimits.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "board/legality.h"
#include "core/control.h"
#include "core/game.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "core/textparse.h"
#include "frontend/gamemoves.h"
#include "platform/platform.h"
#include "search/score.h"

namespace {

constexpr float UNLIMITED_SECONDS = 10000000.0f;
constexpr int MOVE_WORD_SIZE = 16;  // longer words are no move

// The words of "go" that carry a limit; one of them ends a "searchmoves" list.
constexpr const char* GO_KEYWORDS[] = {"wtime", "btime", "winc",     "binc",   "movestogo",
                                       "depth", "nodes", "movetime", "mate",   "infinite",
                                       "ponder", "searchmoves"};

// The integer in the first word after `keyword` (and one blank); false
// when the keyword is absent.
bool keyword_value(const char* args, const char* keyword, int64_t& value) {
  const char* at = std::strstr(args, keyword);
  if (!at) return false;
  at += std::strlen(keyword);
  if (*at) at++;
  value = read_int_prefix(at);
  return true;
}

float seconds_of(int64_t milliseconds) {
  return milliseconds < 0 ? 0.0f : float(milliseconds) / MS_PER_SECOND;
}

// The node limit spread by up to 4% either way, so that games between the
// same engines at fixed nodes do not repeat.
uint64_t spread_node_limit(int64_t nodes) {
  constexpr int SPREAD_RANGE = 80, SPREAD_CENTRE = 40, SPREAD_SCALE = 1000;
  // Far more nodes than any search visits; a larger count means the same
  // and would overflow once spread.
  constexpr int64_t MOST_NODES = int64_t(1) << 50;
  if (nodes <= 0) return 0;
  if (nodes > MOST_NODES) nodes = MOST_NODES;
  int64_t r = std::rand() % SPREAD_RANGE;
  return uint64_t(nodes + (SPREAD_CENTRE - r) * nodes / SPREAD_SCALE);
}

void set_fixed_limit(SearchLimits& limits, float seconds) {
  limits.limitKind = LIMIT_FIXED;
  limits.timePerMove = seconds;
}

bool is_go_keyword(const char* word) {
  for (const char* k : GO_KEYWORDS)
    if (std::strcmp(word, k) == 0) return true;
  return false;
}

// The legal game move the text stands for, or MOVE_NONE.
Move legal_move_of(const char* word) {
  Move m = game_move_from_text(word);
  if (m == MOVE_NONE || !move_is_legal(Game->pos, Game->pos.side, m)) return MOVE_NONE;
  return m;
}

void add_search_move(SearchLimits& limits, const char* word) {
  Move m = legal_move_of(word);
  if (m == MOVE_NONE) {
    print_linef("info string searchmoves: %s is no legal move here, ignored", word);
    return;
  }
  bool listed = limits.searchMoveCount > 0 && root_move_allowed(limits, m);
  if (listed || limits.searchMoveCount >= MAX_SEARCH_MOVES) return;
  limits.searchMoves[limits.searchMoveCount++] = m;
}

// The words after "searchmoves" up to the next keyword. Moves that are not
// legal are left out; when none is left the whole root is searched.
void read_search_moves(const char* args, SearchLimits& limits) {
  limits.searchMoveCount = 0;
  const char* text = std::strstr(args, "searchmoves");
  if (!text) return;
  text += std::strlen("searchmoves");
  char word[MOVE_WORD_SIZE];
  while ((text = next_word(text, word, sizeof word)) != nullptr) {
    if (is_go_keyword(word)) break;
    add_search_move(limits, word);
  }
}

// "mate N": search until a mate in N moves or fewer is proven. Alone, it
// runs without a time limit; with a clock or a move time, whichever comes
// first ends the search.
void read_mate_limit(const char* args, SearchLimits& limits) {
  int64_t v;
  limits.mateMoves = 0;
  if (!keyword_value(args, "mate", v)) return;
  if (v < 1) {
    print_line("info string mate needs a number of moves of at least 1; ignored");
    return;
  }
  limits.mateMoves = uint8_t(clamp_int(v, 1, MAX_MATE_MOVES));
  if (!std::strstr(args, "wtime") && !std::strstr(args, "btime"))
    set_fixed_limit(limits, UNLIMITED_SECONDS);
}

void read_clock(const char* args, SearchLimits& limits) {
  int side = Game->pos.side;
  int64_t v;
  if (keyword_value(args, "wtime", v)) limits.clock[WHITE] = seconds_of(v);
  if (keyword_value(args, "btime", v)) limits.clock[BLACK] = seconds_of(v);
  if (keyword_value(args, "winc", v) && side == WHITE) limits.increment = seconds_of(v);
  if (keyword_value(args, "binc", v) && side == BLACK) limits.increment = seconds_of(v);
  if (keyword_value(args, "movestogo", v)) {
    limits.limitKind = LIMIT_MOVESTOGO_MARK;
    limits.movesToGo = uint16_t(clamp_int(v, 0, UINT16_MAX));
  }
}

void read_fixed_limits(const char* args, SearchLimits& limits) {
  int64_t v;
  if (keyword_value(args, "depth", v)) {
    limits.maxDepth = uint8_t(clamp_int(v, 0, MAX_DEPTH));
    set_fixed_limit(limits, UNLIMITED_SECONDS);
  }
  if (keyword_value(args, "nodes", v)) {
    limits.nodeLimit = spread_node_limit(v);
    set_fixed_limit(limits, UNLIMITED_SECONDS);
  }
  if (keyword_value(args, "movetime", v)) {
    set_fixed_limit(limits, seconds_of(v));
    limits.increment = 0;
  }
  // Analysis until "stop": not even the command line's limits end it.
  if (std::strstr(args, "infinite")) {
    set_fixed_limit(limits, UNLIMITED_SECONDS);
    limits.increment = 0;
    limits.nodeLimit = 0;
    limits.maxDepth = MAX_DEPTH;
    limits.infinite = 1;
  }
}

}  // namespace

int read_go_limits(const char* args, const SearchLimits& base, SearchLimits& limits) {
  limits = base;
  limits.limitKind = LIMIT_CLOCK;
  read_clock(args, limits);
  read_mate_limit(args, limits);
  read_fixed_limits(args, limits);
  read_search_moves(args, limits);
  return std::strstr(args, "ponder") ? STATE_GO_PONDER : STATE_GO;
}
