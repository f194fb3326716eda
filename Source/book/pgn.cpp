#include "book/pgn.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "board/bitboard.h"
#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "core/searchthread.h"
#include "search/threadrecord.h"

namespace {

constexpr int MOVE_TEXT_SIZE = 24;
constexpr unsigned char FIRST_PRINTABLE = 32;
constexpr const char* STANDARD_START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
constexpr const char* PIECE_LETTERS = "PNBRQK";  // index + 1 is the piece type
constexpr const char* BYTE_ORDER_MARK = "\xEF\xBB\xBF";
constexpr int BYTE_ORDER_MARK_SIZE = 3;

bool is_delimiter(char c) { return c == '{' || c == '}' || c == '(' || c == ')'; }
// Blanks separate tokens; other control characters are left out of them.
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
bool is_control(char c) { return static_cast<unsigned char>(c) < FIRST_PRINTABLE; }

// What a move text says: the moving piece (0 when not named), the target,
// what is known of the origin, the promotion piece and castling.
struct MovePattern {
  int type;
  int fromFile, fromRank, to;
  int promotion;
  int castle;  // 0 none, else FLAG_Q_SHORT or FLAG_N_LONG
};

// Castling written with O, o or 0: "O-O", "0-0-0".
int castling_of(const char* t) {
  char n[8];
  int len = 0;
  for (; *t && len < 7; t++) n[len++] = (*t == 'O' || *t == '0' || *t == 'o') ? 'o' : *t;
  n[len] = 0;
  if (std::strcmp(n, "o-o") == 0) return FLAG_Q_SHORT;
  if (std::strcmp(n, "o-o-o") == 0) return FLAG_N_LONG;
  return 0;
}

int promotion_of(char c) {
  const char* p = std::strchr("NBRQ", std::toupper(static_cast<unsigned char>(c)));
  return c && p ? KNIGHT + int(p - "NBRQ") : 0;
}

bool is_file(char c) { return c >= 'a' && c <= 'h'; }
bool is_rank(char c) { return c >= '1' && c <= '8'; }

// A promotion letter closing the text: upper case after the target rank or
// "=", lower case only right after the rank ("e7e8q", where a lower-case
// letter elsewhere would be a file).
int trailing_promotion(const char* s, size_t n) {
  if (n < 2) return 0;
  char last = s[n - 1], before = s[n - 2];
  bool upper = std::isupper(static_cast<unsigned char>(last));
  if (!is_rank(before) && !(upper && before == '=')) return 0;
  return promotion_of(last);
}

// Splits the move text into a pattern; false when it is no move text.
bool read_pattern(const char* text, MovePattern& p) {
  char t[MOVE_TEXT_SIZE];
  std::snprintf(t, sizeof t, "%s", text);
  t[std::strcspn(t, "+#!?$")] = 0;
  p = {0, -1, -1, -1, 0, castling_of(t)};
  if (p.castle) return true;
  const char* s = t;
  const char* letter = *s ? std::strchr(PIECE_LETTERS, *s) : nullptr;
  if (letter) {
    p.type = int(letter - PIECE_LETTERS) + 1;
    s++;
  }
  size_t n = std::strlen(s);
  p.promotion = trailing_promotion(s, n);
  if (p.promotion) n--;
  // Only squares remain once capture marks and hyphens are left out.
  char sq[MOVE_TEXT_SIZE];
  int k = 0;
  for (size_t i = 0; i < n; i++) {
    if (is_file(s[i]) || is_rank(s[i])) sq[k++] = s[i];
    else if (!std::strchr("x:-=", s[i])) return false;
  }
  if (k < 2 || k > 4 || !is_file(sq[k - 2]) || !is_rank(sq[k - 1])) return false;
  p.to = make_square(sq[k - 2] - 'a', sq[k - 1] - '1');
  // What precedes the target names the origin: a file, a rank or both.
  if (k == 4 && !(is_file(sq[0]) && is_rank(sq[1]))) return false;
  if (k >= 3 && is_file(sq[0])) p.fromFile = sq[0] - 'a';
  if (k == 4) p.fromRank = sq[1] - '1';
  if (k == 3 && is_rank(sq[0])) p.fromRank = sq[0] - '1';
  return true;
}

bool matches(const Position& pos, const MovePattern& p, Move m) {
  int from = move_from(m), type = type_of(pos.board[from]);
  bool castle = type == KING && move_flags(m);
  if (p.castle) return castle && move_flags(m) == p.castle;
  if (move_to(m) != p.to) return false;
  if (p.fromFile >= 0 && file_of(from) != p.fromFile) return false;
  if (p.fromRank >= 0 && rank_of(from) != p.fromRank) return false;
  bool fullOrigin = p.fromFile >= 0 && p.fromRank >= 0;
  // Without a piece letter it is a pawn move, unless the origin square is
  // written out (coordinate notation: any piece, castling as e1g1).
  if (p.type ? type != p.type || castle : !fullOrigin && type != PAWN) return false;
  if (type != PAWN || !move_flags(m)) return p.promotion == 0;
  return promotion_type(m) == (p.promotion ? p.promotion : QUEEN);
}

void set_game_start(PgnReader& r, const char* fen) {
  set_position(r.board->pos, fen);
  reset_ply_lists(r.board);
  r.abandoned = unplayable_reason(r.board->pos) != nullptr;
}

// The value of a tag line ("[FEN "...""]") into `out`.
void tag_value(const char* line, char* out, int size) {
  const char* open = std::strchr(line, '"');
  out[0] = 0;
  if (!open) return;
  const char* close = std::strchr(open + 1, '"');
  int length = close ? int(close - open - 1) : int(std::strlen(open + 1));
  if (length >= size) length = size - 1;
  std::memcpy(out, open + 1, length);
  out[length] = 0;
}

// A tag after move text opens the tag section of the next game: a "[FEN"
// tag may come before or after its "[Result" tag.
void enter_tags(PgnReader& r) {
  if (r.inTags) return;
  r.inTags = true;
  r.begunInTags = false;
  r.pendingFen[0] = 0;
}

void begin_game(PgnReader& r, const char* line) {
  r.games++;
  r.result = std::strstr(line, "1-0")   ? PGN_WHITE_WINS
             : std::strstr(line, "0-1") ? PGN_BLACK_WINS
             : std::strstr(line, "1/2") ? PGN_DRAW
                                        : PGN_UNKNOWN;
  r.plies = r.commentDepth = r.variationDepth = 0;
  r.begunInTags = true;
  set_game_start(r, r.pendingFen[0] ? r.pendingFen : STANDARD_START);
}

void take_tag(PgnReader& r, const char* line) {
  if (std::strncmp(line, "[FEN ", 5) != 0) return;
  char fen[FEN_SIZE];
  tag_value(line, fen, sizeof fen);
  if (!r.begunInTags) std::memcpy(r.pendingFen, fen, sizeof fen);
  else if (r.plies == 0) set_game_start(r, fen);
}

// Where the move in a token begins: its first letter, or castling written
// with zeros; nullptr for move numbers, results and other tokens.
const char* move_text_start(const char* token) {
  if (std::strcmp(token, "0-1") == 0 || std::strcmp(token, "1-0") == 0) return nullptr;
  const char* zeros = std::strstr(token, "0-");
  for (const char* s = token; *s && s != zeros; s++)
    if (std::isalpha(static_cast<unsigned char>(*s))) return s;
  return zeros;
}

// Braces still open and close comments in lines whose moves are not read,
// so the next game's tags are recognised as tags.
void follow_comments(PgnReader& r, const char* s) {
  for (; *s; s++) {
    if (*s == '{') r.commentDepth++;
    else if (*s == '}' && r.commentDepth > 0) r.commentDepth--;
  }
}

bool play_move(PgnReader& r, const char* text, PgnMoveVisitor visitor, void* context) {
  Move m;
  SearchThread* b = r.board;
  if (b->undoIndex >= GAME_UNDO_LIMIT || !read_pgn_move(b->pos, text, &m)) {
    r.abandoned = true;
    r.abandonedGames++;
    return true;
  }
  r.plies++;
  bool goOn = visitor(context, b->pos, m, r.result);
  make_move(b->pos, m);
  b->ply = ROOT_PLY;  // no search runs on this record: its ply lists stay unused
  return goOn;
}

// The move text of a line, token by token.
bool take_moves(PgnReader& r, const char* s, PgnMoveVisitor visitor, void* context) {
  PgnCursor cursor;
  start_pgn_tokens(cursor, s);
  char token[PGN_TOKEN_SIZE];
  while (next_pgn_token(cursor, token, sizeof token)) {
    char c = token[0];
    if (c == '{') r.commentDepth++;
    else if (c == '}') r.commentDepth -= r.commentDepth > 0;
    else if (r.commentDepth > 0) continue;
    else if (c == ';') return true;  // a comment to the end of the line
    else if (c == '(') r.variationDepth++;
    else if (c == ')') r.variationDepth -= r.variationDepth > 0;
    else if (c == '$' || r.variationDepth > 0) continue;
    else if (const char* move = move_text_start(token)) {
      if (r.abandoned || r.plies >= r.maxPlies) {
        follow_comments(r, cursor.at);
        return true;
      }
      if (!play_move(r, move, visitor, context)) return false;
    }
  }
  return true;
}

bool refill(PgnReader& r) {
  r.chunkStart = 0;
  r.chunkEnd = r.endOfFile ? 0 : int(std::fread(r.chunk, 1, sizeof r.chunk, r.file));
  if (r.chunkEnd == 0) r.endOfFile = true;
  return r.chunkEnd > 0;
}

}  // namespace

