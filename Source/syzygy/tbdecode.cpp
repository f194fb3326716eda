#include "syzygy/tbdecode.h"

#include <cstring>

namespace {

constexpr uint32_t LEAF_MARK = 0xFFF;
constexpr int INDEX_ENTRY_BYTES = 6;
constexpr int REFILL_BITS = 32;
// The decoder keeps this many bytes read ahead of the current code.
constexpr int READ_AHEAD = 12;

inline uint64_t load_be64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return __builtin_bswap64(v);
}
inline uint32_t load_be32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return __builtin_bswap32(v);
}
inline uint32_t block_size(const TbPairs& d, int64_t b) {
  return uint32_t(d.sizeTable[2 * b] | d.sizeTable[2 * b + 1] << 8);
}
inline void symbol_halves(const TbPairs& d, uint32_t s, uint32_t& a, uint32_t& b) {
  const uint8_t* rec = d.symbols + 3 * s;
  a = rec[0] | (rec[1] & 15) << 8;
  b = rec[1] >> 4 | rec[2] << 4;
}

// Block and position within it of an index: the index table points near
// it, the size table walks the rest of the way.
bool locate(const TbPairs& d, uint64_t index, int64_t& block, int64_t& r) {
  uint64_t e = index >> d.indexBits;
  const uint8_t* entry = d.indexTable + INDEX_ENTRY_BYTES * e;
  uint32_t b;
  std::memcpy(&b, entry, 4);
  block = b;
  r = int64_t(entry[4] | entry[5] << 8) + int64_t(index) -
      int64_t((e << d.indexBits) + (uint64_t(1) << (d.indexBits - 1)));
  int64_t blocks = int64_t(d.realBlocks) + d.extraBlocks;
  if (block >= blocks) return false;
  while (r < 0) {
    if (--block < 0) return false;
    r += block_size(d, block) + 1;
  }
  while (r > block_size(d, block)) {
    r -= block_size(d, block) + 1;
    if (++block >= blocks) return false;
  }
  return block < int64_t(d.realBlocks);
}

}  // namespace

bool tb_decode(const TbPairs& d, uint64_t index, bool dtz, int& value) {
  if (d.flags & TB_FLAG_SINGLE) {
    value = d.singleValue;
    return true;
  }
  int64_t block, r;
  if (index >= d.size || !locate(d, index, block, r)) return false;
  const uint8_t* p = d.data + (size_t(block) << d.blockBits);
  const uint8_t* limit = p + (size_t(1) << d.blockBits) + READ_AHEAD;
  uint64_t code = load_be64(p);
  p += 8;
  int consumed = 0;  // low bits of `code` not yet refilled
  uint32_t sym;
  // Hot loop: one canonical code per pass until the symbol holding value r.
  for (;;) {
    int k = d.lengthFromTop[code >> 56];
    while (code < d.codeBase[k]) k++;
    int length = d.minLength + k;
    sym = d.firstSymbol[k] + uint32_t((code - d.codeBase[k]) >> (64 - length));
    if (sym >= d.numSymbols) return false;
    if (r < int64_t(d.symbolLength[sym])) break;
    r -= d.symbolLength[sym];
    code <<= length;
    consumed += length;
    if (consumed >= REFILL_BITS) {
      if (p + 4 > limit) return false;
      consumed -= REFILL_BITS;
      code |= uint64_t(load_be32(p)) << consumed;
      p += 4;
    }
  }
  uint32_t a, b;
  for (symbol_halves(d, sym, a, b); b != LEAF_MARK; symbol_halves(d, sym, a, b)) {
    if (r < int64_t(d.symbolLength[a])) sym = a;
    else {
      r -= d.symbolLength[a];
      sym = b;
    }
  }
  value = dtz ? int(a) : int(a & 0xFF);
  return true;
}
