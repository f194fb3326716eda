// nn_evaluate: working memory per thread, the first layer kept per side
// to move and updated from the last position evaluated for that side, the
// heads and the score mapping.
#include "eval/network.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "board/bitboard.h"
#include "core/evalcache.h"
#include "core/options.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "eval/networkspace.h"

namespace {

constexpr size_t WORKSPACE_ALIGNMENT = 64;


// Noise: a key-dependent step of this size, -127..128 steps.
constexpr uint32_t NOISE_MASK = 255;
constexpr int NOISE_CENTRE = 127;
constexpr double NOISE_STEP = 0.0001;
// The noise stays off while the game has at most this many moves on the
// undo stack, so the first moves of a game are played from clean scores.
constexpr int NOISE_MIN_UNDO_INDEX = 1;

constexpr double P_MIN = 0.00001;
constexpr double P_MAX = 0.99999;
constexpr int SCORE_LIMIT = 1919;
// Centipawns per unit of log-odds (about 500/3), as a float constant.
constexpr double SCORE_PER_LOG_ODDS = -166.6666717529297;

// Outputs beyond these bounds score +-1919 (p leaves 0.00001..0.99999 near
// +-11.513); between them the score steps once per float threshold.
constexpr float STEP_SEARCH_LOW = -16.0f, STEP_SEARCH_HIGH = 16.0f;
constexpr int SCORE_STEPS = 2 * SCORE_LIMIT + 1;

// The score is a non-decreasing step function of the output: p, 1/p - 1,
// the logarithm and the truncation are all monotone, and neighbouring
// floats stay apart through the double-precision steps. So the exp and
// log of every evaluation become a look-up among the outputs where the
// score steps up, found once by bisection over the floats in order.
struct ScoreSteps {
  float first[SCORE_STEPS];  // [s + 1919]: the least output scoring s or more
};

// Floats as integers in the same order (negative floats count downwards).
int64_t float_order(float x) {
  int32_t i = std::bit_cast<int32_t>(x);
  return i >= 0 ? i : int64_t(INT32_MIN) - i;
}
float float_at_order(int64_t k) { return std::bit_cast<float>(int32_t(k >= 0 ? k : int64_t(INT32_MIN) - k)); }

int direct_score(float out) { return net_score_from_probability(net_probability(out)); }

ScoreSteps make_score_steps() {
  ScoreSteps steps;
  steps.first[0] = -INFINITY;
  int64_t from = float_order(STEP_SEARCH_LOW), high = float_order(STEP_SEARCH_HIGH);
  for (int s = -SCORE_LIMIT + 1; s <= SCORE_LIMIT; s++) {
    int64_t lo = from, hi = high;  // direct_score(hi) >= s
    while (lo < hi) {
      int64_t mid = lo + (hi - lo) / 2;
      if (direct_score(float_at_order(mid)) >= s) hi = mid;
      else lo = mid + 1;
    }
    steps.first[s + SCORE_LIMIT] = float_at_order(lo);
    from = lo;
  }
  return steps;
}

void empty_slots(NetWorkspace* w) {
  w->slot[0].filled = w->slot[1].filled = false;
  for (auto& side : w->kept)
    for (AccumulatorSlot& k : side) k.filled = false;
}

size_t rounded(size_t bytes) { return (bytes + WORKSPACE_ALIGNMENT - 1) / WORKSPACE_ALIGNMENT * WORKSPACE_ALIGNMENT; }

// (Re)makes the arrays for the network in use; all slots start empty.
bool size_workspace(NetWorkspace* w) {
  std::free(w->block);
  w->block = nullptr;
  w->hidden1 = w->hidden2 = 0;
  const NetHeader& h = Net.header;
  static_assert(sizeof(int32_t) == sizeof(float), "slot and current vectors share one size");
  size_t vectorBytes = rounded(h.hidden1 * sizeof(float)), secondBytes = rounded(h.hidden2 * sizeof(float));
  constexpr int vectors = 3 + 2 * NET_KING_PLACEMENTS;  // current, two slots, the kept ones
  size_t total = vectors * vectorBytes + secondBytes;
  auto* block = static_cast<uint8_t*>(std::aligned_alloc(WORKSPACE_ALIGNMENT, total));
  if (!block) return false;
  std::memset(block, 0, total);
  w->block = block;
  w->current = reinterpret_cast<float*>(block);
  w->slot[0].vector = reinterpret_cast<int32_t*>(block + vectorBytes);
  w->slot[1].vector = reinterpret_cast<int32_t*>(block + 2 * vectorBytes);
  uint8_t* next = block + 3 * vectorBytes;
  for (auto& side : w->kept)
    for (AccumulatorSlot& k : side) {
      k.vector = reinterpret_cast<int32_t*>(next);
      next += vectorBytes;
    }
  w->second = h.hidden2 ? reinterpret_cast<float*>(next) : nullptr;
  w->hidden1 = h.hidden1;
  w->hidden2 = h.hidden2;
  empty_slots(w);
  return true;
}

bool can_update(const AccumulatorSlot& s, const FeatureSet& list, int kingWing, Bitboard occ, int ply) {
  return s.filled && ply > 1 && s.kingWing == kingWing && s.features.placement == list.placement &&
         std::abs(list.count - s.features.count) <= NET_UPDATE_MAX_FEATURE_CHANGE &&
         popcount(occ ^ s.occupancy) <= NET_UPDATE_MAX_SQUARE_CHANGE;
}

const int16_t* column(int feature) { return Net.firstSteps + size_t(feature) * Net.header.hidden1; }

// Columns of the inputs in `from` and not in `to`, in ascending input
// order (the order of the lists); the count. A move changes two to four
// groups: a first pass without branches finds them, so the walk skips the
// unchanged words without a guess per group.
int changed_columns(const FeatureSet& from, const FeatureSet& to, const int16_t** out) {
  Bitboard diff[NET_FEATURE_GROUPS];
  unsigned changed = 0;
  for (int g = 0; g < NET_FEATURE_GROUPS; g++) {
    diff[g] = from.group[g] & ~to.group[g];
    changed |= unsigned(diff[g] != 0) << g;
  }
  int n = 0;
  while (changed) {
    int g = __builtin_ctz(changed);
    changed &= changed - 1;
    for (Bitboard b = diff[g]; b;) out[n++] = column(feature_input(from, g, pop_lsb(b)));
  }
  return n;
}

// The slot's vector moved from its saved inputs to the new ones: the
// features gone are subtracted, then the new ones added, each in list
// order. Both sets have the same base (the kingWing flags agree).
void update_first_layer(AccumulatorSlot& s, const FeatureSet& now, float* activated, const NetKernels& k,
                        HeadRows* heads) {
  const int16_t* subs[MAX_NET_FEATURES];
  const int16_t* adds[MAX_NET_FEATURES];
  int subCount = changed_columns(s.features, now, subs);
  int addCount = changed_columns(now, s.features, adds);
  k.applyColumns(s.vector, activated, ColumnChanges{subs, subCount, adds, addCount, heads}, Net.header.hidden1);
}

void refresh_columns(const NetWeights& net, const int16_t* const* adds, int count, int32_t* raw,
                     float* activated, const NetKernels& k, HeadRows* heads) {
  int n = net.header.hidden1;
  std::fill(raw, raw + n, net.firstBiasSteps);
  k.applyColumns(raw, activated, ColumnChanges{nullptr, 0, adds, count, heads}, n);
}

// A first layer not updated from its slot: from the kept vector of its
// side and king placement when that is closer than the bias, else from
// scratch; the kept vector then holds the result and the slot a copy.
// The sums are exact, so the path taken never changes the result.
void rebuild_first_layer(NetWorkspace* w, AccumulatorSlot& s, AccumulatorSlot& kept, const FeatureSet& list,
                         float* activated, const NetKernels& k, HeadRows* heads) {
  const int16_t* subs[MAX_NET_FEATURES];
  const int16_t* adds[MAX_NET_FEATURES];
  int subCount = 0, addCount = 0;
  bool reuse = kept.filled;
  if (reuse) {
    subCount = changed_columns(kept.features, list, subs);
    addCount = changed_columns(list, kept.features, adds);
    reuse = subCount + addCount < list.count;
  }
  int n = Net.header.hidden1;
  if (reuse) {
    k.applyColumns(kept.vector, activated, ColumnChanges{subs, subCount, adds, addCount, heads}, n);
    w->fromKept++;
  } else {
    FeatureSet none = {};
    int count = changed_columns(list, none, adds);
    refresh_columns(Net, adds, count, kept.vector, activated, k, heads);
    kept.filled = true;
  }
  kept.features = list;
  std::memcpy(s.vector, kept.vector, sizeof(int32_t) * size_t(n));
  w->refreshes++;
}

// Brings the side to move's slot to the position; `heads` (when given)
// get their sums, and the current vector the activated copy where the
// second layer or an unfused head reads it.
void first_layer(SearchThread* t, NetWorkspace* w, const FeatureSet& list, int kingWing, const NetKernels& k,
                 HeadRows* heads) {
  AccumulatorSlot& s = w->slot[t->pos.side & 1];
  Bitboard occ = occupancy(t->pos);
  // With the heads summed here the activated layer itself is not needed.
  float* activated = heads && Net.header.hidden1 % NET_DOT_WIDE_LANES == 0 ? nullptr : w->current;
  if (can_update(s, list, kingWing, occ, t->ply)) {
    update_first_layer(s, list, activated, k, heads);
    w->updates++;
  } else {
    rebuild_first_layer(w, s, w->kept[t->pos.side & 1][list.placement], list, activated, k, heads);
  }
  s.filled = true;
  s.ply = t->ply;
  s.features = list;
  s.kingWing = kingWing;
  s.occupancy = occ;
}

// The head rows (each n weights long) an evaluation reads: the pieceless
// one alone, or the middlegame and endgame rows to blend.
HeadRows head_rows(const float* rows, int n, bool pieceless) {
  if (pieceless) return HeadRows{{rows + size_t(NET_HEAD_PIECELESS) * n, nullptr}, 1, {}};
  return HeadRows{{rows + size_t(NET_HEAD_MIDGAME) * n, rows + size_t(NET_HEAD_ENDGAME) * n}, 2, {}};
}

float blend_heads(NetWorkspace* w, const HeadRows& heads, bool pieceless) {
  w->headUsed = pieceless ? NET_USED_PIECELESS : NET_USED_BLENDED;
  if (pieceless) return heads.sums[0];
  return float(double(w->mix) * heads.sums[0] + (1.0 - double(w->mix)) * heads.sums[1]);
}

// Output of the head rows for the vector v.
float head_output(NetWorkspace* w, const float* v, int n, const float* rows, bool pieceless, const NetKernels& k) {
  HeadRows heads = head_rows(rows, n, pieceless);
  for (int h = 0; h < heads.count; h++) heads.sums[h] = k.dot(v, heads.rows[h], n);
  return blend_heads(w, heads, pieceless);
}

// Without a second layer the heads were summed with the first layer.
float network_output(NetWorkspace* w, bool pieceless, const HeadRows& fused, const NetKernels& k) {
  const NetHeader& h = Net.header;
  if (h.hidden2 < NET_MIN_HIDDEN2) return blend_heads(w, fused, pieceless);
  float bias = Net.params[NET_PARAM_SECOND_BIAS];
  for (int j = 0; j < h.hidden2; j++)
    w->second[j] = bias + k.dot(w->current, Net.secondLayer + size_t(j) * h.hidden1, h.hidden1);
  k.activate(w->second, h.hidden2);
  return head_output(w, w->second, h.hidden2, Net.thirdLayer, pieceless, k);
}

float add_noise(const SearchThread* t, const NetWorkspace* w, float out) {
  // Every search thread's undo stack starts from the same game record, so
  // the evaluated thread's own stack tells how far the game has gone;
  // reading another thread's stack in mid-search would be a data race.
  if (!Options.evalNoise || t->undoIndex <= NOISE_MIN_UNDO_INDEX) return out;
  int step = int((uint32_t(t->pos.key) ^ w->random) & NOISE_MASK) - NOISE_CENTRE;
  return float(out + step * NOISE_STEP);
}

}  // namespace

