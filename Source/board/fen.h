// Position set-up from FEN, FEN output, EPD splitting and key computation.
#pragma once

#include <cstddef>

#include "core/position.h"

extern const char* const SquareName[64];
extern const char* const START_FEN;

void clear_position(Position& pos);
void put_piece(Position& pos, int colour, int type, int sq);
void set_castling(Position& pos, const char* text);
void compute_keys(Position& pos);
// Lenient FEN reader: unknown characters are skipped; always returns 0.
// The half-move clock is read into `fifty` (clamped to 0..150; a field that
// is no number counts as 0); the move number is not read.
int set_position(Position& pos, const char* fen);
// Room for any FEN this engine writes (with both counters it stays under
// 100 characters) and the length a FEN field read from EPD, PGN or a
// command is cut to.
constexpr int FEN_SIZE = 128;

// Writes FEN into out (FEN_SIZE bytes); counters adds the half-move
// clock (`fifty`) and the number of moves made since set-up.
void position_to_fen(const Position& pos, char* out, bool counters);

// Operands of the EPD operations the tools read.
struct EpdFields {
  char fen[FEN_SIZE];
  char bm[128], am[128], ce[32], sc[32], gr[32], id[128], c0[512];
};
int parse_epd(const char* line, EpdFields& out);

// Whether the position has exactly one king of each colour; positions
// without that must never reach the move generator or the search.
bool kings_are_valid(const Position& pos);
// Why the engine cannot play from this position, or nullptr when it can:
// not exactly one king a side, pawns on the first or last rank, more men
// than a game can have, the side not to move in check.
const char* unplayable_reason(const Position& pos);
