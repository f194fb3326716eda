#include "netdata.h"

#include <cstring>

#include "board/fen.h"

namespace {

constexpr int MAX_MEN = 32;
constexpr uint8_t FLAG_BLACK_TO_MOVE = 1;
constexpr int NIBBLE_BITS = 4;
constexpr uint8_t NIBBLE_MASK = 15;

bool valid_piece_code(int code) {
  int type = type_of(code);
  return type >= PAWN && type <= KING && (code & ~15) == 0;
}

}  // namespace

void pack_record(const Position& pos, int score, int result, uint32_t game, NetRecord& out) {
  std::memset(&out, 0, sizeof out);
  Bitboard occ = occupancy(pos);
  out.occupied = occ;
  int n = 0;
  for (Bitboard b = occ; b && n < MAX_MEN; b &= b - 1, n++) {
    int sq = __builtin_ctzll(b);
    out.pieces[n / 2] |= uint8_t(pos.board[sq] << (NIBBLE_BITS * (n & 1)));
  }
  out.score = int16_t(score);
  out.result = uint8_t(result);
  out.flags = pos.side == BLACK ? FLAG_BLACK_TO_MOVE : 0;
  out.game = game;
}

bool unpack_record(const NetRecord& r, Position& pos) {
  if (__builtin_popcountll(r.occupied) > MAX_MEN || r.result > RESULT_WHITE_WINS) return false;
  clear_position(pos);
  int n = 0;
  for (Bitboard b = r.occupied; b; b &= b - 1, n++) {
    int code = (r.pieces[n / 2] >> (NIBBLE_BITS * (n & 1))) & NIBBLE_MASK;
    if (!valid_piece_code(code)) return false;
    put_piece(pos, colour_of(code), type_of(code), __builtin_ctzll(b));
  }
  pos.side = (r.flags & FLAG_BLACK_TO_MOVE) ? BLACK : WHITE;
  set_castling(pos, "-");
  compute_keys(pos);
  return kings_are_valid(pos);
}

double result_for_side_to_move(const NetRecord& r) {
  double white = r.result * 0.5;
  return (r.flags & FLAG_BLACK_TO_MOVE) ? 1.0 - white : white;
}

size_t read_records(FILE* f, NetRecord* out, size_t max) { return std::fread(out, sizeof(NetRecord), max, f); }

bool write_records(FILE* f, const NetRecord* r, size_t n) {
  return std::fwrite(r, sizeof(NetRecord), n, f) == n && std::fflush(f) == 0;
}
