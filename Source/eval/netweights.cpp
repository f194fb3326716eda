// The weight block's layout: value count, header checks, byte encoding,
// allocation and writing in the file format.
#include "eval/netweights.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

NetWeights Net;

namespace {

// The block is aligned for whole-cache-line vector loads; every column
// and row starts on an 8-float boundary since the widths are multiples
// of 8.
constexpr size_t NET_BLOCK_ALIGNMENT = 64;
// Values converted per pass when writing, so the byte buffer stays fixed.
constexpr size_t WRITE_CHUNK_VALUES = 4096;
constexpr int INT16_LIMIT = 32767;

uint16_t read_u16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

uint32_t read_u32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void write_u16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

void write_u32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; i++) p[i] = uint8_t(v >> (8 * i));
}

bool is_width(int w, int min, int max) { return w >= min && w <= max && w % NET_WIDTH_GRANULE == 0; }

}  // namespace

size_t net_value_count(const NetHeader& h) {
  size_t inputs = size_t(h.mainInputs) + h.extraInputs;
  size_t rows = h.hidden2 ? h.hidden2 : h.outputs;
  return inputs * h.hidden1 + rows * h.hidden1 + size_t(h.hidden2) * h.outputs + h.outputs +
         NET_PARAM_COUNT;
}

const char* net_header_problem(const NetHeader& h) {
  if (h.mainInputs != NET_MAIN_INPUTS_NARROW && h.mainInputs != NET_MAIN_INPUTS_WIDE)
    return "main input count is not 896 or 1792";
  if (h.extraInputs > NET_MAX_EXTRA_INPUTS) return "too many extra inputs";
  if (h.version >= NET_VERSION_COUNT_INPUTS && h.extraInputs < NET_COUNT_INPUTS_NEEDED)
    return "too few extra inputs for its version";
  if (!is_width(h.hidden1, NET_WIDTH_GRANULE, NET_MAX_HIDDEN1))
    return "first hidden layer width is not a multiple of 8 in range";
  if (h.hidden2 && !is_width(h.hidden2, NET_MIN_HIDDEN2, NET_MAX_HIDDEN2))
    return "second hidden layer width is not 0 or a multiple of 8 in range";
  if (h.outputs < NET_MIN_OUTPUTS || h.outputs > NET_MAX_OUTPUTS) return "output count out of range";
  return nullptr;
}

NetHeader parse_net_header(const uint8_t* bytes) {
  NetHeader h;
  h.version = read_u16(bytes);
  h.reserved = read_u16(bytes + 2);
  h.mainInputs = read_u16(bytes + 4);
  h.extraInputs = read_u16(bytes + 6);
  h.hidden1 = read_u16(bytes + 8);
  h.hidden2 = read_u16(bytes + 10);
  h.outputs = read_u16(bytes + 12);
  h.storedCount = read_u32(bytes + 14);
  return h;
}

void encode_net_header(const NetHeader& h, uint32_t count, uint8_t* bytes) {
  const uint16_t fields[NET_HEADER_FIELDS] = {h.version, h.reserved, h.mainInputs, h.extraInputs,
                                              h.hidden1, h.hidden2,  h.outputs};
  for (int i = 0; i < NET_HEADER_FIELDS; i++) write_u16(bytes + 2 * i, fields[i]);
  write_u32(bytes + 2 * NET_HEADER_FIELDS, count);
}

int16_t quantize_net_value(float v) {
  double q = std::round(double(v) * NET_VALUES_PER_UNIT);
  if (!(q >= -INT16_LIMIT)) q = -INT16_LIMIT;  // also catches NaN
  if (q > INT16_LIMIT) q = INT16_LIMIT;
  return int16_t(q);
}

bool allocate_net_weights(NetWeights& w, const NetHeader& h) {
  w = NetWeights{};
  size_t count = net_value_count(h);
  size_t inputs = size_t(h.mainInputs) + h.extraInputs;
  size_t floatBytes = (count * sizeof(float) + NET_BLOCK_ALIGNMENT - 1) / NET_BLOCK_ALIGNMENT * NET_BLOCK_ALIGNMENT;
  size_t used = floatBytes + inputs * h.hidden1 * sizeof(int16_t);
  // A block of megabytes is read a column here and a column there at every
  // evaluation: on huge pages those reads stay within few page translations.
  size_t alignment = used >= HUGE_PAGE_BYTES ? HUGE_PAGE_BYTES : NET_BLOCK_ALIGNMENT;
  size_t bytes = (used + alignment - 1) / alignment * alignment;
  auto* block = static_cast<uint8_t*>(std::aligned_alloc(alignment, bytes));
  if (!block) return false;
  if (alignment == HUGE_PAGE_BYTES) advise_huge_pages(block, bytes);
  auto* values = reinterpret_cast<float*>(block);
  w.header = h;
  w.inputs = int(inputs);
  w.count = count;
  w.values = values;
  w.firstLayer = values;
  w.secondLayer = values + inputs * h.hidden1;
  const float* next = w.secondLayer + size_t(h.hidden2 ? h.hidden2 : h.outputs) * h.hidden1;
  if (h.hidden2) {
    w.thirdLayer = next;
    next += size_t(h.hidden2) * h.outputs;
  }
  w.params = next + h.outputs;  // the output biases are kept but never used
  w.firstSteps = reinterpret_cast<int16_t*>(block + floatBytes);
  return true;
}

void fill_net_steps(NetWeights& w) {
  size_t first = size_t(w.inputs) * w.header.hidden1;
  for (size_t i = 0; i < first; i++) w.firstSteps[i] = quantize_net_value(w.firstLayer[i]);
  w.firstBiasSteps = quantize_net_value(w.params[NET_PARAM_FIRST_BIAS]);
}

void free_net_weights(NetWeights& w) {
  std::free(w.values);
  uint32_t generation = w.generation;
  w = NetWeights{};
  w.generation = generation;
}

bool write_network_file(const NetWeights& w, const char* path) {
  if (!w.values) return false;
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  uint8_t header[NET_HEADER_BYTES];
  encode_net_header(w.header, uint32_t(w.count), header);
  bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header;
  uint8_t chunk[WRITE_CHUNK_VALUES * 2];
  for (size_t done = 0; ok && done < w.count; done += WRITE_CHUNK_VALUES) {
    size_t n = w.count - done < WRITE_CHUNK_VALUES ? w.count - done : WRITE_CHUNK_VALUES;
    for (size_t i = 0; i < n; i++) write_u16(chunk + 2 * i, uint16_t(quantize_net_value(w.values[done + i])));
    ok = std::fwrite(chunk, 2, n, f) == n;
  }
  return std::fclose(f) == 0 && ok;
}
