#include "eval/evaltrace.h"

#include <cstdio>

#include "board/bitboard.h"
#include "board/fen.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "eval/geometry.h"
#include "eval/network.h"

namespace {

constexpr const char* CategoryName[TRACE_CATEGORIES] = {"pawns:",  "knights:", "bishops:",
                                                        "rooks:",  "queens:",  "king:",
                                                        "ppawns:", "threats:", "special:"};
constexpr int PIECE_CATEGORIES = TRACE_QUEENS + 1;
constexpr int TRACE_WITH_PARAMETERS = 2;  // the "sp" level
// A title and up to 64 entries of " h8".
constexpr int SQUARE_ENTRY_SIZE = 3;
constexpr int TITLE_ROOM = 32;
constexpr int SQUARE_LIST_SIZE = TITLE_ROOM + SQUARE_ENTRY_SIZE * SQUARES;

// Material weight of the piece kind a category is named after.
const EvalParam& category_material(TraceCategory category) {
  switch (category) {
    case TRACE_PAWNS: return *W.mtl_pawn;
    case TRACE_KNIGHTS: return *W.mtl_knight;
    case TRACE_BISHOPS: return *W.mtl_bishop;
    case TRACE_ROOKS: return *W.mtl_rook;
    default: return *W.mtl_queen;
  }
}

int32_t material_packed(const Position& pos, int colour) {
  uint32_t acc = 0;
  for (int c = TRACE_PAWNS; c < PIECE_CATEGORIES; c++) {
    const EvalParam& p = category_material(TraceCategory(c));
    acc += uint32_t(p.packed) * uint32_t(piece_count(pos, colour, PAWN + c));
  }
  return int32_t(acc);
}

void print_squares(const char* title, Bitboard squares) {
  if (!squares) return;
  char line[SQUARE_LIST_SIZE];
  int n = std::snprintf(line, sizeof line, "%s", title);
  while (squares && n + SQUARE_ENTRY_SIZE < int(sizeof line)) n += std::snprintf(line + n, sizeof line - n, " %s", SquareName[pop_lsb(squares)]);
  print_line(line);
}

}  // namespace

int trace_category_value(const Position& pos, const EvalInfo& ei, int colour, TraceCategory category) {
  int value = taper(int32_t(ei.traceDelta[colour][category]), ei.phase);
  if (category < PIECE_CATEGORIES) {
    const EvalParam& p = category_material(category);
    uint32_t material = uint32_t(p.packed) * uint32_t(piece_count(pos, colour, PAWN + category));
    value -= taper(int32_t(material), ei.phase);
  }
  return value;
}

int trace_material(const Position& pos, const EvalInfo& ei) {
  int32_t balance = int32_t(uint32_t(material_packed(pos, WHITE)) - uint32_t(material_packed(pos, BLACK)));
  int m = taper(balance, ei.phase);
  return pos.side == WHITE ? m : -m;
}

void eval_trace(const SearchThread* t, const EvalInfo& ei, const TraceSummary& summary) {
  const Position& pos = t->pos;
  print_line("           white  black");
  for (int c = 0; c < TRACE_CATEGORIES; c++)
    print_linef("%-10s  %4d   %4d", CategoryName[c], trace_category_value(pos, ei, WHITE, TraceCategory(c)),
                trace_category_value(pos, ei, BLACK, TraceCategory(c)));
  print_squares("hung pieces on: ", ei.hanging);
  print_squares("free pawns on: ", ei.freePassers);
  print_linef("nne= %d, hce= %d, mtl= %d, phase= %0.2f, sf= %0.2f, rule50= %d", last_network_score(t),
              summary.score, trace_material(pos, ei), double(ei.phase), double(summary.scaleFactor), pos.fifty);
  print_line("");
  if (ei.traceLevel >= TRACE_WITH_PARAMETERS) print_param_list();
}
