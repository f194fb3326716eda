#include "frontend/boardeditor.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "board/fen.h"
#include "core/control.h"
#include "core/game.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "core/textparse.h"
#include "frontend/boarddisplay.h"
#include "frontend/gamemoves.h"
#include "frontend/input.h"

namespace {

constexpr int EDIT_LINE_SIZE = 78;  // 77 characters and the terminator
constexpr int SQUARES = 64;
constexpr const char* PIECE_LETTERS = "pnbrqk";
constexpr const char* FEN_LETTERS = " PNBRQK  pnbrqk";  // by piece code

struct CastlingShape {
  char letter;           // FEN letter of the right
  char king, rook;       // pieces that must stand on their squares
  int kingSq, rookSq;
};

constexpr CastlingShape CASTLING_SHAPES[] = {
    {'K', 'K', 'R', 4, 7},   {'Q', 'K', 'R', 4, 0},
    {'k', 'k', 'r', 60, 63}, {'q', 'k', 'r', 60, 56},
};

// The game position as piece letters.
void board_from_game(char board[SQUARES], int& side) {
  const Position& pos = Game->pos;
  for (int sq = 0; sq < SQUARES; sq++) board[sq] = FEN_LETTERS[pos.board[sq]];
  side = pos.side;
}

void board_to_fen(const char board[SQUARES], int side, char* fen) {
  int n = 0;
  for (int rank = 7; rank >= 0; rank--) {
    int empty = 0;
    for (int file = 0; file < 8; file++) {
      char piece = board[rank * 8 + file];
      if (piece == ' ') {
        empty++;
        continue;
      }
      if (empty) fen[n++] = char('0' + empty);
      empty = 0;
      fen[n++] = piece;
    }
    if (empty) fen[n++] = char('0' + empty);
    if (rank) fen[n++] = '/';
  }
  n += std::snprintf(fen + n, FEN_SIZE - n, " %c ", side == WHITE ? 'w' : 'b');
  int rights = 0;
  for (const CastlingShape& c : CASTLING_SHAPES) {
    if (board[c.kingSq] != c.king || board[c.rookSq] != c.rook) continue;
    fen[n++] = c.letter;
    rights++;
  }
  if (!rights) fen[n++] = '-';
  std::snprintf(fen + n, FEN_SIZE - n, " -");
}

void print_help() {
  print_line("");
  print_line(".                    end edit");
  print_line("#                    clear board");
  print_line("w  Pa2 Pb2 Kc2       white, pieces");
  print_line("b  Pa7 Pb7 Kc7       black, pieces");
}

}  // namespace

void apply_edit_line(const char* line, char board[SQUARES], int& side) {
  if (line[0] == '#') std::memset(board, ' ', SQUARES);
  char word[EDIT_LINE_SIZE];
  int colour = -1;
  for (int n = 0; (line = next_word(line, word, sizeof word)) != nullptr; n++) {
    if (n == 0) {
      if (std::strcmp(word, "w") == 0) colour = WHITE;
      else if (std::strcmp(word, "b") == 0) colour = BLACK;
      else return;
      side = colour;
      continue;
    }
    // Letter, file, rank: a square off the board ends the line.
    size_t kept = std::strlen(word);
    int file = word[1] - 'a', rank = kept > 2 ? word[2] - '1' : -1;
    if (kept < 3 || file < 0 || file > 7 || rank < 0 || rank > 7) return;
    int sq = rank * 8 + file;
    board[sq] = ' ';
    const char* known = std::strchr(PIECE_LETTERS, std::tolower(static_cast<unsigned char>(word[0])));
    if (!known || !*known) continue;
    char letter = *known;
    board[sq] = colour == WHITE ? char(std::toupper(letter)) : letter;
  }
}

void edit_board() {
  print_help();
  char board[SQUARES];
  int side = WHITE;
  board_from_game(board, side);
  char line[EDIT_LINE_SIZE];
  while (read_console_line(line, sizeof line)) {
    if (line[0] == '\0') continue;
    if (line[0] == '.') break;
    apply_edit_line(line, board, side);
  }
  char fen[FEN_SIZE];
  board_to_fen(board, side, fen);
  // The same check as every other position: a board without its kings, or
  // with the side not to move in check, is refused and the game kept.
  set_game_position(fen);
  print_board();
}
