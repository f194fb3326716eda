#include "syzygy/tbfile.h"

#include <cstring>
#include <new>

namespace {

constexpr size_t INFO_OFFSET = 4;
constexpr size_t RECORDS_OFFSET = 5;
constexpr uint8_t INFO_SPLIT = 1;
constexpr uint8_t INFO_PAWNS = 2;
constexpr int INFO_PIECES_SHIFT = 4;
constexpr int FEWEST_TABLE_PIECES = 3;  // two kings and one more man
constexpr size_t INDEX_ENTRY_BYTES = 6;
constexpr size_t SYMBOL_BYTES = 3;
constexpr size_t DATA_ALIGN = 64;
constexpr size_t TRAILER_BYTES = 16;
constexpr uint32_t LEAF_MARK = 0xFFF;
constexpr uint8_t NO_SECOND_ORDER = 15;
constexpr int MAX_BLOCK_BITS = 16;
constexpr int MAX_INDEX_BITS = 40;
constexpr uint32_t MAX_SYMBOL_LENGTH = 1u << 30;

// Piece multipliers of the material key (kings do not count), by piece
// type pawn..queen, for White and for Black.
constexpr uint64_t KEY_MULTIPLIER[2][KING] = {
    {0, 17008651141875982339ULL, 15202887380319082783ULL, 12311744257139811149ULL,
     10979190538029446137ULL, 11811845319353239651ULL},
    {0, 11695583624105689831ULL, 13469005675588064321ULL, 15394650811035483107ULL,
     18264461213049635989ULL, 15484752644942473553ULL}};

// Reads little-endian fields and never past the end of the file: any read
// beyond it clears `ok`.
struct Reader {
  const uint8_t* base;
  size_t size, pos;
  bool ok;
};

bool need(Reader& r, size_t n) {
  if (!r.ok || r.pos > r.size || n > r.size - r.pos) r.ok = false;
  return r.ok;
}
uint32_t read_u8(Reader& r) { return need(r, 1) ? r.base[r.pos++] : 0; }
uint32_t read_u16(Reader& r) {
  if (!need(r, 2)) return 0;
  uint32_t v = r.base[r.pos] | r.base[r.pos + 1] << 8;
  r.pos += 2;
  return v;
}
uint32_t read_u32(Reader& r) {
  if (!need(r, 4)) return 0;
  uint32_t v;
  std::memcpy(&v, r.base + r.pos, 4);
  r.pos += 4;
  return v;
}
const uint8_t* take(Reader& r, size_t n) {
  if (!need(r, n)) return nullptr;
  const uint8_t* p = r.base + r.pos;
  r.pos += n;
  return p;
}
void pad_even(Reader& r) { r.pos += r.pos & 1; }
void align(Reader& r, size_t to) { r.pos = (r.pos + to - 1) / to * to; }

// Lengths of all symbols: leaves expand to one value, pairs to the sum of
// their halves. Repeated passes settle pairs that refer to higher
// numbers; a pair that never settles (a loop or a reference out of range)
// marks the file as damaged.
bool compute_symbol_lengths(TbPairs& d) {
  uint32_t n = d.numSymbols;
  uint32_t* len = d.symbolLength;
  for (uint32_t s = 0; s < n; s++) {
    const uint8_t* rec = d.symbols + SYMBOL_BYTES * s;
    uint32_t a = rec[0] | (rec[1] & 15) << 8, b = rec[1] >> 4 | rec[2] << 4;
    len[s] = b == LEAF_MARK ? 1 : 0;
    if (b != LEAF_MARK && (a >= n || b >= n)) return false;
  }
  for (bool changed = true; changed;) {
    changed = false;
    for (uint32_t s = 0; s < n; s++) {
      if (len[s]) continue;
      const uint8_t* rec = d.symbols + SYMBOL_BYTES * s;
      uint32_t a = rec[0] | (rec[1] & 15) << 8, b = rec[1] >> 4 | rec[2] << 4;
      if (!len[a] || !len[b]) continue;
      if (len[a] + uint64_t(len[b]) > MAX_SYMBOL_LENGTH) return false;
      len[s] = len[a] + len[b];
      changed = true;
    }
  }
  for (uint32_t s = 0; s < n; s++)
    if (!len[s]) return false;
  return true;
}

// Canonical code: the smallest code word of each length, left-aligned in
// 64 bits so that a decoder compares it with its bit buffer directly.
bool compute_code_bases(TbPairs& d) {
  int h = d.maxLength - d.minLength + 1;
  int64_t base = 0;
  for (int k = h - 1; k >= 0; k--) {
    if (k < h - 1) base = (base + d.firstSymbol[k] - d.firstSymbol[k + 1]) / 2;
    if (base < 0) return false;
    int length = d.minLength + k;
    bool fits = base < (int64_t(1) << length);
    d.codeBase[k] = fits ? uint64_t(base) << (64 - length) : UINT64_MAX;
  }
  constexpr int TOP_SHIFT = 56;
  for (uint64_t top = 0; top < 256; top++) {
    uint64_t highest = top << TOP_SHIFT | ((uint64_t(1) << TOP_SHIFT) - 1);
    int k = 0;
    while (highest < d.codeBase[k]) k++;
    d.lengthFromTop[top] = uint8_t(k);
  }
  return true;
}

bool parse_header(Reader& r, TbPairs& d, bool dtz) {
  d.flags = uint8_t(read_u8(r));
  if (d.flags & TB_FLAG_SINGLE) {
    uint8_t v = uint8_t(read_u8(r));
    d.singleValue = dtz ? 0 : v;
    return r.ok;
  }
  d.blockBits = uint8_t(read_u8(r));
  d.indexBits = uint8_t(read_u8(r));
  d.extraBlocks = read_u8(r);
  d.realBlocks = read_u32(r);
  d.maxLength = uint8_t(read_u8(r));
  d.minLength = uint8_t(read_u8(r));
  if (!r.ok || d.blockBits > MAX_BLOCK_BITS || d.indexBits < 1 || d.indexBits > MAX_INDEX_BITS ||
      d.minLength < 1 || d.maxLength < d.minLength || d.maxLength > TB_MAX_CODE_LENGTH)
    return false;
  for (int k = 0; k <= d.maxLength - d.minLength; k++) d.firstSymbol[k] = uint16_t(read_u16(r));
  d.numSymbols = read_u16(r);
  d.symbols = take(r, SYMBOL_BYTES * d.numSymbols);
  pad_even(r);
  if (!r.ok || !d.numSymbols || !compute_code_bases(d)) return false;
  d.symbolLength = new (std::nothrow) uint32_t[d.numSymbols];
  return d.symbolLength && compute_symbol_lengths(d);
}

bool single(const TbPairs& d) { return d.flags & TB_FLAG_SINGLE; }
uint64_t index_entries(const TbPairs& d) {
  return single(d) ? 0 : (d.size + (uint64_t(1) << d.indexBits) - 1) >> d.indexBits;
}

// Every real block's value count adds up to the sub-table size.
bool sizes_add_up(const TbPairs& d) {
  uint64_t sum = 0;
  for (uint32_t b = 0; b < d.realBlocks; b++)
    sum += uint64_t(d.sizeTable[2 * b] | d.sizeTable[2 * b + 1] << 8) + 1;
  return sum == d.size;
}

bool parse_maps(Reader& r, TbSubTable& s) {
  uint8_t flags = s.pairs.flags;
  if (single(s.pairs) || !(flags & TB_FLAG_MAPPED)) return true;
  bool wide = flags & TB_FLAG_WIDE_MAPS;
  if (wide) pad_even(r);
  for (int m = 0; m < TB_MAPS; m++) {
    s.mapLength[m] = uint16_t(wide ? read_u16(r) : read_u8(r));
    s.map[m] = take(r, size_t(s.mapLength[m]) * (wide ? 2 : 1));
  }
  return r.ok;
}

struct Shape {
  int pieces;
  bool pawns, split, bothPawns, dtz;
};

// Piece records: one per class, order byte(s) then one byte per slot
// holding side 0 in the low and side 1 in the high nibble.
bool parse_records(Reader& r, TbTable& t, const Shape& shape) {
  for (int f = 0; f < t.classes; f++) {
    uint32_t order = read_u8(r);
    uint32_t order2 = shape.bothPawns ? read_u8(r) : NO_SECOND_ORDER * 17;
    const uint8_t* bytes = take(r, size_t(shape.pieces));
    if (!r.ok) return false;
    for (int s = 0; s < t.sides; s++) {
      uint8_t codes[TB_MAX_PIECES];
      for (int i = 0; i < shape.pieces; i++) codes[i] = uint8_t(s ? bytes[i] >> 4 : bytes[i] & 15);
      int o = s ? order >> 4 : order & 15, o2 = s ? order2 >> 4 : order2 & 15;
      if (!tb_build_layout(t.sub[f][s].layout, codes, shape.pieces, shape.pawns, o, o2, f))
        return false;
      t.sub[f][s].pairs.size = t.sub[f][s].layout.size;
    }
  }
  pad_even(r);
  return true;
}

bool parse_areas(Reader& r, TbTable& t) {
  for (int f = 0; f < t.classes; f++)
    for (int s = 0; s < t.sides; s++) {
      TbPairs& d = t.sub[f][s].pairs;
      d.indexTable = take(r, INDEX_ENTRY_BYTES * index_entries(d));
    }
  for (int f = 0; f < t.classes; f++)
    for (int s = 0; s < t.sides; s++) {
      TbPairs& d = t.sub[f][s].pairs;
      uint64_t entries = single(d) ? 0 : uint64_t(d.realBlocks) + d.extraBlocks;
      d.sizeTable = take(r, 2 * entries);
    }
  for (int f = 0; f < t.classes; f++)
    for (int s = 0; s < t.sides; s++) {
      TbPairs& d = t.sub[f][s].pairs;
      align(r, DATA_ALIGN);
      d.data = take(r, single(d) ? 0 : size_t(d.realBlocks) << d.blockBits);
      if (!r.ok || (!single(d) && !sizes_add_up(d))) return false;
    }
  align(r, DATA_ALIGN);
  // The decoder reads a few bytes past a block's end; the trailer must be
  // there for it.
  return need(r, TRAILER_BYTES);
}

// The table's own colours from the first sub-table's piece codes.
uint64_t table_white_key(const TbLayout& l) {
  int counts[2][KING] = {};
  for (int i = 0; i < l.numPieces; i++)
    if (type_of(l.pieces[i]) != KING) counts[colour_of(l.pieces[i])][type_of(l.pieces[i])]++;
  return tb_material_key(counts);
}

bool parse_all(Reader& r, TbTable& t, const Shape& shape) {
  if (!parse_records(r, t, shape)) return false;
  for (int f = 0; f < t.classes; f++)
    for (int s = 0; s < t.sides; s++)
      if (!parse_header(r, t.sub[f][s].pairs, shape.dtz)) return false;
  if (shape.dtz) {
    for (int f = 0; f < t.classes; f++)
      if (!parse_maps(r, t.sub[f][0])) return false;
    pad_even(r);
  }
  return parse_areas(r, t);
}

void free_symbols(TbTable& t) {
  for (auto& cls : t.sub)
    for (auto& s : cls) {
      delete[] s.pairs.symbolLength;
      s.pairs.symbolLength = nullptr;
    }
}

}  // namespace

