#include "syzygy/tbindex.h"

#include <algorithm>

namespace {

constexpr int MAX_K = 7;        // at most six pieces in one group, plus C(n, 0)
constexpr int BINOMIAL_N = 65;  // n runs over 0..64
constexpr int PAWN_FLAPS = 24;  // pawn squares on files a-d, ranks 2-7
constexpr int PAWN_CLASSES = 4;
constexpr int MAX_LEADERS = 5;  // rows of the leading-pawn tables
constexpr int SQUARES = 64;
constexpr uint8_t NO_ORDER = 15;
constexpr int HALF_BOARD = 4;    // files e-h and ranks 5-8 are mirrored away
constexpr int FILE_MIRROR = 7;   // a <-> h
constexpr int RANK_FLIP = 56;    // rank 1 <-> rank 8

// Sizes of the first group of pawnless tables and its sub-ranges: the
// leading piece off the diagonal, then on it with the second off it, then
// the first two on it with the third off, then all three on it.
constexpr uint64_t THREE_UNIQUE_SIZE = 31332;
constexpr uint64_t OFF_DIAG_SPAN = 23436;  // 6 * 63 * 62
constexpr uint64_t SECOND_OFF_SPAN = 6944;  // 4 * 28 * 62
constexpr uint64_t THIRD_OFF_SPAN = 784;    // 4 * 7 * 28
constexpr uint64_t TWO_KINGS_SIZE = 462;
constexpr int BELOW_DIAGONAL = 28;
constexpr int ON_DIAGONAL_REST = 7;   // diagonal squares left for the second piece
constexpr int ON_DIAGONAL_LAST = 6;   // and for the third
constexpr int SECOND_SQUARES = 63;    // squares left for the second piece
constexpr int THIRD_SQUARES = 62;     // and for the third
constexpr int TRIANGLE_SIZE = 10;
constexpr int TRIANGLE_OFF_DIAGONAL = 6;  // b1, c1, d1, c2, d2, d3 come first
constexpr int PAWN_SQUARES = 48;
constexpr int FIRST_PAWN_SQUARE = 8;

struct Binomials {
  uint64_t v[BINOMIAL_N][MAX_K];
};
constexpr Binomials make_binomials() {
  Binomials b{};
  for (int n = 0; n < BINOMIAL_N; n++)
    for (int k = 0; k < MAX_K; k++)
      b.v[n][k] = k == 0 ? 1 : n == 0 ? 0 : b.v[n - 1][k - 1] + b.v[n - 1][k];
  return b;
}
constexpr Binomials Binomial = make_binomials();

constexpr int file_dist(int sq) { return std::min(sq & 7, 7 - (sq & 7)); }
constexpr int PAWN_RANKS = 6;  // ranks 2-7 per file
constexpr int flap(int sq) { return PAWN_RANKS * file_dist(sq) + (sq >> 3) - 1; }
constexpr int ptwist(int sq) {
  return 47 - 12 * file_dist(sq) - 2 * ((sq >> 3) - 1) - ((sq & 7) >= 4 ? 1 : 0);
}
constexpr int flap_square(int j) { return 8 * (1 + j % PAWN_RANKS) + j / PAWN_RANKS; }

struct PawnTables {
  uint64_t index[MAX_LEADERS][PAWN_FLAPS];
  uint64_t factor[MAX_LEADERS][PAWN_CLASSES];
};
constexpr PawnTables make_pawn_tables() {
  PawnTables t{};
  for (int leaders = 0; leaders < MAX_LEADERS; leaders++)
    for (int f = 0; f < PAWN_CLASSES; f++) {
      uint64_t sum = 0;
      for (int j = PAWN_RANKS * f; j < PAWN_RANKS * (f + 1); j++) {
        t.index[leaders][j] = sum;
        sum += Binomial.v[ptwist(flap_square(j))][leaders];
      }
      t.factor[leaders][f] = sum;
    }
  return t;
}
constexpr PawnTables Pawn = make_pawn_tables();

constexpr int on_diag(int sq) { return (sq >> 3) == (sq & 7); }
constexpr int offdiag(int sq) { return (sq >> 3) - (sq & 7); }

// The ten squares a normalised leading piece can stand on.
constexpr int TRIANGLE_SQUARES[TRIANGLE_SIZE] = {1, 2, 3, 10, 11, 19, 0, 9, 18, 27};

struct SquareTables {
  int8_t triangle[SQUARES];
  int8_t lower[SQUARES];
};
constexpr SquareTables make_square_tables() {
  SquareTables t{};
  for (int sq = 0; sq < SQUARES; sq++) t.triangle[sq] = t.lower[sq] = -1;
  for (int i = 0; i < TRIANGLE_SIZE; i++) t.triangle[TRIANGLE_SQUARES[i]] = int8_t(i);
  int n = 0;
  for (int sq = 0; sq < SQUARES; sq++)
    if (offdiag(sq) < 0) t.lower[sq] = int8_t(n++);
  return t;
}
constexpr SquareTables Squares = make_square_tables();

constexpr bool near(int a, int b) {
  int df = (a & 7) - (b & 7), dr = (a >> 3) - (b >> 3);
  return df >= -1 && df <= 1 && dr >= -1 && dr <= 1;
}

// Numbering of the king pairs: off-diagonal leading king against any
// square, then diagonal leading king against squares below, then on the
// diagonal.
struct KingPairs {
  int16_t v[TRIANGLE_SIZE][SQUARES];
};
constexpr KingPairs make_king_pairs() {
  KingPairs t{};
  int n = 0;
  for (int i = 0; i < TRIANGLE_SIZE; i++)
    for (int sq = 0; sq < SQUARES; sq++) t.v[i][sq] = -1;
  for (int i = 0; i < TRIANGLE_OFF_DIAGONAL; i++)
    for (int sq = 0; sq < SQUARES; sq++)
      if (!near(TRIANGLE_SQUARES[i], sq)) t.v[i][sq] = int16_t(n++);
  for (int pass = 0; pass < 2; pass++)
    for (int i = TRIANGLE_OFF_DIAGONAL; i < TRIANGLE_SIZE; i++)
      for (int sq = 0; sq < SQUARES; sq++) {
        bool wanted = pass == 0 ? offdiag(sq) < 0 : on_diag(sq);
        if (wanted && !near(TRIANGLE_SQUARES[i], sq)) t.v[i][sq] = int16_t(n++);
      }
  return t;
}
constexpr KingPairs KingPair = make_king_pairs();
static_assert(KingPair.v[3][39] == 204, "king pair c2-h5");

// Insertion sort: groups hold at most five squares.
template <typename T, typename Before>
void sort_small(T* v, int n, Before before) {
  for (int i = 1; i < n; i++)
    for (int j = i; j > 0 && before(v[j], v[j - 1]); j--) std::swap(v[j], v[j - 1]);
}
constexpr auto ASCENDING = [](int x, int y) { return x < y; };

void transform(uint8_t* sq, int n, int mask) {
  for (int i = 0; i < n; i++) sq[i] ^= uint8_t(mask);
}

void reflect(uint8_t* sq, int n) {
  for (int i = 0; i < n; i++) sq[i] = uint8_t(((sq[i] & 7) << 3) | (sq[i] >> 3));
}

// Moves the leading piece into the a1-d1-d4 triangle and the first
// off-diagonal leading piece below the diagonal.
void normalise_pawnless(uint8_t* sq, int n, int leaders) {
  if ((sq[0] & 7) >= HALF_BOARD) transform(sq, n, FILE_MIRROR);
  if ((sq[0] >> 3) >= HALF_BOARD) transform(sq, n, RANK_FLIP);
  for (int i = 0; i < leaders; i++) {
    if (on_diag(sq[i])) continue;
    if (offdiag(sq[i]) > 0) reflect(sq, n);
    break;
  }
}

uint64_t three_unique_index(const uint8_t* sq) {
  int a = sq[0], b = sq[1], c = sq[2];
  int i = b > a, j = (c > a) + (c > b);
  if (!on_diag(a))
    return uint64_t(Squares.triangle[a]) * SECOND_SQUARES * THIRD_SQUARES +
           uint64_t(b - i) * THIRD_SQUARES + uint64_t(c - j);
  if (!on_diag(b))
    return OFF_DIAG_SPAN + uint64_t(a & 7) * BELOW_DIAGONAL * THIRD_SQUARES +
           uint64_t(Squares.lower[b]) * THIRD_SQUARES + uint64_t(c - j);
  if (!on_diag(c))
    return OFF_DIAG_SPAN + SECOND_OFF_SPAN + uint64_t(a & 7) * ON_DIAGONAL_REST * BELOW_DIAGONAL +
           uint64_t((b & 7) - i) * BELOW_DIAGONAL + uint64_t(Squares.lower[c]);
  return OFF_DIAG_SPAN + SECOND_OFF_SPAN + THIRD_OFF_SPAN +
         uint64_t(a & 7) * ON_DIAGONAL_REST * ON_DIAGONAL_LAST +
         uint64_t((b & 7) - i) * ON_DIAGONAL_LAST + uint64_t((c & 7) - j);
}

uint64_t leading_pawns_index(const uint8_t* sq, int leaders) {
  int twist[MAX_LEADERS];
  int t = leaders - 1;
  for (int i = 1; i <= t; i++) twist[i - 1] = ptwist(sq[i]);
  sort_small(twist, t, [](int x, int y) { return x > y; });
  uint64_t idx = Pawn.index[t][flap(sq[0])];
  for (int i = 1; i <= t; i++) idx += Binomial.v[twist[i - 1]][leaders - i];
  return idx;
}

// Combinatorial number of a set of identical pieces over the squares the
// earlier slots leave free; pawns count their squares from the first one a
// pawn can stand on.
uint64_t group_index(const uint8_t* sq, int start, int count, int firstSquare) {
  uint8_t q[TB_MAX_PIECES];
  std::copy(sq + start, sq + start + count, q);
  sort_small(q, count, ASCENDING);
  uint64_t idx = 0;
  for (int k = 0; k < count; k++) {
    int m = 0;
    for (int i = 0; i < start; i++) m += sq[i] < q[k];
    idx += Binomial.v[q[k] - firstSquare - m][k + 1];
  }
  return idx;
}

bool valid_code(int code) { return (code & 7) >= PAWN && (code & 7) <= KING; }

int unique_pieces(const uint8_t* codes, int n) {
  int unique = 0;
  for (int i = 0; i < n; i++) unique += std::count(codes, codes + n, codes[i]) == 1;
  return unique;
}

uint64_t group_size(const TbLayout& l, int g, int pawnClass) {
  int start = l.groupStart[g], count = l.groupCount[g];
  if (g == 0 && l.encoding == ENC_THREE_UNIQUE) return THREE_UNIQUE_SIZE;
  if (g == 0 && l.encoding == ENC_TWO_KINGS) return TWO_KINGS_SIZE;
  if (g == 0) return Pawn.factor[count - 1][pawnClass];
  if (g == 1 && l.otherPawns) return Binomial.v[PAWN_SQUARES - l.leadPawns][count];
  return Binomial.v[SQUARES - start][count];
}

// Cuts the slots into the special first groups and runs of identical codes.
bool cut_groups(TbLayout& l, bool pawns) {
  const uint8_t* c = l.pieces;
  int n = l.numPieces, slot;
  if (pawns) {
    if (type_of(c[0]) != PAWN) return false;
    l.encoding = ENC_PAWNS;
    l.leadPawns = uint8_t(std::count(c, c + n, c[0]));
    l.otherPawns = uint8_t(std::count(c, c + n, c[0] ^ 8));
    if (l.leadPawns > MAX_LEADERS - 1) return false;
    l.groupStart[0] = 0, l.groupCount[0] = l.leadPawns;
    l.numGroups = 1, slot = l.leadPawns;
    if (l.otherPawns) {
      l.groupStart[1] = uint8_t(slot), l.groupCount[1] = l.otherPawns;
      l.numGroups = 2, slot += l.otherPawns;
    }
  } else {
    l.encoding = unique_pieces(c, n) >= 3 ? ENC_THREE_UNIQUE : ENC_TWO_KINGS;
    slot = l.encoding == ENC_THREE_UNIQUE ? 3 : 2;
    l.groupStart[0] = 0, l.groupCount[0] = uint8_t(slot), l.numGroups = 1;
  }
  while (slot < n) {
    int end = slot + 1;
    while (end < n && c[end] == c[slot]) end++;
    l.groupStart[l.numGroups] = uint8_t(slot), l.groupCount[l.numGroups++] = uint8_t(end - slot);
    slot = end;
  }
  return true;
}

}  // namespace

