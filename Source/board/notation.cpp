#include "board/notation.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "board/attacks.h"
#include "board/bitboard.h"
#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "core/control.h"
#include "core/game.h"

namespace {

constexpr const char* SAN_LETTERS = " PNBRQK";

bool is_castling(const Position& pos, Move m) {
  return move_flags(m) && type_of(pos.board[move_from(m)]) == KING;
}

// Text of a flagged move from the move alone: rank 1 or 8 means castling.
bool flagged_from_back_rank(Move m) {
  int r = rank_of(move_from(m));
  return r == 0 || r == 7;
}

char promotion_letter(Move m) {
  return "?QNBR"[promotion_type(m) == QUEEN    ? 1
                 : promotion_type(m) == KNIGHT ? 2
                 : promotion_type(m) == BISHOP ? 3
                                               : 4];
}

void append(char* dst, size_t size, const char* src) {
  size_t n = std::strlen(dst);
  std::snprintf(dst + n, size - n, "%s", src);
}

}  // namespace

void move_to_text(const Position& pos, int side, Move m, char* out) {
  if (m == MOVE_NONE) {
    std::strcpy(out, "null");
    return;
  }
  int from = move_from(m), to = move_to(m);
  if (move_flags(m) && flagged_from_back_rank(m) && Control.chess960) {
    int rook = pos.castleRookSq[side * 2 + ((m & FLAG_Q_SHORT) ? 0 : 1)];
    if (rook < 64) to = rook;
  }
  std::snprintf(out, 8, "%s%s", SquareName[from], SquareName[to]);
  if (move_flags(m) && !flagged_from_back_rank(m)) {
    char letter = promotion_letter(m);
    char suffix[3] = {'=', letter, 0};
    if (Control.uciMode) {
      suffix[0] = char(std::tolower(letter));
      suffix[1] = 0;
    }
    std::strcat(out, suffix);
  }
}

namespace {

// Other pieces of the mover's kind that could legally move to `to` too.
Bitboard rival_pieces(const Position& pos, int from, int to) {
  int piece = pos.board[from], type = type_of(piece);
  Bitboard occ = occupancy(pos) | bit(to);
  Bitboard reach = 0;
  if (type == KNIGHT) reach = KnightAttacks[to];
  if (type == BISHOP || type == QUEEN) reach |= bishop_attacks(to, occ);
  if (type == ROOK || type == QUEEN) reach |= rook_attacks(to, occ);
  Bitboard rivals = reach & pos.pieces[piece] & ~bit(from);
  for (Bitboard b = rivals; b;) {
    int r = pop_lsb(b);
    if (!move_is_legal(pos, pos.side, make_move_code(r, to))) rivals &= ~bit(r);
  }
  return rivals;
}

void castling_forms(const Position& pos, Move m, MoveForms& out) {
  bool isShort = m & FLAG_Q_SHORT;
  int from = move_from(m);
  int kingTo = (from & 56) + (isShort ? 6 : 2);
  int rook = pos.castleRookSq[pos.side * 2 + (isShort ? 0 : 1)];
  std::strcpy(out.san, isShort ? "o-o" : "o-o-o");
  std::strcpy(out.file, isShort ? "O-O" : "O-O-O");
  const char* other = (Control.chess960 || rook >= 64) ? SquareName[kingTo] : SquareName[rook];
  std::snprintf(out.square, sizeof out.square, "%s%s", SquareName[from], other);
}

void piece_forms(const Position& pos, Move m, MoveForms& out) {
  int from = move_from(m), to = move_to(m);
  char letter = SAN_LETTERS[type_of(pos.board[from])];
  const char* x = pos.board[to] ? "x" : "";
  const char* sq = SquareName[from];
  std::snprintf(out.file, sizeof out.file, "%c%c%s%s", letter, sq[0], x, SquareName[to]);
  std::snprintf(out.square, sizeof out.square, "%c%s%s%s", letter, sq, x, SquareName[to]);
  std::snprintf(out.rank, sizeof out.rank, "%c%c%s%s", letter, sq[1], x, SquareName[to]);
  Bitboard rivals = rival_pieces(pos, from, to);
  if (!rivals)
    std::snprintf(out.san, sizeof out.san, "%c%s%s", letter, x, SquareName[to]);
  else if (rivals & (FILE_A << file_of(from)))
    std::strcpy(out.san, out.square);
  else
    std::strcpy(out.san, out.file);
}

void pawn_forms(const Position& pos, Move m, MoveForms& out) {
  int from = move_from(m), to = move_to(m);
  char suffix[3] = {0, 0, 0};
  if (move_flags(m)) {
    suffix[0] = '=';
    suffix[1] = promotion_letter(m);
  }
  out.coord[4] = 0;
  if (pos.board[to] || to == pos.epSquare) {
    std::snprintf(out.san, sizeof out.san, "%cx%s", SquareName[from][0], SquareName[to]);
    std::snprintf(out.file, sizeof out.file, "%c%c", SquareName[from][0], SquareName[to][0]);
  } else {
    std::strcpy(out.san, SquareName[to]);
  }
  append(out.coord, sizeof out.coord, suffix);
  append(out.san, sizeof out.san, suffix);
  if (out.file[0]) append(out.file, sizeof out.file, suffix);
}

}  // namespace

