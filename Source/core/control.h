// The global search control record: limits, state and results shared
// between the main thread (input, clock) and the search threads.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/searchthread.h"
#include "core/types.h"

// SearchState values; FINISHED is or-ed onto 3, 4 or 5 by the search.
constexpr int STATE_IDLE = 0;
constexpr int STATE_GO = 1;
constexpr int STATE_GO_PONDER = 2;
constexpr int STATE_SEARCHING = 3;
constexpr int STATE_PONDERING = 4;
constexpr int STATE_TOOL = 5;
constexpr int STATE_FINISHED = 16;

// Limit kinds: fixed limits per move, clock without moves to go; any other
// value is the number of moves per time control.
constexpr int LIMIT_CLOCK = 0;
constexpr int LIMIT_FIXED = 1;
constexpr int LIMIT_MOVESTOGO_MARK = 40;
// More than any position has legal moves, so a "searchmoves" list of
// distinct legal moves always fits.
constexpr int MAX_SEARCH_MOVES = 256;
// A node limit no search reaches: the limit of a search that has none.
constexpr uint64_t NO_NODE_LIMIT = uint64_t(1) << 62;
// A noise level (Control.noise, in seconds) that no search reaches: no
// progress lines, no listings, only the answer.
constexpr float QUIET_NOISE = 9999.0f;

// Run modes chosen by the command line.
enum RunMode {
  MODE_INTERACTIVE = 1,
  MODE_ANEPD = 2,
  MODE_SCAN_PGN1 = 3,  // .. 6 for scan kinds 1..4
  MODE_BENCH = 8,
  MODE_MKBOOK = 9,
  MODE_CONFIG_ONLY = 10,
  MODE_MKTUNE1 = 11,
  MODE_MKTUNE2 = 12,
  MODE_TUNE = 13,  // .. 16
  MODE_TRAINDATA = 17,
};

struct SearchLimits {
  uint8_t maxDepth;
  uint8_t limitKind;
  float timePerMove;
  float increment;
  float clock[2];
  uint16_t movesToGo;
  uint64_t nodeLimit;
  // No new iteration starts once the main thread has searched this many
  // nodes; the one under way finishes (self-play data). 0 = none.
  uint64_t softNodeLimit;
  uint8_t ponderRequest;
  uint8_t infinite;          // "go infinite": answered only after "stop"
  uint8_t mateMoves;         // stop once a mate in this many moves or fewer is proven; 0 = no such limit
  uint16_t searchMoveCount;  // the root searches only these moves; 0 = every legal move
  Move searchMoves[MAX_SEARCH_MOVES];
};

// Whether the root may play `m`: any move unless the limits list some.
// The search's root, the book and the tablebase root choice all ask.
bool root_move_allowed(const SearchLimits& limits, Move m);

struct SearchControl {
  uint8_t activeThreads;
  uint8_t ttInUse;
  uint32_t hashSize;
  int16_t ttAge;
  Move bookMove;
  // The running search answers only once "stop" has come, even when it
  // ends sooner (an infinite search). Main thread only.
  uint8_t answerAfterStop;
  std::atomic<int> state;
  SearchLimits limits;
  // What every UCI "go" starts from: the command line's depth, node and
  // time limits, and the clocks assumed when a "go" names none.
  SearchLimits baseLimits;
  double startTime;               // monotonic clock at the search start
  // Monotonic clock when the search threads finished, 0 before: an answer
  // held for "stop" must not count its wait as search time. Written before
  // the finished mark, read only after it.
  double finishTime;
  std::atomic<float> elapsed;     // seconds since startTime, kept current by time_check
  float targetTime;
  float moveOverhead;    // seconds, copied from MoveOverhead at the search start
  uint8_t ponder;        // copies of Ponder and MultiPV for the search
  uint8_t multiPV;
  std::atomic<int> mainDepth;     // iteration depth of the main search thread
  int8_t bestChangeDepth;         // depth at which the best move last changed
  int16_t depthScore[MAX_PLY];    // published score per depth
  Move depthBest[MAX_PLY];        // published best move per depth
  uint64_t depthNodes[MAX_PLY];   // nodes of all threads per completed depth
  float lastIterTime;             // time and depth of the last completed iteration
  int8_t lastIterDepth;
  uint8_t singleReply;            // the root has exactly one legal move
  int8_t rootTbResult;            // WDL + 2, or -1 when not probed
  std::atomic<int> stop;
  float calibrationNps, calibratedElo, targetNps;
  int8_t completedDepth;
  int8_t selDepth;                // thread 0's highest ply, copied by collect_stats
  int16_t score;
  Move bestLine[MAX_PLY];
  Move bestMove, ponderMove;
  uint64_t nodes, ttProbes, ttHits, pawnProbes, pawnHits, evalProbes, evalHits, tbHits;
  float hashFill;
  uint8_t rootSide;
  uint8_t quit;
  float noise;          // seconds before progress lines; QUIET_NOISE and above: none
  uint16_t uciMode;
  uint8_t chess960;   // the UCI_Chess960 switch
  uint8_t useNN;      // the Use_NN_eval switch
  uint8_t echo;       // command-echo flag of "debug"
  uint8_t engineMoves;  // console "mv": play the search's move when it ends
  uint8_t selfPlay;     // console self-play: the engine plays both sides
  uint8_t display;      // console "set debug": board displays add the game print
  int traceDepth;     // search trace level, 0 = off
  uint64_t traceTag;  // key of the position whose search path is printed ("tag"), 0 = none
  int runMode;
  bool pbench;        // benchmark searches run on the main thread
};

extern SearchControl Control;

// The stop test polled at every node: a relaxed load is enough, since the
// flag only goes from 0 to 1 while a search runs.
inline bool search_stopped() { return Control.stop.load(std::memory_order_relaxed); }

// Start-up values: fixed limits of 5 seconds per move to depth 66, UCI
// mode, network evaluation, interactive mode, state idle.
void set_control_defaults(SearchControl& control);
