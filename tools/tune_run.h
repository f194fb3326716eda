// A tuning run from the command line to a parameter file, shared by the
// table tuner (tools/tune_pst.cpp) and the whole-evaluation tuner
// (tools/tune_eval.cpp).
//
// Training records (tools/netdata.h) are read and every quiet position
// measured once (tools/tune_measure.h); one position in VALIDATION_SHARE
// (by key) is held out. k is fitted to the starting values and held. Each
// round runs Adam on the linear model (tools/tune_model.h), then writes
// the rounded values into the registry and measures every position again
// there, so the next round starts from the real evaluation of those
// values and follows any term the model does not capture. The last
// measurement gives the evaluated error of the values written. Output: a
// complete parameter file in the "name, mg, eg" form the engine reads
// (every entry in registry order).
//
// Options: -max N (records read), -iterations N (Adam steps a round),
// -rounds N, -lr X, -l2 X (penalty on the change from the starting
// values), -min-count N (entries used by fewer positions stay), -lambda X
// (weight of the record's search score in the target, the rest its game's
// result; 0 by default), -out FILE.
#pragma once

#include "tune_measure.h"

struct TuneTool {
  const char* usage;
  TuneScope scope;
  int rounds;  // default
};

// Runs the tool over argv; returns the process exit status.
int run_tuning(const TuneTool& tool, int argc, char** argv);
