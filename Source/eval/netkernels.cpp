#include "netkernels.h"

#include <cmath>

#if defined(__AVX2__) && defined(__FMA__)
#include <immintrin.h>
#endif

namespace {

constexpr int LANES = 8;              // floats per 256-bit register
constexpr int WIDE_STEP = 2 * LANES;  // the two-accumulator dot product
// Registers of vector held while the columns stream through (half the
// sixteen, leaving room for the loads).
constexpr int TILE_REGS = 8;

float leaky(float x) { return x < 0 ? x * NET_LEAK_SLOPE : x; }

// With fused multiply-add in hardware the scalar loops round exactly as
// the vector ones do. Without it (the portable build) std::fma would be a
// slow software routine, so the product is rounded before the sum; scores
// of such a build may then differ in the last centipawn.
inline float mul_add(float a, float b, float c) {
#if defined(__FMA__)
  return std::fma(a, b, c);
#else
  return a * b + c;
#endif
}

// Lane sums in the order the vector reduction uses: upper half onto lower
// half, then pairs two apart, then the last two.
float sum_lanes(const float* acc) {
  float s4[4], s2[2];
  for (int k = 0; k < 4; k++) s4[k] = acc[k] + acc[k + 4];
  for (int k = 0; k < 2; k++) s2[k] = s4[k] + s4[k + 2];
  return s2[0] + s2[1];
}

}  // namespace

// Column by column: every unit still sees its subtractions, then its
// additions, in list order, as in the vector tiles, so the results agree.
void apply_columns_scalar(float* raw, float* activated, const ColumnChanges& c, int n) {
  for (int j = 0; j < c.subCount; j++)
    for (int i = 0; i < n; i++) raw[i] -= c.subs[j][i];
  for (int j = 0; j < c.addCount; j++)
    for (int i = 0; i < n; i++) raw[i] += c.adds[j][i];
  for (int i = 0; i < n; i++) activated[i] = leaky(raw[i]);
}

void activate_scalar(float* v, int n) {
  for (int i = 0; i < n; i++) v[i] = leaky(v[i]);
}

float dot_scalar(const float* a, const float* b, int n) {
  float acc[WIDE_STEP] = {};
  int i = 0;
  if (n % WIDE_STEP == 0) {
    for (; i < n; i += WIDE_STEP)
      for (int k = 0; k < WIDE_STEP; k++) acc[k] = mul_add(a[i + k], b[i + k], acc[k]);
    for (int k = 0; k < LANES; k++) acc[k] += acc[k + LANES];
  } else {
    for (; i + LANES <= n; i += LANES)
      for (int k = 0; k < LANES; k++) acc[k] = mul_add(a[i + k], b[i + k], acc[k]);
  }
  float s = sum_lanes(acc);
  for (; i < n; i++) s = mul_add(a[i], b[i], s);
  return s;
}

#if defined(__AVX2__) && defined(__FMA__)

namespace {

// Units from..to-1 of apply_columns, one at a time (the tail of the
// vector version).
void apply_range(float* raw, float* activated, const ColumnChanges& c, int from, int to) {
  for (int i = from; i < to; i++) {
    float x = raw[i];
    for (int j = 0; j < c.subCount; j++) x -= c.subs[j][i];
    for (int j = 0; j < c.addCount; j++) x += c.adds[j][i];
    raw[i] = x;
    activated[i] = leaky(x);
  }
}

float sum_register(__m256 x) {
  __m128 s4 = _mm_add_ps(_mm256_castps256_ps128(x), _mm256_extractf128_ps(x, 1));
  __m128 s2 = _mm_add_ps(s4, _mm_movehl_ps(s4, s4));
  return _mm_cvtss_f32(_mm_add_ss(s2, _mm_shuffle_ps(s2, s2, 1)));
}

// max(x, x / 16) is x above zero and x / 16 below: the leaky rectifier
// without a compare and blend.
__m256 leaky_register(__m256 x) { return _mm256_max_ps(x, _mm256_mul_ps(x, _mm256_set1_ps(NET_LEAK_SLOPE))); }

// One tile of `regs` registers: loaded once, every column applied, stored
// raw and activated; the columns stream through while the vector stays in
// registers.
template <int regs>
void apply_tile(float* raw, float* activated, const ColumnChanges& c, int at) {
  __m256 x[regs];
  for (int r = 0; r < regs; r++) x[r] = _mm256_loadu_ps(raw + at + r * LANES);
  for (int j = 0; j < c.subCount; j++)
    for (int r = 0; r < regs; r++) x[r] = _mm256_sub_ps(x[r], _mm256_loadu_ps(c.subs[j] + at + r * LANES));
  for (int j = 0; j < c.addCount; j++)
    for (int r = 0; r < regs; r++) x[r] = _mm256_add_ps(x[r], _mm256_loadu_ps(c.adds[j] + at + r * LANES));
  for (int r = 0; r < regs; r++) {
    _mm256_storeu_ps(raw + at + r * LANES, x[r]);
    _mm256_storeu_ps(activated + at + r * LANES, leaky_register(x[r]));
  }
}

}  // namespace

void apply_columns_avx(float* raw, float* activated, const ColumnChanges& c, int n) {
  int i = 0;
  for (; i + TILE_REGS * LANES <= n; i += TILE_REGS * LANES) apply_tile<TILE_REGS>(raw, activated, c, i);
  for (; i + LANES <= n; i += LANES) apply_tile<1>(raw, activated, c, i);
  apply_range(raw, activated, c, i, n);
}

void activate_avx(float* v, int n) {
  int i = 0;
  for (; i + LANES <= n; i += LANES) _mm256_storeu_ps(v + i, leaky_register(_mm256_loadu_ps(v + i)));
  for (; i < n; i++) v[i] = leaky(v[i]);
}

float dot_avx(const float* a, const float* b, int n) {
  __m256 acc0 = _mm256_setzero_ps(), acc1 = _mm256_setzero_ps();
  int i = 0;
  if (n % WIDE_STEP == 0) {
    for (; i < n; i += WIDE_STEP) {
      acc0 = _mm256_fmadd_ps(_mm256_loadu_ps(a + i), _mm256_loadu_ps(b + i), acc0);
      acc1 = _mm256_fmadd_ps(_mm256_loadu_ps(a + i + LANES), _mm256_loadu_ps(b + i + LANES), acc1);
    }
    acc0 = _mm256_add_ps(acc0, acc1);
  } else {
    for (; i + LANES <= n; i += LANES)
      acc0 = _mm256_fmadd_ps(_mm256_loadu_ps(a + i), _mm256_loadu_ps(b + i), acc0);
  }
  float s = sum_register(acc0);
  for (; i < n; i++) s = mul_add(a[i], b[i], s);
  return s;
}

#endif
