// Turns any number of record files (self-play shards, converted games)
// into one training file in random order and one validation file, without
// holding the data in memory, so the pile can grow past the machine's RAM.
//
// Pass 1 streams every record through the filters and scatters it to one
// of several bucket files chosen by a hash of the position. Equal
// positions therefore meet in the same bucket, and every bucket is a
// random sample of the whole pile. Pass 2 loads one bucket at a time,
// keeps each position once, holds back a fixed share (chosen by the hash,
// so the same position is held back in every preparation) and appends the
// rest in random order to the training file. A stream read straight from
// that file is as good as a full shuffle; the trainer only shuffles within
// its read-ahead window on top.
//
// Filters: scores beyond -max-score (mate-range and decided positions
// teach the network little and dominate a squared error), and the first
// -skip records of every game (the opening book lines repeat across
// games and carry the opening files' bias rather than Zerv's play).
//
// Usage: prepare_data -out TRAIN.bin -valid VALID.bin [-tmp DIR] [-seed N]
//                     [-max-score CP] [-skip N] [-bucket-mb N] FILE...
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "netdata.h"

namespace {

// One position in this many is held out for validation.
constexpr uint64_t VALIDATION_SHARE = 50;
// Buckets are sized to fit comfortably in memory during pass 2.
constexpr long long DEFAULT_BUCKET_MB = 1024;
constexpr long long BYTES_PER_MB = 1 << 20;
constexpr size_t READ_CHUNK = 1 << 16;
constexpr int MAX_BUCKETS = 4096;
constexpr int DEFAULT_MAX_SCORE = 3000;

struct Settings {
  const char* out = nullptr;
  const char* valid = nullptr;
  std::string tmp = "/tmp";
  uint64_t seed = 1;
  int maxScore = DEFAULT_MAX_SCORE;
  int skip = 0;
  long long bucketMb = DEFAULT_BUCKET_MB;
  std::vector<const char*> inputs;
};

struct Counts {
  long long read = 0, filtered = 0, repeated = 0, train = 0, valid = 0;
};

// The position's identity: the men, where they stand and the side to move
// (score, result and game number vary between copies of one position).
uint64_t position_hash(const NetRecord& r) {
  uint64_t h = 0x9E3779B97F4A7C15ULL;
  auto mix = [&](uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2);
    h *= 0xBF58476D1CE4E5B9ULL;
    h ^= h >> 31;
  };
  uint64_t lo, hi;
  std::memcpy(&lo, r.pieces, 8);
  std::memcpy(&hi, r.pieces + 8, 8);
  mix(r.occupied);
  mix(lo);
  mix(hi);
  mix(r.flags & 1);
  return h;
}

bool same_position(const NetRecord& a, const NetRecord& b) {
  return a.occupied == b.occupied && (a.flags & 1) == (b.flags & 1) &&
         std::memcmp(a.pieces, b.pieces, sizeof a.pieces) == 0;
}

long long total_bytes(const std::vector<const char*>& inputs) {
  long long n = 0;
  std::error_code ec;
  for (const char* p : inputs) {
    auto s = std::filesystem::file_size(p, ec);
    if (!ec) n += (long long)s;
  }
  return n;
}

std::string bucket_path(const Settings& cfg, int b) {
  return cfg.tmp + "/prepare_bucket_" + std::to_string(b) + ".bin";
}

// Pass 1: filter and scatter. Records of one game are consecutive in a
// shard, so the game number tells where a new game starts.
bool scatter(const Settings& cfg, std::vector<FILE*>& buckets, Counts& n) {
  std::vector<NetRecord> buf(READ_CHUNK);
  for (const char* path : cfg.inputs) {
    FILE* f = std::fopen(path, "rb");
    if (!f) {
      std::fprintf(stderr, "cannot open %s\n", path);
      return false;
    }
    uint32_t game = UINT32_MAX;
    int inGame = 0;
    size_t got;
    while ((got = read_records(f, buf.data(), buf.size())) > 0) {
      for (size_t i = 0; i < got; i++) {
        const NetRecord& r = buf[i];
        n.read++;
        inGame = r.game == game ? inGame + 1 : 0;
        game = r.game;
        if (inGame < cfg.skip || std::abs(r.score) > cfg.maxScore || r.result > RESULT_WHITE_WINS) {
          n.filtered++;
          continue;
        }
        FILE* out = buckets[position_hash(r) % buckets.size()];
        if (std::fwrite(&r, sizeof r, 1, out) != 1) return false;
      }
    }
    std::fclose(f);
  }
  return true;
}