void move_text_forms(Position& pos, Move m, MoveForms& out) {
  std::memset(&out, 0, sizeof out);
  move_to_text(pos, pos.side, m, out.coord);
  int type = type_of(pos.board[move_from(m)]);
  if (is_castling(pos, m))
    castling_forms(pos, m, out);
  else if (type == PAWN)
    pawn_forms(pos, m, out);
  else
    piece_forms(pos, m, out);
  MoveEntry e{m, 0, pos.board[move_from(m)], pos.board[move_to(m)]};
  if (gives_check(pos, pos.side, e)) {
    for (char* form : {out.coord, out.san, out.file, out.square, out.rank})
      if (form[0]) append(form, sizeof out.coord, "+");
  }
}

namespace {

// Whether the side to move has a legal move, generated into a list of
// its own so that no ply's move list is disturbed.
bool has_legal_move(const Position& pos) {
  MoveEntry list[MAX_PLY_MOVES + 2];
  MoveEntry* end = generate_all_into(pos, list);
  for (MoveEntry* e = list; e != end; e++)
    if (move_is_legal(pos, pos.side, e->move)) return true;
  return false;
}

}  // namespace

void move_to_san(Position& pos, Move m, char* out) {
  MoveForms f;
  move_text_forms(pos, m, f);
  int from = move_from(m);
  const char* text = f.san;
  char castle[8];
  if (is_castling(pos, m)) {
    std::strcpy(castle, (m & FLAG_Q_SHORT) ? "O-O" : "O-O-O");
    text = castle;
  } else if (type_of(pos.board[from]) != PAWN && std::strcmp(f.san, f.square) == 0) {
    // Standard notation names the rank when it alone tells the pieces apart.
    Bitboard rivals = rival_pieces(pos, from, move_to(m));
    if (!(rivals & (RANK_1 << (8 * rank_of(from))))) text = f.rank;
  }
  std::snprintf(out, 12, "%s", text);
  char* plus = std::strchr(out, '+');
  if (plus) *plus = 0;
  make_move(pos, m);
  bool check = pos.kingSq[pos.side] < 64 && square_attacked(pos, pos.kingSq[pos.side], pos.side ^ 1);
  bool mate = check && !has_legal_move(pos);
  unmake_move(pos);
  if (check) append(out, 12, mate ? "#" : "+");
}

namespace {

constexpr size_t MOVE_TEXT_MAX = 32;

// Normalises move text for matching: cut at check, mate and annotation
// marks; "e7e8q" and "e8Q" become "e7e8=Q" and "e8=Q"; every O and 0
// becomes o, so O-O, 0-0 and o-o read alike.
void normalise(const char* text, char* t) {
  std::snprintf(t, MOVE_TEXT_MAX - 2, "%s", text);
  t[std::strcspn(t, "+#!? \t\r\n")] = 0;
  size_t n = std::strlen(t);
  if (n >= 2) {
    char last = char(std::toupper(static_cast<unsigned char>(t[n - 1])));
    if (std::strchr("BNQR", last)) {
      if (t[n - 2] == '=') {
        t[n - 1] = last;
      } else {
        t[n - 1] = '=';
        t[n] = last;
        t[n + 1] = 0;
      }
    }
  }
  for (char* c = t; *c; c++)
    if (*c == 'O' || *c == '0') *c = 'o';
}

bool form_matches(const char* form, const char* t) {
  size_t n = std::strcspn(form, "+");
  return n > 0 && std::strlen(t) == n && std::strncmp(form, t, n) == 0;
}

}  // namespace

int parse_move_in(Position& pos, const char* text, Move* out) {
  *out = MOVE_NONE;
  char t[MOVE_TEXT_MAX];
  normalise(text, t);
  if (!t[0]) return 0;
  int matches = 0;
  Move found = MOVE_NONE;
  for (MoveEntry* e = generate_all(pos); e->move != MOVE_END; e++) {
    MoveForms f;
    move_text_forms(pos, e->move, f);
    bool match = false;
    for (const char* form : {f.coord, f.san, f.file, f.square, f.rank})
      match = match || form_matches(form, t);
    if (match && move_is_legal(pos, pos.side, e->move)) {
      matches++;
      found = e->move;
    }
  }
  if (matches == 2) std::printf("ambiguous move\n");
  if (matches != 1) return 0;
  *out = found;
  return 1;
}

int parse_move(const char* text, Move* out) { return parse_move_in(Game->pos, text, out); }
