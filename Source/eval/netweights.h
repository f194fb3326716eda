// The network's weight block: header, value layout, reading, writing and
// the built-in copy linked into the binary.
#pragma once

#include <cstddef>
#include <cstdint>

// File layout: seven little-endian u16 fields, a u32 value count, then the
// values as i16, each standing for value * NET_VALUE_STEP.
constexpr int NET_HEADER_FIELDS = 7;
constexpr int NET_HEADER_BYTES = NET_HEADER_FIELDS * 2 + 4;
constexpr double NET_VALUE_STEP = 0.0002;
// The step as the float the first layer's integer sums are scaled by.
constexpr float NET_VALUE_STEP_FLOAT = float(NET_VALUE_STEP);
constexpr double NET_VALUES_PER_UNIT = 5000.0;  // 1 / NET_VALUE_STEP, for writing
constexpr int NET_PARAM_COUNT = 8;              // trailing netParams
constexpr int NET_PARAM_FIRST_BIAS = 1;         // added to every first-layer unit
constexpr int NET_PARAM_SECOND_BIAS = 2;        // added to every second-layer unit
constexpr int NET_RESERVED_VALUE = 1;

// Main input counts a network may have: one block pair, or two pairs
// chosen by whether the kings stand on the same half of the board.
constexpr int NET_MAIN_INPUTS_NARROW = 896;
constexpr int NET_MAIN_INPUTS_WIDE = 1792;
// Widths are walked in whole 8-float vectors.
constexpr int NET_WIDTH_GRANULE = 8;
// Second-layer widths below this are not evaluated (no second layer is 0).
constexpr int NET_MIN_HIDDEN2 = 4;
// Outputs 0 and 1 are the blended heads, 2 the head for pieceless boards.
constexpr int NET_MIN_OUTPUTS = 3;
constexpr int NET_HEAD_MIDGAME = 0;
constexpr int NET_HEAD_ENDGAME = 1;
constexpr int NET_HEAD_PIECELESS = 2;
// Sanity limits far above any useful network; a header beyond them is
// treated as damaged rather than allocated.
constexpr int NET_MAX_EXTRA_INPUTS = 256;
constexpr int NET_MAX_HIDDEN1 = 4096;
constexpr int NET_MAX_HIDDEN2 = 1024;
constexpr int NET_MAX_OUTPUTS = 64;

// Versions from this one on take per-type count differences as extra
// inputs; older ones one material-balance input.
constexpr int NET_VERSION_COUNT_INPUTS = 536;
// The highest extra input a count-difference network uses is 30.
constexpr int NET_COUNT_INPUTS_NEEDED = 31;

struct NetHeader {
  uint16_t version;
  uint16_t reserved;
  uint16_t mainInputs;
  uint16_t extraInputs;
  uint16_t hidden1;
  uint16_t hidden2;  // 0 = no second layer
  uint16_t outputs;
  uint32_t storedCount;  // as written; the count used is recomputed
};

// The loaded network. Every pointer below points into `values`, which
// holds `count` floats in file order, followed by the first layer again in
// file steps. The evaluation sums the first layer in those integers: the
// sum is exact whatever order the columns come in (update, refresh or a
// kept vector), and the columns take half the memory.
struct NetWeights {
  NetHeader header;
  int inputs;  // main + extra
  size_t count;
  float* values;
  const float* firstLayer;   // inputs columns of hidden1 weights
  const float* secondLayer;  // rows of hidden1 weights (heads, or second-layer units)
  const float* thirdLayer;   // outputs rows of hidden2 weights; null without a second layer
  const float* params;       // NET_PARAM_COUNT netParams
  int16_t* firstSteps;       // firstLayer / NET_VALUE_STEP, the same columns
  int32_t firstBiasSteps;    // the first-layer bias / NET_VALUE_STEP
  uint32_t generation;       // bumped by every successful load
};

// The network in use; empty (values null) until the first load succeeds.
extern NetWeights Net;

// Number of values the header's dimensions call for.
size_t net_value_count(const NetHeader& h);
// Null when the header describes a network the evaluation can run,
// otherwise the reason in a few words.
const char* net_header_problem(const NetHeader& h);
// Header from its NET_HEADER_BYTES little-endian bytes.
NetHeader parse_net_header(const uint8_t* bytes);
void encode_net_header(const NetHeader& h, uint32_t count, uint8_t* bytes);
// The file value (i16) for a weight, rounded half away from zero and kept
// inside the 16-bit range.
int16_t quantize_net_value(float v);

// Allocates an uninitialised block for the header's values with its layout
// pointers set; false when memory is short (w is then left empty).
bool allocate_net_weights(NetWeights& w, const NetHeader& h);
// Fills firstSteps and firstBiasSteps from the float values, once they are
// all in place. Values off the file's grid take their file step, so the
// network evaluated is always the one its file holds.
void fill_net_steps(NetWeights& w);
void free_net_weights(NetWeights& w);

// Writes the network in the file format; false when the file cannot be
// created or written completely.
bool write_network_file(const NetWeights& w, const char* path);

// The built-in network file, linked into the binary at build time.
const uint8_t* builtin_net_bytes();
size_t builtin_net_size();
