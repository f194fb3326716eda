#include "core/textparse.h"

#include <cstring>

int64_t read_int_prefix(const char* text) {
  while (*text == ' ' || *text == '\t') text++;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') text++;
  int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; text++) {
    int digit = *text - '0';
    value = value > (INT64_MAX - digit) / 10 ? INT64_MAX : value * 10 + digit;
  }
  return negative ? -value : value;
}

int clamp_int(int64_t value, int low, int high) {
  if (value < low) return low;
  if (value > high) return high;
  return static_cast<int>(value);
}

void copy_bounded(char* dest, size_t capacity, const char* src) {
  if (capacity == 0) return;
  size_t length = std::strlen(src);
  if (length >= capacity) length = capacity - 1;
  std::memcpy(dest, src, length);
  dest[length] = '\0';
}

const char* next_word(const char* text, char* word, size_t capacity) {
  text += std::strspn(text, " \t");
  size_t length = std::strcspn(text, " \t");
  if (length == 0) return nullptr;
  size_t kept = length < capacity ? length : capacity - 1;
  std::memcpy(word, text, kept);
  word[kept] = '\0';
  return text + length;
}
