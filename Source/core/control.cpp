#include "core/control.h"

SearchControl Control;

namespace {

constexpr float START_MOVE_TIME = 5.0f;  // seconds, also both clocks

}  // namespace

void set_control_defaults(SearchControl& c) {
  c.activeThreads = 1;
  c.ttInUse = 1;
  c.limits = SearchLimits{};
  c.limits.maxDepth = MAX_DEPTH;
  c.limits.limitKind = LIMIT_FIXED;
  c.limits.timePerMove = START_MOVE_TIME;
  c.limits.increment = 0;
  c.limits.clock[WHITE] = c.limits.clock[BLACK] = START_MOVE_TIME;
  c.limits.nodeLimit = 0;
  c.baseLimits = c.limits;
  c.noise = 0;
  c.useNN = 1;
  c.chess960 = 0;
  c.quit = 0;
  c.answerAfterStop = 0;
  c.state.store(STATE_IDLE);
  c.stop.store(0);
  c.uciMode = 1;
  c.echo = 1;  // every command is logged unless something clears it
  c.runMode = MODE_INTERACTIVE;
  c.pbench = false;
}

bool root_move_allowed(const SearchLimits& limits, Move m) {
  if (limits.searchMoveCount == 0) return true;
  for (int i = 0; i < limits.searchMoveCount; i++)
    if (limits.searchMoves[i] == m) return true;
  return false;
}
