#include "nettrain.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "board/fen.h"
#include "core/searchthread.h"
#include "eval/netfeatures.h"
#include "eval/network.h"
#include "eval/networkspace.h"

namespace {

constexpr double LEAK_SLOPE = 0.0625;
// The 16-bit file holds +-32767 steps of 0.0002; a little margin below.
constexpr float WEIGHT_LIMIT = 6.5f;

// Adam.
constexpr double ADAM_BETA1 = 0.9;
constexpr double ADAM_BETA2 = 0.999;
constexpr double ADAM_EPSILON = 1e-8;

}  // namespace

double sigmoid(double x) { return 1.0 / (1.0 + std::exp(-x)); }

static const float* first_column(const Model& m, int feature) { return m.values.data() + size_t(feature) * m.hidden; }

// The engine's forward pass in float; raw and act get the first layer
// before and after the activation.
double forward(const Model& m, const uint16_t* f, int n, float mix, bool pieceless, float* raw, float* act) {
  const int h = m.hidden;
  const float bias = m.values[m.biasIndex];
  for (int j = 0; j < h; j++) raw[j] = bias;
  for (int i = 0; i < n; i++) {
    const float* c = first_column(m, f[i]);
    for (int j = 0; j < h; j++) raw[j] += c[j];
  }
  for (int j = 0; j < h; j++) act[j] = raw[j] < 0 ? raw[j] * float(LEAK_SLOPE) : raw[j];
  const float* rows = m.values.data() + m.headOffset;
  auto dot = [&](int row) {
    const float* r = rows + size_t(row) * h;
    float s = 0;
    for (int j = 0; j < h; j++) s += act[j] * r[j];
    return double(s);
  };
  if (pieceless) return dot(NET_HEAD_PIECELESS);
  return float(double(mix) * dot(NET_HEAD_MIDGAME) + (1.0 - double(mix)) * dot(NET_HEAD_ENDGAME));
}

// Adds one sample's loss gradient (d loss / d out = g) to the block.
void backward(const Model& m, const uint16_t* f, int n, float mix, bool pieceless, const float* raw,
              const float* act, double g, Gradient& grad, float* gRaw) {
  const int h = m.hidden;
  const float* rows = m.values.data() + m.headOffset;
  float* gRows = grad.g.data() + m.headOffset;
  // Share of the output each head carries for this position.
  float share[TRAINED_HEADS] = {0, 0, 0};
  if (pieceless) share[NET_HEAD_PIECELESS] = 1;
  else share[NET_HEAD_MIDGAME] = mix, share[NET_HEAD_ENDGAME] = 1 - mix;
  const float gf = float(g);
  for (int j = 0; j < h; j++) gRaw[j] = 0;
  for (int r = 0; r < TRAINED_HEADS; r++) {
    if (share[r] == 0) continue;
    const float s = gf * share[r];
    const float* row = rows + size_t(r) * h;
    float* gRow = gRows + size_t(r) * h;
    for (int j = 0; j < h; j++) {
      gRow[j] += s * act[j];
      gRaw[j] += s * row[j];
    }
  }
  float gBias = 0;
  for (int j = 0; j < h; j++) {
    gRaw[j] *= raw[j] < 0 ? float(LEAK_SLOPE) : 1.0f;
    gBias += gRaw[j];
  }
  grad.g[m.biasIndex] += gBias;
  for (int i = 0; i < n; i++) {
    float* gc = grad.g.data() + size_t(f[i]) * h;
    for (int j = 0; j < h; j++) gc[j] += gRaw[j];
  }
}

// Gradient of the samples order[from..to) into grad.
void batch_gradient(const Model& m, const SampleSet& s, const uint32_t* order, size_t from, size_t to,
                    Gradient& grad) {
  std::vector<float> raw(m.hidden), act(m.hidden), gRaw(m.hidden);
  std::fill(grad.g.begin(), grad.g.end(), 0.0f);
  grad.loss = 0;
  for (size_t k = from; k < to; k++) {
    uint32_t i = order[k];
    const uint16_t* f = s.features.data() + s.start[i];
    int n = int(s.start[i + 1] - s.start[i]);
    double out = forward(m, f, n, s.mix[i], s.pieceless[i], raw.data(), act.data());
    double p = sigmoid(out * m.outScale), e = p - s.target[i];
    grad.loss += e * e;
    double g = 2 * e * p * (1 - p) * m.outScale;
    backward(m, f, n, s.mix[i], s.pieceless[i], raw.data(), act.data(), g, grad, gRaw.data());
  }
}


// Adam on the values the trainer moves: the first layer, the three head
// rows, the first-layer bias and the factor rows.
void adam_update(Model& model, Adam& a, const std::vector<float>& g, double scale, double lr) {
  a.step++;
  const double c1 = 1.0 - std::pow(ADAM_BETA1, double(a.step));
  const double c2 = 1.0 - std::pow(ADAM_BETA2, double(a.step));
  const float step = float(lr * std::sqrt(c2) / c1);
  const float b1 = float(ADAM_BETA1), b2 = float(ADAM_BETA2), sc = float(scale);
  const float keep = float(1.0 - lr * a.weightDecay);
  const size_t trainedEnd = model.headOffset + size_t(TRAINED_HEADS) * model.hidden;
  auto update = [&](size_t i) {
    float gi = g[i] * sc;
    a.m[i] = b1 * a.m[i] + (1 - b1) * gi;
    a.v[i] = b2 * a.v[i] + (1 - b2) * gi * gi;
    float w = keep * model.values[i] - step * a.m[i] / (std::sqrt(a.v[i]) + float(ADAM_EPSILON));
    model.values[i] = std::clamp(w, -WEIGHT_LIMIT, WEIGHT_LIMIT);
  };
  for (size_t i = 0; i < trainedEnd; i++) update(i);
  update(model.biasIndex);
  if (model.factorOffset)
    for (size_t i = model.factorOffset; i < model.values.size(); i++) update(i);
}
// Loss and mean absolute centipawn error of the engine-style score.
Evaluation evaluate_set(const Model& m, const SampleSet& s) {
  if (m.factorOffset) return evaluate_set(folded_model(m), s);
  std::vector<float> raw(m.hidden), act(m.hidden);
  double loss = 0, err = 0;
  for (size_t i = 0; i < s.size(); i++) {
    const uint16_t* f = s.features.data() + s.start[i];
    double out = forward(m, f, int(s.start[i + 1] - s.start[i]), s.mix[i], s.pieceless[i], raw.data(), act.data());
    double e = sigmoid(out * m.outScale) - s.target[i];
    loss += e * e;
    err += std::abs(net_score_from_probability(net_probability(float(out))) - s.score[i]);
  }
  return {loss / double(s.size()), err / double(s.size())};
}

