#include "syzygy/tbposition.h"

#include "board/bitboard.h"

namespace {

constexpr int PROMOTION_TYPES[4] = {QUEEN, ROOK, BISHOP, KNIGHT};

Bitboard& type_board(TbPosition& p, int type) {
  switch (type) {
    case PAWN: return p.pawns;
    case KNIGHT: return p.knights;
    case BISHOP: return p.bishops;
    case ROOK: return p.rooks;
    case QUEEN: return p.queens;
    default: return p.kings;
  }
}

Bitboard attackers_of(const TbPosition& p, int sq, Bitboard by, Bitboard occ, bool byWhite) {
  Bitboard diag = p.bishops | p.queens, line = p.rooks | p.queens;
  Bitboard a = (KnightAttacks[sq] & p.knights) | (KingAttacks[sq] & p.kings) |
               (bishop_attacks(sq, occ) & diag) | (rook_attacks(sq, occ) & line) |
               (PawnAttacks[byWhite ? BLACK : WHITE][sq] & p.pawns);
  return a & by;
}

int add(TbMove* out, int n, int from, int to, int promotion, bool ep) {
  out[n] = TbMove{uint8_t(from), uint8_t(to), uint8_t(promotion), ep};
  return n + 1;
}

int add_pawn_moves(TbMove* out, int n, int from, Bitboard targets, bool promoting) {
  while (targets) {
    int to = pop_lsb(targets);
    if (!promoting) n = add(out, n, from, to, 0, false);
    else
      for (int type : PROMOTION_TYPES) n = add(out, n, from, to, type, false);
  }
  return n;
}

// The right counts only with the double-stepped enemy pawn behind an
// empty square; anything else in a damaged input is ignored.
bool en_passant_possible(const TbPosition& p) {
  constexpr int WHITE_EP_RANK = 5, BLACK_EP_RANK = 2;
  if (!p.ep || p.ep >= 64 || (tb_occupied(p) & bit(p.ep))) return false;
  if (rank_of(p.ep) != (p.turn ? WHITE_EP_RANK : BLACK_EP_RANK)) return false;
  return p.pawns & tb_theirs(p) & bit(p.ep ^ 8);
}

int generate_pawns(const TbPosition& p, bool capturesOnly, TbMove* out, int n) {
  int us = p.turn ? WHITE : BLACK;
  Bitboard occ = tb_occupied(p), pawns = p.pawns & tb_mine(p);
  while (pawns) {
    int from = pop_lsb(pawns);
    bool promoting = bit(from) & PromotionSource[us];
    n = add_pawn_moves(out, n, from, PawnAttacks[us][from] & tb_theirs(p), promoting);
    if (capturesOnly) continue;
    if (en_passant_possible(p) && (PawnAttacks[us][from] & bit(p.ep)))
      n = add(out, n, from, p.ep, 0, true);
    int one = from + pawn_step(us);
    if (occ & bit(one)) continue;
    n = add_pawn_moves(out, n, from, bit(one), promoting);
    int two = one + pawn_step(us);
    if ((bit(from) & SecondRank[us]) && !(occ & bit(two))) n = add(out, n, from, two, 0, false);
  }
  return n;
}

Bitboard piece_targets(int type, int sq, Bitboard occ) {
  switch (type) {
    case KNIGHT: return KnightAttacks[sq];
    case BISHOP: return bishop_attacks(sq, occ);
    case ROOK: return rook_attacks(sq, occ);
    case QUEEN: return bishop_attacks(sq, occ) | rook_attacks(sq, occ);
    default: return KingAttacks[sq];
  }
}

}  // namespace

TbPosition tb_position_from(const Position& pos) {
  TbPosition p{};
  p.white = colour_set(pos, WHITE);
  p.black = colour_set(pos, BLACK);
  for (int type = PAWN; type <= KING; type++)
    type_board(p, type) = piece_set(pos, WHITE, type) | piece_set(pos, BLACK, type);
  p.rule50 = pos.fifty;
  p.ep = pos.epSquare == NO_SQUARE ? 0 : pos.epSquare;
  p.turn = pos.side == WHITE;
  return p;
}