void start_pgn_tokens(PgnCursor& cursor, const char* line) { cursor.at = line; }

bool next_pgn_token(PgnCursor& cursor, char* token, int size) {
  const char* s = cursor.at;
  while (is_blank(*s) || (*s && is_control(*s))) s++;
  int n = 0;
  if (*s && is_delimiter(*s)) {
    token[n++] = *s++;
  } else {
    for (; *s && !is_blank(*s) && !is_delimiter(*s); s++)
      if (!is_control(*s) && n < size - 1) token[n++] = *s;
  }
  token[n] = 0;
  cursor.at = s;
  return n > 0 || *s;
}

bool read_pgn_move(Position& pos, const char* text, Move* out) {
  MovePattern p;
  *out = MOVE_NONE;
  if (!read_pattern(text, p)) return false;
  MoveEntry list[MAX_PLY_MOVES + 2];
  MoveEntry* end = generate_all_into(pos, list);
  int found = 0;
  for (MoveEntry* e = list; e != end; e++) {
    if (!matches(pos, p, e->move) || !move_is_legal(pos, pos.side, e->move)) continue;
    *out = e->move;
    found++;
  }
  if (found != 1) *out = MOVE_NONE;
  return found == 1;
}

bool open_pgn(PgnReader& r, const char* path, int maxPlies) {
  r.file = std::fopen(path, "rb");
  if (!r.file) return false;
  r.board = new_search_thread();
  if (!r.board) {
    std::fclose(r.file);
    return false;
  }
  r.chunkStart = r.chunkEnd = 0;
  r.line[0] = r.carry[0] = 0;
  r.carryLength = 0;
  r.continued = r.nextContinues = r.endOfFile = false;
  r.maxPlies = maxPlies;
  r.games = r.abandonedGames = 0;
  r.result = PGN_UNKNOWN;
  r.plies = r.commentDepth = r.variationDepth = 0;
  r.abandoned = r.begunInTags = r.inTags = false;
  r.pendingFen[0] = 0;
  return true;
}

