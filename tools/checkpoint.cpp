#include "checkpoint.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

constexpr uint32_t CHECKPOINT_MAGIC = 0x4B43545A;  // "ZTCK"
constexpr uint32_t CHECKPOINT_VERSION = 1;

struct CheckpointHead {
  uint32_t magic, version;
  uint64_t values;
  int32_t epoch;
  int64_t window, dataRecords, adamStep;
  double lr;
};

bool write_floats(FILE* f, const std::vector<float>& v) { return std::fwrite(v.data(), 4, v.size(), f) == v.size(); }
bool read_floats(FILE* f, std::vector<float>& v) { return std::fread(v.data(), 4, v.size(), f) == v.size(); }

}  // namespace

// Written beside the target and renamed over it, so a stop while writing
// leaves the previous checkpoint whole.
bool save_checkpoint(const char* path, const Model& m, const Adam& a, const TrainProgress& p) {
  std::string tmp = std::string(path) + ".part";
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) return false;
  CheckpointHead h = {CHECKPOINT_MAGIC, CHECKPOINT_VERSION, m.values.size(), p.epoch, p.window,
                      p.dataRecords, a.step, p.lr};
  bool ok = std::fwrite(&h, sizeof h, 1, f) == 1 && write_floats(f, m.values) && write_floats(f, a.m) &&
            write_floats(f, a.v);
  ok = std::fclose(f) == 0 && ok;
  return ok && std::rename(tmp.c_str(), path) == 0;
}

bool load_checkpoint(const char* path, Model& m, Adam& a, TrainProgress& p) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  CheckpointHead h;
  bool ok = std::fread(&h, sizeof h, 1, f) == 1 && h.magic == CHECKPOINT_MAGIC &&
            h.version == CHECKPOINT_VERSION && h.values == m.values.size() && h.epoch >= 1 && h.window >= 0;
  std::vector<float> values(m.values.size()), mm(values.size()), vv(values.size());
  ok = ok && read_floats(f, values) && read_floats(f, mm) && read_floats(f, vv);
  std::fclose(f);
  if (!ok) return false;
  m.values = std::move(values);
  a.m = std::move(mm);
  a.v = std::move(vv);
  a.step = h.adamStep;
  p = {h.epoch, h.window, h.dataRecords, h.lr};
  return true;
}
