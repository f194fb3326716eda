// Move text: coordinate notation and the algebraic forms for parsing.
#pragma once

#include "core/position.h"

// Coordinate text ("e2e4", "e7e8q"; "e7e8=Q" in console mode; castling as
// king takes rook when Chess960 is on). out needs 8 bytes.
void move_to_text(const Position& pos, int side, Move m, char* out);

struct MoveForms {
  char coord[12];   // coordinate form
  char san[12];     // standard algebraic
  char file[12];    // piece + from-file
  char square[12];  // piece + from-square
  char rank[12];    // piece + from-rank (as real PGN disambiguates)
};
void move_text_forms(Position& pos, Move m, MoveForms& out);
// Standard algebraic text with check and mate marks, for printing (e.g. in
// game files): SAN of the forms, "#" for mate.
void move_to_san(Position& pos, Move m, char* out);
// Reads a move of the position in any of the forms; 1 and the move when
// exactly one legal move matches, else 0 ("ambiguous move" for two).
int parse_move_in(Position& pos, const char* text, Move* out);
// The same on the game position.
int parse_move(const char* text, Move* out);
