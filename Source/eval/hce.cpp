#include "eval/hce.h"

#include "core/searchthread.h"
#include "eval/endgames.h"
#include "eval/evalinfo.h"
#include "eval/evaltrace.h"
#include "eval/geometry.h"
#include "eval/kingsafety.h"
#include "eval/passers.h"
#include "eval/pawns.h"
#include "eval/pieces.h"
#include "eval/scale.h"
#include "eval/threats.h"

namespace {

constexpr int SCORE_LIMIT = 32767;   // the cache keeps 16-bit scores

bool kings_present(const Position& pos) { return pos.kingSq[WHITE] < SQUARES && pos.kingSq[BLACK] < SQUARES; }

int clamp_score(int s) { return s > SCORE_LIMIT ? SCORE_LIMIT : s < -SCORE_LIMIT ? -SCORE_LIMIT : s; }

void set_ply_threats(SearchThread* t, int ply, int white, int black) {
  if (ply < 0 || ply >= MAX_PLY) return;
  t->plies[ply].threat[WHITE] = int16_t(white);
  t->plies[ply].threat[BLACK] = int16_t(black);
}

// Every general term, in order, into the two packed accumulators.
void evaluate_terms(SearchThread* t, EvalInfo& ei, int side, int ply) {
  const Position& pos = t->pos;
  evaluate_pawns(t, ei, ply);
  evaluate_pieces(pos, ei);
  evaluate_kings(pos, ei);
  evaluate_passers(pos, ei);
  evaluate_threats(pos, ei);
  // Having the move is worth a tempo.
  add_term(ei, side, *W.stm_bonus);
  trace_mark(ei, TRACE_SPECIAL);
}

void store(SearchThread* t, EvalCacheEntry& entry, const EvalInfo& ei, int ply, int score) {
  entry.key = t->pos.key;
  entry.threat[WHITE] = uint16_t(ei.threatWord[WHITE]);
  entry.threat[BLACK] = uint16_t(ei.threatWord[BLACK]);
  entry.hceScore = int16_t(score);
  set_ply_threats(t, ply, ei.threatWord[WHITE], ei.threatWord[BLACK]);
}

}  // namespace

int hce_evaluate(SearchThread* t, int side, int ply, int traceLevel) {
  t->evalCalls++;
  const Position& pos = t->pos;
  side &= 1;
  if (!kings_present(pos)) return 0;
  int special;
  if (special_ending_score(pos, &special)) return special;

  EvalCacheEntry& entry = t->evalCache[eval_cache_index(pos.key, side)];
  if (entry.key == pos.key && ply >= FIRST_CACHED_PLY && !traceLevel) {
    t->evalHits++;
    set_ply_threats(t, ply, int16_t(entry.threat[WHITE]), int16_t(entry.threat[BLACK]));
    return entry.hceScore;
  }

  EvalInfo ei;
  setup_eval_info(pos, ei, traceLevel);
  evaluate_terms(t, ei, side, ply);

  int32_t total = int32_t(ei.score[WHITE] - ei.score[BLACK]);
  int s = taper(total, ei.phase);
  float sf = scale_factor(pos, s);
  s = clamp_score(int(float(s) * sf));
  if (side == BLACK) s = -s;
  store(t, entry, ei, ply, s);
  if (traceLevel) eval_trace(t, ei, TraceSummary{s, sf});
  return s;
}
