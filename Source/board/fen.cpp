#include "board/fen.h"

#include <cstdio>
#include <cstring>

#include "board/attacks.h"
#include "board/bitboard.h"
#include "board/zobrist.h"
#include "core/searchthread.h"

const char* const SquareName[64] = {
    "a1", "b1", "c1", "d1", "e1", "f1", "g1", "h1", "a2", "b2", "c2", "d2", "e2", "f2", "g2", "h2",
    "a3", "b3", "c3", "d3", "e3", "f3", "g3", "h3", "a4", "b4", "c4", "d4", "e4", "f4", "g4", "h4",
    "a5", "b5", "c5", "d5", "e5", "f5", "g5", "h5", "a6", "b6", "c6", "d6", "e6", "f6", "g6", "h6",
    "a7", "b7", "c7", "d7", "e7", "f7", "g7", "h7", "a8", "b8", "c8", "d8", "e8", "f8", "g8", "h8"};

const char* const START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

namespace {

constexpr const char* WHITE_LETTERS = " PNBRQK";
constexpr const char* BLACK_LETTERS = " pnbrqk";
// No game reaches a higher half-move clock: at 150 the 75-move rule has
// ended it. Larger numbers in a FEN are read as this.
constexpr int MAX_FIFTY_CLOCK = 150;

const char* skip_blanks(const char* s) {
  while (*s == ' ') s++;
  return s;
}

// Reads the placement field; returns the text after it. Squares off the
// board (too many files or ranks) are never written.
const char* read_placement(Position& pos, const char* s) {
  int file = 0, rank = 7;
  for (; *s && *s != ' '; s++) {
    char c = *s;
    if (c == '/') {
      file = 0;
      rank--;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
    } else if (const char* w = c ? std::strchr(WHITE_LETTERS + 1, c) : nullptr) {
      if (file < 8 && rank >= 0) put_piece(pos, WHITE, int(w - WHITE_LETTERS), make_square(file, rank));
      file++;
    } else if (const char* b = c ? std::strchr(BLACK_LETTERS + 1, c) : nullptr) {
      if (file < 8 && rank >= 0) put_piece(pos, BLACK, int(b - BLACK_LETTERS), make_square(file, rank));
      file++;
    }
  }
  return s;
}

// Per castling: colour, king destination, rook destination, right bit.
struct CastlingShape {
  int colour, kingTo, rookTo, rightBit;
};
constexpr CastlingShape Castlings[4] = {{WHITE, SQ_G1, SQ_G1 - 1, CASTLE_WK},
                                        {WHITE, SQ_C1, SQ_C1 + 1, CASTLE_WQ},
                                        {BLACK, SQ_G8, SQ_G8 - 1, CASTLE_BK},
                                        {BLACK, SQ_C8, SQ_C8 + 1, CASTLE_BQ}};

// The own rooks on the king's back rank on castling c's side of the king;
// 0 when the king is not on its back rank.
Bitboard castling_side_rooks(const Position& pos, int c) {
  const CastlingShape& shape = Castlings[c];
  int k = pos.kingSq[shape.colour];
  int backRank = shape.colour == WHITE ? 0 : 7;
  if (k == NO_SQUARE || rank_of(k) != backRank) return 0;
  Bitboard ray = (c & 1) ? Ray[WEST][k] : Ray[EAST][k];
  return ray & piece_set(pos, shape.colour, ROOK);
}

// The outermost of those rooks (the one nearest the board's edge), which
// is what "K", "Q", "k" and "q" name in X-FEN; NO_SQUARE when none.
int outermost_rook(const Position& pos, int c) {
  Bitboard rooks = castling_side_rooks(pos, c);
  if (!rooks) return NO_SQUARE;
  return (c & 1) ? lsb(rooks) : msb(rooks);
}

// Grants castling c with the rook on square r, which must be an own rook on
// the king's back rank on that side of the king.
void grant_castling(Position& pos, int c, int r) {
  if (r == NO_SQUARE || !(castling_side_rooks(pos, c) & bit(r))) return;
  const CastlingShape& shape = Castlings[c];
  int k = pos.kingSq[shape.colour];
  pos.castleRookSq[c] = uint8_t(r);
  pos.castleKingRook[c] = bit(k) | bit(r);
  pos.castlePath[c] = (Between[k][shape.kingTo] | bit(shape.kingTo) | bit(shape.rookTo) |
                       Between[r][shape.rookTo]) &
                      ~(bit(k) | bit(r));
  pos.castling |= uint8_t(shape.rightBit);
}

// An en-passant square is kept only where a double step can have just
// happened: on the right rank for the side to move, empty, with the enemy
// pawn in front of it and its start square empty. Whether a capture is
// possible is not asked. Anything else would let a pawn "capture" onto an
// occupied or unrelated square.
bool ep_square_is_possible(const Position& pos, int ep) {
  if (ep == NO_SQUARE) return false;
  int them = pos.side ^ 1;
  int wantedRank = pos.side == WHITE ? 5 : 2;
  if (rank_of(ep) != wantedRank || pos.board[ep]) return false;
  int pawnSq = ep + pawn_step(them), startSq = ep - pawn_step(them);
  return pos.board[pawnSq] == make_piece(them, PAWN) && !pos.board[startSq];
}

// The half-move clock field: a whole number, clamped to 0..MAX_FIFTY_CLOCK;
// an absent field, or one that is not a number ("-", an EPD opcode), is 0.
// The move number after it is not read.
int read_half_move_clock(const char* s) {
  bool negative = *s == '-';
  if (*s == '-' || *s == '+') s++;
  if (*s < '0' || *s > '9') return 0;
  int clock = 0;
  for (; *s >= '0' && *s <= '9'; s++)
    if (clock <= MAX_FIFTY_CLOCK) clock = clock * 10 + (*s - '0');  // stops growing, never overflows
  if ((*s && *s != ' ') || negative) return 0;
  return clock < MAX_FIFTY_CLOCK ? clock : MAX_FIFTY_CLOCK;
}

}  // namespace