void close_pgn(PgnReader& r) {
  std::fclose(r.file);
  free_search_thread(r.board);
  r.file = nullptr;
  r.board = nullptr;
}

bool read_pgn_line(PgnReader& r) {
  int n = r.carryLength;
  std::memcpy(r.line, r.carry, n);
  r.carryLength = 0;
  r.continued = r.nextContinues;
  r.nextContinues = false;
  for (;;) {
    if (r.chunkStart >= r.chunkEnd && !refill(r)) {
      if (n == 0 && !r.continued) return false;
      break;
    }
    char c = r.chunk[r.chunkStart++];
    if (c == '\n') break;
    if (n < PGN_LINE_SIZE - 1) {
      r.line[n++] = c ? c : ' ';
      continue;
    }
    // A line longer than the buffer: this piece ends at its last blank and
    // the rest of the line follows as the next piece, tokens unbroken.
    r.chunkStart--;
    int blank = n - 1;
    while (blank > 0 && r.line[blank] != ' ') blank--;
    if (blank > 0) {
      r.carryLength = n - blank - 1;
      std::memcpy(r.carry, r.line + blank + 1, r.carryLength);
      n = blank;
    }
    r.nextContinues = true;
    break;
  }
  if (n > 0 && r.line[n - 1] == '\r') n--;
  r.line[n] = 0;
  // A byte-order mark opens a file, or any file of a concatenated collection.
  if (!r.continued && std::strncmp(r.line, BYTE_ORDER_MARK, BYTE_ORDER_MARK_SIZE) == 0)
    std::memmove(r.line, r.line + BYTE_ORDER_MARK_SIZE, n - BYTE_ORDER_MARK_SIZE + 1);
  return true;
}

bool take_pgn_line(PgnReader& r, PgnMoveVisitor visitor, void* context) {
  const char* s = r.line;
  while (is_blank(*s)) s++;
  if (!r.continued) {
    if (std::strstr(s, "[Result")) {
      enter_tags(r);
      begin_game(r, s);
      return true;
    }
    if (r.commentDepth == 0 && *s == '[') {
      enter_tags(r);
      take_tag(r, s);
      return true;
    }
    // A ";" line is a comment, a "%" line an escape for other programs.
    if (r.commentDepth == 0 && (*s == ';' || *s == '%')) return true;
  }
  if (*s) r.inTags = false;
  if (r.result == PGN_UNKNOWN || r.abandoned || r.plies >= r.maxPlies) {
    follow_comments(r, s);
    return true;
  }
  return take_moves(r, s, visitor, context);
}