uint64_t tb_material_key(const int counts[2][KING]) {
  uint64_t key = 0;
  for (int c = 0; c < 2; c++)
    for (int type = PAWN; type < KING; type++) key += uint64_t(counts[c][type]) * KEY_MULTIPLIER[c][type];
  return key;
}

bool tb_parse_table(TbTable& t, const MappedFile& file, bool dtz, bool bothPawns) {
  t = TbTable{};
  Reader r{static_cast<const uint8_t*>(file.data), file.size, RECORDS_OFFSET, file.size > RECORDS_OFFSET};
  if (!r.ok) return false;
  uint8_t info = r.base[INFO_OFFSET];
  Shape shape{info >> INFO_PIECES_SHIFT, (info & INFO_PAWNS) != 0, (info & INFO_SPLIT) != 0,
              bothPawns, dtz};
  // The piece count is the file's word: a damaged one must not drive the
  // per-piece loops past the largest table there is.
  if (shape.pieces < FEWEST_TABLE_PIECES || shape.pieces > TB_MAX_PIECES) return false;
  t.file = file;
  t.dtz = dtz;
  t.numPieces = uint8_t(shape.pieces);
  t.hasPawns = shape.pawns;
  t.symmetric = !shape.split;
  t.classes = shape.pawns ? TB_CLASSES : 1;
  t.sides = shape.split && !dtz ? 2 : 1;
  bool ok = parse_all(r, t, shape) && r.ok;
  if (ok) t.whiteKey = table_white_key(t.sub[0][0].layout);
  if (!ok) {
    free_symbols(t);
    t = TbTable{};
  }
  return ok;
}

void tb_release_table(TbTable& t) {
  free_symbols(t);
  unmap_file(t.file);
  t = TbTable{};
}
