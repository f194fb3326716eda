#include "frontend/gamemoves.h"

#include <cstring>

#include "board/bitboard.h"
#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "core/game.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "search/threadrecord.h"

namespace {

constexpr int MIN_MOVE_TEXT = 4;  // from-square and to-square
constexpr int MAX_MOVE_TEXT = 5;  // with a promotion letter

// Keeps only the undo records a repetition can still reach: those after the
// last capture or pawn move, `fifty` of them.
bool make_room_for_move() {
  if (Game->undoIndex < GAME_UNDO_LIMIT) return true;
  int keep = Game->pos.fifty;
  int drop = Game->undoIndex - keep;
  if (drop <= 0) return false;
  std::memmove(&Game->undo[0], &Game->undo[drop], keep * sizeof(UndoRecord));
  Game->undoIndex = static_cast<uint16_t>(keep);
  History.droppedPlies += drop;
  return true;
}

int square_from_text(char file, char rank) {
  if (file < 'a' || file > 'h' || rank < '1' || rank > '8') return NO_SQUARE;
  return make_square(file - 'a', rank - '1');
}

Move promotion_flag(char letter) {
  switch (letter) {
    case 'n': case 'N': return FLAG_N_LONG;
    case 'b': case 'B': return FLAG_B;
    case 'r': case 'R': return FLAG_R;
    default: return FLAG_Q_SHORT;  // also a pawn reaching the last rank without a letter
  }
}

// A king move along its own back rank is castling when it goes more than
// one file or onto its own rook (how Chess960 GUIs write castling).
Move castling_flag(const Position& pos, int from, int to) {
  int backRank = flip_for(pos.side) >> 3;
  if (rank_of(from) != backRank || rank_of(to) != backRank) return 0;
  int spread = file_of(to) - file_of(from);
  bool ontoOwnRook = pos.board[to] == make_piece(pos.side, ROOK);
  if (!ontoOwnRook && spread >= -1 && spread <= 1) return 0;
  return spread > 0 ? FLAG_Q_SHORT : FLAG_N_LONG;
}

// The move with these squares and flags among those the pieces can make.
// Castling written as king takes rook must name the castling rook: with
// two rooks on that side only one of them castles.
Move find_generated(int from, int to, Move flags) {
  const Position& pos = Game->pos;
  bool castling = type_of(pos.board[from]) == KING && flags;
  if (castling && pos.board[to] == make_piece(pos.side, ROOK) &&
      pos.castleRookSq[pos.side * 2 + ((flags & FLAG_Q_SHORT) ? 0 : 1)] != to)
    return MOVE_NONE;
  for (MoveEntry* e = generate_all(Game->pos); e->move != MOVE_END; e++) {
    if (move_from(e->move) != from || move_flags(e->move) != flags) continue;
    if (castling || move_to(e->move) == to) return e->move;
  }
  return MOVE_NONE;
}

}  // namespace

bool allocate_game() {
  Game = new_search_thread();
  History.scratch = new_search_thread();
  History.droppedPlies = 0;
  return Game && History.scratch;
}

void free_game() {
  if (Game) free_search_thread(Game);
  if (History.scratch) free_search_thread(History.scratch);
  Game = History.scratch = nullptr;
}

bool set_game_position(const char* fen) {
  set_position(History.scratch->pos, fen);
  if (const char* reason = unplayable_reason(History.scratch->pos)) {
    print_linef("info string position refused: %s", reason);
    return false;
  }
  // Same text, same result: the game is set up by the same reader, so
  // everything set_position does to its record happens to the game too.
  set_position(Game->pos, fen);
  reset_ply_lists(Game);
  Game->undo[Game->undoIndex].move = MOVE_NONE;  // a new game has no moves to replay
  History.droppedPlies = 0;
  return true;
}

bool play_game_move(Move m) {
  if (!make_room_for_move()) {
    print_line("info string the game is too long to hold more moves; the rest is ignored");
    return false;
  }
  // A move other than the one taken back last starts a new line: the
  // moves after it in the history no longer belong to the game.
  Move next = Game->undo[Game->undoIndex].move;
  make_move(Game->pos, m);
  if (next != m) Game->undo[Game->undoIndex].move = MOVE_NONE;
  reset_ply_lists(Game);  // the game record never carries search plies
  return true;
}

Move next_game_move() {
  Move m = Game->undo[Game->undoIndex].move;
  if (m == MOVE_NONE || !stored_move_is_valid(Game->pos, m)) return MOVE_NONE;
  return move_is_legal(Game->pos, Game->pos.side, m) ? m : MOVE_NONE;
}

bool replay_game_move() {
  Move m = next_game_move();
  return m != MOVE_NONE && play_game_move(m);
}

void take_back_all_game_moves() {
  while (take_back_game_move()) {
  }
}

bool take_back_game_move() {
  if (Game->undoIndex == 0) return false;
  unmake_move(Game->pos);
  reset_ply_lists(Game);
  return true;
}

Move game_move_from_text(const char* text) {
  size_t length = std::strlen(text);
  if (length < MIN_MOVE_TEXT || length > MAX_MOVE_TEXT) return MOVE_NONE;
  int from = square_from_text(text[0], text[1]);
  int to = square_from_text(text[2], text[3]);
  if (from == NO_SQUARE || to == NO_SQUARE || from == to) return MOVE_NONE;
  const Position& pos = Game->pos;
  int piece = pos.board[from];
  if (piece == 0 || colour_of(piece) != pos.side) return MOVE_NONE;
  // Taking a king cannot be undone cleanly; no real game reaches it.
  if (type_of(pos.board[to]) == KING) return MOVE_NONE;
  Move flags = 0;
  if (type_of(piece) == KING) flags = castling_flag(pos, from, to);
  bool promotes = type_of(piece) == PAWN && (bit(to) & (RANK_1 | RANK_8));
  if (promotes) flags = promotion_flag(length == MAX_MOVE_TEXT ? text[4] : 'q');
  else if (length == MAX_MOVE_TEXT && !std::strchr("qnbrQNBR", text[4])) return MOVE_NONE;
  return find_generated(from, to, flags);
}
