// Per-thread working memory of the network and the evaluation steps that
// tests and benchmarks drive directly.
#pragma once

#include <cstdint>

#include "eval/netfeatures.h"
#include "eval/netkernels.h"
#include "eval/netweights.h"

struct SearchThread;

// The incremental first-layer update is taken only when the kings keep
// their placement (see FeatureSet) and the feature count and the occupied
// squares changed by at most this much since the slot was saved; beyond
// that a refresh costs about as much.
constexpr int NET_UPDATE_MAX_FEATURE_CHANGE = 8;
constexpr int NET_UPDATE_MAX_SQUARE_CHANGE = 8;

// A first layer that cannot be updated from its slot starts instead from
// the one last made for the same side to move and king placement, when
// fewer columns separate the two than the position has inputs.

// Head used by the last evaluation.
constexpr int NET_USED_BLENDED = 1;
constexpr int NET_USED_PIECELESS = 2;

// The first layer as last computed for one side to move.
struct AccumulatorSlot {
  int32_t* vector;  // sums in file steps, before the activation
  FeatureSet features;
  int ply;
  int kingWing;
  Bitboard occupancy;
  bool filled;
};

struct NetWorkspace {
  float* current;  // first layer of the position being evaluated
  float* second;   // second layer; null for networks without one
  AccumulatorSlot slot[2];
  AccumulatorSlot kept[2][NET_KING_PLACEMENTS];  // [side to move][placement]
  void* block;     // the single allocation behind the arrays above
  // Shape of the arrays and the network they were filled for.
  int hidden1, hidden2;
  uint32_t generation;
  uint32_t random;  // drawn once, seeds the evaluation noise
  float mix;
  int16_t lastScore;
  float lastOut;  // its probability is net_probability(lastOut)
  int headUsed;
  // First-layer work done, for tests and benchmarks: refreshes count every
  // first layer not updated from its slot, fromKept those of them that
  // started from a kept vector.
  uint64_t refreshes, updates, fromKept;
};

// The thread's working memory, made on first use and brought in line with
// the network in use (resized for another shape, slots emptied after any
// load); null when memory is short or no network is loaded.
NetWorkspace* net_workspace(SearchThread* t);

// The first layer from scratch: the bias, then every listed column, in
// raw (before the activation) and activated form; with `heads` their sums
// over the activated layer too.
void refresh_first_layer(const NetWeights& net, const FeatureList& list, int32_t* raw, float* activated,
                         const NetKernels& k, HeadRows* heads = nullptr);

// The network's evaluation without the cache, with a chosen set of layer
// loops; the working memory must come from net_workspace.
int nn_evaluate_with(SearchThread* t, NetWorkspace* w, const NetKernels& k);

// p = 1 / (1 + e^-out), and the score it maps to (clamped to +-1919).
float net_probability(float out);
int net_score_from_probability(float p);
// The same as net_score_from_probability(net_probability(out)), from a
// table of the outputs where the score steps (made on first use).
int net_score(float out);