uint64_t tb_binomial(int n, int k) {
  return n >= 0 && n < BINOMIAL_N && k >= 0 && k < MAX_K ? Binomial.v[n][k] : 0;
}

int tb_pawn_class(int sq) { return file_dist(sq); }
int tb_lead_rank(int sq) { return flap(sq); }

bool tb_build_layout(TbLayout& l, const uint8_t* codes, int count, bool pawns, int order,
                     int order2, int pawnClass) {
  l = TbLayout{};
  if (count < 3 || count > TB_MAX_PIECES) return false;
  for (int i = 0; i < count; i++) {
    if (!valid_code(codes[i]) || (!pawns && type_of(codes[i]) == PAWN)) return false;
    l.pieces[i] = codes[i];
  }
  l.numPieces = uint8_t(count);
  if (!cut_groups(l, pawns)) return false;
  bool hasSecond = pawns && l.otherPawns;
  if (!hasSecond) order2 = NO_ORDER;
  // Digit k is G0 at position `order`, G1 at `order2`, else the next
  // ordinary group.
  uint64_t factor = 1;
  int next = hasSecond ? 2 : 1, taken = 0;
  for (int k = 0; taken < l.numGroups; k++) {
    int g = k == order ? 0 : k == order2 ? 1 : next++;
    if (g >= l.numGroups || k >= l.numGroups) return false;
    l.factor[g] = factor;
    factor *= group_size(l, g, pawnClass);
    taken++;
  }
  l.size = factor;
  return true;
}

uint64_t tb_index(const TbLayout& l, uint8_t* sq) {
  int n = l.numPieces;
  uint64_t idx;
  int g = 1;
  if (l.encoding == ENC_PAWNS) {
    if ((sq[0] & 7) >= HALF_BOARD) transform(sq, n, FILE_MIRROR);
    idx = leading_pawns_index(sq, l.leadPawns) * l.factor[0];
    if (l.otherPawns) idx += group_index(sq, l.leadPawns, l.otherPawns, FIRST_PAWN_SQUARE) * l.factor[g++];
  } else if (l.encoding == ENC_THREE_UNIQUE) {
    normalise_pawnless(sq, n, 3);
    idx = three_unique_index(sq) * l.factor[0];
  } else {
    normalise_pawnless(sq, n, 2);
    int tri = Squares.triangle[sq[0]];
    idx = uint64_t(tri < 0 ? 0 : std::max<int>(KingPair.v[tri][sq[1]], 0)) * l.factor[0];
  }
  for (; g < l.numGroups; g++) idx += group_index(sq, l.groupStart[g], l.groupCount[g], 0) * l.factor[g];
  return idx;
}
