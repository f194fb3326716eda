// Maximum-likelihood fit of the win/draw/loss model of search/wdlmodel.h
// to game outcomes: positions grouped by score and material, each group
// with how its games ended.
#pragma once

#include <vector>

#include "search/wdlmodel.h"

// Outcomes from the side to move's view, in the order of a record's
// result for the side to move (0, 0.5, 1) doubled.
constexpr int OUTCOME_LOSS = 0;
constexpr int OUTCOME_DRAW = 1;
constexpr int OUTCOME_WIN = 2;
constexpr int OUTCOMES = 3;

// All positions of one score and material count.
struct WdlCell {
  int score;
  int material;
  double games[OUTCOMES];  // how many ended in each outcome
};

// The model's chances of each outcome (indexed as above).
void wdl_chances(const WdlModel& model, int score, int material, double* chance);
// Mean negative log-likelihood of the outcomes, in nats per position.
double wdl_log_loss(const std::vector<WdlCell>& cells, const WdlModel& model);
// The model of greatest likelihood, by damped Newton steps from `start`;
// only the first `terms` coefficients of each polynomial move (1 fits a
// curve that ignores material), the others stay as in `start`.
WdlModel fit_wdl_model(const std::vector<WdlCell>& cells, const WdlModel& start, int terms);