double blended_target(const TargetRule& rule, int score, double result) {
  return rule.lambda * sigmoid(score / rule.scoreScale) + (1 - rule.lambda) * result;
}

// Adds the thread's position; result < 0 when the data has none.
bool add_sample(SearchThread* t, const NetHeader& h, int score, double result, const TargetRule& rule, SampleSet& s,
                bool keepFen) {
  if (!kings_are_valid(t->pos)) return false;
  FeatureList list;
  build_feature_list(t->pos, h, list);
  const Position& pos = t->pos;
  s.features.insert(s.features.end(), list.index, list.index + list.count);
  s.start.push_back(uint32_t(s.features.size()));
  s.mix.push_back(float(std::min(1.0, MIX_PER_MATERIAL_UNIT * (pos.matValue[WHITE] + pos.matValue[BLACK]))));
  s.pieceless.push_back(std::max(pos.matValue[WHITE], pos.matValue[BLACK]) == 0);
  double target = result < 0 ? sigmoid(score / rule.scoreScale) : blended_target(rule, score, result);
  s.target.push_back(float(target));
  s.score.push_back(int16_t(score));
  if (keepFen) {
    char fen[FEN_SIZE];
    position_to_fen(pos, fen, false);
    s.fen.push_back(fen);
  }
  return true;
}

double train_epoch(Model& model, Adam& adam, std::vector<Gradient>& grads, const SampleSet& train,
                   const std::vector<uint32_t>& order, size_t batch, double lr) {
  const int threads = int(grads.size());
  const size_t trainedEnd = model.headOffset + size_t(TRAINED_HEADS) * model.hidden;
  double loss = 0;
  Model folded;
  for (size_t from = 0; from < order.size(); from += batch) {
    size_t to = std::min(order.size(), from + batch);
    size_t share = (to - from + threads - 1) / threads;
    if (model.factorOffset) folded = folded_model(model);
    const Model& net = model.factorOffset ? folded : model;
    std::vector<std::thread> workers;
    for (int w = 1; w < threads; w++) {
      size_t a = std::min(to, from + w * share), b = std::min(to, a + share);
      workers.emplace_back(batch_gradient, std::cref(net), std::cref(train), order.data(), a, b,
                           std::ref(grads[w]));
    }
    batch_gradient(net, train, order.data(), from, std::min(to, from + share), grads[0]);
    for (std::thread& w : workers) w.join();
    for (int w = 1; w < threads; w++) {
      grads[0].loss += grads[w].loss;
      for (size_t i = 0; i < trainedEnd; i++) grads[0].g[i] += grads[w].g[i];
      grads[0].g[model.biasIndex] += grads[w].g[model.biasIndex];
    }
    if (model.factorOffset) add_factor_gradient(model, grads[0].g);
    loss += grads[0].loss;
    adam_update(model, adam, grads[0].g, 1.0 / double(to - from), lr);
  }
  return loss;
}

Model model_from_network(const NetWeights& w) {
  Model m;
  m.header = w.header;
  m.inputs = w.inputs;
  m.hidden = w.header.hidden1;
  m.values.assign(w.values, w.values + w.count);
  m.headOffset = size_t(m.inputs) * m.hidden;
  m.biasIndex = w.count - NET_PARAM_COUNT + NET_PARAM_FIRST_BIAS;
  return m;
}

bool add_factor_rows(Model& m) {
  if (m.header.mainInputs < NET_MAIN_INPUTS_WIDE || m.factorOffset) return false;
  m.factorOffset = m.values.size();
  m.values.resize(m.factorOffset + size_t(NET_WING_OFFSET) * m.hidden, 0.0f);
  return true;
}

// The sums are kept inside the file's range as the trained values are, so
// the network trained is the one written. The gradient ignores that clamp,
// which only a weight at the limit meets.
Model folded_model(const Model& m) {
  Model f = m;
  if (!m.factorOffset) return f;
  f.values.resize(m.factorOffset);
  f.factorOffset = 0;
  const size_t pair = size_t(NET_WING_OFFSET) * m.hidden;
  const float* factor = m.values.data() + m.factorOffset;
  for (float* row = f.values.data(); row < f.values.data() + 2 * pair; row += pair)
    for (size_t i = 0; i < pair; i++) row[i] = std::clamp(row[i] + factor[i], -WEIGHT_LIMIT, WEIGHT_LIMIT);
  return f;
}

void add_factor_gradient(const Model& m, std::vector<float>& g) {
  const size_t pair = size_t(NET_WING_OFFSET) * m.hidden;
  float* factor = g.data() + m.factorOffset;
  for (size_t i = 0; i < pair; i++) factor[i] = g[i] + g[pair + i];
}
