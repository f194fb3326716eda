#include "frontend/boarddisplay.h"

#include <cstdio>

#include "board/fen.h"
#include "core/game.h"
#include "core/output.h"
#include "core/searchthread.h"

namespace {

constexpr int BOARD_TEXT_SIZE = 512;
constexpr const char* PIECE_LETTERS = " PNBRQK  onbrqk";  // by piece code

// A piece's letter; an empty square shows its colour, '+' dark, '-' light.
char square_char(const Position& pos, int sq) {
  int piece = pos.board[sq];
  if (piece) return PIECE_LETTERS[piece];
  return (file_of(sq) & 1) == (rank_of(sq) & 1) ? '+' : '-';
}

}  // namespace

void print_board() {
  const Position& pos = Game->pos;
  char text[BOARD_TEXT_SIZE];
  char fen[FEN_SIZE];
  position_to_fen(pos, fen, false);
  int n = std::snprintf(text, sizeof text, "%s\n", fen);
  for (int rank = 7; rank >= 0; rank--) {
    n += std::snprintf(text + n, sizeof text - n, " ");
    for (int file = 0; file < 8; file++)
      n += std::snprintf(text + n, sizeof text - n, " %c", square_char(pos, make_square(file, rank)));
    n += std::snprintf(text + n, sizeof text - n, "\n");
  }
  std::snprintf(text + n, sizeof text - n, "%s\n", pos.side == WHITE ? "white" : "black");
  print_line(text);
}
