// The random numbers of the Polyglot book key.
#pragma once

#include <cstdint>

constexpr int POLYGLOT_RANDOM_COUNT = 781;
constexpr int POLYGLOT_CASTLE_BASE = 768;  // White short, White long, Black short, Black long
constexpr int POLYGLOT_EP_BASE = 772;      // plus the file of the en-passant square
constexpr int POLYGLOT_TURN = 780;         // White to move

extern const uint64_t PolyglotRandom[POLYGLOT_RANDOM_COUNT];
