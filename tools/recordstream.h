// Record files read as one long sequence, a window at a time, so the
// trainer's memory holds one window however large the pile grows. The
// files are expected in random order already (tools/prepare_data.cpp);
// the trainer visits the windows in a new order every epoch and shuffles
// inside each.
#pragma once

#include <string>
#include <vector>

#include "netdata.h"

struct RecordSource {
  std::vector<std::string> paths;
  std::vector<long long> counts;  // whole records in each file
  long long total = 0;
};

// False when a file cannot be read.
bool open_record_source(const std::vector<const char*>& paths, RecordSource& src);
// Records [first, first + count) of the sequence, across file ends.
bool read_record_range(const RecordSource& src, long long first, long long count, std::vector<NetRecord>& out);
