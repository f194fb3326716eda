// Reading PGN game collections as real tools write them: tags, move text
// with comments, variations, NAGs and move numbers, games starting from a
// "[FEN" tag, any line length and line end. The reader hands every game
// move to a visitor together with the position it was played in.
#pragma once

#include <cstdint>
#include <cstdio>

#include "board/fen.h"
#include "core/position.h"

struct SearchThread;

// Game results as the "[Result" tag gives them.
constexpr int PGN_WHITE_WINS = 0;
constexpr int PGN_BLACK_WINS = 1;
constexpr int PGN_DRAW = 2;
constexpr int PGN_UNKNOWN = 3;

constexpr int PGN_LINE_SIZE = 1024;    // one piece of a line; longer lines are cut at a blank
constexpr int PGN_TOKEN_SIZE = 64;     // longer tokens are cut (no move is that long)
constexpr int PGN_READ_CHUNK = 1 << 16;

// Position in the line the tokenizer has reached.
struct PgnCursor {
  const char* at;
};

// Starts the cursor at `line`.
void start_pgn_tokens(PgnCursor& cursor, const char* line);
// The next token into `token` (blanks skipped; a brace or parenthesis is a
// token of its own; other tokens end at a blank, brace, parenthesis or the
// line end; control characters are left out); false at the end of the line.
bool next_pgn_token(PgnCursor& cursor, char* token, int size);

// Reads a move in the position: standard algebraic notation with or without
// check, mate and annotation marks ("Nf3+", "exd8=Q#", "e8Q", "R1a3", "e4!?"),
// castling with O or 0, and coordinate notation ("g1f3", "e7e8q"). Exactly
// one legal move must match.
bool read_pgn_move(Position& pos, const char* text, Move* out);

// Visitor for each game move: the position before it, the move and the
// game's result code. Returning false ends the reading.
using PgnMoveVisitor = bool (*)(void* context, const Position& before, Move move, int result);

struct PgnReader {
  std::FILE* file;
  SearchThread* board;            // the game being read
  char chunk[PGN_READ_CHUNK];     // bytes read but not yet cut into lines
  int chunkStart, chunkEnd;
  char line[PGN_LINE_SIZE];       // the current piece of a line
  char carry[PGN_LINE_SIZE];      // the rest of a line cut at a blank
  int carryLength;
  bool continued;                 // the piece continues a longer line
  bool nextContinues;
  bool endOfFile;
  int maxPlies;                   // plies entered per game
  uint64_t games;                 // "[Result" lines seen
  uint64_t abandonedGames;        // games left at a move that did not read
  // The game being read.
  int result;
  int plies;
  int commentDepth, variationDepth;
  bool abandoned;
  bool begunInTags;               // its "[Result" came in the current tag section
  bool inTags;                    // the last line read was a tag
  char pendingFen[FEN_SIZE];  // a "[FEN" tag seen before the "[Result" tag
};

// Opens the file and prepares a board for it; false when the file cannot
// be read or memory is short (then nothing needs closing).
bool open_pgn(PgnReader& reader, const char* path, int maxPlies);
void close_pgn(PgnReader& reader);
// The next piece of a line into reader.line; false at the end of the file.
bool read_pgn_line(PgnReader& reader);
// Takes the line: tags start games and set their position, move text is
// played and handed to the visitor. False when the visitor ended the reading.
bool take_pgn_line(PgnReader& reader, PgnMoveVisitor visitor, void* context);
