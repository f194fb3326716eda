#include "frontend/searchcommand.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "board/draw.h"
#include "board/notation.h"
#include "book/bookplay.h"
#include "core/control.h"
#include "core/game.h"
#include "core/options.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "frontend/boarddisplay.h"
#include "frontend/gamemoves.h"
#include "platform/platform.h"
#include "search/report.h"
#include "search/searchstart.h"
#include "search/tt.h"

namespace {

constexpr int ANSWER_TEXT_SIZE = 8;
constexpr int PONDER_TEXT_SIZE = 16;  // " ponder " and a move
constexpr float NPS_TIME_FLOOR = 0.001f;
constexpr float PER_MILLE = 1000.0f;
constexpr float PERCENT = 100.0f;

void take_book_move(Move move) {
  char text[ANSWER_TEXT_SIZE];
  move_to_text(Game->pos, Game->pos.side, move, text);
  print_linef("%s book move is %s", Control.uciMode ? "info string" : "", text);
  Control.score = 0;
  Control.stop.store(1);
  Control.bookMove = move;
}

void print_uci_answer(Move best, Move ponder) {
  if (best == MOVE_NONE) {
    print_line("bestmove 0000");
    return;
  }
  char bestText[ANSWER_TEXT_SIZE], ponderText[PONDER_TEXT_SIZE] = "";
  int side = Game->pos.side;
  move_to_text(Game->pos, side, best, bestText);
  if (ponder != MOVE_NONE) {
    char text[ANSWER_TEXT_SIZE];
    move_to_text(Game->pos, side ^ 1, ponder, text);
    std::snprintf(ponderText, sizeof ponderText, " ponder %s", text);
  }
  print_linef("bestmove %s%s", bestText, ponderText);
}

float hit_rate(uint64_t hits, uint64_t probes) {
  return float(hits) * PERCENT / float(probes + 1);
}

void print_console_answer(Move best) {
  char text[ANSWER_TEXT_SIZE];
  move_to_text(Game->pos, Game->pos.side, best, text);
  float elapsed = Control.elapsed.load();
  double nodes = double(Control.nodes);
  float fill = tt_hashfull();
  print_linef("move= %s, time= %0.3f, score= %d, nodes= %0.0f, nps= %0.0fK ebf= %0.2f", text,
              elapsed, Control.score, nodes, nodes / (elapsed + NPS_TIME_FLOOR) / PER_MILLE,
              effective_branching_factor());
  print_linef("Hash fill= %.1f%%, Hash hits: main= %0.1f%%, pawn= %0.1f%%, eval= %0.1f%%, TB=%0.0fK",
              fill * PERCENT, hit_rate(Control.ttHits, Control.ttProbes),
              hit_rate(Control.pawnHits, Control.pawnProbes),
              hit_rate(Control.evalHits, Control.evalProbes), double(Control.tbHits) / PER_MILLE);
  print_line("");
}

// A console game goes on: the mover's clock, then the move on the board;
// self-play starts the next search at once.
void continue_console_game(Move best) {
  if (!Control.engineMoves && !Control.selfPlay) return;
  SearchLimits& limits = Control.limits;
  float& clock = limits.clock[Game->pos.side];
  clock += limits.increment - Control.elapsed.load();
  if (clock < 0) clock = 0;
  if (best == MOVE_NONE) {
    Control.engineMoves = Control.selfPlay = 0;
    return;
  }
  if (play_game_move(best)) print_board();
  if (Control.selfPlay) Control.state.store(STATE_GO);
}

}  // namespace

void begin_search(int requested) {
  prepare_search();
  Control.bestMove = Control.ponderMove = Control.bookMove = MOVE_NONE;
  Control.answerAfterStop = Control.limits.infinite;
  if (requested == STATE_GO && Options.OwnBook) {
    Move move = book_game_move();
    // A "searchmoves" list is not overridden by the book.
    if (move != MOVE_NONE && root_move_allowed(Control.limits, move)) take_book_move(move);
  }
  int running = requested == STATE_GO ? STATE_SEARCHING : STATE_PONDERING;
  if (Game->pos.fifty > FIFTY_MOVE_LIMIT || Control.bookMove != MOVE_NONE) {
    Control.state.store(running | STATE_FINISHED);
    return;
  }
  if (start_search(running) != 0) std::exit(EXIT_THREAD_FAILURE);
}

void stop_and_wait() {
  int state = Control.state.load();
  if (state == STATE_IDLE) return;
  // A search that was asked for but not started has nothing to wait for.
  if (state != STATE_GO && state != STATE_GO_PONDER) {
    Control.stop.store(1);
    while (!(Control.state.load() & STATE_FINISHED)) sleep_ms(WAIT_SLEEP_MS);
  }
  Control.stop.store(0);
  Control.state.store(STATE_IDLE);
}

void quit_engine() {
  stop_and_wait();
  Control.quit = 1;
}

// A finished search is answered at once, except a pondering one and an
// infinite one: the GUI may get its move only after "ponderhit" or "stop"
// (both end the pondering) or after "stop", however soon the search itself
// ended (a mate found, a single reply, the depth ceiling, a tablebase or
// book move).
bool answer_due(int state) {
  return (state & STATE_FINISHED) && (state & ~STATE_FINISHED) != STATE_PONDERING &&
         !Control.answerAfterStop;
}

bool answer_held(int state) { return (state & STATE_FINISHED) && !answer_due(state); }

void answer_search() {
  int multipv = Control.multiPV > 1 ? 1 : 0;
  print_pv_line(0, multipv, Control.completedDepth, Control.score, Control.bestLine);
  Move best = Control.bookMove ? Control.bookMove : Control.bestMove;
  Move ponder = Control.bookMove ? MOVE_NONE : Control.ponderMove;
  if (Control.uciMode) print_uci_answer(best, ponder);
  else print_console_answer(best);
  Control.stop.store(0);
  Control.state.store(STATE_IDLE);
  continue_console_game(best);
}
