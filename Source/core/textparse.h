// Reading numbers from user text and copying text into fixed fields, the
// way every setting of the engine is read: a decimal prefix, then a clamp.
#pragma once

#include <cstddef>
#include <cstdint>

// Leading blanks, an optional sign and the digits that follow; no digits
// give 0; values beyond the 64-bit range saturate instead of wrapping.
int64_t read_int_prefix(const char* text);
int clamp_int(int64_t value, int low, int high);
// Copies at most capacity - 1 characters and always terminates.
void copy_bounded(char* dest, size_t capacity, const char* src);
// The next blank-separated word of text into word (cut to capacity - 1
// characters); returns the text after it, or null when no word is left.
const char* next_word(const char* text, char* word, size_t capacity);
