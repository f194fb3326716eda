// Texel-style tuning of the whole hand-crafted evaluation: the piece-square
// tables and every other parameter left open, over training records
// (tools/netdata.h), minimising the mean squared error between each
// game's result and sigmoid(k * eval) of its quiet positions.
//
// Nearly every term is a count or a fraction (mobility curve, pawn
// shield, king-danger curve, passer king distance) times a parameter's mg
// and eg, tapered by the phase and multiplied by the ending's scale
// factor, so the evaluation is linear in each parameter about the values
// it is measured at. Each position's weight for each entry it uses is
// measured once on the real evaluation (tools/tune_measure.h) and the
// tables' linear model (tools/tune_model.h) then covers every entry. What
// is not linear (the scale factor follows the leading side, scores are
// truncated, fractions of a parameter are cut to whole centipawns) is
// followed by measuring every position again at the rounded values after
// each round (-rounds, tools/tune_run.h).
//
// Left alone, whatever the data says:
// - mtl_pawn: the pawn is the unit of every score; the endings scored by
//   rule (king and pawn, mop-up, bishop and knight) and the exchange
//   values are counted in it, and moving it would only rescale the
//   evaluation, which k already fits;
// - ttune: spare entries the evaluation does not read;
// - PST_P1: the pawn table of kings on one wing, whose values are given;
// - table entries no position can use stay zero: the king table on files
//   a-d (the mirroring puts the own king on e-h), the pawn tables on ranks
//   1 and 8, the defended-pawn table on rank 2.
// Entries used by fewer than -min-count training positions stay too, and
// an L2 penalty (-l2) holds the rest near their starting values.
//
// Usage: tune_eval [-max N] [-iterations N] [-rounds N] [-lr X] [-l2 X] [-min-count N]
//                  [-lambda X] -out FILE DATA.bin...
#include "tune_run.h"

int main(int argc, char** argv) {
  const TuneTool tool = {
      "tune_eval [-max N] [-iterations N] [-rounds N] [-lr X] [-l2 X] [-min-count N] [-lambda X] "
      "-out FILE DATA.bin...",
      TUNE_WHOLE_EVALUATION, 2};
  return run_tuning(tool, argc, argv);
}
