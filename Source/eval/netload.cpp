// load_network: the built-in network, a random new one (also saved as
// "nn.bin") or a network file. Every load fills a fresh block and replaces
// the network in use only once the block is complete, so a bad file never
// leaves half-read weights behind.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "core/options.h"
#include "core/output.h"
#include "eval/netweights.h"
#include "eval/network.h"

namespace {

constexpr int EXIT_NET_CANT_OPEN = 0;
constexpr int EXIT_NET_NO_MEMORY = 1;

// Layout of a new random network.
constexpr uint16_t NEW_NET_VERSION = 540;
constexpr uint16_t NEW_NET_EXTRA_INPUTS = 32;
constexpr uint16_t NEW_NET_HIDDEN1 = 768;
constexpr uint16_t NEW_NET_HIDDEN2 = 0;
constexpr uint16_t NEW_NET_OUTPUTS = 5;
constexpr NetHeader NEW_NET_HEADER = {NEW_NET_VERSION, NET_RESERVED_VALUE, NET_MAIN_INPUTS_WIDE,
                                      NEW_NET_EXTRA_INPUTS, NEW_NET_HIDDEN1, NEW_NET_HIDDEN2,
                                      NEW_NET_OUTPUTS, 0};
// Weights are drawn in file steps, so the network in use is exactly the
// one saved: rand() mod this, minus the offset, times NET_VALUE_STEP, which
// gives -1.0 .. 0.9998.
constexpr int NEW_NET_SPREAD = 10000;
constexpr int NEW_NET_OFFSET_STEPS = 5000;
constexpr float NEW_NET_PARAM_VALUE = 2.0f;
constexpr const char* NEW_NET_FILE = "nn.bin";
constexpr const char* NEW_NET_NAME = "new";
constexpr const char* BUILTIN_NET_NAME = "embedded";

// Bytes converted per pass, so the read buffer stays fixed.
constexpr size_t READ_CHUNK_VALUES = 4096;

// Where a load reads its bytes: an open file or the built-in copy.
struct ByteSource {
  std::FILE* file;
  const uint8_t* bytes;
  size_t size;
  size_t offset;
};

size_t read_bytes(ByteSource& src, uint8_t* out, size_t n) {
  if (src.file) return std::fread(out, 1, n, src.file);
  size_t left = src.size - src.offset;
  if (n > left) n = left;
  std::memcpy(out, src.bytes + src.offset, n);
  src.offset += n;
  return n;
}

// Reads every value into w; false at the first short read.
bool read_values(ByteSource& src, NetWeights& w) {
  uint8_t chunk[READ_CHUNK_VALUES * 2];
  for (size_t done = 0; done < w.count; done += READ_CHUNK_VALUES) {
    size_t n = w.count - done < READ_CHUNK_VALUES ? w.count - done : READ_CHUNK_VALUES;
    if (read_bytes(src, chunk, 2 * n) != 2 * n) return false;
    for (size_t i = 0; i < n; i++) {
      auto raw = int16_t(uint16_t(chunk[2 * i] | chunk[2 * i + 1] << 8));
      w.values[done + i] = float(raw * NET_VALUE_STEP);
    }
  }
  return true;
}

// Without any network the engine has no evaluation and must end; once one
// is in use, a network too large for the machine is refused and the one in
// use stays, so a session survives a bad "NN_File" choice.
bool allocate_or_refuse(NetWeights& w, const NetHeader& h) {
  if (allocate_net_weights(w, h)) return true;
  print_line("allocating memory for net failed!");
  if (!Net.values) std::exit(EXIT_NET_NO_MEMORY);
  print_line("info string keeping the network in use");
  return false;
}

// Reads header and values into `fresh`; on a short or unusable network
// prints why and returns false with nothing allocated.
bool read_network(ByteSource& src, const char* name, NetWeights& fresh) {
  uint8_t bytes[NET_HEADER_BYTES];
  if (read_bytes(src, bytes, sizeof bytes) != sizeof bytes) {
    print_linef("info string network %s rejected: shorter than its header", name);
    return false;
  }
  NetHeader h = parse_net_header(bytes);
  if (const char* problem = net_header_problem(h)) {
    print_linef("info string network %s rejected: %s", name, problem);
    return false;
  }
  if (!allocate_or_refuse(fresh, h)) return false;
  if (read_values(src, fresh)) return true;
  print_linef("info string network %s rejected: shorter than its %zu values", name, fresh.count);
  free_net_weights(fresh);
  return false;
}

// The only place the network in use changes; bumping the generation tells
// every thread's working memory that its saved first layers are stale.
void install(NetWeights& fresh) {
  fill_net_steps(fresh);
  uint32_t generation = Net.generation + 1;
  free_net_weights(Net);
  Net = fresh;
  Net.generation = generation;
}

int load_builtin_network() {
  ByteSource src = {nullptr, builtin_net_bytes(), builtin_net_size(), 0};
  NetWeights fresh;
  if (!read_network(src, BUILTIN_NET_NAME, fresh)) return 0;
  install(fresh);
  print_line("info string using embedded network");
  return 1;
}

int load_network_file(const char* path) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) {
    // As with a network too large: only an engine without any ends here.
    print_linef("info string can't open %s", path);
    if (!Net.values) std::exit(EXIT_NET_CANT_OPEN);
    print_line("info string keeping the network in use");
    return 0;
  }
  ByteSource src = {f, nullptr, 0, 0};
  NetWeights fresh;
  bool ok = read_network(src, path, fresh);
  std::fclose(f);
  if (!ok) return 0;
  install(fresh);
  print_linef("info string loaded %s", path);
  return 1;
}

int load_new_network() {
  NetWeights fresh;
  if (!allocate_or_refuse(fresh, NEW_NET_HEADER)) return 0;
  std::srand(unsigned(std::time(nullptr)));
  size_t weights = fresh.count - NET_PARAM_COUNT;
  for (size_t i = 0; i < weights; i++)
    fresh.values[i] = float((std::rand() % NEW_NET_SPREAD - NEW_NET_OFFSET_STEPS) * NET_VALUE_STEP);
  for (size_t i = weights; i < fresh.count; i++) fresh.values[i] = NEW_NET_PARAM_VALUE;
  install(fresh);
  // The network is in use whether or not it could be saved.
  write_network_file(Net, NEW_NET_FILE);
  print_line("info string created new NN");
  return 1;
}

}  // namespace

int load_network() {
  // A copy with a guaranteed terminator, whatever the settings field holds.
  char name[FILE_NAME_FIELD_SIZE + 1];
  std::memcpy(name, Options.NN_File, FILE_NAME_FIELD_SIZE);
  name[FILE_NAME_FIELD_SIZE] = 0;
  if (std::strcmp(name, NEW_NET_NAME) == 0) return load_new_network();
  if (std::strcmp(name, BUILTIN_NET_NAME) == 0) return load_builtin_network();
  return load_network_file(name);
}
