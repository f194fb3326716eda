// The engine's one random-number generator: two 16-bit multiply-with-carry
// generators combined into 32-bit outputs. It is deterministic, so the
// hashing keys, and the root-order noise drawn from a separate state,
// repeat from run to run.
#pragma once

#include <cstdint>

constexpr uint32_t MWC_Z_FACTOR = 36969;
constexpr uint32_t MWC_W_FACTOR = 18000;
constexpr uint32_t MWC_LOW = 0xFFFF;
constexpr int MWC_SHIFT = 16;

struct MwcState {
  uint32_t z = 1, w = 1;
};

inline uint32_t mwc_next(MwcState& s) {
  s.z = MWC_Z_FACTOR * (s.z & MWC_LOW) + (s.z >> MWC_SHIFT);
  s.w = MWC_W_FACTOR * (s.w & MWC_LOW) + (s.w >> MWC_SHIFT);
  return (s.z << MWC_SHIFT) + s.w;
}
