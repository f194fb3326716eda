// The per-thread search record: its own position, undo stack, per-ply
// records, stacked move lists and move-ordering tables. Making and freeing
// it is the search's business (search/threadrecord.h).
#pragma once

#include <atomic>

#include "core/evalcache.h"
#include "core/position.h"

struct NetWorkspace;

constexpr int UNDO_STACK_SIZE = 900;
// The root of every search (and the game record) sits at ply 1: ply 0 is
// an empty record, so that "ply - 1" always names a record.
constexpr int ROOT_PLY = 1;
// The root is always evaluated afresh; the evaluation caches serve the
// plies below it.
constexpr int FIRST_CACHED_PLY = ROOT_PLY + 1;
// The depth ceilings, one built on the other. Per-ply arrays have MAX_PLY
// entries. The deepest iteration is MAX_DEPTH; past MAX_SEARCH_PLY a node
// is evaluated, not searched. The deepest node entered (MAX_SEARCH_PLY + 1)
// prepares the records of the two plies after it, so the arrays need
// MAX_SEARCH_PLY + 3 entries; the rest is spare.
constexpr int MAX_PLY = 70;
constexpr int MAX_DEPTH = MAX_PLY - 4;
constexpr int MAX_SEARCH_PLY = MAX_DEPTH - 1;
static_assert(MAX_SEARCH_PLY + 3 <= MAX_PLY, "the deepest node's next plies must have records");
// Game moves kept on the undo stack; the rest of the stack is reserved for
// the search line (and perft), so a long game can never overflow it.
constexpr int GAME_UNDO_LIMIT = UNDO_STACK_SIZE - MAX_PLY - 10;
// No position has more pseudo-legal moves than 16 pieces with a queen's 27
// targets; every ply of the deepest line gets that much room, so the stacked
// lists can never run past the buffer whatever the position.
constexpr int MAX_PLY_MOVES = 16 * 27 + 8;
constexpr int MOVE_BUFFER_SIZE = (MAX_PLY + 2) * (MAX_PLY_MOVES + 2);

// How the last root pass ended against its window (SearchThread::rootFail).
constexpr int FAILED_LOW = 1;
constexpr int FAILED_HIGH = 2;

// Node types of the search.
constexpr int NODE_PV = 0;
constexpr int NODE_CUT = 1;
constexpr int NODE_ALL = -1;

// A statistic that its own thread counts while the main search thread sums
// it for the progress lines: relaxed atomic loads and stores, so a reader
// never sees a torn value, and no locked instruction on the counting side.
struct Counter {
  std::atomic<uint64_t> value;

  operator uint64_t() const { return value.load(std::memory_order_relaxed); }
  Counter& operator=(uint64_t n) {
    value.store(n, std::memory_order_relaxed);
    return *this;
  }
  Counter& operator=(const Counter& other) { return *this = uint64_t(other); }
  Counter& operator+=(uint64_t n) { return *this = uint64_t(*this) + n; }
  Counter& operator++() { return *this += 1; }
  void operator++(int) { *this += 1; }
};

struct UndoRecord {
  uint64_t key;
  uint64_t pawnKey;
  Move move;          // as played; 0 for a null move
  uint8_t captured;   // type on the to-square, 0 if none (ep, castling)
  uint8_t ep;
  Bitboard touched;
  uint8_t fifty;
  uint8_t castling;
};

struct MoveEntry {
  Move move;
  int16_t score;
  uint8_t piece;     // code of the moving piece
  uint8_t captured;  // code of the piece on the to-square, 0 if empty
};

struct PlyRecord {
  int16_t nodeType;
  int16_t depth;
  int16_t staticEval;
  int16_t alpha;
  int16_t beta;
  uint16_t inCheck;
  int8_t reduction;
  uint8_t iidActive;
  uint16_t moveFlags;
  int16_t threat[2];
  uint16_t moveCount;
  int32_t tbResult;
  Move hashMove;
  Move killer1, killer2;
  Move checkKiller;
  uint8_t checker;
  uint16_t pickStage;
  MoveEntry* moveList;
  MoveEntry* currentMove;
};

struct SearchThread {
  Position pos;
  UndoRecord undo[UNDO_STACK_SIZE];
  uint16_t undoIndex;  // moves made since set-up; index of the next record
  int16_t ply;         // search ply, 1 after set-up
  Move lastMove;       // move that led to the current position, 0 if none
  int index;           // thread number, 0 = main search thread

  PlyRecord plies[MAX_PLY];
  MoveEntry moveBuffer[MOVE_BUFFER_SIZE];

  Counter nodes;
  uint64_t nodeLimit;
  int8_t selDepth;       // highest ply reached
  int8_t rootDepthDone;  // iteration in which the root best move last changed
  Counter tbHits, ttProbes, ttHits;
  Move pv[MAX_PLY];      // principal variation of the root search

  // Root of the search.
  int16_t rootScore;     // score of the last completed root search call
  Move rootLine[MAX_PLY];  // index 1 is the first move
  std::atomic<int8_t> iterDepth;  // depth this thread searches now (read by the others)
  uint8_t rootFail;      // 0 exact, FAILED_LOW or FAILED_HIGH
  uint32_t rootSeed;     // root-order noise accumulator

  // Move-ordering tables.
  int16_t history[16][64];
  Move counterMove1[16][64];
  Move counterMove2[16][64];
  Move followUpMove[16][64];
  int32_t historyBonus[MAX_PLY];
  int32_t historyMalus[MAX_PLY];

  // Evaluation caches and counters; they live as long as the record.
  EvalCacheEntry evalCache[EVAL_CACHE_SIZE];
  Counter evalCalls, evalHits;
  PawnCacheEntry pawnCache[PAWN_CACHE_SIZE];
  Counter pawnProbes, pawnHits;
  NetWorkspace* net;  // network working memory, made on first use
};
