#include "eval/netfeatures.h"

#include <algorithm>

#include "board/bitboard.h"

namespace {

// Group of each piece type within a block, king first.
constexpr int GROUP_OF_TYPE[KING + 1] = {0, 1, 2, 3, 4, 5, 0};
constexpr int LIST_ORDER[] = {KING, PAWN, KNIGHT, BISHOP, ROOK, QUEEN};

constexpr Bitboard ODD_FILES = 0x5555555555555555ULL;
constexpr Bitboard FILE_PAIRS = 0x3333333333333333ULL;
constexpr Bitboard FILE_QUADS = 0x0F0F0F0F0F0F0F0FULL;

// The set with every square XORed by m (7 mirrors files, 56 flips ranks),
// so that walking it from the lowest bit lists squares in the network's
// order, the same for a position and its colour-flipped twin.
Bitboard orient(Bitboard b, int m) {
  if (m & NET_RANK_FLIP) b = __builtin_bswap64(b);
  if (m & NET_FILE_MIRROR) {
    b = ((b >> 1) & ODD_FILES) | ((b & ODD_FILES) << 1);
    b = ((b >> 2) & FILE_PAIRS) | ((b & FILE_PAIRS) << 2);
    b = ((b >> 4) & FILE_QUADS) | ((b & FILE_QUADS) << 4);
  }
  return b;
}

int file_mirror_of(const Position& pos, int colour) {
  int k = pos.kingSq[colour];
  return k < NO_SQUARE && file_of(k) <= NET_LAST_MIRRORED_FILE ? NET_FILE_MIRROR : 0;
}

Bitboard passed_pawns(const Position& pos, int colour) {
  Bitboard pawns = piece_set(pos, colour, PAWN), enemy = piece_set(pos, colour ^ 1, PAWN);
  Bitboard passed = 0;
  for (Bitboard b = pawns; b;) {
    int sq = pop_lsb(b);
    if (!(PassedMask[colour][sq] & enemy)) passed |= bit(sq);
  }
  return passed;
}

void fill_side(const Position& pos, int colour, int m, Bitboard* group) {
  for (int type : LIST_ORDER) group[GROUP_OF_TYPE[type]] = orient(piece_set(pos, colour, type), m);
  group[NET_PASSED_GROUP] = orient(passed_pawns(pos, colour), m);
}

Bitboard extra_inputs(const Position& pos, const NetHeader& h) {
  int us = pos.side, them = us ^ 1;
  Bitboard extras = 0;
  if (h.version >= NET_VERSION_COUNT_INPUTS) {
    for (int type = PAWN; type <= QUEEN; type++) {
      int d = piece_count(pos, us, type) - piece_count(pos, them, type);
      int limit = NET_COUNT_INPUT_LIMIT[type];
      extras |= bit(NET_COUNT_INPUT_BASE[type] + std::clamp(d, -limit, limit));
    }
  } else if (h.extraInputs >= NET_BALANCE_MIN_EXTRA) {
    int d = int(pos.matValue[us]) - int(pos.matValue[them]);
    extras |= bit(NET_BALANCE_INPUT_BASE + std::clamp(d, -NET_BALANCE_LIMIT, NET_BALANCE_LIMIT));
  }
  return extras;
}

// Boards no game reaches may have more inputs than a list holds: the
// highest ones go, as the list cuts off its end.
void cap_features(FeatureSet& s) {
  for (int g = NET_FEATURE_GROUPS - 1; g >= 0 && s.count > MAX_NET_FEATURES; g--)
    while (s.group[g] && s.count > MAX_NET_FEATURES) {
      s.group[g] &= ~bit(63 - __builtin_clzll(s.group[g]));
      s.count--;
    }
}

}  // namespace

int build_feature_set(const Position& pos, const NetHeader& h, FeatureSet& out) {
  int us = pos.side & 1, them = us ^ 1;
  int flip = us == BLACK ? NET_RANK_FLIP : 0;
  int mUs = file_mirror_of(pos, us) ^ flip, mThem = file_mirror_of(pos, them) ^ flip;
  int kingWing = mUs != mThem && h.mainInputs >= NET_MAIN_INPUTS_WIDE ? 1 : 0;
  out.base = kingWing ? NET_WING_OFFSET : 0;
  out.extraBase = h.mainInputs;
  out.placement = ((mUs ^ flip) ? 1 : 0) | ((mThem ^ flip) ? 2 : 0);
  fill_side(pos, us, mUs, out.group);
  fill_side(pos, them, mThem, out.group + NET_MAIN_GROUPS / 2);
  out.group[NET_EXTRA_GROUP] = extra_inputs(pos, h);
  out.count = 0;
  for (Bitboard g : out.group) out.count += popcount(g);
  if (out.count > MAX_NET_FEATURES) cap_features(out);
  return kingWing;
}

int build_feature_list(const Position& pos, const NetHeader& h, FeatureList& out) {
  FeatureSet s;
  int kingWing = build_feature_set(pos, h, s);
  out.count = 0;
  for (int g = 0; g < NET_FEATURE_GROUPS; g++)
    for (Bitboard b = s.group[g]; b;) out.index[out.count++] = uint16_t(feature_input(s, g, pop_lsb(b)));
  return kingWing;
}