NetWorkspace* net_workspace(SearchThread* t) {
  if (!Net.values) return nullptr;
  NetWorkspace* w = t->net;
  if (!w) {
    w = static_cast<NetWorkspace*>(std::calloc(1, sizeof(NetWorkspace)));
    if (!w) return nullptr;
    w->random = uint32_t(std::rand());
    w->generation = Net.generation;
    t->net = w;
  }
  if (w->hidden1 != Net.header.hidden1 || w->hidden2 != Net.header.hidden2)
    if (!size_workspace(w)) return nullptr;
  if (w->generation != Net.generation) {
    empty_slots(w);
    w->generation = Net.generation;
  }
  return w;
}

void refresh_first_layer(const NetWeights& net, const FeatureList& list, int32_t* raw, float* activated,
                         const NetKernels& k, HeadRows* heads) {
  const int16_t* adds[MAX_NET_FEATURES];
  for (int i = 0; i < list.count; i++) adds[i] = net.firstSteps + size_t(list.index[i]) * net.header.hidden1;
  refresh_columns(net, adds, list.count, raw, activated, k, heads);
}

float net_probability(float out) { return float(1.0 / (1.0 + std::exp(-double(out)))); }

int net_score_from_probability(float p) {
  if (p < P_MIN) return -SCORE_LIMIT;
  if (p > P_MAX) return SCORE_LIMIT;
  return int(std::log(1.0 / p - 1.0) * SCORE_PER_LOG_ODDS);
}

