// The game position as the console shows it.
#pragma once

// Prints the game position as FEN and as an 8x8 diagram with the side to
// move under it.
void print_board();
