#include "frontend/loop.h"

#include <cstring>

#include "core/control.h"
#include "frontend/console.h"
#include "frontend/input.h"
#include "frontend/searchcommand.h"
#include "frontend/ucicommands.h"
#include "platform/platform.h"
#include "search/timeman.h"

namespace {

// A finished search whose answer is held can only be released by a
// command, so the loop sleeps until input comes; the limit merely bounds
// one wait.
constexpr int HELD_SLEEP_MS = 100;
// The first moments of a search are timed by brief naps, not the loop's
// usual sleep, so a very short search is not overrun by that sleep.
constexpr float SEARCH_SPIN_SECONDS = 0.015f;

// How long the loop may wait for input after reading: not at all when a
// command left work for the next pass (commands that came together, a
// search started, released or stopped); until a command comes while an
// answer is held; otherwise a short pause, so the clock is still watched.
int input_pause_ms(int stateBefore) {
  int state = Control.state.load();
  if (input_waiting() || state != stateBefore) return 0;
  if (answer_held(state)) return HELD_SLEEP_MS;
  return Control.stop.load() ? 0 : INPUT_POLL_MS;
}

}  // namespace

void poll_input() {
  char command[COMMAND_SIZE];
  if (!next_command(command, COMMAND_SIZE)) {
    // A GUI that closed the pipe or died: end as "quit" would. The tools
    // read commands only to be stoppable; their input may well be empty.
    if (input_exhausted() && Control.runMode == MODE_INTERACTIVE) quit_engine();
    return;
  }
  if (!Control.uciMode && std::strcmp(command, "uci") != 0) {
    console_command(command);
    return;
  }
  uci_command(command);
}

void run_interactive() {
  while (!Control.quit) {
    int state = Control.state.load();
    float elapsed = search_elapsed();
    if (state != STATE_IDLE) Control.elapsed.store(elapsed);
    // A finished search is answered before any further command is read, so
    // nothing read afterwards can change what its answer sees; a finished
    // search whose answer is held waits for the command that releases it.
    bool reading = answer_held(state) ||
                   (elapsed > SEARCH_SPIN_SECONDS && !Control.stop.load() && !answer_due(state));
    if (state == STATE_IDLE || reading) {
      // What waited for the search to end, right after it has answered.
      if (state == STATE_IDLE) run_held_commands();
      poll_input();
      // The pause ends when a line arrives: at fast time controls every
      // millisecond of reply latency counts.
      if (int pause = input_pause_ms(state)) sleep_until_input_ms(pause);
    } else if (state == STATE_SEARCHING || state == STATE_PONDERING) {
      // A search's first moments, or its last after a stop: the clock is
      // watched closely, but a spinning loop would take a processor from
      // the search threads and delay the very answer it waits for.
      nap_briefly();
    }
    if (Control.quit) break;
    time_check();
    state = Control.state.load();
    if (state == STATE_GO || state == STATE_GO_PONDER) begin_search(state);
    if (answer_due(Control.state.load())) answer_search();
  }
}
