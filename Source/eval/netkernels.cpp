// The network's layer loops: the scalar reference, and one vector shape
// written once over a "lane set" (a register type and its handful of
// operations) and compiled three times, each inside a region that lets
// the compiler use that instruction set. The entry points are flattened,
// so the shared loops and the lane operations are inlined into code built
// for the instruction set they belong to, and a processor that lacks it
// never reaches them (best_net_kernels asks the processor first).
//
// The build keeps multiply and add apart in this file unless a loop asks
// for a fused multiply-add itself, so every set rounds as it says it does.
#include "eval/netkernels.h"

#include <cmath>

#include "eval/netweights.h"
#include "platform/platform.h"

#if defined(__x86_64__) || defined(__i386__)
#define NET_X86_KERNELS 1
#include <immintrin.h>
#endif

namespace {

// Registers of vector held while the columns stream through (8 of the 16
// or 32 the sets have, leaving room for the loads).
constexpr int TILE_REGS = 8;

float leaky(float x) { return x < 0 ? x * NET_LEAK_SLOPE : x; }

// A first-layer unit from its integer sum: scaled to the weights' unit,
// rounded once, then rectified (the slope is a power of two, exact).
float unit_value(int32_t steps) { return leaky(float(steps) * NET_VALUE_STEP_FLOAT); }

// With fused multiply-add in hardware the reference rounds as the fused
// vector sets do. Without it (the portable build) std::fma would be a slow
// software routine, so the product is rounded before the sum, as in SSE2.
#if defined(__FMA__)
constexpr bool SCALAR_FUSED = true;
inline float mul_add(float a, float b, float c) { return std::fma(a, b, c); }
#else
constexpr bool SCALAR_FUSED = false;
inline float mul_add(float a, float b, float c) { return a * b + c; }
#endif

// Sum of `count` lanes (a power of two), the upper half folded onto the
// lower half until one is left: the order every set sums its lanes in.
float fold_lanes(float* lane, int count) {
  for (int half = count / 2; half >= 1; half /= 2)
    for (int k = 0; k < half; k++) lane[k] += lane[k + half];
  return lane[0];
}

// a(i) is the first vector's unit i, so the head sums can rectify the
// raw units as they go.
template <typename Value>
float dot_scalar_of(Value a, const float* b, int n) {
  int lanes = n % NET_DOT_WIDE_LANES == 0 ? NET_DOT_WIDE_LANES : NET_DOT_NARROW_LANES;
  float acc[NET_DOT_WIDE_LANES] = {};
  int i = 0;
  for (; i + lanes <= n; i += lanes)
    for (int k = 0; k < lanes; k++) acc[k] = mul_add(a(i + k), b[i + k], acc[k]);
  float s = fold_lanes(acc, lanes);
  for (; i < n; i++) s = mul_add(a(i), b[i], s);
  return s;
}

float dot_scalar(const float* a, const float* b, int n) {
  return dot_scalar_of([a](int i) { return a[i]; }, b, n);
}

// Column by column (each a loop the compiler can vectorise); the order of
// the operations on any one unit is the same as unit by unit.
void apply_columns_scalar(int32_t* raw, float* activated, const ColumnChanges& c, int n) {
  for (int j = 0; j < c.subCount; j++)
    for (int i = 0; i < n; i++) raw[i] -= c.subs[j][i];
  for (int j = 0; j < c.addCount; j++)
    for (int i = 0; i < n; i++) raw[i] += c.adds[j][i];
  if (activated)
    for (int i = 0; i < n; i++) activated[i] = unit_value(raw[i]);
  if (c.heads)
    for (int h = 0; h < c.heads->count; h++)
      c.heads->sums[h] = dot_scalar_of([raw](int i) { return unit_value(raw[i]); }, c.heads->rows[h], n);
}

void activate_scalar(float* v, int n) {
  for (int i = 0; i < n; i++) v[i] = leaky(v[i]);
}

#if NET_X86_KERNELS

// Units from..to-1 one at a time (the tail after the last whole register).
void apply_units(int32_t* raw, float* activated, const ColumnChanges& c, int from, int to) {
  for (int i = from; i < to; i++) {
    int32_t x = raw[i];
    for (int j = 0; j < c.subCount; j++) x -= c.subs[j][i];
    for (int j = 0; j < c.addCount; j++) x += c.adds[j][i];
    raw[i] = x;
    if (activated) activated[i] = unit_value(x);
  }
}

// The vector loops, written once. L is a lane set: Reg, WIDTH floats per
// register, zero/load/store/mul_add/leaky on registers, mul_add_one
// on single floats, and Narrow, the set used for 8-lane dot products; for
// the first layer's integer sums IReg, WIDTH 32-bit integers a register,
// with iload/istore/iadd/isub, load_steps (WIDTH file steps widened) and
// value (an integer sum scaled by the step, as unit_value does).
// These AVX-512 registers are passed by value only between functions that
// are all inlined into one flattened entry, so no call ever uses the ABI
// the compiler warns about.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
// The 512-bit widening and conversion intrinsics start from a deliberately
// undefined register, which this compiler reports as uninitialised.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// The fused head sums: the rows, and per row the accumulators of the 16
// dot-product lanes, which span REGS registers. The vector's register-sized
// chunk o (counted from its start) goes to accumulator o mod REGS, as in
// dot_lanes; every stretch handed to a tile starts on a multiple of 16
// floats, so that is its register r mod REGS.
template <typename L>
struct HeadSums {
  static constexpr int REGS = NET_DOT_WIDE_LANES / L::WIDTH;
  const float* rows[NET_MAX_FUSED_HEADS];
  typename L::Reg acc[NET_MAX_FUSED_HEADS][REGS];
};

// One tile of `regs` registers: loaded once, every column applied, stored
// raw and activated, and multiplied into the first `heads` head sums; the
// columns stream through while the vector stays in registers.
template <typename L, int regs, int heads>
inline void apply_tile(int32_t* raw, float* activated, const ColumnChanges& c, int at, HeadSums<L>& h) {
  typename L::IReg x[regs];
  for (int r = 0; r < regs; r++) x[r] = L::iload(raw + at + r * L::WIDTH);
  for (int j = 0; j < c.subCount; j++)
    for (int r = 0; r < regs; r++) x[r] = L::isub(x[r], L::load_steps(c.subs[j] + at + r * L::WIDTH));
  for (int j = 0; j < c.addCount; j++)
    for (int r = 0; r < regs; r++) x[r] = L::iadd(x[r], L::load_steps(c.adds[j] + at + r * L::WIDTH));
  for (int r = 0; r < regs; r++) {
    typename L::Reg a = L::leaky(L::value(x[r]));
    L::istore(raw + at + r * L::WIDTH, x[r]);
    if (activated) L::store(activated + at + r * L::WIDTH, a);
    for (int k = 0; k < heads; k++) {
      typename L::Reg& acc = h.acc[k][r % HeadSums<L>::REGS];
      acc = L::mul_add(a, L::load(h.rows[k] + at + r * L::WIDTH), acc);
    }
  }
}

// Whole tiles, then (with heads, whose widths are multiples of 16) single
// 16-float stretches, then single registers and single units.
template <typename L, int heads>
inline void apply_tiles(int32_t* raw, float* activated, const ColumnChanges& c, int n, HeadSums<L>& h) {
  constexpr int tile = TILE_REGS * L::WIDTH;
  int i = 0;
  for (; i + tile <= n; i += tile) apply_tile<L, TILE_REGS, heads>(raw, activated, c, i, h);
  if constexpr (heads > 0)
    for (; i + NET_DOT_WIDE_LANES <= n; i += NET_DOT_WIDE_LANES)
      apply_tile<L, HeadSums<L>::REGS, heads>(raw, activated, c, i, h);
  for (; i + L::WIDTH <= n; i += L::WIDTH) apply_tile<L, 1, 0>(raw, activated, c, i, h);
  apply_units(raw, activated, c, i, n);
}

template <typename L>
inline void activate_with(float* v, int n) {
  int i = 0;
  for (; i + L::WIDTH <= n; i += L::WIDTH) L::store(v + i, L::leaky(L::load(v + i)));
  for (; i < n; i++) v[i] = leaky(v[i]);
}

// `lanes` products accumulated side by side over whole steps, then folded;
// `done` tells where the remainder starts.
template <typename L, int lanes>
inline float dot_lanes(const float* a, const float* b, int n, int& done) {
  constexpr int regs = lanes / L::WIDTH;
  typename L::Reg acc[regs];
  for (int r = 0; r < regs; r++) acc[r] = L::zero();
  int i = 0;
  for (; i + lanes <= n; i += lanes)
    for (int r = 0; r < regs; r++)
      acc[r] = L::mul_add(L::load(a + i + r * L::WIDTH), L::load(b + i + r * L::WIDTH), acc[r]);
  float lane[lanes];
  for (int r = 0; r < regs; r++) L::store(lane + r * L::WIDTH, acc[r]);
  done = i;
  return fold_lanes(lane, lanes);
}

template <typename L>
inline float dot_with(const float* a, const float* b, int n) {
  int i = 0;
  float s = n % NET_DOT_WIDE_LANES == 0 ? dot_lanes<L, NET_DOT_WIDE_LANES>(a, b, n, i)
                                        : dot_lanes<typename L::Narrow, NET_DOT_NARROW_LANES>(a, b, n, i);
  for (; i < n; i++) s = L::mul_add_one(a[i], b[i], s);
  return s;
}

// The heads ride along with the tiles when the width takes the 16-lane
// dot product; other widths sum them afterwards.
template <typename L>
inline void apply_columns_with(int32_t* raw, float* activated, const ColumnChanges& c, int n) {
  HeadSums<L> h;
  if (!c.heads || c.heads->count < 1 || n % NET_DOT_WIDE_LANES != 0) {
    apply_tiles<L, 0>(raw, activated, c, n, h);
    if (c.heads)
      for (int k = 0; k < c.heads->count; k++) c.heads->sums[k] = dot_with<L>(activated, c.heads->rows[k], n);
    return;
  }
  for (int k = 0; k < NET_MAX_FUSED_HEADS; k++) {
    h.rows[k] = c.heads->rows[k];
    for (int r = 0; r < HeadSums<L>::REGS; r++) h.acc[k][r] = L::zero();
  }
  if (c.heads->count == 1) apply_tiles<L, 1>(raw, activated, c, n, h);
  else apply_tiles<L, NET_MAX_FUSED_HEADS>(raw, activated, c, n, h);
  for (int k = 0; k < c.heads->count; k++) {
    float lane[NET_DOT_WIDE_LANES];
    for (int r = 0; r < HeadSums<L>::REGS; r++) L::store(lane + r * L::WIDTH, h.acc[k][r]);
    c.heads->sums[k] = fold_lanes(lane, NET_DOT_WIDE_LANES);
  }
}

// max(x, x / 16) is x above zero and x / 16 below: the leaky rectifier
// without a compare and blend, in every set.

// SSE2, part of every x86-64 processor: 4 floats, no fused multiply-add.
struct Sse2Lanes {
  using Reg = __m128;
  using Narrow = Sse2Lanes;
  static constexpr int WIDTH = 4;
  static Reg zero() { return _mm_setzero_ps(); }
  static Reg load(const float* p) { return _mm_loadu_ps(p); }
  static void store(float* p, Reg x) { _mm_storeu_ps(p, x); }
  static Reg mul_add(Reg a, Reg b, Reg c) { return _mm_add_ps(_mm_mul_ps(a, b), c); }
  static float mul_add_one(float a, float b, float c) { return a * b + c; }
  static Reg leaky(Reg x) { return _mm_max_ps(x, _mm_mul_ps(x, _mm_set1_ps(NET_LEAK_SLOPE))); }
  using IReg = __m128i;
  static IReg iload(const int32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void istore(int32_t* p, IReg x) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), x); }
  static IReg iadd(IReg a, IReg b) { return _mm_add_epi32(a, b); }
  static IReg isub(IReg a, IReg b) { return _mm_sub_epi32(a, b); }
  // SSE2 has no sign-extending widen: each step goes to the upper half of
  // its 32-bit lane and an arithmetic shift brings it down with its sign.
  static IReg load_steps(const int16_t* p) {
    __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    return _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16);
  }
  static Reg value(IReg x) { return _mm_mul_ps(_mm_cvtepi32_ps(x), _mm_set1_ps(NET_VALUE_STEP_FLOAT)); }
};

