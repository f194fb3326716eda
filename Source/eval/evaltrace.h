// The printed breakdown of a hand-crafted evaluation ("ev" and "sp"):
// each category per colour, hanging pieces and free passers, the summary
// line, and at level 2 the parameter list.
#pragma once

#include "eval/evalinfo.h"

struct SearchThread;

// What the summary line reports beside the categories.
struct TraceSummary {
  int score;  // final score, side to move's view
  float scaleFactor;
};

// Tapered value of one category for one colour, less the material of the
// category's own pieces (for the five piece categories).
int trace_category_value(const Position& pos, const EvalInfo& ei, int colour, TraceCategory category);
// Tapered material balance from the side to move's view.
int trace_material(const Position& pos, const EvalInfo& ei);
void eval_trace(const SearchThread* t, const EvalInfo& ei, const TraceSummary& summary);
