#include "syzygy/tbregistry.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int tbLargest = 0;

namespace {

constexpr int PATH_COPY_SIZE = 1024;
constexpr int MAX_DIRECTORIES = 64;
constexpr int FILE_NAME_SIZE = 260;  // at most 259 characters
constexpr int HASH_SHIFT = 64 - TB_HASH_BITS;
constexpr int EXIT_LIMIT = 1;
constexpr int PIECE_LETTERS = 5;  // Q R B N P, strongest first
constexpr const char* LETTERS = "QRBNP";
constexpr const char* EMPTY_PATH = "<empty>";
constexpr int ENCODING_TWO_KINGS = 2;
// Smallest file that can hold a magic, the info byte and a record.
constexpr long long MIN_TABLE_SIZE = 8;

TbEntry PieceEntries[TBMAX_PIECE];
TbEntry PawnEntries[TBMAX_PAWN];
int NumPieceEntries = 0, NumPawnEntries = 0;
TbHashSlot Hash[TB_HASH_BUCKETS][HSHMAX];

char PathCopy[PATH_COPY_SIZE];
const char* Directories[MAX_DIRECTORIES];
int NumDirectories = 0;

struct DtzSlot {
  TbEntry* owner;
  TbTable table;
};
DtzSlot DtzCache[DTZ_ENTRIES];  // most recently used first
int DtzCount = 0;

int type_of_letter(char c) {
  switch (c) {
    case 'Q': return QUEEN;
    case 'R': return ROOK;
    case 'B': return BISHOP;
    case 'N': return KNIGHT;
    case 'P': return PAWN;
    default: return NO_PIECE_TYPE;
  }
}

// Piece counts of a signature such as "KRPvKR": the first side as White.
void signature_counts(const char* name, int counts[2][KING]) {
  std::memset(counts, 0, sizeof(int) * 2 * KING);
  int side = 0;
  for (const char* c = name; *c; c++) {
    if (*c == 'v') side = 1;
    else if (int t = type_of_letter(*c)) counts[side][t]++;
  }
}

bool file_path(char* out, int dir, const char* name, const char* ext) {
  int n = std::snprintf(out, FILE_NAME_SIZE, "%s/%s%s", Directories[dir], name, ext);
  return n > 0 && n < FILE_NAME_SIZE;
}

[[noreturn]] void limit_exceeded(const char* message) {
  std::fputs(message, stderr);
  std::exit(EXIT_LIMIT);
}

void hash_insert(uint64_t key, TbEntry* e) {
  TbHashSlot* bucket = Hash[key >> HASH_SHIFT];
  for (int i = 0; i < HSHMAX; i++)
    if (!bucket[i].entry) {
      bucket[i].key.store(key, std::memory_order_relaxed);
      bucket[i].entry = e;
      return;
    }
  limit_exceeded("HSHMAX too low!\n");
}

void hash_remove(TbEntry* e) {
  for (auto& bucket : Hash)
    for (auto& slot : bucket)
      if (slot.entry == e) slot.key.store(0, std::memory_order_relaxed);
}

void fill_entry(TbEntry& e, const char* name, int dir) {
  int counts[2][KING];
  signature_counts(name, counts);
  int mirror[2][KING];
  std::memcpy(mirror[0], counts[1], sizeof mirror[0]);
  std::memcpy(mirror[1], counts[0], sizeof mirror[1]);
  e.key = tb_material_key(counts);
  uint64_t mirrorKey = tb_material_key(mirror);
  e.ready.store(0, std::memory_order_relaxed);
  e.failed = e.dtzFailed = false;
  e.numPieces = uint8_t(std::strlen(name) - 1);
  e.symmetric = e.key == mirrorKey;
  int p0 = counts[0][PAWN], p1 = counts[1][PAWN];
  e.hasPawns = p0 + p1 > 0;
  bool firstFewer = p0 > 0 && (p1 == 0 || p0 <= p1);
  e.pawns[0] = uint8_t(firstFewer ? p0 : p1);
  e.pawns[1] = uint8_t(firstFewer ? p1 : p0);
  int single = 2;  // the kings
  for (int c = 0; c < 2; c++)
    for (int t = PAWN; t < KING; t++) single += counts[c][t] == 1;
  e.encoding = uint8_t(e.hasPawns || single > 2 ? 0 : ENCODING_TWO_KINGS);
  e.directory = uint8_t(dir);
  std::snprintf(e.name, TB_NAME_SIZE, "%s", name);
  e.wdl = TbTable{};
  hash_insert(e.key, &e);
  if (!e.symmetric) hash_insert(mirrorKey, &e);
  if (e.numPieces > tbLargest) tbLargest = e.numPieces;
}

// Registers the signature from the first directory that holds its WDL
// file; nothing is mapped yet.
void try_signature(const char* name) {
  char path[FILE_NAME_SIZE];
  for (int d = 0; d < NumDirectories; d++) {
    if (!file_path(path, d, name, ".rtbw") || !file_exists(path)) continue;
    bool pawns = std::strchr(name, 'P') != nullptr;
    if (pawns && NumPawnEntries == TBMAX_PAWN) limit_exceeded("TBMAX_PAWN limit too low!\n");
    if (!pawns && NumPieceEntries == TBMAX_PIECE) limit_exceeded("TBMAX_PIECE limit too low!\n");
    TbEntry& e = pawns ? PawnEntries[NumPawnEntries++] : PieceEntries[NumPieceEntries++];
    fill_entry(e, name, d);
    return;
  }
}

// Every signature of 3 to 6 pieces, the letters of a side strongest
// first and the stronger side first: `a` and `b` give the number of
// non-king pieces of the two sides.
void try_side_splits(int a, int b, const int* idx) {
  char name[TB_NAME_SIZE];
  int n = 0;
  name[n++] = 'K';
  for (int i = 0; i < a; i++) name[n++] = LETTERS[idx[i]];
  name[n++] = 'v';
  name[n++] = 'K';
  for (int i = 0; i < b; i++) name[n++] = LETTERS[idx[a + i]];
  name[n] = 0;
  try_signature(name);
}

bool non_increasing(const int* idx, int from, int count) {
  for (int i = 1; i < count; i++)
    if (idx[from + i] < idx[from + i - 1]) return false;
  return true;
}

// Equal-sized sides: the first must not be weaker than the second.
bool first_side_stronger(const int* idx, int a, int b) {
  if (a != b) return true;
  for (int i = 0; i < a; i++)
    if (idx[i] != idx[a + i]) return idx[i] < idx[a + i];
  return true;
}

void enumerate(int a, int b, int* idx, int pos) {
  if (pos == a + b) {
    if (non_increasing(idx, 0, a) && non_increasing(idx, a, b) && first_side_stronger(idx, a, b))
      try_side_splits(a, b, idx);
    return;
  }
  for (int l = 0; l < PIECE_LETTERS; l++) {
    idx[pos] = l;
    enumerate(a, b, idx, pos + 1);
  }
}

// The side splits in the order of the name patterns: KXvK, KXvKY, KXYvK,
// KXYvKZ, KXYZvK, KXYvKZW, KXYZvKW, KXYZWvK.
constexpr int SPLITS[8][2] = {{1, 0}, {1, 1}, {2, 0}, {2, 1}, {3, 0}, {2, 2}, {3, 1}, {4, 0}};

// A ':' right after a drive letter at the start of a directory ("C:\tb",
// "C:/tb") belongs to it; any other ':' separates directories.
bool is_drive_colon(const char* entry, const char* at) {
  return at == entry + 1 && std::isalpha(static_cast<unsigned char>(entry[0])) &&
         (at[1] == '\\' || at[1] == '/');
}

// Directories are separated by ';' or by ':' (the usual separator of such
// lists on Linux, which other engines accept too); empty ones are skipped.
void split_paths(const char* paths) {
  std::snprintf(PathCopy, sizeof PathCopy, "%s", paths);
  NumDirectories = 0;
  char* entry = PathCopy;
  for (char* p = PathCopy;; p++) {
    bool end = *p == '\0';
    if (!end && *p != ';' && (*p != ':' || is_drive_colon(entry, p))) continue;
    *p = '\0';
    if (*entry && NumDirectories < MAX_DIRECTORIES) Directories[NumDirectories++] = entry;
    if (end) break;
    entry = p + 1;
  }
}

void release_dtz_cache() {
  for (int i = 0; i < DtzCount; i++) tb_release_table(DtzCache[i].table);
  DtzCount = 0;
}

bool table_matches(const TbEntry& e, const TbTable& t) {
  int counts[2][KING];
  signature_counts(e.name, counts);
  int mirror[2][KING];
  std::memcpy(mirror[0], counts[1], sizeof mirror[0]);
  std::memcpy(mirror[1], counts[0], sizeof mirror[1]);
  return t.numPieces == e.numPieces && t.hasPawns == e.hasPawns &&
         (t.whiteKey == e.key || t.whiteKey == tb_material_key(mirror));
}

bool magic_is(const MappedFile& f, uint32_t magic) {
  uint32_t v;
  if (f.size < sizeof v) return false;
  std::memcpy(&v, f.data, sizeof v);
  return v == magic;
}

// Maps and parses one file of the entry. A missing file is named on
// standard error, a damaged one reported as "Corrupted table."; a file
// that exists but cannot be mapped is a system failure and ends the run.
bool load_table(TbEntry* e, bool dtz, TbTable& out) {
  // Emptied first: a file refused before parsing (too short, wrong magic)
  // must not leave the failure path releasing whatever `out` held.
  out = TbTable{};
  char path[FILE_NAME_SIZE];
  const char* ext = dtz ? ".rtbz" : ".rtbw";
  long long size = file_path(path, e->directory, e->name, ext) ? file_size(path) : -1;
  if (size < 0) {
    std::fprintf(stderr, "Could not find %s%s\n", e->name, ext);
    return false;
  }
  MappedFile file{};
  if (size >= MIN_TABLE_SIZE && !map_file(path, file)) {
    std::fprintf(stderr, "MapViewOfFile() failed, name = %s/%s%s, error = %lu.\n",
                 Directories[e->directory], e->name, ext, last_system_error());
    std::exit(EXIT_LIMIT);
  }
  bool ok = size >= MIN_TABLE_SIZE && magic_is(file, dtz ? TB_DTZ_MAGIC : TB_WDL_MAGIC) &&
            tb_parse_table(out, file, dtz, e->pawns[1] > 0) && table_matches(*e, out);
  if (!ok) {
    std::fputs("Corrupted table.\n", stderr);
    if (out.file.data) tb_release_table(out);
    else unmap_file(file);
  }
  return ok;
}

}  // namespace