void clear_position(Position& pos) {
  std::memset(pos.board, 0, sizeof pos.board);
  std::memset(pos.pieces, 0, sizeof pos.pieces);
  pos.touched = 0;
  pos.matCount[0] = pos.matCount[1] = 0;
  pos.matValue[0] = pos.matValue[1] = 0;
  pos.kingSq[0] = pos.kingSq[1] = NO_SQUARE;
  pos.epSquare = NO_SQUARE;
  pos.castling = 0;
  pos.fifty = 0;
  SearchThread* t = pos.owner;
  t->undoIndex = 0;
  t->ply = ROOT_PLY;
  t->lastMove = MOVE_NONE;
}

void put_piece(Position& pos, int colour, int type, int sq) {
  int piece = make_piece(colour, type);
  // A square given twice keeps the board and the bitboards in step.
  if (int old = pos.board[sq]) {
    pos.pieces[old] &= ~bit(sq);
    pos.pieces[colour_of(old) * 8] &= ~bit(sq);
    pos.matValue[colour_of(old)] -= MatValueInc[type_of(old)];
    pos.matCount[colour_of(old)] -= MatCountInc[type_of(old)];
  }
  pos.board[sq] = uint8_t(piece);
  if (type == KING) pos.kingSq[colour] = uint8_t(sq);
  pos.matValue[colour] += MatValueInc[type];
  pos.matCount[colour] += MatCountInc[type];
  pos.pieces[colour * 8] |= bit(sq);
  pos.pieces[piece] |= bit(sq);
}

