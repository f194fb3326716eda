// The EPD test-suite runner (-anepd): every position of a file searched
// with the command line's limits, the answers scored against the file's
// "bm", "am" and "c0" operations, an output EPD file and a summary.
#pragma once

#include <cstdio>

#include "board/fen.h"
#include "core/position.h"

// What one answer earns.
struct EpdAnswerScore {
  int correct;   // matching "bm" moves, or 1 for avoiding the "am" move
  int points;    // "c0" points of the answer
  int possible;  // the largest "c0" points of the position
};

// Scores the best move found in `pos` against the operands; unparsable
// moves count nothing.
EpdAnswerScore score_epd_answer(Position& pos, const EpdFields& ops, Move best);
// Runs the analysis; the output goes to "analysis.epd" when `outputFile`
// is empty. Nothing is written when either file cannot be opened.
void run_epd_analysis(const char* inputFile, const char* outputFile);

// Searches the game position with the limits set (the table cleared
// first) while the main thread keeps the clock and reads "stop" and
// "quit"; the results are in Control.
void search_game_position();
// Room a line buffer keeps beyond the text: the line end and the terminator.
constexpr int LINE_END_ROOM = 2;
// The next line that fits into `line` (`size` bytes), without its line
// end; false at the end of the file. Longer lines are skipped with an info
// string saying so.
bool read_epd_line(std::FILE* in, char* line, int size);
