// The console's board editor ("edit"): pieces placed and removed by lines
// typed at the terminal.
#pragma once

// Prints the help lines, reads editing lines until "." or the end of
// input, then sets the game to the edited position (castling rights from
// the king and rook squares) and shows it. A position the engine cannot
// play is refused and the game stays as it was.
void edit_board();

// One editing line applied to a board of piece letters (' ' for empty,
// index 0 = a1); `side` becomes the line's colour when it names one.
void apply_edit_line(const char* line, char board[64], int& side);