// "K"/"Q"/"k"/"q" name the outermost rook on that side of the king, as in
// X-FEN (and as cutechess, lichess and python-chess read them); a file
// letter (Shredder-FEN, "A".."H" for White, "a".."h" for Black) names the
// rook on that file, which may be an inner one. A letter without such a
// rook grants nothing.
void set_castling(Position& pos, const char* text) {
  for (int c = 0; c < 4; c++) {
    pos.castleKingRook[c] = 0;
    pos.castlePath[c] = 0;
    pos.castleRookSq[c] = NO_SQUARE;
  }
  for (const char* s = text; *s && *s != ' '; s++) {
    char ch = *s;
    int c = -1, rook = NO_SQUARE;
    if (ch == 'K' || ch == 'Q' || ch == 'k' || ch == 'q') {
      c = ch == 'K' ? 0 : ch == 'Q' ? 1 : ch == 'k' ? 2 : 3;
      rook = outermost_rook(pos, c);
    } else if (ch >= 'A' && ch <= 'H' && pos.kingSq[WHITE] != NO_SQUARE) {
      c = (ch - 'A') > file_of(pos.kingSq[WHITE]) ? 0 : 1;
      rook = make_square(ch - 'A', 0);
    } else if (ch >= 'a' && ch <= 'h' && pos.kingSq[BLACK] != NO_SQUARE) {
      c = (ch - 'a') > file_of(pos.kingSq[BLACK]) ? 2 : 3;
      rook = make_square(ch - 'a', 7);
    }
    if (c >= 0) grant_castling(pos, c, rook);
  }
}

void compute_keys(Position& pos) {
  pos.key = pos.pawnKey = 0;
  for (int sq = 0; sq < 64; sq++) {
    int p = pos.board[sq];
    if (!p) continue;
    pos.key ^= Zobrist[p * 64 + sq];
    if (type_of(p) == PAWN) pos.pawnKey ^= Zobrist[p * 64 + sq];
  }
  if (pos.epSquare != NO_SQUARE) pos.key ^= Zobrist[pos.epSquare];
  pos.key ^= Zobrist[pos.castling];
  pos.key &= ~SIDE_KEY_BIT;
  if (pos.side == BLACK) pos.key += SIDE_KEY_BIT;
}

int set_position(Position& pos, const char* fen) {
  clear_position(pos);
  const char* s = read_placement(pos, fen);
  s = skip_blanks(s);
  if (*s == 'w') pos.side = WHITE;
  else if (*s == 'b') pos.side = BLACK;
  if (*s) s++;
  s = skip_blanks(s);
  set_castling(pos, s);
  while (*s && *s != ' ') s++;
  s = skip_blanks(s);
  int ep = NO_SQUARE;
  for (; *s && *s != ' '; s++) {
    if (*s >= 'a' && *s <= 'h') ep = *s - 'a';
    else if (*s >= '1' && *s <= '8' && ep != NO_SQUARE) ep += (*s - '1') * 8;
  }
  pos.epSquare = uint8_t(ep_square_is_possible(pos, ep) ? ep : NO_SQUARE);
  pos.fifty = uint8_t(read_half_move_clock(skip_blanks(s)));
  compute_keys(pos);
  SearchThread* t = pos.owner;
  std::memset(&t->undo[0], 0, 2 * sizeof(UndoRecord));
  t->undoIndex = 0;
  return 0;
}

void position_to_fen(const Position& pos, char* out, bool counters) {
  char* o = out;
  for (int rank = 7; rank >= 0; rank--) {
    int empty = 0;
    for (int file = 0; file < 8; file++) {
      int p = pos.board[make_square(file, rank)];
      if (!p) {
        empty++;
        continue;
      }
      if (empty) *o++ = char('0' + empty);
      empty = 0;
      *o++ = (colour_of(p) == WHITE ? WHITE_LETTERS : BLACK_LETTERS)[type_of(p)];
    }
    if (empty) *o++ = char('0' + empty);
    if (rank) *o++ = '/';
  }
  *o++ = ' ';
  *o++ = pos.side == WHITE ? 'w' : 'b';
  *o++ = ' ';
  // X-FEN: a right to the outermost rook on its side is "KQkq"; a right to
  // an inner rook (another rook stands beyond it) is its file letter.
  if (!pos.castling) *o++ = '-';
  for (int c = 0; c < 4; c++) {
    if (!(pos.castling & (1 << c))) continue;
    int rook = pos.castleRookSq[c];
    if (rook == NO_SQUARE || rook == outermost_rook(pos, c)) *o++ = "KQkq"[c];
    else *o++ = char((c < 2 ? 'A' : 'a') + file_of(rook));
  }
  *o++ = ' ';
  if (pos.epSquare < 64) {
    *o++ = SquareName[pos.epSquare][0];
    *o++ = SquareName[pos.epSquare][1];
  } else {
    *o++ = '-';
  }
  *o = 0;
  if (counters)
    std::snprintf(o, 24, " %d %d", pos.fifty, pos.owner ? pos.owner->undoIndex : 0);
}