[[gnu::flatten]] void apply_columns_sse2(int32_t* raw, float* activated, const ColumnChanges& c, int n) {
  apply_columns_with<Sse2Lanes>(raw, activated, c, n);
}
[[gnu::flatten]] void activate_sse2(float* v, int n) { activate_with<Sse2Lanes>(v, n); }
[[gnu::flatten]] float dot_sse2(const float* a, const float* b, int n) { return dot_with<Sse2Lanes>(a, b, n); }

#pragma GCC push_options
#pragma GCC target("avx2,fma")

// AVX2 with fused multiply-add: 8 floats.
struct Avx2Lanes {
  using Reg = __m256;
  using Narrow = Avx2Lanes;
  static constexpr int WIDTH = 8;
  static Reg zero() { return _mm256_setzero_ps(); }
  static Reg load(const float* p) { return _mm256_loadu_ps(p); }
  static void store(float* p, Reg x) { _mm256_storeu_ps(p, x); }
  static Reg mul_add(Reg a, Reg b, Reg c) { return _mm256_fmadd_ps(a, b, c); }
  static float mul_add_one(float a, float b, float c) {
    return _mm_cvtss_f32(_mm_fmadd_ss(_mm_set_ss(a), _mm_set_ss(b), _mm_set_ss(c)));
  }
  static Reg leaky(Reg x) { return _mm256_max_ps(x, _mm256_mul_ps(x, _mm256_set1_ps(NET_LEAK_SLOPE))); }
  using IReg = __m256i;
  static IReg iload(const int32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
  static void istore(int32_t* p, IReg x) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), x); }
  static IReg iadd(IReg a, IReg b) { return _mm256_add_epi32(a, b); }
  static IReg isub(IReg a, IReg b) { return _mm256_sub_epi32(a, b); }
  static IReg load_steps(const int16_t* p) {
    return _mm256_cvtepi16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  static Reg value(IReg x) {
    return _mm256_mul_ps(_mm256_cvtepi32_ps(x), _mm256_set1_ps(NET_VALUE_STEP_FLOAT));
  }
};

