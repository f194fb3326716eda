#include "recordstream.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

bool open_record_source(const std::vector<const char*>& paths, RecordSource& src) {
  src = {};
  for (const char* p : paths) {
    std::error_code ec;
    auto bytes = std::filesystem::file_size(p, ec);
    if (ec) {
      std::fprintf(stderr, "cannot read %s\n", p);
      return false;
    }
    src.paths.emplace_back(p);
    src.counts.push_back((long long)(bytes / NET_RECORD_BYTES));
    src.total += src.counts.back();
  }
  return true;
}

bool read_record_range(const RecordSource& src, long long first, long long count, std::vector<NetRecord>& out) {
  out.clear();
  long long fileStart = 0;
  for (size_t i = 0; i < src.paths.size() && count > 0; fileStart += src.counts[i], i++) {
    long long end = fileStart + src.counts[i];
    if (first >= end) continue;
    long long from = first - fileStart, n = std::min(count, end - first);
    FILE* f = std::fopen(src.paths[i].c_str(), "rb");
    if (!f) return false;
    size_t at = out.size();
    out.resize(at + size_t(n));
    bool ok = std::fseek(f, long(from * NET_RECORD_BYTES), SEEK_SET) == 0 &&
              read_records(f, out.data() + at, size_t(n)) == size_t(n);
    std::fclose(f);
    if (!ok) return false;
    first += n;
    count -= n;
  }
  return count == 0;
}
