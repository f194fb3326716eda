// Rules of the self-play generator: which positions become training
// records, when a game is over by the rules, and when a decided or dead
// game is adjudicated.
#pragma once

#include "core/position.h"
#include "core/types.h"

// Adjudication: a score at or beyond WIN_SCORE for the same side over
// WIN_PLIES consecutive plies decides the game; from DRAW_FROM_PLY on,
// scores within DRAW_SCORE of zero for DRAW_PLIES plies make it a draw.
constexpr int WIN_SCORE = 1000;
constexpr int WIN_PLIES = 8;
constexpr int DRAW_SCORE = 10;
constexpr int DRAW_PLIES = 16;
constexpr int DRAW_FROM_PLY = 80;

// Scores beyond this (mates found, won endings) are not recorded: the
// game is decided there, and the logistic target is flat anyway.
constexpr int MAX_RECORDED_SCORE = 3000;

// Runs of the adjudication, in White's view.
struct Adjudicator {
  int winRun, winSide, drawRun;
};

// Takes the search score (White's view) of the position at `ply`; the
// adjudicated result (RESULT_* of netdata.h) or -1 while the game goes on.
int adjudicate(Adjudicator& a, int whiteScore, int ply);
// A position worth a record: the side to move is not in check and the
// search's move neither captures nor promotes, so the score is a quiet
// one the static evaluation can learn.
bool is_quiet_choice(const Position& pos, Move best);
// Legal moves of the position into out (room for MAX_PLY_MOVES).
int legal_moves(Position& pos, Move* out);
// The tablebases' verdict on a position within them, right after the
// capture or pawn move that brought it there (fifty count 0, so a win is a
// win under the fifty-move rule too); cursed wins and blessed losses are
// draws. -1 when the position is outside the tables or the fifty count has
// run, or no tables are loaded.
int tablebase_result(const Position& pos);
// Result when the side to move is mated or stalemated or the game is drawn
// by repetition or the fifty-move rule; -1 while it goes on.
int rule_result(Position& pos);
