#include "search/timeman.h"

#include <cmath>

#include "core/control.h"
#include "core/game.h"
#include "core/options.h"
#include "core/searchthread.h"
#include "platform/platform.h"
#include "search/relaxed.h"
#include "search/threads.h"

namespace {

// Moves still to play when the clock has no "movestogo": fewer early on.
constexpr int OPENING_PLIES = 20;
constexpr int OPENING_MOVES_TO_GO = 32;
constexpr int LATER_MOVES_TO_GO = 23;
constexpr int PONDER_MIN_MOVES_TO_GO = 3;
constexpr float PONDER_FACTOR = 1.3f;
constexpr int WEAK_ELO = 2399;  // at or below: a little less time per move
constexpr int UNKNOWN_ELO = 0;
constexpr float WEAK_FACTOR = 0.85f;
constexpr float CLOCK_SHARE = 0.65f;  // never plan more than this of the clock
constexpr float OVERHEAD_RESERVES = 5.0f;
constexpr float MIN_TARGET = 0.002f;

constexpr float CHECK_START = 0.015f;  // no decision in a search's first moments
constexpr float MAX_MARGIN = 0.025f;
// A budget shorter than the first moments is watched from half of it on,
// so the share of it kept back for the GUI's delays is still honoured.
constexpr float EARLY_CHECK_SHARE = 0.5f;
// With a fixed time per move the overhead is kept back too, but never more
// than this share of the move's time: the answer must arrive within the
// limit as the GUI measures it, pipe and scheduling delays included.
// At a few milliseconds a move a tenth is less than one scheduling delay of
// a loaded machine, so at least MIN_FIXED_KEEP is kept (overhead allowing):
// at 10 ms a move, keeping 3 ms still lost about one game in 80 by 1-3 ms.
// Keeping 5 ms, on a quiet two-core virtual machine, 6 of 744 games were
// still lost, each by one of the 6 answers (of 95,523) that came 6-11 ms
// after the stop: delays of the machine that no margin inside a 10 ms
// budget absorbs.
constexpr float FIXED_MARGIN_SHARE = 0.1f;
constexpr float MIN_FIXED_KEEP = 0.005f;
constexpr float MARGIN_RESERVES = 5.0f;
constexpr int STEADY_SCORE_DROP = 20;   // a score drop worth more time
constexpr int LARGE_SCORE = 335;        // beyond it drops are measured in sixteenths
constexpr int LARGE_SCORE_SHIFT = 4;
constexpr float FAIL_LOW_SHARE = 0.25f;
constexpr float FAIL_HIGH_SHARE = 0.1f;
constexpr int EXTRA_TIME_DEPTH = 3;     // score and best-move trends from above it
constexpr float SCORE_DROP_SHARE = 0.03f;
constexpr float NEW_BEST_SHARE = 0.02f;
constexpr int NEW_BEST_DEPTHS = 3;      // a best move younger than this is unsettled
constexpr int STABLE_BEST_DEPTHS = 5;   // older than this is settled
constexpr float STABLE_CUT = 0.25f;     // of the target
constexpr float HELPER_SHARE = 0.08f;
constexpr int HELPER_SCORE_GAP = 5;
constexpr int SINGLE_REPLY_DEPTH = 5;

int moves_to_go() {
  const SearchLimits& limits = Control.limits;
  int ply = game_ply();
  if (limits.limitKind == LIMIT_CLOCK)
    return ply < OPENING_PLIES ? OPENING_MOVES_TO_GO - ply / PLIES_PER_MOVE : LATER_MOVES_TO_GO;
  if (!Control.uciMode) return limits.limitKind - (ply / PLIES_PER_MOVE) % limits.limitKind;
  return limits.movesToGo;
}

// Extra time when the search is unsettled: a failing root, a falling
// score, a young best move; less when the best move has held for long.
float extra_time(float remaining, int depth, int score, int q) {
  int fail = relaxed_load(Threads[0]->rootFail);
  if (fail == FAILED_LOW) return FAIL_LOW_SHARE * remaining;
  if (fail == FAILED_HIGH) return FAIL_HIGH_SHARE * remaining;
  float e = 0;
  if (depth <= EXTRA_TIME_DEPTH) return e;
  if (score <= relaxed_load(Control.depthScore[depth - 1]) - q) e += SCORE_DROP_SHARE * remaining;
  if (score <= relaxed_load(Control.depthScore[depth - 2]) - q) e += SCORE_DROP_SHARE * remaining;
  int age = depth - relaxed_load(Control.bestChangeDepth);
  if (age < NEW_BEST_DEPTHS) e += NEW_BEST_SHARE * remaining;
  if (age > STABLE_BEST_DEPTHS) e -= STABLE_CUT * Control.targetTime;
  return e;
}

// A secondary thread that has completed as deep as the published line with
// a clearly better score: the main thread may be about to change its mind.
bool helper_sees_better(int score, int q) {
  int completed = relaxed_load(Control.completedDepth);
  for (int i = 1; i < Control.activeThreads; i++) {
    const SearchThread* t = Threads[i];
    if (t && relaxed_load(t->rootScore) > score + q + HELPER_SCORE_GAP &&
        relaxed_load(t->rootDepthDone) >= completed)
      return true;
  }
  return false;
}

bool time_is_up(float elapsed) {
  const SearchLimits& limits = Control.limits;
  bool fixed = limits.limitKind == LIMIT_FIXED;
  float remaining = std::fmax(0.0f, limits.clock[Control.rootSide] - elapsed);
  if (fixed) {
    float share = std::fmax(FIXED_MARGIN_SHARE * Control.targetTime, MIN_FIXED_KEEP);
    float keep = std::fmin(Control.moveOverhead, share);
    if (elapsed >= Control.targetTime - keep) return true;
    return Control.mainDepth.load() > SINGLE_REPLY_DEPTH && Control.singleReply;
  }
  float margin = std::fmin(Control.moveOverhead, MAX_MARGIN);
  int depth = Control.mainDepth.load();
  int score = relaxed_load(Control.score);
  int q = std::abs(score) > LARGE_SCORE ? std::abs(score) >> LARGE_SCORE_SHIFT : STEADY_SCORE_DROP;
  float e = extra_time(remaining, depth, score, q);
  if (e < HELPER_SHARE * remaining && helper_sees_better(score, q)) e = HELPER_SHARE * remaining;
  float limit = Control.targetTime + e;
  if (MARGIN_RESERVES * margin > remaining || elapsed >= limit - margin) return true;
  return depth > SINGLE_REPLY_DEPTH && Control.singleReply;
}

}  // namespace

