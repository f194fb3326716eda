// Labelled tuning positions (-mktune1, -mktune2): every position of an EPD
// file searched with the hand-crafted evaluation and written with its
// search score, keeping only positions whose recorded score or search
// agrees with the game's result.
#pragma once

// The chance that a side with this score (centipawns) wins.
double win_probability(int centipawns);
// A recorded score ("ce") that says the opposite of the game result
// ("gr" 1.0, 0.5 or 0.0 for the side to move): such a position is left
// out before it is searched.
bool score_contradicts_result(double result, int score);
// The search score fits the game result (checked after the search).
bool search_fits_result(double result, int score);

// Kind 1 writes the position at the end of the principal variation, kind 2
// the input position (and sets up the tablebases). The output goes to
// "tune_new.epd" when `outputFile` is empty; nothing happens when it names
// the input or a file cannot be opened.
void make_tuning_positions(const char* inputFile, const char* outputFile, int kind);