void tb_free() {
  release_dtz_cache();
  for (int i = 0; i < NumPieceEntries; i++) tb_release_table(PieceEntries[i].wdl);
  for (int i = 0; i < NumPawnEntries; i++) tb_release_table(PawnEntries[i].wdl);
  NumPieceEntries = NumPawnEntries = 0;
  for (auto& bucket : Hash)
    for (auto& slot : bucket) {
      slot.key.store(0, std::memory_order_relaxed);
      slot.entry = nullptr;
    }
  tbLargest = 0;
  NumDirectories = 0;
}

int tb_count() { return NumPieceEntries + NumPawnEntries; }

void tb_init(const char* paths) {
  tb_free();
  if (!paths || !*paths || std::strcmp(paths, EMPTY_PATH) == 0) return;
  split_paths(paths);
  int idx[TB_MAX_PIECES];
  for (const auto& split : SPLITS) enumerate(split[0], split[1], idx, 0);
  std::printf("info string found %d tablebases\n", tb_count());
  std::fflush(stdout);
}

TbEntry* tb_find(uint64_t key) {
  TbHashSlot* bucket = Hash[key >> HASH_SHIFT];
  for (int i = 0; i < HSHMAX; i++)
    if (bucket[i].key.load(std::memory_order_relaxed) == key) return key ? bucket[i].entry : nullptr;
  return nullptr;
}