// Pass 2 for one bucket: sort by position so copies sit together, keep the
// first of each, split, shuffle the training part and append it.
bool gather(const std::string& path, FILE* train, FILE* valid, std::mt19937_64& rng, Counts& n) {
  std::error_code ec;
  size_t count = size_t(std::filesystem::file_size(path, ec) / NET_RECORD_BYTES);
  std::vector<NetRecord> recs(count);
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f || read_records(f, recs.data(), count) != count) {
    if (f) std::fclose(f);
    return false;
  }
  std::fclose(f);
  std::vector<std::pair<uint64_t, uint32_t>> keyed(count);
  for (size_t i = 0; i < count; i++) keyed[i] = {position_hash(recs[i]), uint32_t(i)};
  std::stable_sort(keyed.begin(), keyed.end(), [](auto& a, auto& b) { return a.first < b.first; });
  std::vector<NetRecord> kept;
  kept.reserve(count);
  for (size_t i = 0; i < count; i++) {
    const NetRecord& r = recs[keyed[i].second];
    // Copies are neighbours after the sort (the order among equal hashes
    // is the input order, so the first copy read is the one kept).
    if (i > 0 && keyed[i - 1].first == keyed[i].first && same_position(recs[keyed[i - 1].second], r)) {
      n.repeated++;
      continue;
    }
    if ((keyed[i].first >> 32) % VALIDATION_SHARE == 0) {
      if (!write_records(valid, &r, 1)) return false;
      n.valid++;
    } else {
      kept.push_back(r);
    }
  }
  std::shuffle(kept.begin(), kept.end(), rng);
  n.train += (long long)kept.size();
  return write_records(train, kept.data(), kept.size());
}

bool parse_args(int argc, char** argv, Settings& cfg) {
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    bool v = i + 1 < argc;
    if (a == "-out" && v) cfg.out = argv[++i];
    else if (a == "-valid" && v) cfg.valid = argv[++i];
    else if (a == "-tmp" && v) cfg.tmp = argv[++i];
    else if (a == "-seed" && v) cfg.seed = std::strtoull(argv[++i], nullptr, 10);
    else if (a == "-max-score" && v) cfg.maxScore = std::max(0, std::atoi(argv[++i]));
    else if (a == "-skip" && v) cfg.skip = std::max(0, std::atoi(argv[++i]));
    else if (a == "-bucket-mb" && v) cfg.bucketMb = std::max(1LL, std::atoll(argv[++i]));
    else if (a[0] == '-') return false;
    else cfg.inputs.push_back(argv[i]);
  }
  return cfg.out && cfg.valid && !cfg.inputs.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Settings cfg;
  if (!parse_args(argc, argv, cfg)) {
    std::fprintf(stderr,
                 "usage: prepare_data -out TRAIN.bin -valid VALID.bin [-tmp DIR] [-seed N] [-max-score CP] "
                 "[-skip N] [-bucket-mb N] FILE...\n");
    return 1;
  }
  long long bytes = total_bytes(cfg.inputs);
  int nb = int(std::clamp(bytes / (cfg.bucketMb * BYTES_PER_MB) + 1, 1LL, (long long)MAX_BUCKETS));
  std::vector<FILE*> buckets(nb);
  for (int b = 0; b < nb; b++)
    if (!(buckets[b] = std::fopen(bucket_path(cfg, b).c_str(), "wb"))) {
      std::fprintf(stderr, "cannot write buckets in %s\n", cfg.tmp.c_str());
      return 1;
    }
  Counts n;
  bool ok = scatter(cfg, buckets, n);
  for (FILE* f : buckets) ok = std::fclose(f) == 0 && ok;
  FILE* train = ok ? std::fopen(cfg.out, "wb") : nullptr;
  FILE* valid = ok ? std::fopen(cfg.valid, "wb") : nullptr;
  ok = train && valid;
  std::mt19937_64 rng(cfg.seed);
  for (int b = 0; b < nb; b++) {
    ok = ok && gather(bucket_path(cfg, b), train, valid, rng, n);
    std::remove(bucket_path(cfg, b).c_str());
  }
  if (train) ok = std::fclose(train) == 0 && ok;
  if (valid) ok = std::fclose(valid) == 0 && ok;
  std::printf("%lld records read in %d buckets: %lld filtered, %lld repeated, %lld training, %lld validation\n",
              n.read, nb, n.filtered, n.repeated, n.train, n.valid);
  if (!ok) std::fprintf(stderr, "preparation failed\n");
  return ok ? 0 : 1;
}
