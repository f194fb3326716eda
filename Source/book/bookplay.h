// The opening books in play: which of the two books answers at the
// current game ply, and the console's look at both.
#pragma once

#include "core/types.h"

// The book move for the game position when OwnBook is on: the first book
// within OwnBook_Depth plies, the second within OwnBook2_Depth plies (also
// when the first has nothing). A move that would draw at once by repetition
// or the fifty-move rule is dropped. MOVE_NONE when no book answers.
Move book_game_move();
// The console "book" command: both books' listings for the game position.
void list_game_books();