Bitboard tb_type_set(const TbPosition& p, int type) {
  return type_board(const_cast<TbPosition&>(p), type);
}

int tb_type_at(const TbPosition& p, int sq) {
  for (int type = PAWN; type <= KING; type++)
    if (tb_type_set(p, type) & bit(sq)) return type;
  return NO_PIECE_TYPE;
}

bool tb_king_attacked(const TbPosition& p, bool ofMover) {
  bool kingWhite = ofMover ? p.turn : !p.turn;
  Bitboard king = p.kings & (kingWhite ? p.white : p.black);
  if (!king) return false;
  Bitboard enemy = kingWhite ? p.black : p.white;
  return attackers_of(p, lsb(king), enemy, tb_occupied(p), !kingWhite) != 0;
}

int tb_generate(const TbPosition& p, bool capturesOnly, TbMove* out) {
  int n = generate_pawns(p, capturesOnly, out, 0);
  Bitboard occ = tb_occupied(p), mine = tb_mine(p);
  Bitboard allowed = capturesOnly ? tb_theirs(p) : ~mine;
  Bitboard pieces = mine & ~p.pawns;
  while (pieces) {
    int from = pop_lsb(pieces);
    Bitboard targets = piece_targets(tb_type_at(p, from), from, occ) & allowed;
    while (targets) n = add(out, n, from, pop_lsb(targets), 0, false);
  }
  return n;
}

bool tb_is_capture(const TbPosition& p, const TbMove& m) {
  return m.enPassant || (tb_theirs(p) & bit(m.to));
}

bool tb_is_zeroing(const TbPosition& p, const TbMove& m) {
  return tb_is_capture(p, m) || (p.pawns & bit(m.from));
}

bool tb_play(const TbPosition& p, const TbMove& m, TbPosition& out) {
  out = p;
  Bitboard fromTo = bit(m.from) | bit(m.to);
  int moved = tb_type_at(p, m.from);
  Bitboard captured = m.enPassant ? bit(m.to ^ 8) : (tb_theirs(p) & bit(m.to));
  // Clearing the captured square from every kind set removes the victim
  // whatever it was.
  for (int type = PAWN; type <= KING; type++) type_board(out, type) &= ~captured;
  (p.turn ? out.black : out.white) &= ~captured;
  (p.turn ? out.white : out.black) ^= fromTo;
  type_board(out, moved) &= ~bit(m.from);
  type_board(out, m.promotion ? m.promotion : moved) |= bit(m.to);
  out.ep = 0;
  if (moved == PAWN && (m.from ^ m.to) == 16) {
    int over = (m.from + m.to) / 2;
    int us = p.turn ? WHITE : BLACK;
    // Only a square an enemy pawn could really capture on counts.
    if (PawnAttacks[us][over] & p.pawns & tb_theirs(p)) out.ep = uint8_t(over);
  }
  out.rule50 = tb_is_zeroing(p, m) ? 0 : uint8_t(p.rule50 + 1);
  out.turn = !p.turn;
  return !tb_king_attacked(out, false);
}

void tb_count_legal(const TbPosition& p, int& enPassant, int& others) {
  TbMove moves[TB_MAX_MOVES];
  enPassant = others = 0;
  int n = tb_generate(p, false, moves);
  for (int i = 0; i < n; i++) {
    TbPosition next;
    if (!tb_play(p, moves[i], next)) continue;
    (moves[i].enPassant ? enPassant : others)++;
  }
}

bool tb_is_mate(const TbPosition& p) {
  if (!tb_king_attacked(p, true)) return false;
  int ep, others;
  tb_count_legal(p, ep, others);
  return ep + others == 0;
}
