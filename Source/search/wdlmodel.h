// Win, draw and loss chances of a search score: a logistic curve in the
// score whose centre and width depend on the material left on the board,
// fitted to the engine's own self-play games (tools/fit_wdl.cpp).
#pragma once

#include "core/position.h"

// The curve's two parameters are polynomials of this degree in the
// material share (material / START_MATERIAL).
constexpr int WDL_DEGREE = 3;
constexpr int WDL_TERMS = WDL_DEGREE + 1;
// Pawn 1, knight and bishop 3, rook 5, queen 9 for both sides together:
// 78 in the starting position.
constexpr int START_MATERIAL = 78;

// Polynomial coefficients, lowest power first, of the score (centipawns)
// at which half the games are won and of the score change that multiplies
// the odds of a win by e.
struct WdlModel {
  double centre[WDL_TERMS];
  double width[WDL_TERMS];
};

// The curve at one material count.
struct WdlCurve {
  double centre, width;
};

// Chances in per mille; the three always sum to 1000.
struct WdlPerMille {
  int win, draw, loss;
};

// The model the engine reports with.
extern const WdlModel FITTED_WDL_MODEL;

// Material of both sides in pawn units, kings not counted.
int wdl_material(const Position& pos);
// The material share the polynomials take: material / START_MATERIAL,
// kept within the range the fit saw.
double wdl_material_share(int material);
WdlCurve wdl_curve(const WdlModel& model, int material);
// Chance that the side with `score` wins: logistic((score - centre) / width).
// The loss chance is the win chance of -score; the draw takes the rest.
double wdl_win_chance(const WdlCurve& curve, double score);
// The three chances of the side to move for a score shown in centipawns;
// mate and tablebase-win scores are certain.
WdlPerMille wdl_per_mille(int score, int material);