bool tb_wdl_ready(TbEntry* e) {
  if (e->ready.load(std::memory_order_acquire)) return true;
  lock_process_mutex();
  if (!e->ready.load(std::memory_order_relaxed) && !e->failed) {
    if (load_table(e, false, e->wdl)) e->ready.store(1, std::memory_order_release);
    else {
      e->failed = true;
      hash_remove(e);
    }
  }
  unlock_process_mutex();
  return e->ready.load(std::memory_order_acquire);
}

const TbTable* tb_dtz_table(TbEntry* e) {
  for (int i = 0; i < DtzCount; i++) {
    if (DtzCache[i].owner != e) continue;
    DtzSlot hit = DtzCache[i];
    std::memmove(&DtzCache[1], &DtzCache[0], sizeof(DtzSlot) * size_t(i));
    DtzCache[0] = hit;
    return &DtzCache[0].table;
  }
  if (e->dtzFailed) return nullptr;
  TbTable table;
  if (!load_table(e, true, table)) {
    e->dtzFailed = true;
    return nullptr;
  }
  if (DtzCount == DTZ_ENTRIES) tb_release_table(DtzCache[--DtzCount].table);
  std::memmove(&DtzCache[1], &DtzCache[0], sizeof(DtzSlot) * size_t(DtzCount));
  DtzCache[0] = DtzSlot{e, table};
  DtzCount++;
  return &DtzCache[0].table;
}
