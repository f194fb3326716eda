// The network: agreement with the evaluation it was distilled from,
// saving, loading and rejecting files, colour symmetry, the incremental
// first layer against fresh recomputation, and every set of layer loops
// against the scalar reference.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "board/attacks.h"
#include "board/bitboard.h"
#include "board/fen.h"
#include "board/makemove.h"
#include "board/see.h"
#include "board/zobrist.h"
#include "eval/evaluate.h"
#include "eval/hce.h"
#include "eval/network.h"
#include "eval/networkspace.h"
#include "eval/params.h"
#include "core/control.h"
#include "core/options.h"
#include "core/searchthread.h"
#include "search/threadrecord.h"
#include "../board/board_fixture.h"
#include "../frontend/dialogue.h"
#include "hce_fixture.h"

namespace fs = std::filesystem;

namespace {

constexpr NetHeader BUILTIN = {537, 1, 1792, 32, 640, 0, 5, 0};
constexpr const char* START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// A network in file form, written by the test itself so that the loader
// is checked against an independent writer.
struct TestNet {
  NetHeader h;
  std::vector<int16_t> values;
};

TestNet random_net(NetHeader h, unsigned seed, int firstRange, int headRange, int16_t bias) {
  TestNet n{h, std::vector<int16_t>(net_value_count(h))};
  std::mt19937 rng(seed);
  size_t first = size_t(h.mainInputs + h.extraInputs) * h.hidden1;
  for (size_t i = 0; i < n.values.size() - NET_PARAM_COUNT; i++) {
    int range = i < first ? firstRange : headRange;
    n.values[i] = int16_t(int(rng() % (2 * range + 1)) - range);
  }
  for (size_t i = n.values.size() - NET_PARAM_COUNT; i < n.values.size(); i++) n.values[i] = bias;
  return n;
}

std::string net_bytes(const TestNet& n, size_t valueCount) {
  std::string b;
  auto u16 = [&](unsigned v) { b += char(v & 255), b += char(v >> 8 & 255); };
  for (unsigned f : {n.h.version, n.h.reserved, n.h.mainInputs, n.h.extraInputs, n.h.hidden1, n.h.hidden2, n.h.outputs})
    u16(f);
  u16(unsigned(valueCount) & 0xFFFF), u16(unsigned(valueCount) >> 16);
  for (size_t i = 0; i < valueCount && i < n.values.size(); i++) u16(uint16_t(n.values[i]));
  return b;
}

void write_file(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

class NetworkTest : public BoardTest {
 protected:
  void SetUp() override {
    set_default_options(Options);
    Options.evalNoise = 0;
    ASSERT_EQ(load("embedded"), 1);
    BoardTest::SetUp();
    ref = new_search_thread();
  }
  void TearDown() override {
    BoardTest::TearDown();
    free_search_thread(ref);
    if (!dir.empty()) {
      fs::current_path(oldDir);
      fs::remove_all(dir);
    }
    load("embedded");  // later tests in the same process expect the built-in network
  }
  // Loads by NN_File name; the printed lines go to `printed`.
  int load(const std::string& name) {
    std::strncpy(Options.NN_File, name.c_str(), sizeof Options.NN_File - 1);
    int result = 0;
    printed = captured_output([&] { result = load_network(); });
    return result;
  }
  int load_net(const TestNet& n) {
    write_file(temp("net.bin"), net_bytes(n, n.values.size()));
    return load(temp("net.bin"));
  }
  // A private working directory, left again after the test.
  std::string temp(const std::string& name) {
    if (dir.empty()) {
      char pattern[] = "/tmp/zerv-net-XXXXXX";
      dir = mkdtemp(pattern);
      oldDir = fs::current_path();
      fs::current_path(dir);
    }
    return dir + "/" + name;
  }
  // The built-in network, then each of `nets` loaded in turn; `run(k)` for each.
  template <typename Run>
  void for_each_net(const std::vector<TestNet>& nets, Run run) {
    for (size_t k = 0; k <= nets.size() && !HasFatalFailure(); k++) {
      ASSERT_EQ(k == 0 ? load("embedded") : load_net(nets[k - 1]), 1);
      run(k);
    }
  }
  // The score of a position evaluated from scratch (a search root).
  int fresh_score(SearchThread* th, const std::string& fen) {
    set_position(th->pos, fen.c_str());
    th->ply = 1;
    return nn_evaluate_uncached(th);
  }
  SearchThread* ref = nullptr;
  std::string printed, dir;
  fs::path oldDir;
};

// Quiet for the network's purpose: not in check, and no capture that wins
// material by static exchange is pending for the side to move.
bool is_quiet_position(SearchThread* th) {
  const Position& pos = th->pos;
  if (square_attacked(pos, pos.kingSq[pos.side], pos.side ^ 1)) return false;
  for (Move m : legal_moves(th->pos)) {
    int to = move_to(m);
    if (pos.board[to] && see(pos, pos.side, move_from(m), to) > 0) return false;
  }
  return true;
}

// The built-in network is distilled from the hand-crafted evaluation, so
// on the quiet positions it scores in play the two must agree closely; a
// network that only counts material, or one whose inputs were numbered
// differently from the trainer's, misses by far more.
TEST_F(NetworkTest, BuiltinNetworkTracksTheHandCraftedEvaluation) {
  setup_eval_params();
  init_kpk_table();
  set_control_defaults(Control);
  double sumDiff = 0;
  int counted = 0;
  for (const std::string& fen : epd_positions()) {
    set_position(t->pos, fen.c_str());
    if (uses_hand_crafted(t) || !is_quiet_position(t)) continue;
    t->ply = 1;
    int hce = hce_evaluate(t, t->pos.side, 1, 0);
    if (std::abs(hce) > 1000) continue;  // decided positions: the logistic flattens both
    sumDiff += std::abs(fresh_score(t, fen) - hce);
    counted++;
  }
  ASSERT_GT(counted, 500);
  // The distilled network missed by under 40 cp on average here, the
  // self-play network trained on search scores misses by about 53 (it has
  // learnt what the search finds, not what the evaluation says); a
  // material-only network misses by about 90.
  EXPECT_LT(sumDiff / counted, 65.0) << counted << " positions";
}

TEST_F(NetworkTest, NewNetworkIsSavedByteExactAndReloads) {
  std::string file = temp("nn.bin");
  ASSERT_EQ(load("new"), 1);
  EXPECT_EQ(printed, "info string created new NN\n");
  ASSERT_EQ(Net.count, 1404685u);
  std::vector<float> made(Net.values, Net.values + Net.count);
  std::ifstream in(file, std::ios::binary);
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  ASSERT_EQ(bytes.size(), 2809388u);
  TestNet expected{{540, 1, 1792, 32, 768, 0, 5, 0}, {}};
  for (float v : made) expected.values.push_back(int16_t(std::lround(double(v) * 5000)));
  EXPECT_TRUE(bytes == net_bytes(expected, made.size())) << "header or values differ from the file layout";
  for (size_t i = 0; i < made.size() - 8; i++) ASSERT_TRUE(made[i] >= -1.0f && made[i] <= 1.0f) << i;
  for (size_t i = made.size() - 8; i < made.size(); i++) EXPECT_EQ(made[i], 2.0f);

  // The weights are drawn on the file's grid, so the saved network is the
  // one that was in use, value for value.
  ASSERT_EQ(load(file), 1);
  EXPECT_EQ(printed, "info string loaded " + file + "\n");
  for (size_t i = 0; i < Net.count; i++) ASSERT_EQ(Net.values[i], made[i]) << i;
}

TEST_F(NetworkTest, ShortOrMissingFilesAreRejectedAndThePreviousNetworkKept) {
  TestNet n = random_net(BUILTIN, 7, 200, 200, 100);
  std::string full = net_bytes(n, n.values.size());
  int score = fresh_score(t, START);
  uint32_t generation = Net.generation;
  for (size_t size : {size_t(10), size_t(18 + 2 * 1000), full.size() - 1}) {
    write_file(temp("short.nn"), full.substr(0, size));
    EXPECT_EQ(load(temp("short.nn")), 0) << size;
    EXPECT_EQ(printed.rfind("info string network", 0), 0u) << printed;
    EXPECT_NE(printed.find("rejected"), std::string::npos) << printed;
    EXPECT_EQ(Net.generation, generation);
    EXPECT_EQ(Net.header.hidden1, 640);
    EXPECT_EQ(fresh_score(t, START), score);
  }
  EXPECT_EQ(load(temp("missing.nn")), 0);
  EXPECT_EQ(printed, "info string can't open " + temp("missing.nn") +
                         "\ninfo string keeping the network in use\n");
  EXPECT_EQ(Net.generation, generation);
  write_file(temp("full.nn"), full);
  EXPECT_EQ(load(temp("full.nn")), 1);
  EXPECT_NE(Net.generation, generation);
}

// A board with more pieces than any game reaches: the feature list stays
// within its bounds and the score within the output range.
TEST_F(NetworkTest, ImpossibleBoardsNeverOverrunTheList) {
  std::string fen = "PPPPPPPP/PPPPPPPP/PPPPPPPP/PPPPPPPP/pppppppp/pppppppp/pppppppp/ppppppKk w - - 0 1";
  set_position(t->pos, fen.c_str());
  FeatureList list;
  build_feature_list(t->pos, BUILTIN, list);
  EXPECT_EQ(list.count, MAX_NET_FEATURES);
  for (int i = 0; i < list.count; i++) EXPECT_LT(list.index[i], 1824);
  int s = fresh_score(t, fen);
  EXPECT_TRUE(s >= -1919 && s <= 1919);
}

// Networks tried besides the built-in one: a random wide one, and an old
// narrow one with a second layer.
std::vector<TestNet> symmetry_nets() {
  return {random_net(BUILTIN, 11, 250, 250, 200),
          random_net({535, 1, 896, 32, 64, 16, 4, 0}, 12, 1000, 1000, 500)};
}

TEST_F(NetworkTest, ColourFlippedTwinsScoreExactlyTheSame) {
  std::vector<std::string> fens = epd_positions();
  ASSERT_GT(fens.size(), 1500u);
  for_each_net(symmetry_nets(), [&](size_t k) {
    int nonzero = 0;
    for (const std::string& fen : fens) {
      int a = fresh_score(t, fen), b = fresh_score(ref, flip_fen(fen));
      nonzero += a != 0;
      ASSERT_EQ(a, b) << "net " << k << ": " << fen << " / " << flip_fen(fen);
    }
    EXPECT_GT(nonzero, int(fens.size()) / 2) << "net " << k;
  });
}

bool in_check(const Position& pos) { return square_attacked(pos, pos.kingSq[pos.side], pos.side ^ 1); }

// Walks a small random tree below every position of a random game, as a
// search does (ply 1 at each game position), with a null move now and
// then, checking every evaluation with `check`.
template <typename Check>
void walk_games(SearchThread* t, const std::vector<std::string>& starts, unsigned seed, Check check) {
  std::mt19937 rng(seed);
  auto tree = [&](auto& self, int depth) -> void {
    check();
    if (depth == 0) return;
    std::vector<Move> moves = legal_moves(t->pos);
    for (int b = 0; b < 2 && !moves.empty(); b++) {
      if (rng() % 8 == 0 && !in_check(t->pos)) {
        make_null_move(t->pos);
        self(self, depth - 1);
        unmake_null_move(t->pos);
      } else {
        make_move(t->pos, moves[rng() % moves.size()]);
        self(self, depth - 1);
        unmake_move(t->pos);
      }
    }
  };
  for (const std::string& fen : starts) {
    set_position(t->pos, fen.c_str());
    for (int ply = 0; ply < 40; ply++) {
      t->ply = 1;
      tree(tree, 3);
      std::vector<Move> moves = legal_moves(t->pos);
      if (moves.empty()) break;
      make_move(t->pos, moves[rng() % moves.size()]);
    }
  }
}

const std::vector<std::string> GAME_STARTS = {
    START,
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8",
    "8/5pk1/6p1/3r4/2R5/6P1/5PK1/8 w - - 0 40",
};

TEST_F(NetworkTest, IncrementalFirstLayerMatchesFreshRecomputation) {
  for_each_net(symmetry_nets(), [&](size_t k) {
    int h1 = Net.header.hidden1;
    std::vector<int32_t> raw(h1);
    std::vector<float> activated(h1);
    uint64_t evals = 0, updatesBefore = t->net ? t->net->updates : 0, keptBefore = t->net ? t->net->fromKept : 0;
    walk_games(t, GAME_STARTS, 3, [&] {
      if (HasFatalFailure()) return;
      uint64_t refreshes = t->net ? t->net->refreshes : 0;
      int s = nn_evaluate_uncached(t);
      evals++;
      if (t->ply == 1) {
        ASSERT_EQ(t->net->refreshes, refreshes + 1) << "a search root must not update from its slot";
      }
      FeatureList list;
      build_feature_list(t->pos, Net.header, list);
      refresh_first_layer(Net, list, raw.data(), activated.data(), SCALAR_KERNELS);
      const int32_t* slot = t->net->slot[t->pos.side].vector;
      std::string fen = fen_of(t->pos);
      // Integer sums: whichever path made the vector, it is the fresh one.
      ASSERT_TRUE(std::equal(raw.begin(), raw.end(), slot)) << "net " << k << " " << fen;
      ASSERT_EQ(s, fresh_score(ref, fen)) << "net " << k << " " << fen;
    });
    EXPECT_GT(t->net->updates - updatesBefore, evals / 2) << "the incremental path must carry most evaluations";
    EXPECT_GT(t->net->fromKept - keptBefore, 0u) << "refreshes from kept vectors must be among them";
  });
}

// Every kernel set this processor runs against the scalar reference. Sets
// that round a multiply-add as the reference does must agree bit for bit;
// a fused set against an unfused reference (or the other way round) may
// round the head sums differently, which moves a score by at most 1 cp.
TEST_F(NetworkTest, EveryKernelSetMatchesTheScalarReference) {
  std::mt19937 rng(9);
  std::uniform_real_distribution<float> value(-2.0f, 2.0f);
  std::vector<TestNet> nets = symmetry_nets();
  int tested = 0;
  for (int set = 0; set < NET_KERNEL_SETS; set++) {
    if (!net_kernels_supported(set)) continue;
    const NetKernels& k = NetKernelTable[set];
    bool sameRounding = k.fused == SCALAR_KERNELS.fused;
    int allowed = sameRounding ? 0 : 1;
    tested++;
    for (int n : {5, 8, 13, 32, 48, 136, 768}) {
      std::vector<float> a(n), b(n), c1(n);
      for (int i = 0; i < n; i++) a[i] = value(rng), b[i] = value(rng), c1[i] = value(rng);
      float dv = k.dot(a.data(), b.data(), n), ds = SCALAR_KERNELS.dot(a.data(), b.data(), n);
      if (sameRounding) EXPECT_EQ(std::memcmp(&dv, &ds, sizeof dv), 0) << k.name << " " << n;
      else EXPECT_NEAR(dv, ds, 1e-4f * n) << k.name << " " << n;
      // First-layer columns in file steps, extremes among them (widening
      // must keep their signs): the integer sums are exact in every set,
      // so the units must agree bit for bit; the head sums taken along are
      // dot products of those units.
      std::vector<int16_t> s1(n), s2(n), s3(n);
      std::vector<int32_t> start(n);
      for (int i = 0; i < n; i++) {
        s1[i] = int16_t(i % 7 == 0 ? -32767 : int(rng() % 65535) - 32767);
        s2[i] = int16_t(i % 5 == 0 ? 32767 : int(rng() % 65535) - 32767);
        s3[i] = int16_t(int(rng() % 20001) - 10000);
        start[i] = int32_t(rng() % 400001) - 200000;
      }
      const int16_t* subs[] = {s1.data()};
      const int16_t* adds[] = {s2.data(), s3.data()};
      std::vector<int32_t> rv = start, rs = start;
      std::vector<float> av(n), as(n);
      HeadRows heads = {{b.data(), c1.data()}, n % 32 == 0 ? 1 : 2, {}};
      k.applyColumns(rv.data(), av.data(), {subs, 1, adds, 2, &heads}, n);
      SCALAR_KERNELS.applyColumns(rs.data(), as.data(), {subs, 1, adds, 2}, n);
      EXPECT_TRUE(rv == rs && av == as) << k.name << " " << n;
      for (int i = 0; i < n; i++) ASSERT_EQ(rs[i], start[i] - s1[i] + s2[i] + s3[i]) << i;
      for (int h = 0; h < heads.count; h++) {
        float sum = SCALAR_KERNELS.dot(as.data(), heads.rows[h], n);
        if (sameRounding) EXPECT_EQ(std::memcmp(&heads.sums[h], &sum, sizeof sum), 0) << k.name << " " << n;
        else EXPECT_NEAR(heads.sums[h], sum, 1e-4f * n) << k.name << " " << n;
      }
      // The rectifier of a second layer, on floats.
      std::vector<float> fv = a, fs = a;
      k.activate(fv.data(), n);
      SCALAR_KERNELS.activate(fs.data(), n);
      EXPECT_EQ(fv, fs) << k.name << " " << n;
    }
    for_each_net(nets, [&](size_t net) {
      int differing = 0;
      walk_games(t, GAME_STARTS, 4, [&] {
        if (HasFatalFailure()) return;
        set_position(ref->pos, (fen_of(t->pos) + " 0 1").c_str());
        ref->ply = t->ply;
        int sv = nn_evaluate_with(t, net_workspace(t), k);
        // The reference thread sees the same positions at the same plies, so
        // its slots take the same refreshes and updates.
        int ss = nn_evaluate_with(ref, net_workspace(ref), SCALAR_KERNELS);
        ASSERT_LE(std::abs(sv - ss), allowed) << k.name << " net " << net << " " << fen_of(t->pos);
        differing += sv != ss;
      });
      if (differing) std::printf("%s against the reference, net %zu: %d scores 1 cp apart\n", k.name, net, differing);
    });
  }
  EXPECT_GE(tested, 2) << "the reference and at least SSE2 on x86-64";
}

// The step table against exp and log: a dense grid of outputs, and both
// floats either side of every place the score changes between grid points.
TEST(NetworkScore, StepTableAgreesWithTheLogOddsFormula) {
  auto direct = [](float out) { return net_score_from_probability(net_probability(out)); };
  const float grid = 1e-3f;
  int steps = 0;
  for (float a = -13.0f; a < 13.0f; a += grid) {
    float b = a + grid;
    ASSERT_EQ(net_score(a), direct(a)) << a;
    if (direct(a) == direct(b)) continue;
    while (std::nextafter(a, b) != b) {  // a below the step, b at or above it
      float mid = a + (b - a) / 2;
      if (mid == a || mid == b) mid = std::nextafter(a, b);
      (direct(mid) == direct(a) ? a : b) = mid;
    }
    ASSERT_EQ(net_score(a), direct(a)) << a;
    ASSERT_EQ(net_score(b), direct(b)) << b;
    steps++;
  }
  EXPECT_EQ(steps, 2 * 1919);  // every score from -1919 to 1919 is met
  for (float out : {-INFINITY, -100.0f, 0.0f, -0.0f, 1.0f, 100.0f, INFINITY}) EXPECT_EQ(net_score(out), direct(out));
  EXPECT_EQ(net_score(1.0f), 166);
}

}  // namespace
