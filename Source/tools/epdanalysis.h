// The EPD test-suite runner (-anepd): every position of a file searched
// with the command line's limits, the answers scored against the file's
// "bm", "am" and "c0" operations, an output EPD file and a summary.
#pragma once

#include "../board/fen.h"
#include "../board/position.h"

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
