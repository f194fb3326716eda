#include "board/picker.h"

#include "board/bitboard.h"
#include "board/movegen.h"
#include "board/see.h"

const int16_t CaptureOrderValue[16] = {210, 220, 230, 230, 240, 250, 0, 0,
                                       210, 220, 230, 230, 240, 250, 0, 0};

namespace {

enum Stage {
  STAGE_START = 0,
  STAGE_GENERATE_CAPTURES = 1,
  STAGE_CAPTURES = 2,
  STAGE_QUIET_CHECKS = 3,
  STAGE_GOOD_CAPTURES = 4,
  STAGE_SORTED_REST = 6,
  STAGE_IN_ORDER = 7,
};
constexpr int STAGE_MASK = 15;

constexpr int16_t HASH_MOVE_SCORE = 255;
constexpr int16_t QUIET_CHECK_SCORE = 100;
// Captures scoring above this are winning or equal; the rest wait until
// after the quiet moves have been generated.
constexpr int GOOD_CAPTURE_THRESHOLD = 150;
// Once the best remaining score is this low the rest carries no ordering
// information and is handed out as generated.
constexpr int UNORDERED_SCORE = 2;
// Exchange results (centipawns) that mark losing and doubtful captures.
constexpr int LOSING_SEE = -49;
constexpr int DOUBTFUL_SEE = 50;
constexpr int DOUBTFUL_PENALTY = 6;
constexpr int LOSING_CAPTURE_BASE = 4;

// Quiet-move bonuses over history / 256.
constexpr int BONUS_KILLER1 = 60, BONUS_KILLER2 = 55;
constexpr int BONUS_COUNTER1 = 50, BONUS_COUNTER2 = 45, BONUS_FOLLOW_UP = 40;
constexpr int BONUS_ADVANCED_PAWN = 30;
constexpr int BONUS_CHECK_KILLER = 60, BONUS_CHECK_COUNTER1 = 55, BONUS_CHECK_COUNTER2 = 50;
// Seen from the mover, a pawn arriving on this rank or beyond is advanced.
constexpr int ADVANCED_RANK = 5;

void set_stage(PlyRecord& pr, int stage) {
  pr.pickStage = uint16_t((pr.pickStage & ~STAGE_MASK) | stage);
}

MoveEntry* find_end(MoveEntry* e) {
  while (e->move != MOVE_END) e++;
  return e;
}

void score_captures(const Position& pos, MoveEntry* e, bool full) {
  for (; e->move != MOVE_END; e++) {
    int mover = type_of(e->piece);
    int order = CaptureOrderValue[e->captured] - mover;
    if (!full) {
      e->score = int16_t(order);
      continue;
    }
    int exchange = see(pos, pos.side, move_from(e->move), move_to(e->move));
    if (exchange < LOSING_SEE)
      e->score = int16_t(type_of(e->captured) + LOSING_CAPTURE_BASE);
    else
      e->score = int16_t(order - (exchange < DOUBTFUL_SEE ? DOUBTFUL_PENALTY : 0));
  }
}

// The moves that made the two previous plies, as handed out there.
struct PreviousMoves {
  Move c1, c2, f;
};

PreviousMoves previous_moves(const SearchThread* t, int ply) {
  PreviousMoves r{0, 0, 0};
  const MoveEntry* p1 = t->plies[ply - 1].currentMove;
  if (!p1 || !p1->move) return r;
  int to1 = move_to(p1->move);
  r.c1 = t->counterMove1[p1->piece][to1];
  r.c2 = t->counterMove2[p1->piece][to1];
  const MoveEntry* p2 = ply >= 3 ? t->plies[ply - 2].currentMove : nullptr;
  if (p2 && p2->move) r.f = t->followUpMove[p2->piece][move_to(p2->move)];
  return r;
}

int quiet_bonus(const PlyRecord& pr, const PreviousMoves& prev, const MoveEntry& e, int side) {
  Move m = e.move;
  if (pr.inCheck) {
    if (m == pr.checkKiller) return BONUS_CHECK_KILLER;
    if (m == prev.c1) return BONUS_CHECK_COUNTER1;
    if (m == prev.c2) return BONUS_CHECK_COUNTER2;
    return 0;
  }
  if (m == pr.killer1) return BONUS_KILLER1;
  if (m == pr.killer2) return BONUS_KILLER2;
  if (m == prev.c1) return BONUS_COUNTER1;
  if (m == prev.c2) return BONUS_COUNTER2;
  if (m == prev.f) return BONUS_FOLLOW_UP;
  if (type_of(e.piece) == PAWN && rank_of(move_to(m) ^ flip_for(side)) >= ADVANCED_RANK)
    return BONUS_ADVANCED_PAWN;
  return 0;
}

void score_quiets(const SearchThread* t, MoveEntry* e) {
  int ply = t->ply;
  if (ply < 2) return;
  const PlyRecord& pr = t->plies[ply];
  PreviousMoves prev = previous_moves(t, ply);
  for (; e->move != MOVE_END; e++) {
    int h = t->history[e->piece][move_to(e->move)] / 256;
    e->score = int16_t(h + quiet_bonus(pr, prev, *e, t->pos.side));
  }
}

// Quiet moves onto empty squares from which the piece attacks the enemy
// king directly (no discovered checks, king moves or castling).
MoveEntry* generate_quiet_checks(const Position& pos, MoveEntry* list) {
  int side = pos.side, k = pos.kingSq[side ^ 1];
  Bitboard occ = occupancy(pos), empty = ~occ;
  int step = pawn_step(side);
  auto add = [&](int from, int to) {
    list->move = make_move_code(from, to);
    list->score = QUIET_CHECK_SCORE;
    list->piece = pos.board[from];
    list->captured = 0;
    list++;
  };
  Bitboard pawnChecks = PawnAttacks[side ^ 1][k] & empty;
  Bitboard pawns = piece_set(pos, side, PAWN) & ~PromotionSource[side];
  for (Bitboard b = pawns; b;) {
    int from = pop_lsb(b);
    if (pawnChecks & bit(from + step)) add(from, from + step);
  }
  for (Bitboard b = pawns & SecondRank[side]; b;) {
    int from = pop_lsb(b);
    if ((empty & bit(from + step)) && (pawnChecks & bit(from + 2 * step)))
      add(from, from + 2 * step);
  }
  auto pieces_to = [&](int type, Bitboard targets) {
    for (Bitboard b = piece_set(pos, side, type); b;) {
      int from = pop_lsb(b);
      Bitboard a = type == KNIGHT   ? KnightAttacks[from]
                   : type == BISHOP ? bishop_attacks(from, occ)
                   : type == ROOK   ? rook_attacks(from, occ)
                                    : bishop_attacks(from, occ) | rook_attacks(from, occ);
      for (a &= targets; a;) add(from, pop_lsb(a));
    }
  };
  pieces_to(KNIGHT, KnightAttacks[k] & empty);
  Bitboard diagonal = bishop_attacks(k, occ) & empty, straight = rook_attacks(k, occ) & empty;
  bool hasQueen = piece_count(pos, side, QUEEN) > 0;
  if (hasQueen || piece_count(pos, side, BISHOP)) pieces_to(BISHOP, diagonal);
  if (hasQueen || piece_count(pos, side, ROOK)) pieces_to(ROOK, straight);
  pieces_to(QUEEN, diagonal | straight);
  return list;
}

MoveEntry* start_captures(Position& pos, SearchThread* t, PlyRecord& pr) {
  bool full = pr.pickStage & PICK_FULL;
  MoveEntry* start = pr.currentMove;
  MoveEntry* end = generate_captures(pos, pos.side, start, pr.checker);
  end = generate_promotions(pos, pos.side, full, end);
  end = generate_seventh_pushes(pos, pos.side, end);
  close_list(t, t->ply, end);
  score_captures(pos, start, full);
  set_stage(pr, full ? STAGE_GOOD_CAPTURES : STAGE_CAPTURES);
  return start;
}

// Losing captures stay where they are; the quiet moves go after them.
void append_quiets(Position& pos, SearchThread* t, PlyRecord& pr) {
  MoveEntry* end = find_end(pr.currentMove);
  MoveEntry* quiets = end;
  end = generate_quiets(pos, pos.side, end, pr.checker);
  close_list(t, t->ply, end);
  score_quiets(t, quiets);
  set_stage(pr, STAGE_SORTED_REST);
}

// Hands out the entry at currentMove according to the stage; the list is
// generated already. An exhausted ply keeps returning nothing.
MoveEntry* serve(Position& pos, SearchThread* t, PlyRecord& pr) {
  MoveEntry* e = pr.currentMove;
  switch (pr.pickStage & STAGE_MASK) {
    case STAGE_CAPTURES:
      if (e->move != MOVE_END) {
        pick_best(e);
        return e;
      }
      set_stage(pr, STAGE_QUIET_CHECKS);
      [[fallthrough]];
    case STAGE_QUIET_CHECKS:
      if (!(pr.pickStage & PICK_CHECKS)) break;
      close_list(t, t->ply, generate_quiet_checks(pos, e));
      set_stage(pr, STAGE_IN_ORDER);
      [[fallthrough]];
    case STAGE_IN_ORDER:
      if (e->move != MOVE_END) return e;
      break;
    case STAGE_GOOD_CAPTURES:
      pick_best(e);
      if (e->move != MOVE_END && e->score > GOOD_CAPTURE_THRESHOLD) return e;
      append_quiets(pos, t, pr);
      [[fallthrough]];
    case STAGE_SORTED_REST:
      pick_best(e);
      if (e->move == MOVE_END) break;
      if (e->score <= UNORDERED_SCORE) set_stage(pr, STAGE_IN_ORDER);
      return e;
    default:
      break;
  }
  pr.currentMove = e - 1;  // the next call lands on the terminator again
  return nullptr;
}

}  // namespace

