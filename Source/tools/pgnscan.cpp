#include "tools/pgnscan.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "board/bitboard.h"
#include "board/fen.h"
#include "board/legality.h"
#include "board/notation.h"
#include "book/pgn.h"
#include "core/control.h"
#include "core/game.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "frontend/gamemoves.h"

namespace {

constexpr const char* DEFAULT_OUTPUT = "tmp.epd";
constexpr const char* EXTRA_OUTPUT = "tmpX.epd";  // the best replies to the marked mistakes
constexpr int MAX_PLY_MOVE_TEXT = SCAN_MOVE_TEXT_SIZE - 1;
constexpr int COMMENT_SIZE = 256;  // longer comments keep their start; scores come first
constexpr int WORD_SIZE = 32;
constexpr int TEXT_SIZE = 512;     // one output line
constexpr int CENTIPAWNS = 100;
constexpr double ROUNDING_GUARD = 1e-6;  // "0.29" is 28.999... in binary: still 29
constexpr int SCORE_LIMIT = 29000;       // room below the two markers
constexpr int SHORTEST_SCORE_WORD = 3;   // "+1/5" is no score: too short to trust
constexpr int PROGRESS_GAMES = 100;
constexpr int SHOWN_SCORE_FLOOR = -9999;  // below: no score to show

// Mistake marking: a move from the 13th ply on, with at least 10 plies
// after it, whose mover's opponent then judges the game clearly better
// for itself than before the move.
constexpr int MISTAKE_FIRST_PLY = 12;
constexpr int MISTAKE_PLIES_AFTER = 10;
constexpr int MISTAKE_LOW = -1000;   // before the move the game was still open
constexpr int MISTAKE_HIGH = 250;
constexpr int MISTAKE_FLOOR = -999;  // and the opponent was not lost 7 plies later
constexpr int MISTAKE_SCALE = 10;    // larger scores need larger rises
constexpr int MISTAKE_RISE = 30;
constexpr int MISTAKE_LATE_RISE = 50;

// Kind 2: positions with game results.
constexpr int RESULT_TAIL_PLIES = 4;    // the last plies say little about the result
constexpr int OPENING_PLIES = 20;       // zero scores there are book moves
constexpr int RESULT_MAX_PLY = 280;
constexpr int RESULT_MAX_FIFTY = 26;    // long quiet stretches drift towards draws
constexpr int RESULT_SCORE_BOUND = 20000;
// Kind 3: best moves until the game is decided.
constexpr int BEST_MAX_PLY = 201;
constexpr int DECIDED_SCORE = 501;

struct Scanner {
  PgnReader reader;
  std::FILE* out;
  std::FILE* extra;
  int kind;
  ScanGame game;
  bool blackStarts;
  int firstMoveNumber;
  bool inComment;
  int variationDepth;
  char comment[COMMENT_SIZE];
  int commentLength;
  int games, positions;
};

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

int16_t clamp_score(double centipawns) {
  if (!(centipawns > -SCORE_LIMIT)) return -SCORE_LIMIT;
  if (centipawns > SCORE_LIMIT) return SCORE_LIMIT;
  return static_cast<int16_t>(centipawns);
}

// "eval 40, ..." holds centipawns in White's view.
CommentScore eval_score(const char* text, bool blackMoved) {
  while (is_blank(*text)) text++;
  char* end;
  long value = std::strtol(text, &end, 10);
  if (end == text) return {SCAN_UNREADABLE, COMMENT_NONE};
  int16_t score = clamp_score(double(value));
  return {static_cast<int16_t>(blackMoved ? -score : score), COMMENT_EVAL};
}

// "+0.25/14 0.5s": the word before the first slash, in the mover's view.
CommentScore slash_score(const char* comment) {
  const char* slash = std::strchr(comment, '/');
  if (!slash) return {SCAN_UNREADABLE, COMMENT_NONE};
  const char* start = slash;
  while (start > comment && !is_blank(start[-1])) start--;
  int length = int(slash - start);
  if (length < SHORTEST_SCORE_WORD || length >= WORD_SIZE) return {SCAN_UNREADABLE, COMMENT_NONE};
  char word[WORD_SIZE];
  std::memcpy(word, start, length);
  word[length] = '\0';
  if (std::strstr(word, "-M")) return {-SCAN_MATE_SCORE, COMMENT_MATE};
  if (std::strstr(word, "+M")) return {SCAN_MATE_SCORE, COMMENT_MATE};
  char* end;
  double pawns = std::strtod(word, &end);
  if (*end != '\0' || !std::isfinite(pawns) || !std::isdigit(static_cast<unsigned char>(end[-1])))
    return {SCAN_UNREADABLE, COMMENT_NONE};
  double guard = pawns < 0 ? -ROUNDING_GUARD : ROUNDING_GUARD;
  return {clamp_score(std::trunc(pawns * CENTIPAWNS + guard)), COMMENT_SCORE};
}

}  // namespace

