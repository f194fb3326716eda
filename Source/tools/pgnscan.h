#include "board/fen.h"
// PGN scans (-scan_pgn1 .. -scan_pgn4): games whose moves carry engine
// scores in comments, as match managers write them, turned into annotated
// games or EPD position lists for tuning the evaluation.
#pragma once

#include <cstdint>

// Scores a move record can hold besides centipawns.
constexpr int16_t SCAN_NO_SCORE = -30000;       // the move had no comment
constexpr int16_t SCAN_UNREADABLE = -29999;     // its comment held no score
constexpr int16_t SCAN_MATE_SCORE = 9000;       // "+M5" and "-M5" comments
constexpr int SCAN_MOVE_TEXT_SIZE = 8;          // SAN needs at most 7 characters
constexpr int SCAN_MAX_MOVES = 791;             // moves kept per game
constexpr int SCAN_NAME_SIZE = 64;

// What a comment said, for readers that take only some kinds.
enum CommentKind : uint8_t {
  COMMENT_NONE,   // no score in it
  COMMENT_BOOK,   // a book move: 0
  COMMENT_EVAL,   // "eval N": centipawns in White's view
  COMMENT_SCORE,  // "SCORE/DEPTH ...": pawns in the mover's view
  COMMENT_MATE,   // "+M5/DEPTH" or "-M5/DEPTH"
};

struct CommentScore {
  int16_t score;  // centipawns in the mover's view, or SCAN_UNREADABLE
  CommentKind kind;
};

// Reads the score of a move's comment (the text between the braces):
// "book" anywhere gives 0; "eval N" gives N, negated after Black's move;
// otherwise the word before the first "/" is a score in pawns from the
// mover's view (times 100, truncated) or a mate ("-M5" -9000, "+M5" 9000).
CommentScore read_comment_score(const char* comment, bool blackMoved);

struct ScanMove {
  char text[SCAN_MOVE_TEXT_SIZE];  // empty for a word that is no move
  int16_t score;
};

// Game results as the scan codes them.
constexpr int SCAN_WHITE_WINS = 0;
constexpr int SCAN_BLACK_WINS = 1;
constexpr int SCAN_DRAW = 2;  // also any result that is not a win

struct ScanGame {
  char fen[FEN_SIZE];  // empty: the start position
  char white[SCAN_NAME_SIZE], black[SCAN_NAME_SIZE];
  int result;
  bool skipped;  // lost on time, abandoned or unterminated
  int moveCount;
  ScanMove moves[SCAN_MAX_MOVES];
};

// Whether move `ply` of the game is a mistake: the opponent's scores after
// it (1, 3 and 7 plies later) all rose clearly above its score before it,
// in a game that was still open then. Scores are the movers' own.
bool is_scan_mistake(const ScanGame& game, int ply);

// Scans the PGN file of the kind (1 annotated games, 2 positions with
// results, 3 best moves, 4 rook-and-pawn endings) into `outputFile`
// ("tmp.epd" when empty) and "tmpX.epd"; prints the game and position
// counts. Nothing happens when a file cannot be opened.
void scan_pgn(const char* pgnFile, const char* outputFile, int kind);
