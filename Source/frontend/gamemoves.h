// Moves of the game the front end keeps (the global `Game` record):
// setting it up from FEN text, playing and taking back its moves, however
// long it gets.
#pragma once

#include "core/types.h"

struct SearchThread;

// Allocates `Game` and the scratch record; false when memory is short.
bool allocate_game();
void free_game();

// Sets the game from FEN text. A position the engine cannot play safely
// (not exactly one king a side, pawns on the first or last rank, more men
// than a game can have, the side not to move in check) is refused with an
// "info string" line and the game stays as it was.
bool set_game_position(const char* fen);
// Plays a move of the game; a move other than the one taken back last
// ends the history there. A long game drops its undo records from before
// the last capture or pawn move, which no repetition can reach; false (with
// an "info string" line) when even that leaves no room.
bool play_game_move(Move m);
// False when there is no move to take back. The move stays in the
// history, so that it can be replayed.
bool take_back_game_move();
void take_back_all_game_moves();
// The move taken back last, when it is still legal here; MOVE_NONE else.
Move next_game_move();
// Plays that move again; false when there is none.
bool replay_game_move();
// The game move written in coordinate text ("e2e4", "e7e8q", castling as
// "e1g1" or as king takes own rook, "e1h1"), or MOVE_NONE when the pieces
// cannot make it on the board: this protects the board, it does not test
// whether the move leaves the king in check.
Move game_move_from_text(const char* text);
