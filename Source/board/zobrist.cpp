#include "board/zobrist.h"

#include "core/output.h"
#include "core/random.h"

uint64_t Zobrist[1024];

namespace {

// Keys with few set bits make XOR combinations collide more often.
constexpr int MIN_KEY_BITS = 24;
// Two keys this close (in Hamming distance) weaken the hash; reported.
constexpr int MIN_KEY_DISTANCE = 6;

uint64_t draw_key(MwcState& s) {
  for (;;) {
    uint64_t hi = mwc_next(s);
    uint64_t key = hi << 32 | mwc_next(s);
    if (__builtin_popcountll(key) >= MIN_KEY_BITS) return key;
  }
}

bool generated = false;

}  // namespace

void init_zobrist() {
  if (generated) return;
  generated = true;
  MwcState s;
  for (int i = 0; i < 1024; i++) {
    Zobrist[i] = draw_key(s);
    for (int j = 0; j < i; j++) {
      if (__builtin_popcountll(Zobrist[i] ^ Zobrist[j]) < MIN_KEY_DISTANCE) {
        print_line("bad hashcode");
        break;
      }
    }
  }
}
