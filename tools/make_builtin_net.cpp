// Writes the built-in network (nets/builtin.nn) until a trained one
// replaces it: a deterministic network of the built-in layout whose score
// follows material and a few simple placement terms, so the engine plays
// sensibly with it.
//
// Three linear terms are carried through the leaky rectifier by pairs of
// first-layer units holding +x and -x: act(x) - act(-x) = x * 17/16 on
// either side of zero. Term 0 feeds the middlegame head, term 1 the
// endgame head and term 2 the head for boards without pieces. The other
// units get small random weights and small random head weights, which keep
// every weight of the file in use without moving scores by more than a
// few centipawns.
//
// Usage: make_builtin_net [output path]   (default nets/builtin.nn)
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "eval/netfeatures.h"
#include "eval/netweights.h"

namespace {

constexpr uint16_t BUILTIN_VERSION = 537;
constexpr uint16_t BUILTIN_EXTRA_INPUTS = 32;
constexpr uint16_t BUILTIN_HIDDEN1 = 640;
constexpr uint16_t BUILTIN_OUTPUTS = 5;
constexpr NetHeader BUILTIN_HEADER = {BUILTIN_VERSION, NET_RESERVED_VALUE, NET_MAIN_INPUTS_WIDE,
                                      BUILTIN_EXTRA_INPUTS, BUILTIN_HIDDEN1, 0, BUILTIN_OUTPUTS, 0};
constexpr uint64_t SEED = 0x5A657276'4E657431ULL;
constexpr const char* DEFAULT_OUTPUT = "nets/builtin.nn";

constexpr int TERMS = 3;                 // middlegame, endgame, pieceless
constexpr int FIRST_RANDOM_UNIT = 2 * TERMS;
// First-layer weight per pawn of a term, small enough that a queen with
// its placement bonus stays inside the file's 16-bit range (+-6.55).
constexpr double WEIGHT_PER_PAWN = 0.5;
// A pawn is worth this much network output (100 centipawns at 500/3
// centipawns per unit of log-odds).
constexpr double OUTPUT_PER_PAWN = 0.6;
constexpr double LEAK_PAIR_GAIN = 17.0 / 16.0;
constexpr double RANDOM_FIRST_LAYER = 0.05;  // +- range of the other units' weights
constexpr double RANDOM_HEAD = 0.005;        // +- range of their head weights

constexpr int RANKS = 8;
constexpr double CENTRE = 3.5;

// Placement bonuses in pawns, by rank from the owner's side.
constexpr double PASSED_BONUS[TERMS][RANKS] = {
    {0, 0.05, 0.05, 0.1, 0.2, 0.35, 0.5, 0},
    {0, 0.1, 0.15, 0.3, 0.5, 0.8, 1.2, 0},
    {0, 0.2, 0.3, 0.5, 0.8, 1.3, 2.0, 0},
};
// Piece values in pawns: middlegame, endgame, pieceless (index by type).
constexpr double PIECE_VALUE[TERMS][KING + 1] = {
    {0, 0.8, 3.2, 3.3, 4.8, 9.5, 0},
    {0, 1.0, 3.0, 3.2, 5.2, 9.6, 0},
    {0, 1.0, 0, 0, 0, 0, 0},
};
constexpr double PAWN_ADVANCE[TERMS] = {0.03, 0.05, 0.05};
constexpr double CENTRE_PAWN_MG = 0.1;  // d- and e-file pawns in the middlegame
constexpr double MINOR_CENTRALITY = 0.1;
constexpr double QUEEN_CENTRALITY = 0.05;
constexpr double ROOK_SEVENTH_MG = 0.2;
constexpr double KING_SHELTER_MG = 0.3;  // on the back rank, files g-h
constexpr double KING_EXPOSURE_MG = 0.2;  // per rank off the back rank
constexpr double KING_CENTRALITY_EG = 0.15;
constexpr int CENTRE_FILE_LOW = 3, CENTRE_FILE_HIGH = 4;
constexpr int SHELTER_FILE = 6;

// splitmix64: fixed output on every platform, unlike rand().
constexpr uint64_t SPLITMIX_STEP = 0x9E3779B97F4A7C15ULL;
constexpr uint64_t SPLITMIX_MUL1 = 0xBF58476D1CE4E5B9ULL;
constexpr uint64_t SPLITMIX_MUL2 = 0x94D049BB133111EBULL;
constexpr int SPLITMIX_SHIFT1 = 30, SPLITMIX_SHIFT2 = 27, SPLITMIX_SHIFT3 = 31;

struct Random {
  uint64_t state;
};

uint64_t next_random(Random& r) {
  uint64_t z = (r.state += SPLITMIX_STEP);
  z = (z ^ (z >> SPLITMIX_SHIFT1)) * SPLITMIX_MUL1;
  z = (z ^ (z >> SPLITMIX_SHIFT2)) * SPLITMIX_MUL2;
  return z ^ (z >> SPLITMIX_SHIFT3);
}

constexpr double UNIT_INTERVAL = 1.0 / 9007199254740992.0;  // 2^-53
constexpr int MANTISSA_SHIFT = 11;

double uniform(Random& r, double range) {
  return (double(next_random(r) >> MANTISSA_SHIFT) * UNIT_INTERVAL * 2 - 1) * range;
}

// Chebyshev distance from the centre squares, 0..3.
double centre_distance(int sq) {
  return std::fmax(std::fabs(file_of(sq) - CENTRE), std::fabs(rank_of(sq) - CENTRE)) - 0.5;
}

double king_term(int term, int sq) {
  if (term != 0) return -KING_CENTRALITY_EG * centre_distance(sq);
  if (rank_of(sq) == 0) return file_of(sq) >= SHELTER_FILE ? KING_SHELTER_MG : 0;
  return -KING_EXPOSURE_MG * rank_of(sq);
}

double pawn_term(int term, int sq) {
  double v = PIECE_VALUE[term][PAWN] + PAWN_ADVANCE[term] * (rank_of(sq) - 1);
  if (term == 0 && file_of(sq) >= CENTRE_FILE_LOW && file_of(sq) <= CENTRE_FILE_HIGH) v += CENTRE_PAWN_MG;
  return v;
}

// Value in pawns of one of the owner's features, square from the owner's
// side (own back rank 0, own king on files e-h).
double feature_term(int term, int group, int sq) {
  if (group == NET_PASSED_GROUP) return PASSED_BONUS[term][rank_of(sq)];
  int type = group == 0 ? KING : group;
  double v = PIECE_VALUE[term][type];
  switch (type) {
    case KING: return king_term(term, sq);
    case PAWN: return pawn_term(term, sq);
    case KNIGHT:
    case BISHOP: return v ? v - MINOR_CENTRALITY * centre_distance(sq) : 0;
    case ROOK: return v + (term == 0 && rank_of(sq) == SEVENTH_RANK ? ROOK_SEVENTH_MG : 0);
    default: return v ? v - QUEEN_CENTRALITY * centre_distance(sq) : 0;
  }
}

// One input's column: the term pairs, then random weights.
void fill_column(float* column, const double* terms, Random& r) {
  for (int t = 0; t < TERMS; t++) {
    column[2 * t] = float(terms[t] * WEIGHT_PER_PAWN);
    column[2 * t + 1] = float(-terms[t] * WEIGHT_PER_PAWN);
  }
  for (int u = FIRST_RANDOM_UNIT; u < BUILTIN_HIDDEN1; u++) column[u] = float(uniform(r, RANDOM_FIRST_LAYER));
}

// Our features add a term, the other side's features (seen from our side,
// so ranks flipped) subtract it; both king-wing block pairs alike.
void fill_main_inputs(NetWeights& w, Random& r) {
  for (int input = 0; input < NET_MAIN_INPUTS_WIDE; input++) {
    int inBlock = input % (2 * NET_BLOCK_INPUTS);
    bool theirs = inBlock >= NET_BLOCK_INPUTS;
    int group = (inBlock % NET_BLOCK_INPUTS) / NET_GROUP_SQUARES, sq = inBlock % NET_GROUP_SQUARES;
    double terms[TERMS];
    for (int t = 0; t < TERMS; t++)
      terms[t] = theirs ? -feature_term(t, group, sq ^ NET_RANK_FLIP) : feature_term(t, group, sq);
    fill_column(w.values + size_t(input) * BUILTIN_HIDDEN1, terms, r);
  }
}

// Material is counted by the piece features already; the extra inputs
// only carry random weights.
void fill_extra_inputs(NetWeights& w, Random& r) {
  const double none[TERMS] = {};
  for (int input = NET_MAIN_INPUTS_WIDE; input < w.inputs; input++)
    fill_column(w.values + size_t(input) * BUILTIN_HIDDEN1, none, r);
}

void fill_heads(NetWeights& w, Random& r) {
  const double pairWeight = OUTPUT_PER_PAWN / (WEIGHT_PER_PAWN * LEAK_PAIR_GAIN);
  float* rows = w.values + size_t(w.inputs) * BUILTIN_HIDDEN1;
  for (int o = 0; o < BUILTIN_OUTPUTS; o++) {
    float* row = rows + size_t(o) * BUILTIN_HIDDEN1;
    for (int u = 0; u < FIRST_RANDOM_UNIT; u++) row[u] = 0;
    if (o < TERMS) {
      row[2 * o] = float(pairWeight);
      row[2 * o + 1] = float(-pairWeight);
    }
    for (int u = FIRST_RANDOM_UNIT; u < BUILTIN_HIDDEN1; u++) row[u] = float(uniform(r, RANDOM_HEAD));
  }
  // Output biases and netParams: all zero, so the pairs stay exact.
  float* tail = rows + size_t(BUILTIN_OUTPUTS) * BUILTIN_HIDDEN1;
  for (float* v = tail; v < w.values + w.count; v++) *v = 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : DEFAULT_OUTPUT;
  NetWeights w;
  if (!allocate_net_weights(w, BUILTIN_HEADER)) {
    std::fprintf(stderr, "out of memory\n");
    return 1;
  }
  Random r = {SEED};
  fill_main_inputs(w, r);
  fill_extra_inputs(w, r);
  fill_heads(w, r);
  bool ok = write_network_file(w, path);
  std::printf("%s: %zu values%s\n", path, w.count, ok ? "" : ", write failed");
  free_net_weights(w);
  return ok ? 0 : 1;
}
