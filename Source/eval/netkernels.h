// Layer loops of the network over float vectors. The vector kernels use
// 8-float AVX2/FMA registers when the build targets them; the scalar
// kernels perform the very same roundings in the very same order (one
// fused multiply-add per product, the same lane sums), so both give
// bit-identical results and the scalar ones serve as the fallback and as
// the reference in tests.
#pragma once

#if defined(__AVX2__) && defined(__FMA__)
constexpr bool NET_HAS_VECTOR_KERNELS = true;
#else
constexpr bool NET_HAS_VECTOR_KERNELS = false;
#endif

// Slope of the leaky rectifier below zero.
constexpr float NET_LEAK_SLOPE = 0.0625f;

// First-layer columns moved in or out of a vector: for every unit,
// raw[i] -= each subs column, then += each adds column, in list order;
// then activated[i] = leaky(raw[i]). Both arrays n floats.
struct ColumnChanges {
  const float* const* subs;
  int subCount;
  const float* const* adds;
  int addCount;
};
void apply_columns_scalar(float* raw, float* activated, const ColumnChanges& c, int n);
// Leaky rectifier in place.
void activate_scalar(float* v, int n);
// Sum of a[i] * b[i]; lengths that are multiples of 16 use two 8-lane
// accumulators, other lengths one, any remainder a plain loop.
float dot_scalar(const float* a, const float* b, int n);

#if defined(__AVX2__) && defined(__FMA__)
void apply_columns_avx(float* raw, float* activated, const ColumnChanges& c, int n);
void activate_avx(float* v, int n);
float dot_avx(const float* a, const float* b, int n);
#endif

// One set of layer loops, chosen per evaluation.
struct NetKernels {
  void (*applyColumns)(float*, float*, const ColumnChanges&, int);
  void (*activate)(float*, int);
  float (*dot)(const float*, const float*, int);
};

inline constexpr NetKernels SCALAR_KERNELS = {apply_columns_scalar, activate_scalar, dot_scalar};
#if defined(__AVX2__) && defined(__FMA__)
inline constexpr NetKernels VECTOR_KERNELS = {apply_columns_avx, activate_avx, dot_avx};
#else
inline constexpr NetKernels VECTOR_KERNELS = SCALAR_KERNELS;
#endif
