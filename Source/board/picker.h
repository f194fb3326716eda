// The staged move picker: hash move, captures, quiet moves, lazily.
#pragma once

#include "core/searchthread.h"

constexpr uint16_t PICK_HASH = 0x10;
constexpr uint16_t PICK_FULL = 0x40;
constexpr uint16_t PICK_CHECKS = 0x80;

// Capture ordering by victim, indexed by captured piece code.
extern const int16_t CaptureOrderValue[16];

// Next entry for the current ply, nullptr when the ply is exhausted.
// Legality is the caller's test.
MoveEntry* next_move(Position& pos);
// Swaps the best-scored entry from e to the terminator into e's place;
// among equal scores the earliest wins.
void pick_best(MoveEntry* e);