float search_elapsed() { return static_cast<float>(monotonic_seconds() - Control.startTime); }

float search_time_spent() {
  bool finished = Control.state.load() & STATE_FINISHED;
  if (!finished || Control.finishTime < Control.startTime) return search_elapsed();
  return static_cast<float>(Control.finishTime - Control.startTime);
}

void compute_target_time() {
  SearchLimits& limits = Control.limits;
  int side = Control.rootSide;
  if (limits.limitKind == LIMIT_FIXED) {
    Control.targetTime = limits.timePerMove;
    limits.clock[side] = limits.timePerMove;
    return;
  }
  float clock = limits.clock[side];
  int m = moves_to_go();
  float target = clock / static_cast<float>(m + 1);
  if (Control.ponder && m >= PONDER_MIN_MOVES_TO_GO) target *= PONDER_FACTOR;
  // A rating of 0 is not yet known (the speed calibration fills it in) and
  // stands for full strength, not for the weakest setting.
  if (Options.UCI_Elo != UNKNOWN_ELO && Options.UCI_Elo <= WEAK_ELO) target *= WEAK_FACTOR;
  float inc = limits.increment;
  if (inc > 0) target += inc * clock / (clock + 2 * inc);
  target = std::fmin(target, CLOCK_SHARE * clock - OVERHEAD_RESERVES * Control.moveOverhead);
  Control.targetTime = std::fmax(target, MIN_TARGET);
}

void time_check() {
  float elapsed = search_elapsed();
  Control.elapsed.store(elapsed);
  int state = Control.state.load();
  // The tool searches (benchmark, EPD analysis) keep their fixed limits too;
  // a pondering search never ends by the clock.
  if (state != STATE_SEARCHING && state != STATE_TOOL) return;
  // A search whose whole budget is shorter than the first moments (a nearly
  // empty clock) is decided from its second iteration on; otherwise the
  // moves cost more than a small increment brings back.
  float checkStart = std::fmin(CHECK_START, EARLY_CHECK_SHARE * Control.targetTime);
  if (Control.stop.load() || Control.mainDepth.load() <= 1 || elapsed < checkStart) return;
  // The records are freed only under this lock once the search has ended.
  lock_thread_records();
  if (Threads[0] && !Control.stop.load() && time_is_up(elapsed)) Control.stop.store(1);
  unlock_thread_records();
}
