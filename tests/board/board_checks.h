// Independent oracles and helpers shared by the board tests: naive attack
// walks, a full consistency check of a Position's redundant fields, move
// lookup by coordinate text and reference position lists.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/movegen.h"
#include "board_fixture.h"

// Squares reached from sq by repeated (df, dr) steps, stopping at the
// edge or on (and including) the first occupied square; one step only
// when `slide` is false.
inline Bitboard naive_walk(int sq, Bitboard occ, int df, int dr, bool slide) {
  Bitboard out = 0;
  int f = file_of(sq) + df, r = rank_of(sq) + dr;
  while (f >= 0 && f < 8 && r >= 0 && r < 8) {
    out |= bit(make_square(f, r));
    if (!slide || (occ & bit(make_square(f, r)))) break;
    f += df;
    r += dr;
  }
  return out;
}

inline Bitboard naive_attacks(int type, int sq, Bitboard occ, int colour = WHITE) {
  static const int straight[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  static const int diagonal[4][2] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
  static const int jumps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2}, {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
  Bitboard a = 0;
  switch (type) {
    case PAWN: {
      int dr = colour == WHITE ? 1 : -1;
      return naive_walk(sq, 0, -1, dr, false) | naive_walk(sq, 0, 1, dr, false);
    }
    case KNIGHT:
      for (auto& j : jumps) a |= naive_walk(sq, 0, j[0], j[1], false);
      return a;
    case KING:
      for (auto& d : straight) a |= naive_walk(sq, 0, d[0], d[1], false);
      for (auto& d : diagonal) a |= naive_walk(sq, 0, d[0], d[1], false);
      return a;
    default:
      if (type == ROOK || type == QUEEN)
        for (auto& d : straight) a |= naive_walk(sq, occ, d[0], d[1], true);
      if (type == BISHOP || type == QUEEN)
        for (auto& d : diagonal) a |= naive_walk(sq, occ, d[0], d[1], true);
      return a;
  }
}

// board, pieces, kingSq, matCount and matValue describe the same set of
// pieces; returns a description of the first disagreement, "" if none.
inline std::string consistency_error(const Position& pos) {
  Bitboard expect[16] = {};
  uint32_t count[2] = {};
  uint16_t value[2] = {};
  Bitboard kings[2] = {};
  for (int sq = 0; sq < 64; sq++) {
    int p = pos.board[sq];
    if (!p) continue;
    if (type_of(p) < PAWN || type_of(p) > KING) return "bad code on " + std::string(SquareName[sq]);
    int c = colour_of(p), ty = type_of(p);
    expect[p] |= bit(sq);
    expect[c * 8] |= bit(sq);
    count[c] += MatCountInc[ty];
    value[c] += MatValueInc[ty];
    if (ty == KING) kings[c] |= bit(sq);
  }
  for (int i = 0; i < 16; i++)
    if (i != 7 && i != 15 && pos.pieces[i] != expect[i]) return "pieces[" + std::to_string(i) + "]";
  for (int c = 0; c < 2; c++) {
    if (pos.matCount[c] != count[c]) return "matCount";
    if (pos.matValue[c] != value[c]) return "matValue";
    // With two kings of a colour (malformed input) either square will do.
    if (kings[c] ? pos.kingSq[c] >= 64 || !(kings[c] & bit(pos.kingSq[c])) : pos.kingSq[c] != NO_SQUARE)
      return "kingSq";
  }
  return "";
}

// The generated move whose coordinate text is `uci` (from, to and an
// optional promotion letter); a trailing "c" asks for the castling entry,
// whose to-square is the king's destination. MOVE_NONE when absent.
inline Move find_move(Position& pos, const std::string& uci) {
  auto sq = [&](size_t i) { return make_square(uci[i] - 'a', uci[i + 1] - '1'); };
  int from = sq(0), to = sq(2);
  char extra = uci.size() > 4 ? uci[4] : 0;
  for (MoveEntry* e = generate_all(pos); e->move != MOVE_END; e++) {
    Move m = e->move;
    if (move_from(m) != from || move_to(m) != to) continue;
    bool castle = type_of(pos.board[from]) == KING && move_flags(m);
    if (castle != (extra == 'c')) continue;
    if (type_of(pos.board[from]) == PAWN && move_flags(m)) {
      const char* letters = "qnbr";
      int i = promotion_type(m) == QUEEN ? 0 : promotion_type(m) == KNIGHT ? 1 : promotion_type(m) == BISHOP ? 2 : 3;
      if (extra != letters[i]) continue;
    }
    return m;
  }
  return MOVE_NONE;
}

// FEN strings of a perft collection, every `stride`-th one.
inline std::vector<std::string> perft_fens(const char* file, size_t stride = 1) {
  std::vector<std::string> fens;
  auto cases = read_perft_file(data_path(std::string("perft/") + file));
  for (size_t i = 0; i < cases.size(); i += stride) fens.push_back(cases[i].fen);
  return fens;
}

constexpr const char* KIWIPETE = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";
