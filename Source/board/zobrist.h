// Hashing keys: 1024 random 64-bit words viewed as [piece code][square].
// Row 0 doubles as the en-passant keys (by square) and the castling-rights
// keys (by rights value); the side to move is bit 32 of the key.
#pragma once

#include <cstdint>

extern uint64_t Zobrist[1024];

constexpr uint64_t SIDE_KEY_BIT = uint64_t(1) << 32;

// Draws the keys once (later calls do nothing), printing "bad hashcode"
// for a key too close to an earlier one.
void init_zobrist();