[[gnu::flatten]] void apply_columns_avx2(int32_t* raw, float* activated, const ColumnChanges& c, int n) {
  apply_columns_with<Avx2Lanes>(raw, activated, c, n);
}
[[gnu::flatten]] void activate_avx2(float* v, int n) { activate_with<Avx2Lanes>(v, n); }
[[gnu::flatten]] float dot_avx2(const float* a, const float* b, int n) { return dot_with<Avx2Lanes>(a, b, n); }

#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512f,avx2,fma")

// AVX-512: 16 floats; 8-lane dot products (lengths not a multiple of 16)
// take the AVX2 registers.
struct Avx512Lanes {
  using Reg = __m512;
  using Narrow = Avx2Lanes;
  static constexpr int WIDTH = 16;
  static Reg zero() { return _mm512_setzero_ps(); }
  static Reg load(const float* p) { return _mm512_loadu_ps(p); }
  static void store(float* p, Reg x) { _mm512_storeu_ps(p, x); }
  static Reg mul_add(Reg a, Reg b, Reg c) { return _mm512_fmadd_ps(a, b, c); }
  static float mul_add_one(float a, float b, float c) { return Avx2Lanes::mul_add_one(a, b, c); }
  // A masked multiply of the units below zero; same results as the max
  // form (this compiler's 512-bit max warns about its unused lanes).
  static Reg leaky(Reg x) {
    __mmask16 below = _mm512_cmp_ps_mask(x, _mm512_setzero_ps(), _CMP_LT_OQ);
    return _mm512_mask_mul_ps(x, below, x, _mm512_set1_ps(NET_LEAK_SLOPE));
  }
  using IReg = __m512i;
  static IReg iload(const int32_t* p) { return _mm512_loadu_si512(p); }
  static void istore(int32_t* p, IReg x) { _mm512_storeu_si512(p, x); }
  static IReg iadd(IReg a, IReg b) { return _mm512_add_epi32(a, b); }
  static IReg isub(IReg a, IReg b) { return _mm512_sub_epi32(a, b); }
  static IReg load_steps(const int16_t* p) {
    return _mm512_cvtepi16_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
  static Reg value(IReg x) {
    return _mm512_mul_ps(_mm512_cvtepi32_ps(x), _mm512_set1_ps(NET_VALUE_STEP_FLOAT));
  }
};

[[gnu::flatten]] void apply_columns_avx512(int32_t* raw, float* activated, const ColumnChanges& c, int n) {
  apply_columns_with<Avx512Lanes>(raw, activated, c, n);
}
[[gnu::flatten]] void activate_avx512(float* v, int n) { activate_with<Avx512Lanes>(v, n); }
[[gnu::flatten]] float dot_avx512(const float* a, const float* b, int n) { return dot_with<Avx512Lanes>(a, b, n); }

#pragma GCC pop_options
#pragma GCC diagnostic pop

#else  // not x86: the vector sets are never supported; their entries run the reference

#define apply_columns_avx512 apply_columns_scalar
#define apply_columns_avx2 apply_columns_scalar
#define apply_columns_sse2 apply_columns_scalar
#define activate_avx512 activate_scalar
#define activate_avx2 activate_scalar
#define activate_sse2 activate_scalar
#define dot_avx512 dot_scalar
#define dot_avx2 dot_scalar
#define dot_sse2 dot_scalar

#endif

int first_supported_set() {
  for (int set = 0; set < NET_KERNEL_SETS; set++)
    if (net_kernels_supported(set)) return set;
  return NET_KERNELS_SCALAR;
}

}  // namespace

const NetKernels NetKernelTable[NET_KERNEL_SETS] = {
    {"AVX-512", true, apply_columns_avx512, activate_avx512, dot_avx512},
    {"AVX2/FMA", true, apply_columns_avx2, activate_avx2, dot_avx2},
    {"SSE2", false, apply_columns_sse2, activate_sse2, dot_sse2},
    {"scalar", SCALAR_FUSED, apply_columns_scalar, activate_scalar, dot_scalar},
};
const NetKernels& SCALAR_KERNELS = NetKernelTable[NET_KERNELS_SCALAR];

bool net_kernels_supported(int set) {
  CpuVectorSupport cpu = cpu_vector_support();
  switch (set) {
    case NET_KERNELS_AVX512: return cpu.avx512;
    case NET_KERNELS_AVX2: return cpu.avx2Fma;
    case NET_KERNELS_SSE2: return cpu.sse2;
    case NET_KERNELS_SCALAR: return true;
    default: return false;
  }
}

const NetKernels& best_net_kernels() {
  static const int chosen = first_supported_set();
  return NetKernelTable[chosen];
}