bool kings_are_valid(const Position& pos) {
  return popcount(piece_set(pos, WHITE, KING)) == 1 && popcount(piece_set(pos, BLACK, KING)) == 1;
}

const char* unplayable_reason(const Position& pos) {
  constexpr int MAX_MEN_PER_SIDE = 16;
  constexpr int MAX_PAWNS_PER_SIDE = 8;
  if (!kings_are_valid(pos)) return "a position needs exactly one king of each colour";
  Bitboard pawns = piece_set(pos, WHITE, PAWN) | piece_set(pos, BLACK, PAWN);
  if (pawns & (RANK_1 | RANK_8)) return "pawns cannot stand on the first or last rank";
  for (int colour = WHITE; colour <= BLACK; colour++) {
    if (popcount(colour_set(pos, colour)) > MAX_MEN_PER_SIDE ||
        popcount(piece_set(pos, colour, PAWN)) > MAX_PAWNS_PER_SIDE)
      return "more men than a game of chess can have";
  }
  int waiting = pos.side ^ 1;
  if (square_attacked(pos, pos.kingSq[waiting], pos.side)) return "the side not to move is in check";
  return nullptr;
}

namespace {

// Copies n characters of src into a field of fieldSize bytes, cut to fit.
void copy_field(char* field, size_t fieldSize, const char* src, size_t n) {
  if (n >= fieldSize) n = fieldSize - 1;
  std::memcpy(field, src, n);
  field[n] = 0;
}

// The output field for an opcode, or nullptr for opcodes nobody reads.
char* epd_operand_field(EpdFields& out, const char* op, size_t len, size_t& size) {
  struct Slot {
    const char* name;
    char* field;
    size_t size;
  };
  const Slot slots[] = {{"bm", out.bm, sizeof out.bm}, {"am", out.am, sizeof out.am},
                        {"ce", out.ce, sizeof out.ce}, {"sc", out.sc, sizeof out.sc},
                        {"gr", out.gr, sizeof out.gr}, {"id", out.id, sizeof out.id},
                        {"c0", out.c0, sizeof out.c0}};
  for (const Slot& s : slots)
    if (len == 2 && std::strncmp(op, s.name, 2) == 0) {
      size = s.size;
      return s.field;
    }
  return nullptr;
}

}  // namespace

int parse_epd(const char* line, EpdFields& out) {
  std::memset(&out, 0, sizeof out);
  const char* s = line;
  for (int blanks = 0; *s; s++)
    if (*s == ' ' && ++blanks == 4) break;
  copy_field(out.fen, sizeof out.fen, line, size_t(s - line));
  while (*s == ' ' || (*s >= '0' && *s <= '9')) s++;
  for (;;) {
    s = skip_blanks(s);
    const char* op = s;
    while (*s && *s != ' ' && *s != ';') s++;
    size_t opLen = size_t(s - op);
    if (opLen == 0) break;
    s = skip_blanks(s);
    const char* operand = s;
    const char* end = std::strchr(s, ';');
    if (!end) break;
    size_t size = 0;
    if (char* field = epd_operand_field(out, op, opLen, size))
      copy_field(field, size, operand, size_t(end - operand));
    s = end + 1;
  }
  return 1;
}
