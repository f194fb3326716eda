#include "gamerules.h"

#include <cstdlib>

#include "board/attacks.h"
#include "board/bitboard.h"
#include "board/draw.h"
#include "board/legality.h"
#include "board/movegen.h"
#include "core/searchthread.h"
#include "netdata.h"
#include "syzygy/tbprobe.h"
#include "syzygy/tbregistry.h"

namespace {

bool in_check(const Position& pos) { return square_attacked(pos, pos.kingSq[pos.side], pos.side ^ 1); }

}  // namespace

int adjudicate(Adjudicator& a, int whiteScore, int ply) {
  int leader = whiteScore >= WIN_SCORE ? WHITE : whiteScore <= -WIN_SCORE ? BLACK : -1;
  a.winRun = leader < 0 ? 0 : leader == a.winSide ? a.winRun + 1 : 1;
  a.winSide = leader;
  if (a.winRun >= WIN_PLIES) return leader == WHITE ? RESULT_WHITE_WINS : RESULT_BLACK_WINS;
  a.drawRun = std::abs(whiteScore) <= DRAW_SCORE ? a.drawRun + 1 : 0;
  if (ply >= DRAW_FROM_PLY && a.drawRun >= DRAW_PLIES) return RESULT_DRAW;
  return -1;
}

bool is_quiet_choice(const Position& pos, Move best) {
  if (in_check(pos)) return false;
  int from = move_from(best), to = move_to(best);
  if (type_of(pos.board[from]) == PAWN && (move_flags(best) || to == pos.epSquare)) return false;
  return !(pos.board[to] && colour_of(pos.board[to]) != pos.side);
}

int legal_moves(Position& pos, Move* out) {
  MoveEntry list[MAX_PLY_MOVES];
  MoveEntry* end = generate_all_into(pos, list);
  int n = 0;
  for (MoveEntry* e = list; e < end; e++)
    if (move_is_legal(pos, pos.side, e->move)) out[n++] = e->move;
  return n;
}

int rule_result(Position& pos) {
  Move moves[MAX_PLY_MOVES];
  if (legal_moves(pos, moves) == 0)
    return in_check(pos) ? (pos.side == WHITE ? RESULT_BLACK_WINS : RESULT_WHITE_WINS) : RESULT_DRAW;
  if (is_draw(pos, 0)) return RESULT_DRAW;
  return -1;
}

int tablebase_result(const Position& pos) {
  if (pos.fifty != 0 || pos.castling || popcount(occupancy(pos)) > tbLargest) return -1;
  int success = 1;
  int wdl = tb_probe_wdl(tb_position_from(pos), &success);
  if (!success) return -1;
  if (wdl == WDL_WIN) return pos.side == WHITE ? RESULT_WHITE_WINS : RESULT_BLACK_WINS;
  if (wdl == WDL_LOSS) return pos.side == WHITE ? RESULT_BLACK_WINS : RESULT_WHITE_WINS;
  return RESULT_DRAW;
}
