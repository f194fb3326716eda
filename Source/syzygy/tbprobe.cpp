#include "syzygy/tbprobe.h"

#include "board/bitboard.h"
#include "syzygy/tbdecode.h"
#include "syzygy/tbregistry.h"

namespace {

constexpr int CURSED_OFFSET = 100;  // cursed wins and blessed losses lie beyond
constexpr int MAX_DTZ_RECURSION = 2;
constexpr int NO_CANDIDATE = 1 << 20;

// Marks the probe as failed; returns `value` for the caller to hand on.
template <typename T>
T failed(int* success, T value) {
  *success = 0;
  return value;
}

// Where a position lands in a table: class, sub-table side, index.
struct Placement {
  int cls, side;
  bool swap;
  uint64_t index;
};

Bitboard pieces_of_code(const TbPosition& p, int code, bool swap) {
  bool white = (((code >> 3) & 1) ^ int(swap)) == 0;
  return tb_type_set(p, code & 7) & (white ? p.white : p.black);
}

// Writes the squares of each slot's pieces; false when the board does not
// have the table's material.
bool fill_slots(const TbPosition& p, const TbLayout& l, bool swap, int flip, uint8_t* sq,
                int from) {
  for (int i = from; i < l.numPieces;) {
    Bitboard b = pieces_of_code(p, l.pieces[i], swap);
    int code = l.pieces[i];
    while (b) {
      if (i >= l.numPieces || l.pieces[i] != code) return false;
      sq[i++] = uint8_t(pop_lsb(b) ^ flip);
    }
    if (i < l.numPieces && l.pieces[i] == code) return false;
  }
  return true;
}

bool place(const TbTable& t, const TbPosition& p, uint64_t key, Placement& out, uint8_t* sq) {
  if (popcount(tb_occupied(p)) != t.numPieces) return false;
  out.swap = t.symmetric ? !p.turn : key != t.whiteKey;
  out.side = int(!p.turn) ^ int(out.swap);
  int sub = t.sides == 2 ? out.side : 0;
  out.cls = 0;
  if (!t.hasPawns) {
    const TbLayout& l = t.sub[0][sub].layout;
    if (!fill_slots(p, l, out.swap, 0, sq, 0)) return false;
    out.index = tb_index(l, sq);
    return true;
  }
  int flip = out.swap ? 56 : 0;
  Bitboard leaders = pieces_of_code(p, t.sub[0][0].layout.pieces[0], out.swap);
  if (!leaders) return false;
  int best = -1;
  for (Bitboard b = leaders; b;) {
    int s = pop_lsb(b) ^ flip;
    if (best < 0 || tb_lead_rank(s) < tb_lead_rank(best)) best = s;
  }
  out.cls = tb_pawn_class(best);
  const TbLayout& l = t.sub[out.cls][sub].layout;
  int n = 0;
  sq[n++] = uint8_t(best);
  for (Bitboard b = leaders; b;) {
    int s = pop_lsb(b) ^ flip;
    if (s == best) continue;
    if (n >= l.leadPawns) return false;
    sq[n++] = uint8_t(s);
  }
  if (n != l.leadPawns || !fill_slots(p, l, out.swap, flip, sq, n)) return false;
  out.index = tb_index(l, sq);
  return true;
}

TbEntry* entry_for(const TbPosition& p, uint64_t& key) {
  key = tb_position_key(p, false);
  return tb_find(key);
}

// The stored WDL value of the position, captures not resolved.
int table_wdl(const TbPosition& p, int* success) {
  if (popcount(tb_occupied(p)) == 2) return WDL_DRAW;
  uint64_t key;
  TbEntry* e = entry_for(p, key);
  uint8_t sq[TB_MAX_PIECES];
  Placement at;
  int v;
  if (!e || !tb_wdl_ready(e) || !place(e->wdl, p, key, at, sq) ||
      !tb_decode(e->wdl.sub[at.cls][e->wdl.sides == 2 ? at.side : 0].pairs, at.index, false, v) ||
      v > WDL_WIN - WDL_LOSS) {
    *success = 0;
    return WDL_DRAW;
  }
  return v + WDL_LOSS;
}

int capture_search(const TbPosition& p, int alpha, int beta, bool& captureWin, int* success) {
  TbMove moves[TB_MAX_MOVES];
  int n = tb_generate(p, true, moves);
  for (int i = 0; i < n; i++) {
    TbPosition next;
    if (!tb_play(p, moves[i], next)) continue;
    bool childWin;
    int v = -capture_search(next, -beta, -alpha, childWin, success);
    if (!*success) return WDL_DRAW;
    if (v > alpha) {
      if (v >= beta) {
        captureWin = true;
        return v;
      }
      alpha = v;
    }
  }
  int t = table_wdl(p, success);
  if (alpha >= t) {
    captureWin = alpha > 0;
    return alpha;
  }
  captureWin = false;
  return t;
}

int capture_value(const TbPosition& p, int alpha, int beta, int* success) {
  bool unused;
  return capture_search(p, alpha, beta, unused, success);
}

// Best result of the legal en-passant captures; false when there is none.
bool best_en_passant(const TbPosition& p, int& best, int* success) {
  if (!p.ep) return false;
  TbMove moves[TB_MAX_MOVES];
  int n = tb_generate(p, false, moves);
  bool any = false;
  best = WDL_LOSS;
  for (int i = 0; i < n && *success; i++) {
    TbPosition next;
    if (!moves[i].enPassant || !tb_play(p, moves[i], next)) continue;
    int v = -capture_value(next, WDL_LOSS, WDL_WIN, success);
    if (!any || v > best) best = v;
    any = true;
  }
  return any;
}

bool only_en_passant_moves(const TbPosition& p) {
  int ep, others;
  tb_count_legal(p, ep, others);
  return others == 0;
}

// The map of a result: wins, losses, cursed wins, blessed losses.
constexpr int map_of(int wdl) {
  return wdl == WDL_WIN ? 0 : wdl == WDL_LOSS ? 1 : wdl == WDL_CURSED_WIN ? 2 : 3;
}

// Signed plies from a stored value: mapped if the sub-table has maps,
// doubled where it counts whole moves, offset beyond 100 for the results
// the fifty-move rule spoils. 0 (no decided result has it) for a value
// outside its map.
int stored_to_dtz(const TbSubTable& sub, int wdl, int r) {
  uint8_t flags = sub.pairs.flags;
  if (!(flags & TB_FLAG_SINGLE) && (flags & TB_FLAG_MAPPED)) {
    int m = map_of(wdl);
    if (r >= sub.mapLength[m]) return 0;
    const uint8_t* entry = sub.map[m];
    r = flags & TB_FLAG_WIDE_MAPS ? entry[2 * r] | entry[2 * r + 1] << 8 : entry[r];
  }
  bool plies = (wdl == WDL_WIN && (flags & TB_FLAG_WIN_PLIES)) ||
               (wdl == WDL_LOSS && (flags & TB_FLAG_LOSS_PLIES));
  int magnitude = (wdl == WDL_WIN || wdl == WDL_LOSS ? 1 : 1 + CURSED_OFFSET) + (plies ? r : 2 * r);
  return wdl > 0 ? magnitude : -magnitude;
}

// Distance from the DTZ table; false when the table does not store this
// side to move, or (with *success cleared) when it cannot be read.
bool dtz_from_table(const TbPosition& p, int wdl, int& dtz, int* success) {
  uint64_t key;
  TbEntry* e = entry_for(p, key);
  const TbTable* t = e ? tb_dtz_table(e) : nullptr;
  uint8_t sq[TB_MAX_PIECES];
  Placement at;
  if (!t || !place(*t, p, key, at, sq)) return failed(success, false);
  const TbSubTable& sub = t->sub[at.cls][0];
  uint8_t flags = sub.pairs.flags;
  bool stored = t->symmetric || (flags & TB_FLAG_SINGLE) || (flags & TB_FLAG_STORED_SIDE) == at.side;
  if (!stored) return false;
  int r;
  if (!tb_decode(sub.pairs, at.index, true, r)) return failed(success, false);
  dtz = stored_to_dtz(sub, wdl, r);
  return dtz != 0 || failed(success, false);
}

int probe_dtz(const TbPosition& p, int depth, int* success);

// A winning side may zero at once by a pawn push that keeps the result.
bool zeroing_push_keeps(const TbPosition& p, int wdl, int* success) {
  TbMove moves[TB_MAX_MOVES];
  int n = tb_generate(p, false, moves);
  for (int i = 0; i < n && *success; i++) {
    TbPosition next;
    if (!(p.pawns & bit(moves[i].from)) || tb_is_capture(p, moves[i])) continue;
    if (tb_play(p, moves[i], next) && -tb_probe_wdl(next, success) == wdl) return *success;
  }
  return false;
}

// The stored side is the other one: one ply of search over the table.
int one_ply_dtz(const TbPosition& p, int wdl, int depth, int* success) {
  TbMove moves[TB_MAX_MOVES];
  int n = tb_generate(p, false, moves);
  int best = wdl > 0 ? NO_CANDIDATE : -1;
  for (int i = 0; i < n && *success; i++) {
    TbPosition next;
    if (!tb_play(p, moves[i], next)) continue;
    bool zeroing = tb_is_zeroing(p, moves[i]);
    if (wdl > 0) {
      if (zeroing) continue;
      int x = tb_is_mate(next) ? 0 : -probe_dtz(next, depth + 1, success);
      if (x >= 0 && x + 1 < best && (x > 0 || tb_is_mate(next))) best = x + 1;
    } else {
      int c;
      if (zeroing && wdl == WDL_LOSS) c = -1;
      else if (zeroing) c = capture_value(next, 1, WDL_WIN, success) == WDL_WIN ? 0 : -1 - CURSED_OFFSET;
      else c = -probe_dtz(next, depth + 1, success) - 1;
      if (c < best) best = c;
    }
  }
  if (best == NO_CANDIDATE) *success = 0;
  return best;
}

int dtz_no_en_passant(const TbPosition& p, int depth, int* success) {
  bool captureWin;
  int w = capture_search(p, WDL_LOSS, WDL_WIN, captureWin, success);
  if (!*success || w == WDL_DRAW) return 0;
  int zeroNow = w == WDL_WIN ? 1 : 1 + CURSED_OFFSET;
  if (captureWin) return zeroNow;
  if (w > 0 && zeroing_push_keeps(p, w, success)) return zeroNow;
  if (!*success) return 0;
  int dtz;
  if (dtz_from_table(p, w, dtz, success)) return dtz;
  if (!*success || depth >= MAX_DTZ_RECURSION) return failed(success, 0);
  return one_ply_dtz(p, w, depth, success);
}

int en_passant_dtz(int e) {
  constexpr int BY_WDL[5] = {-1, -1 - CURSED_OFFSET, 0, 1 + CURSED_OFFSET, 1};
  return BY_WDL[e - WDL_LOSS];
}

int probe_dtz(const TbPosition& p, int depth, int* success) {
  int d = dtz_no_en_passant(p, depth, success);
  int e;
  if (!*success || !best_en_passant(p, e, success) || !*success) return d;
  int ep = en_passant_dtz(e);
  bool replace = d < -CURSED_OFFSET   ? ep >= 0
                 : d < 0              ? ep >= 0 || ep < -CURSED_OFFSET
                 : d > CURSED_OFFSET  ? ep > 0
                 : d > 0              ? ep == 1
                                      : ep >= 0 || only_en_passant_moves(p);
  return replace ? ep : d;
}

}  // namespace

uint64_t tb_position_key(const TbPosition& p, bool mover) {
  int counts[2][KING] = {};
  for (int type = PAWN; type < KING; type++) {
    counts[WHITE][type] = popcount(tb_type_set(p, type) & p.white);
    counts[BLACK][type] = popcount(tb_type_set(p, type) & p.black);
  }
  if (mover && !p.turn)
    for (int type = PAWN; type < KING; type++) std::swap(counts[WHITE][type], counts[BLACK][type]);
  return tb_material_key(counts);
}

int tb_probe_wdl(const TbPosition& p, int* success) {
  if (popcount(tb_occupied(p)) > TB_MAX_PIECES) return failed(success, WDL_DRAW);
  int v = capture_value(p, WDL_LOSS, WDL_WIN, success);
  int e;
  if (!*success || !best_en_passant(p, e, success) || !*success) return v;
  if (e >= v) return e;
  if (v == WDL_DRAW && only_en_passant_moves(p)) return e;
  return v;
}

int tb_probe_dtz(const TbPosition& p, int* success) {
  if (popcount(tb_occupied(p)) > TB_MAX_PIECES) return failed(success, 0);
  return probe_dtz(p, 0, success);
}
