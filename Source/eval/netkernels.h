// Layer loops of the network over float vectors. One binary carries them
// for AVX-512 (16 floats a register), AVX2/FMA (8) and SSE2 (4) and picks
// the widest the processor runs, whatever the build targets. All of them
// add in the order of the scalar reference: per unit the columns in list
// order, and dot products over 16 lanes (8 when the length is not a
// multiple of 16) folded half onto half. The first layer is summed in
// integers, so every set gets it bit for bit. Sets that round a
// multiply-add once, as the reference does in a build for FMA processors,
// give bit-identical head sums too; the others may differ in the last
// centipawn.
#pragma once

#include <cstdint>


// Slope of the leaky rectifier below zero.
constexpr float NET_LEAK_SLOPE = 0.0625f;

// Lanes of the dot product, whatever the register width: 16 for lengths
// that are multiples of 16, else 8, then a plain loop for the rest.
constexpr int NET_DOT_WIDE_LANES = 16;
constexpr int NET_DOT_NARROW_LANES = 8;

// Output rows summed against the activated first layer while it is made,
// so the heads cost no second pass: sums[h] = dot(activated, rows[h], n),
// added in the order `dot` adds.
constexpr int NET_MAX_FUSED_HEADS = 2;
struct HeadRows {
  const float* rows[NET_MAX_FUSED_HEADS];
  int count;
  float sums[NET_MAX_FUSED_HEADS];
};

// First-layer columns moved in or out of a vector of sums in file steps:
// for every unit, raw[i] -= each subs column, then += each adds column;
// then activated[i] = leaky(raw[i] * NET_VALUE_STEP_FLOAT). Both arrays n
// long. With `heads` the head sums are filled as well; then, when n is a
// multiple of NET_DOT_WIDE_LANES, `activated` may be null (a network
// without a second layer needs only the sums, and the store costs a pass).
struct ColumnChanges {
  const int16_t* const* subs;
  int subCount;
  const int16_t* const* adds;
  int addCount;
  HeadRows* heads = nullptr;
};

// One set of layer loops.
struct NetKernels {
  const char* name;
  bool fused;  // a multiply-add rounds once
  void (*applyColumns)(int32_t* raw, float* activated, const ColumnChanges& c, int n);
  void (*activate)(float* v, int n);  // leaky rectifier in place
  float (*dot)(const float* a, const float* b, int n);
};

// The sets, widest first; the scalar reference is always last.
enum NetKernelSet { NET_KERNELS_AVX512, NET_KERNELS_AVX2, NET_KERNELS_SSE2, NET_KERNELS_SCALAR, NET_KERNEL_SETS };
extern const NetKernels NetKernelTable[NET_KERNEL_SETS];
extern const NetKernels& SCALAR_KERNELS;

// True when this processor (and this build's target family) runs the set.
bool net_kernels_supported(int set);
// The widest supported set, asked of the processor once.
const NetKernels& best_net_kernels();
