// The network trainer's model and its arithmetic: positions as the
// network sees them, the float forward pass the engine runs, its gradient,
// Adam steps and the loss over a set (used by tools/train_net.cpp and the
// tests). Only networks without a second layer are trained: the first
// layer, its shared bias and the middlegame, endgame and pieceless heads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "eval/netweights.h"

struct SearchThread;

// Centipawns per unit of network output (the engine's score mapping).
constexpr double SCORE_PER_OUTPUT = 500.0 / 3.0;
// Heads trained: middlegame, endgame, pieceless.
constexpr int TRAINED_HEADS = 3;

// Positions as the network sees them, stored flat.
struct SampleSet {
  std::vector<uint16_t> features;
  std::vector<uint32_t> start;  // count + 1 offsets into features
  std::vector<float> mix;
  std::vector<uint8_t> pieceless;
  std::vector<float> target;  // sigmoid(score / SCORE_PER_OUTPUT), blended with the result
  std::vector<int16_t> score;
  std::vector<std::string> fen;  // kept for the self-check (validation set only)
  size_t size() const { return mix.size(); }
};

// The trained network's shape and values (float, file order).
struct Model {
  NetHeader header;
  int inputs, hidden;
  std::vector<float> values;
  size_t headOffset;  // first head row
  size_t biasIndex;   // netParams first-layer bias
  // Training only: the loss compares sigmoid(out * outScale) with the
  // target. 1 is the engine's own mapping; a fitted score scale K other
  // than SCORE_PER_OUTPUT gives SCORE_PER_OUTPUT / K, so the network keeps
  // the engine's centipawns while its probabilities follow the games.
  double outScale = 1.0;
  // Training only (-factorise): 0, or where the factor rows start, after
  // the file's values. One row per input of a block pair, shared by both
  // king-wing pairs: input i of a wide network weighs its own row plus
  // factor row i mod NET_WING_OFFSET, so what a piece on a square learns
  // with the kings on one half also moves it with them on different halves.
  size_t factorOffset = 0;
};

// Gradient of one value block, one per thread.
struct Gradient {
  std::vector<float> g;  // same layout as Model::values (unused parts zero)
  double loss;
};

struct Adam {
  std::vector<float> m, v;
  long long step;
  double weightDecay = 0;  // decoupled, per unit of learning rate
};

struct Evaluation {
  double loss, meanAbsError;
};

double sigmoid(double x);
// The engine's forward pass in float; raw and act get the first layer
// before and after the activation.
double forward(const Model& m, const uint16_t* f, int n, float mix, bool pieceless, float* raw, float* act);
// Adds one sample's loss gradient (d loss / d out = g) to the block.
void backward(const Model& m, const uint16_t* f, int n, float mix, bool pieceless, const float* raw,
              const float* act, double g, Gradient& grad, float* gRaw);
// Gradient (summed, not averaged) of the samples order[from..to) into grad.
void batch_gradient(const Model& m, const SampleSet& s, const uint32_t* order, size_t from, size_t to,
                    Gradient& grad);
// Adam on the values the trainer moves; g is scaled by `scale` first.
void adam_update(Model& model, Adam& a, const std::vector<float>& g, double scale, double lr);
// Loss and mean absolute centipawn error of the engine-style score (of the
// folded network, for a factorised model).
Evaluation evaluate_set(const Model& m, const SampleSet& s);
// How a score and a result become the target: lambda * sigmoid(score /
// scoreScale) + (1 - lambda) * result.
struct TargetRule {
  double lambda = 1.0;
  double scoreScale = SCORE_PER_OUTPUT;
};
// The rule's target for a score and a result (0..1) seen from one side.
double blended_target(const TargetRule& rule, int score, double result);
// Adds the thread's position with its score; result (0..1, side to move)
// < 0 when the data has none, else the target blends the two by the rule.
bool add_sample(SearchThread* t, const NetHeader& h, int score, double result, const TargetRule& rule, SampleSet& s,
                bool keepFen);
// One pass over the shuffled order in mini-batches on up to two threads;
// returns the summed loss. A factorised model's gradient is taken on its
// folded network, refolded every batch.
double train_epoch(Model& model, Adam& adam, std::vector<Gradient>& grads, const SampleSet& train,
                   const std::vector<uint32_t>& order, size_t batch, double lr);
// The trainer's copy of a loaded network (float values, file order).
Model model_from_network(const NetWeights& w);
// Appends zero factor rows (the network computed stays the same); false
// for a network without king-wing blocks, which has nothing to share.
bool add_factor_rows(Model& m);
// The network a factorised model computes, in the file's shape: the factor
// rows added into both wings' rows. A model without them is copied.
Model folded_model(const Model& m);
// Fills the factor rows of g from the rows of both wings, whose sum is
// their gradient (g computed on the folded model).
void add_factor_gradient(const Model& m, std::vector<float>& g);
