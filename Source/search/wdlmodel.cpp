#include "search/wdlmodel.h"

#include <cmath>

#include "board/bitboard.h"
#include "core/searchthread.h"
#include "search/score.h"

namespace {

constexpr int PIECE_UNITS[KING] = {0, 1, 3, 3, 5, 9};  // by type: none, pawn .. queen
// The least material the fit saw: self-play games end in the tablebases
// before less is left. Barer endings take the curve fitted here.
constexpr int LOWEST_FITTED_MATERIAL = 3;
// Scores at or beyond this are a mate or a tablebase win the search has
// seen: the game is decided, whatever the curve would say.
constexpr int DECIDED_SCORE = TB_WIN - MAX_SEARCH_PLY;
constexpr int PER_MILLE = 1000;
// The narrowest curve allowed; keeps a damaged model from dividing by zero.
constexpr double MIN_WIDTH = 1.0;

double polynomial(const double* coefficients, double x) {
  double sum = 0;
  for (int k = WDL_DEGREE; k >= 0; k--) sum = sum * x + coefficients[k];
  return sum;
}

}  // namespace

// Fitted by tools/fit_wdl.cpp to the 2.8 million quiet positions of Zerv's
// self-play at 5000 nodes a move with the generation-2 network in
// selfplay/gen2-5000n-seed6061-shard0 and -shard1 of the shared data;
// nets/README.md gives the fit and its error.
const WdlModel FITTED_WDL_MODEL = {
    {268.986, -606.318, 647.742, -248.515},
    {73.813, 122.365, -110.667, 47.594},
};

int wdl_material(const Position& pos) {
  int units = 0;
  for (int colour = WHITE; colour <= BLACK; colour++)
    for (int type = PAWN; type < KING; type++)
      units += PIECE_UNITS[type] * popcount(piece_set(pos, colour, type));
  return units;
}

double wdl_material_share(int material) {
  if (material < LOWEST_FITTED_MATERIAL) material = LOWEST_FITTED_MATERIAL;
  if (material > START_MATERIAL) material = START_MATERIAL;
  return double(material) / START_MATERIAL;
}

WdlCurve wdl_curve(const WdlModel& model, int material) {
  double x = wdl_material_share(material);
  double width = polynomial(model.width, x);
  return {polynomial(model.centre, x), width < MIN_WIDTH ? MIN_WIDTH : width};
}

double wdl_win_chance(const WdlCurve& curve, double score) {
  return 1.0 / (1.0 + std::exp(-(score - curve.centre) / curve.width));
}

WdlPerMille wdl_per_mille(int score, int material) {
  if (score >= DECIDED_SCORE) return {PER_MILLE, 0, 0};
  if (score <= -DECIDED_SCORE) return {0, 0, PER_MILLE};
  WdlCurve curve = wdl_curve(FITTED_WDL_MODEL, material);
  int win = int(std::lround(PER_MILLE * wdl_win_chance(curve, score)));
  int loss = int(std::lround(PER_MILLE * wdl_win_chance(curve, -score)));
  // A curve centred below zero would give win + loss above certainty;
  // the draw cannot go negative, so the larger side gives way.
  if (win + loss > PER_MILLE) {
    if (win >= loss) win = PER_MILLE - loss;
    else loss = PER_MILLE - win;
  }
  return {win, PER_MILLE - win - loss, loss};
}
