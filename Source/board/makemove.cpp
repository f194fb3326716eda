#include "board/makemove.h"

#include "board/zobrist.h"
#include "core/searchthread.h"

namespace {

inline uint64_t piece_key(int piece, int sq) { return Zobrist[piece * 64 + sq]; }

// Board-only changes: material, bitboards and the square array. Unmake
// uses these alone, since it restores the keys from the undo record.
inline void lift(Position& pos, int sq) {
  int p = pos.board[sq], c = colour_of(p), t = type_of(p);
  pos.board[sq] = 0;
  pos.pieces[p] &= ~bit(sq);
  pos.pieces[c * 8] &= ~bit(sq);
  pos.matValue[c] -= MatValueInc[t];
  pos.matCount[c] -= MatCountInc[t];
}

inline void drop(Position& pos, int p, int sq) {
  int c = colour_of(p), t = type_of(p);
  pos.board[sq] = uint8_t(p);
  pos.pieces[p] |= bit(sq);
  pos.pieces[c * 8] |= bit(sq);
  pos.matValue[c] += MatValueInc[t];
  pos.matCount[c] += MatCountInc[t];
}

inline void toggle_keys(Position& pos, int p, int sq) {
  pos.key ^= piece_key(p, sq);
  if (type_of(p) == PAWN) pos.pawnKey ^= piece_key(p, sq);
}

// The same with the keys kept up to date, for make.
inline void remove_piece(Position& pos, int sq) {
  toggle_keys(pos, pos.board[sq], sq);
  lift(pos, sq);
}

inline void add_piece(Position& pos, int p, int sq) {
  drop(pos, p, sq);
  toggle_keys(pos, p, sq);
}

inline void shift(Position& pos, int from, int to) {
  int p = pos.board[from];
  Bitboard both = bit(from) | bit(to);
  pos.board[to] = uint8_t(p);
  pos.board[from] = 0;
  pos.pieces[p] ^= both;
  pos.pieces[colour_of(p) * 8] ^= both;
}

inline void set_side_bit(Position& pos) {
  pos.key &= ~SIDE_KEY_BIT;
  if (pos.side == BLACK) pos.key |= SIDE_KEY_BIT;
}

// Castling: the rook is lifted first and dropped last, so a Chess960 king
// that stays put, or a rook landing on the king's start, both work.
void make_castling(Position& pos, int mover, int from, int kingTo, bool isShort) {
  int c = mover * 2 + (isShort ? 0 : 1);
  int rookFrom = pos.castleRookSq[c];
  int rookTo = isShort ? kingTo - 1 : kingTo + 1;
  int rook = make_piece(mover, ROOK), king = make_piece(mover, KING);
  lift(pos, rookFrom);
  if (from != kingTo) shift(pos, from, kingTo);
  drop(pos, rook, rookTo);
  pos.kingSq[mover] = uint8_t(kingTo);
  pos.fifty = 0;
  pos.key ^= piece_key(king, from) ^ piece_key(king, kingTo) ^ piece_key(rook, rookFrom) ^
             piece_key(rook, rookTo);
}

void unmake_castling(Position& pos, int mover, int from, int kingTo, bool isShort) {
  int c = mover * 2 + (isShort ? 0 : 1);
  int rookTo = isShort ? kingTo - 1 : kingTo + 1;
  lift(pos, rookTo);
  if (from != kingTo) shift(pos, kingTo, from);
  drop(pos, make_piece(mover, ROOK), pos.castleRookSq[c]);
  pos.kingSq[mover] = uint8_t(from);
}

// Pawn specifics after the pawn has moved: double step, en passant,
// promotion.
inline void finish_pawn_move(Position& pos, SearchThread* t, int from, int to, int flags,
                             int oldEp) {
  int mover = pos.side ^ 1;
  int step = pawn_step(mover);
  pos.fifty = 0;
  if (to == from + 2 * step) {
    pos.epSquare = uint8_t(from + step);
    pos.key ^= Zobrist[pos.epSquare];
  } else if (to == oldEp) {
    remove_piece(pos, to - step);
  } else if (rank_of(to) == 0 || rank_of(to) == 7) {
    remove_piece(pos, to);
    int type = flags ? promotion_type(Move(flags)) : QUEEN;
    add_piece(pos, make_piece(mover, type), to);
    // A promotion written without its letter becomes a queen; record the
    // flag so that unmake knows to bring the pawn back.
    if (!flags) {
      t->undo[t->undoIndex - 1].move |= FLAG_Q_SHORT;
      t->lastMove |= FLAG_Q_SHORT;
    }
  }
}

// Steps the counters back and returns the record of the move taken back;
// the move before it becomes the last move again.
inline const UndoRecord& pop_undo_record(SearchThread* t) {
  t->undoIndex--;
  t->ply--;
  int i = t->undoIndex;
  t->lastMove = i ? t->undo[i - 1].move : MOVE_NONE;
  return t->undo[i];
}

}  // namespace