CommentScore read_comment_score(const char* comment, bool blackMoved) {
  if (std::strstr(comment, "book")) return {0, COMMENT_BOOK};
  if (const char* eval = std::strstr(comment, "eval ")) return eval_score(eval + 5, blackMoved);
  return slash_score(comment);
}

bool is_scan_mistake(const ScanGame& game, int ply) {
  if (ply < MISTAKE_FIRST_PLY || game.moveCount - ply < MISTAKE_PLIES_AFTER) return false;
  const ScanMove* m = game.moves;
  int before = m[ply - 1].score;
  if (before <= MISTAKE_LOW || before >= MISTAKE_HIGH || m[ply + 7].score < MISTAKE_FLOOR)
    return false;
  int margin = std::abs(before) / MISTAKE_SCALE;
  return m[ply + 1].score > before + margin + MISTAKE_RISE &&
         m[ply + 3].score > before + margin + MISTAKE_RISE &&
         m[ply + 7].score > before + margin + MISTAKE_LATE_RISE;
}

namespace {

// The game result as the side to move scores it: 1 won, 0 lost, 0.5 else.
double result_for_side(int result, int side) {
  double white = result == SCAN_WHITE_WINS ? 1.0 : result == SCAN_BLACK_WINS ? 0.0 : 0.5;
  return side == WHITE ? white : 1.0 - white;
}

// Kind 1: one line per move with the mover's score in White's view; a
// mistake is marked with the position and "am", the reply after it with
// "bm" (which also goes to the extra file).
void write_annotated(Scanner& s, int ply, const char* fen) {
  const ScanMove& move = s.game.moves[ply];
  bool black = Game->pos.side == BLACK;
  char number[WORD_SIZE] = "     ";
  if (!black)
    std::snprintf(number, sizeof number, "%3d. ", s.firstMoveNumber + (ply + s.blackStarts) / 2);
  char note[TEXT_SIZE] = "";
  int used = 0;
  if (move.score >= SHOWN_SCORE_FLOOR)
    used = std::snprintf(note, sizeof note, "%6.2f", (black ? -move.score : move.score) / 100.0);
  if (ply > 0 && is_scan_mistake(s.game, ply - 1)) {
    used += std::snprintf(note + used, sizeof note - used, " ! %s bm %s;", fen, move.text);
    std::fprintf(s.extra, "%s bm %s;\n", fen, move.text);
    s.positions++;
  }
  if (used < TEXT_SIZE && is_scan_mistake(s.game, ply))
    std::snprintf(note + used, sizeof note - used, " ? %s am %s;", fen, move.text);
  std::fprintf(s.out, "%s %-6s  {%s}\n", number, move.text, note);
}

// Kind 2: positions whose score and result agree well enough to tune on.
void write_result_position(Scanner& s, int ply) {
  const Position& pos = Game->pos;
  int score = s.game.moves[ply].score;
  if (ply > s.game.moveCount - 1 - RESULT_TAIL_PLIES) return;
  if ((ply < OPENING_PLIES && score == 0) || ply >= RESULT_MAX_PLY) return;
  if (pos.fifty >= RESULT_MAX_FIFTY || score <= -RESULT_SCORE_BOUND ||
      score >= RESULT_SCORE_BOUND || side_to_move_in_check(pos))
    return;
  char fen[FEN_SIZE];
  position_to_fen(pos, fen, false);
  std::fprintf(s.out, "%s ce %d; gr %0.1f;\n", fen, score, result_for_side(s.game.result, pos.side));
  s.positions++;
}

// Each side has a rook and no other piece, and one pawn stands on the board.
bool is_rook_pawn_ending(const Position& pos) {
  for (int colour = WHITE; colour <= BLACK; colour++) {
    if (popcount(piece_set(pos, colour, ROOK)) != 1) return false;
    if (piece_set(pos, colour, KNIGHT) | piece_set(pos, colour, BISHOP) |
        piece_set(pos, colour, QUEEN))
      return false;
  }
  return popcount(piece_set(pos, WHITE, PAWN) | piece_set(pos, BLACK, PAWN)) == 1;
}

// Writes what the kind takes from the position before move `ply`; false
// when the game needs no more positions.
bool write_position(Scanner& s, int ply) {
  const Position& pos = Game->pos;
  const ScanMove& move = s.game.moves[ply];
  if (s.kind == 2) {
    write_result_position(s, ply);
    return true;
  }
  char fen[FEN_SIZE];
  position_to_fen(pos, fen, true);
  if (s.kind == 1) {
    write_annotated(s, ply, fen);
    return true;
  }
  if (s.kind == 3) {
    if (ply >= BEST_MAX_PLY) return false;
    if (!side_to_move_in_check(pos)) {
      std::fprintf(s.out, "%s bm %s; ce %d;\n", fen, move.text, move.score);
      s.positions++;
    }
    return std::abs(move.score) < DECIDED_SCORE;
  }
  if (is_rook_pawn_ending(pos)) {
    double target = s.game.result == SCAN_DRAW ? 0.5 : result_for_side(s.game.result, pos.side);
    std::fprintf(s.out, "%s bm %s; ce %d; tune %0.5f;\n", fen, move.text, move.score, target);
    s.positions++;
  }
  return true;
}

// Replays the stored moves from the game's position, writing as the kind
// asks; the first move that does not read ends the game.
void write_game(Scanner& s) {
  ScanGame& g = s.game;
  if (g.moveCount > 0 && set_game_position(g.fen[0] ? g.fen : START_FEN)) {
    Control.ttInUse = 0;
    Control.noise = QUIET_NOISE;
    for (int ply = 0; ply < g.moveCount; ply++) {
      Move m = MOVE_NONE;
      if (!g.moves[ply].text[0] || !parse_move_in(Game->pos, g.moves[ply].text, &m)) break;
      if (!write_position(s, ply) || !play_game_move(m)) break;
    }
  }
  if (s.kind == 1 && g.moveCount > 0) std::fputc('\n', s.out);
  g.moveCount = 0;
}

// The value between the double quotes of a tag line, bounded.
void tag_value(const char* line, char* out, int size) {
  out[0] = '\0';
  const char* open = std::strchr(line, '"');
  if (!open) return;
  int length = int(std::strcspn(open + 1, "\""));
  if (length >= size) length = size - 1;
  std::memcpy(out, open + 1, length);
  out[length] = '\0';
}

bool tag_is(const char* line, const char* name) {
  return std::strncmp(line + 1, name, std::strlen(name)) == 0;
}

// The side to move and the move number a "[FEN" tag starts from.
void take_start(Scanner& s) {
  const char* fen = s.game.fen;
  const char* side = std::strchr(fen, ' ');
  s.blackStarts = side && side[1] == 'b';
  s.firstMoveNumber = 1;
  int field = 0;
  for (const char* c = fen; *c; c++)
    if (*c == ' ' && ++field == 5) s.firstMoveNumber = std::max(1, std::atoi(c + 1));
}

void take_result(Scanner& s, const char* line) {
  s.game.result = std::strstr(line, "1-0")   ? SCAN_WHITE_WINS
                  : std::strstr(line, "0-1") ? SCAN_BLACK_WINS
                                             : SCAN_DRAW;
  if (s.game.skipped) return;
  if (++s.games % PROGRESS_GAMES == 0) {
    std::printf("game %d\n", s.games);
    std::fflush(stdout);
  }
}

void take_tag(Scanner& s, const char* line) {
  if (s.game.moveCount > 0) write_game(s);
  s.inComment = false;  // an unterminated comment ends with its game
  s.variationDepth = 0;
  if (s.kind == 1) {
    std::fprintf(s.out, "%s\n", line);
    if (std::strstr(line, "Round ")) std::fprintf(s.out, "[Tag \"game_%d\"]\n", s.games + 1);
  }
  ScanGame& g = s.game;
  if (tag_is(line, "Event ")) {
    g.fen[0] = g.white[0] = g.black[0] = '\0';
    g.skipped = false;
    take_start(s);
  } else if (tag_is(line, "White ")) {
    tag_value(line, g.white, sizeof g.white);
  } else if (tag_is(line, "Black ")) {
    tag_value(line, g.black, sizeof g.black);
  } else if (tag_is(line, "Result ")) {
    take_result(s, line);
  } else if (tag_is(line, "FEN ")) {
    tag_value(line, g.fen, sizeof g.fen);
    g.moveCount = 0;
    take_start(s);
  }
  if (std::strstr(line, "unterminated") || std::strstr(line, "time forfeit") ||
      std::strstr(line, "abandoned"))
    g.skipped = true;
}

void end_comment(Scanner& s) {
  s.inComment = false;
  s.comment[s.commentLength] = '\0';
  ScanGame& g = s.game;
  if (g.moveCount == 0) return;
  bool blackMoved = (g.moveCount - 1 + s.blackStarts) % 2 == 1;
  g.moves[g.moveCount - 1].score = read_comment_score(s.comment, blackMoved).score;
}

// Move words hold letters, digits and the marks of SAN; anything else
// (blanks, braces, control and binary bytes) ends them.
bool ends_word(char c) {
  return !c || !(std::isalnum(static_cast<unsigned char>(c)) || std::strchr("+#=-!?:", c));
}

// A move word: stored without its "!" and "?" marks. A word that is still
// longer than any move's text (7 characters, "exd8=Q+") is no move: it is
// stored empty, so that the game ends there instead of playing on with
// the moves out of step.
const char* take_move_word(Scanner& s, const char* at) {
  int length = 0;
  while (!ends_word(at[length])) length++;
  int kept = length;
  while (kept > 0 && (at[kept - 1] == '!' || at[kept - 1] == '?')) kept--;
  ScanMove& m = s.game.moves[s.game.moveCount++];
  m.score = SCAN_NO_SCORE;
  if (kept > MAX_PLY_MOVE_TEXT) kept = 0;
  for (int i = 0; i < kept; i++) m.text[i] = at[i] == '0' ? 'O' : at[i];  // "0-0" castles too
  m.text[kept] = '\0';
  return at + length;
}

bool starts_move(const char* at) {
  return std::isalpha(static_cast<unsigned char>(*at)) || std::strncmp(at, "0-0", 3) == 0;
}

// Move text: moves outside braces and variations, the comment after a
// move giving its score. Line ends inside a comment count as blanks.
void take_moves(Scanner& s, const char* at) {
  while (*at && s.game.moveCount < SCAN_MAX_MOVES) {
    char c = *at;
    if (s.inComment) {
      if (c == '}') end_comment(s);
      else if (s.commentLength < COMMENT_SIZE - 1) s.comment[s.commentLength++] = c;
      at++;
    } else if (is_blank(c)) {
      at++;
    } else if (c == '{') {
      s.inComment = true;
      s.commentLength = 0;
      at++;
    } else if (c == ';') {
      return;  // the rest of the line is a comment
    } else if (c == '(' || c == ')') {
      s.variationDepth += c == '(' ? 1 : s.variationDepth > 0 ? -1 : 0;
      at++;
    } else if (s.variationDepth == 0 && starts_move(at)) {
      at = take_move_word(s, at);
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      while (std::isdigit(static_cast<unsigned char>(*at)) || *at == '.') at++;  // "12." and "12.e4"
    } else {
      at++;  // results, NAGs, stray marks and bytes
      while (!ends_word(*at)) at++;
    }
  }
  if (s.inComment && s.commentLength < COMMENT_SIZE - 1) s.comment[s.commentLength++] = ' ';
}

void take_line(Scanner& s) {
  const char* line = s.reader.line;
  while (is_blank(*line)) line++;
  if (!s.reader.continued && line[0] == '[' && line[1] != '%') {
    take_tag(s, line);
    return;
  }
  if (s.game.skipped) return;
  take_moves(s, line);
}

bool open_outputs(Scanner& s, const char* outputFile) {
  s.out = std::fopen(outputFile, "w");
  s.extra = s.out ? std::fopen(EXTRA_OUTPUT, "w") : nullptr;
  if (s.extra) return true;
  if (s.out) std::fclose(s.out);
  return false;
}

}  // namespace

void scan_pgn(const char* pgnFile, const char* outputFile, int kind) {
  if (!outputFile || !outputFile[0]) outputFile = DEFAULT_OUTPUT;
  Scanner* s = new (std::nothrow) Scanner{};
  if (!s) return;
  if (!open_pgn(s->reader, pgnFile, SCAN_MAX_MOVES)) {
    delete s;
    return;
  }
  if (!open_outputs(*s, outputFile)) {
    close_pgn(s->reader);
    delete s;
    return;
  }
  set_logging(false);
  s->kind = kind;
  s->firstMoveNumber = 1;
  // The PGN reader hands over lines in pieces of at most 1023 characters,
  // a longer line split at a blank (so no word is cut); a piece that
  // continues a line is never taken for a tag.
  while (read_pgn_line(s->reader)) take_line(*s);
  write_game(*s);
  std::fputc('\n', s->out);
  std::fclose(s->out);
  std::fclose(s->extra);
  close_pgn(s->reader);
  std::printf("games= %d, positions= %d\n", s->games, s->positions);
  std::fflush(stdout);
  delete s;
}
