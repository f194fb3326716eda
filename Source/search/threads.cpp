#include "search/threads.h"

#include <cstdint>
#include <cstring>

#include "core/control.h"
#include "core/game.h"
#include "core/searchthread.h"
#include "platform/platform.h"
#include "search/threadrecord.h"

SearchThread* Threads[MAX_THREADS];

namespace {

constexpr int SHARED_MAIN_RECORD_LIMIT = 9;  // from this many threads record 0 is freed too
constexpr int SEED_PER_THREAD = 123;

// Held while records are freed, and by readers of other threads' records
// outside the search (the main thread's time check).
SpinLock RecordLock;

void reset_counters(SearchThread* t) {
  t->nodes = 0;
  t->ttProbes = t->ttHits = t->tbHits = 0;
  t->evalCalls = t->evalHits = 0;
  t->pawnProbes = t->pawnHits = 0;
  t->selDepth = 0;
}

}  // namespace

void lock_thread_records() { spin_lock(RecordLock); }
void unlock_thread_records() { spin_unlock(RecordLock); }

int thread_setup(int index) {
  if (!Threads[index]) Threads[index] = new_search_thread();
  SearchThread* t = Threads[index];
  if (!t) return -1;
  t->index = index;
  t->rootSeed = uint32_t(index * SEED_PER_THREAD);
  t->pos = Game->pos;
  t->pos.owner = t;
  std::memcpy(t->undo, Game->undo, Game->undoIndex * sizeof(UndoRecord));
  t->undoIndex = Game->undoIndex;
  t->lastMove = Game->lastMove;
  t->undo[t->undoIndex].move = MOVE_NONE;
  t->nodeLimit = Control.limits.nodeLimit ? Control.limits.nodeLimit : NO_NODE_LIMIT;
  reset_ply_lists(t);
  std::memset(t->rootLine, 0, sizeof t->rootLine);
  t->rootScore = 0;
  reset_counters(t);
  t->iterDepth.store(0);
  t->rootDepthDone = 0;
  t->rootFail = 0;
  return 0;
}

void release_helper_records(int threads) {
  lock_thread_records();
  for (int i = 1; i < threads; i++) {
    free_search_thread(Threads[i]);
    Threads[i] = nullptr;
  }
  if (threads >= SHARED_MAIN_RECORD_LIMIT) {
    free_search_thread(Threads[0]);
    Threads[0] = nullptr;
  }
  unlock_thread_records();
}

void free_thread_records() {
  lock_thread_records();
  for (SearchThread*& t : Threads) {
    free_search_thread(t);
    t = nullptr;
  }
  unlock_thread_records();
}