void make_move(Position& pos, Move m) {
  SearchThread* t = pos.owner;
  int mover = pos.side, from = move_from(m), to = move_to(m), flags = move_flags(m);
  int p = pos.board[from];
  UndoRecord& u = t->undo[t->undoIndex];
  t->undoIndex++;
  t->ply++;

  bool castle = type_of(p) == KING && flags;
  Move recorded = m;
  int captured = 0;
  if (castle) {
    to = (from & 56) + ((flags & FLAG_Q_SHORT) ? 6 : 2);
    recorded = Move((from << 8) + flags + to);
  } else {
    captured = pos.board[to] & 7;
  }
  t->lastMove = recorded;
  u.key = pos.key;
  u.pawnKey = pos.pawnKey;
  u.move = recorded;
  u.captured = uint8_t(captured);
  u.ep = pos.epSquare;
  u.touched = pos.touched;
  u.fifty = pos.fifty;
  u.castling = pos.castling;

  int oldEp = pos.epSquare;
  int oldCastling = pos.castling;
  pos.epSquare = NO_SQUARE;
  pos.touched |= bit(from) | bit(to);
  if (pos.castling)
    for (int c = 0; c < 4; c++)
      if (pos.castleKingRook[c] & pos.touched) pos.castling &= uint8_t(~(1 << c));
  pos.side ^= 1;
  pos.fifty = uint8_t(pos.fifty + (pos.fifty < 255));  // saturates instead of wrapping
  if (oldEp != NO_SQUARE) pos.key ^= Zobrist[oldEp];
  if (pos.castling != oldCastling) pos.key ^= Zobrist[oldCastling] ^ Zobrist[pos.castling];

  if (castle) {
    make_castling(pos, mover, from, to, flags & FLAG_Q_SHORT);
  } else {
    if (captured) {
      remove_piece(pos, to);
      pos.fifty = 0;
    }
    shift(pos, from, to);
    pos.key ^= piece_key(p, from) ^ piece_key(p, to);
    if (type_of(p) == KING) pos.kingSq[mover] = uint8_t(to);
    if (type_of(p) == PAWN) {
      pos.pawnKey ^= piece_key(p, from) ^ piece_key(p, to);
      finish_pawn_move(pos, t, from, to, flags, oldEp);
    }
  }
  set_side_bit(pos);
}

void unmake_move(Position& pos) {
  const UndoRecord& u = pop_undo_record(pos.owner);
  pos.epSquare = u.ep;
  pos.castling = u.castling;
  pos.fifty = u.fifty;
  pos.touched = u.touched;
  pos.side ^= 1;

  int mover = pos.side, from = move_from(u.move), to = move_to(u.move);
  int flags = move_flags(u.move);
  int p = pos.board[to];
  if (flags && type_of(p) == KING) {
    unmake_castling(pos, mover, from, to, flags & FLAG_Q_SHORT);
  } else {
    if (flags && type_of(p) != PAWN) {  // a promotion: the pawn comes back
      lift(pos, to);
      drop(pos, make_piece(mover, PAWN), from);
    } else {
      shift(pos, to, from);
      if (type_of(p) == KING) pos.kingSq[mover] = uint8_t(from);
    }
    if (u.captured) {
      int victim = make_piece(mover ^ 1, u.captured);
      drop(pos, victim, to);
      if (u.captured == KING) pos.kingSq[mover ^ 1] = uint8_t(to);
    } else if (to == u.ep && type_of(pos.board[from]) == PAWN) {
      drop(pos, make_piece(mover ^ 1, PAWN), to - pawn_step(mover));
    }
  }
  pos.key = u.key;
  pos.pawnKey = u.pawnKey;
}

void make_null_move(Position& pos) {
  SearchThread* t = pos.owner;
  UndoRecord& u = t->undo[t->undoIndex];
  u.key = pos.key;
  u.move = MOVE_NONE;
  u.captured = 0;
  u.ep = pos.epSquare;
  u.fifty = pos.fifty;
  t->undoIndex++;
  t->ply++;
  if (pos.epSquare != NO_SQUARE) pos.key ^= Zobrist[pos.epSquare];
  pos.epSquare = NO_SQUARE;
  pos.side ^= 1;
  t->lastMove = MOVE_NONE;
  set_side_bit(pos);
}

void unmake_null_move(Position& pos) {
  const UndoRecord& u = pop_undo_record(pos.owner);
  pos.epSquare = u.ep;
  pos.fifty = u.fifty;
  pos.key = u.key;
  pos.side ^= 1;
}
