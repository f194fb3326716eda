// Texel-style tuning of the hand-crafted evaluation's piece-square tables
// over training records (tools/netdata.h): minimise the mean squared error
// between each game's result and sigmoid(k * eval) of its quiet positions.
//
// The tables enter the evaluation linearly: every man adds one table entry
// (pawns up to three: their table, "defended" and "connected"), tapered by
// the game phase and multiplied by the ending's scale factor. So each
// position is evaluated once with the current values, and the error of any
// change to the tables follows from the list of entries the position uses:
//   eval(delta) = eval0 + scale * sum(sign * ((1 - phase) * dmg + phase * deg)).
// That makes every gradient step a pass over small lists instead of a new
// evaluation of millions of positions.
//
// The twelve tables whose values are not given move (all but the pawn
// table of kings on one wing); every other parameter stays. The run itself
// (split, k, Adam, the file written) is tools/tune_run.h; tune_eval tunes
// the rest of the evaluation as well.
//
// Usage: tune_pst [-max N] [-iterations N] [-rounds N] [-lr X] [-l2 X] [-min-count N]
//                 [-lambda X] -out FILE DATA.bin...
#include "tune_run.h"

int main(int argc, char** argv) {
  const TuneTool tool = {
      "tune_pst [-max N] [-iterations N] [-rounds N] [-lr X] [-l2 X] [-min-count N] [-lambda X] "
      "-out FILE DATA.bin...",
      TUNE_TABLES, 1};
  return run_tuning(tool, argc, argv);
}
