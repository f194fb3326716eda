// The coefficients of the tuners' linear model (tools/tune_model.h) for
// one position: by how much the hand-crafted evaluation moves per
// centipawn of each registry entry a run may change.
//
// Piece-square entries are counted from the men on the board: each man
// adds one entry of its table (a pawn up to three), +1 for White and -1
// for Black, in the evaluation's own mirroring. Every other entry is
// measured on the real evaluation: its mg and eg are both raised by a
// step, the position is scored again, and the difference over the step
// and the scale factor is its weight. Every term adds the same multiple
// of its parameter's mg and eg (a count, or a mobility, shield or
// king-danger fraction), so one probe serves both halves. Entries the
// position does not use are not stored.
#pragma once

#include <vector>

#include "tune_model.h"

struct SearchThread;

enum TuneScope {
  TUNE_TABLES,            // the piece-square tables only
  TUNE_WHOLE_EVALUATION,  // the tables and every other open parameter
};

// Consecutive entries of one parameter name (a rank-indexed array, say),
// probed together first: most positions use none of them.
struct ProbeGroup {
  int first, count;
};

struct TuneTargets {
  std::vector<char> candidate;     // per registry entry: may the run move it
  std::vector<ProbeGroup> groups;  // the candidates outside the tables
};

// What a run of the scope may move. Never: the pawn's material value (the
// unit every score is counted in), the spare entries (the evaluation does
// not read them) and the pawn table of kings on one wing (its values are
// given, not tuned).
TuneTargets tune_targets(TuneScope scope);
bool is_table_entry(int index);

// Scores t->pos at the current values and fills eval0, phase, scale and
// the weight of every candidate entry the position uses (none for the
// endings scored by rule, which no entry moves). A score beyond maxScore
// either way ends the measurement there: false.
bool measure_position(SearchThread* t, const TuneTargets& targets, int maxScore, TunePosition& tp);
// The same position after the values moved: eval0 and scale afresh, and
// the weights of the listed entries outside the tables measured again
// (the tables' weights do not depend on the values). Returns the sum of
// how far those weights moved.
double remeasure_position(SearchThread* t, float& eval0, float& scale, TuneEntry* entries, size_t count);