int net_score(float out) {
  static const ScoreSteps steps = make_score_steps();
  if (!(out > STEP_SEARCH_LOW && out < STEP_SEARCH_HIGH)) return direct_score(out);
  // out * 500/3 lands on the score or next to it; walk to the right step.
  int s = std::clamp(int(out * float(-SCORE_PER_LOG_ODDS)), -SCORE_LIMIT, SCORE_LIMIT);
  while (s < SCORE_LIMIT && out >= steps.first[s + 1 + SCORE_LIMIT]) s++;
  while (s > -SCORE_LIMIT && out < steps.first[s + SCORE_LIMIT]) s--;
  return s;
}

int nn_evaluate_with(SearchThread* t, NetWorkspace* w, const NetKernels& k) {
  const Position& pos = t->pos;
  w->mix = float(std::min(1.0, MIX_PER_MATERIAL_UNIT * (pos.matValue[WHITE] + pos.matValue[BLACK])));
  FeatureSet list;
  int kingWing = build_feature_set(pos, Net.header, list);
  bool pieceless = std::max(pos.matValue[WHITE], pos.matValue[BLACK]) == 0;
  bool secondLayer = Net.header.hidden2 >= NET_MIN_HIDDEN2;
  HeadRows heads = head_rows(Net.secondLayer, Net.header.hidden1, pieceless);
  first_layer(t, w, list, kingWing, k, secondLayer ? nullptr : &heads);
  float out = add_noise(t, w, network_output(w, pieceless, heads, k));
  w->lastOut = out;
  w->lastScore = int16_t(net_score(out));
  return w->lastScore;
}

int nn_evaluate(SearchThread* t) {
  NetWorkspace* w = net_workspace(t);
  if (!w) {
    print_line("error initializing NN!");
    return NO_EVAL;
  }
  t->evalCalls++;
  EvalCacheEntry& e = t->evalCache[eval_cache_index(t->pos.key, t->pos.side & 1)];
  if (e.key == t->pos.key && t->ply > 1) {
    t->evalHits++;
    return e.nnScore;
  }
  int score = nn_evaluate_with(t, w, best_net_kernels());
  e.key = t->pos.key;
  e.nnScore = int16_t(score);
  return score;
}

int nn_evaluate_uncached(SearchThread* t) {
  NetWorkspace* w = net_workspace(t);
  return w ? nn_evaluate_with(t, w, best_net_kernels()) : NO_EVAL;
}

void free_net_workspace(NetWorkspace* w) {
  if (!w) return;
  std::free(w->block);
  std::free(w);
}

int last_network_score(const SearchThread* t) { return t->net ? t->net->lastScore : 0; }