void pick_best(MoveEntry* e) {
  if (e->move == MOVE_END) return;
  MoveEntry* best = e;
  for (MoveEntry* p = e + 1; p->move != MOVE_END; p++)
    if (p->score > best->score) best = p;
  if (best != e) {
    MoveEntry tmp = *e;
    *e = *best;
    *best = tmp;
  }
}

MoveEntry* next_move(Position& pos) {
  SearchThread* t = pos.owner;
  PlyRecord& pr = t->plies[t->ply];
  // The start stage sets the cursor itself; stepping a cursor that was
  // never set would be arithmetic on a null pointer.
  if ((pr.pickStage & STAGE_MASK) != STAGE_START) pr.currentMove++;
  switch (pr.pickStage & STAGE_MASK) {
    case STAGE_START:
      pr.currentMove = pr.moveList;
      if ((pr.pickStage & PICK_HASH) && pr.hashMove) {
        MoveEntry* e = pr.currentMove;
        e->move = pr.hashMove;
        e->score = HASH_MOVE_SCORE;
        e->piece = pos.board[move_from(pr.hashMove)];
        e->captured = pos.board[move_to(pr.hashMove)];
        e[1].move = MOVE_END;
        set_stage(pr, STAGE_GENERATE_CAPTURES);
        return e;
      }
      [[fallthrough]];
    case STAGE_GENERATE_CAPTURES:
      start_captures(pos, t, pr);
      return serve(pos, t, pr);
    default:
      return serve(pos, t, pr);
  }
}
