// Independent oracles and helpers shared by the board tests: naive slider
// walks, a full consistency check of a Position's redundant fields, move
// lookup by coordinate text and reference position lists.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board/movegen.h"
#include "board_fixture.h"

// A slider's attacks found by walking each direction to the edge or to
// (and including) the first occupied square.
inline Bitboard naive_attacks(int type, int sq, Bitboard occ) {
  static const int steps[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
  Bitboard a = 0;
  for (int d = type == BISHOP ? 4 : 0; d < (type == ROOK ? 4 : 8); d++)
    for (int f = file_of(sq) + steps[d][0], r = rank_of(sq) + steps[d][1]; f >= 0 && f < 8 && r >= 0 && r < 8;
         f += steps[d][0], r += steps[d][1]) {
      a |= bit(make_square(f, r));
      if (occ & bit(make_square(f, r))) break;
    }
  return a;
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
