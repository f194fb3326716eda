// The network's inputs: the active features of a position, seen from the
// side to move.
#pragma once

#include <cstdint>

#include "core/position.h"
#include "eval/netweights.h"

// Each half of the main inputs has 7 groups of 64 squares: king, pawns,
// knights, bishops, rooks, queens, passed pawns.
constexpr int NET_GROUP_SQUARES = 64;
constexpr int NET_BLOCK_INPUTS = 7 * NET_GROUP_SQUARES;
constexpr int NET_PASSED_GROUP = 6;
// Wide networks have a second pair of blocks for kings on different halves.
constexpr int NET_WING_OFFSET = 2 * NET_BLOCK_INPUTS;
// XORed into squares: files mirrored (king on a-d) and ranks flipped
// (Black to move).
constexpr int NET_FILE_MIRROR = 7;
constexpr int NET_RANK_FLIP = 56;
constexpr int NET_LAST_MIRRORED_FILE = 3;  // files a-d

// Extra inputs, counted from the main input count. Count-difference
// networks: one input per piece type at base + clamp(ours - theirs).
constexpr int NET_COUNT_INPUT_BASE[KING] = {0, 5, 13, 18, 23, 28};   // by type, pawn..queen
constexpr int NET_COUNT_INPUT_LIMIT[KING] = {0, 5, 2, 2, 2, 2};
// Older networks: one material-balance input, when they have room for it.
constexpr int NET_BALANCE_INPUT_BASE = 16;
constexpr int NET_BALANCE_LIMIT = 13;
constexpr int NET_BALANCE_MIN_EXTRA = 32;

// 32 pieces, 16 passed pawns and 5 extra inputs fill at most 53 entries;
// boards no game reaches are cut off at the end of the list.
constexpr int MAX_NET_FEATURES = 64;

struct FeatureList {
  int count;
  uint16_t index[MAX_NET_FEATURES];
};

// The same inputs as a set of 64-input groups: our seven groups, their
// seven (group g holds inputs base + 64 g ..), then the extra inputs
// (counted from the main input count). The list is ascending, so walking
// the groups in order, each from its lowest bit, gives the list; and the
// difference of two sets with the same base is a few word operations
// instead of a merge of two lists.
constexpr int NET_MAIN_GROUPS = 14;
constexpr int NET_EXTRA_GROUP = NET_MAIN_GROUPS;
constexpr int NET_FEATURE_GROUPS = NET_MAIN_GROUPS + 1;

struct FeatureSet {
  Bitboard group[NET_FEATURE_GROUPS];
  int base;       // input of bit 0 of group 0 (0, or the wing offset)
  int extraBase;  // input of bit 0 of the extra group
  int count;      // at most MAX_NET_FEATURES, as the list
  // Which kings have their files mirrored (bit 0 ours, bit 1 theirs): sets
  // with different placements share almost no inputs.
  int placement;
};
constexpr int NET_KING_PLACEMENTS = 4;

inline int feature_input(const FeatureSet& s, int group, int bit) {
  return (group < NET_MAIN_GROUPS ? s.base + group * NET_GROUP_SQUARES : s.extraBase) + bit;
}

// The set of the list below (cut off at the same place) and its kingWing.
int build_feature_set(const Position& pos, const NetHeader& h, FeatureSet& out);

// Fills the list in the network's order (our king, pawns, knights,
// bishops, rooks, queens, passed pawns, then the same for the other side,
// then the extra inputs; squares ascending as the network sees them) and
// returns the kingWing flag. Every index is below the header's input count.
int build_feature_list(const Position& pos, const NetHeader& h, FeatureList& out);
