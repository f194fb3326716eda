#include "tune_measure.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "board/bitboard.h"
#include "core/searchthread.h"
#include "eval/endgames.h"
#include "eval/evalinfo.h"
#include "eval/geometry.h"
#include "eval/hce.h"
#include "eval/params.h"
#include "eval/scale.h"

namespace {

// At ply 0 neither the result cache nor the pawn cache is read, so every
// probe is a full evaluation with the values in force.
constexpr int NO_CACHE_PLY = 0;
// Large against the truncations of a score (the taper and the scale
// factor each cut up to one centipawn), small against the 16-bit halves.
constexpr int PROBE_STEP = 128;
// Steps of the two probes of a group, one per entry: irregular, so that
// the entries of a White and a Black passer that cancel in one probe do
// not also cancel in the other.
constexpr int MAX_GROUP_PROBE = 8;
constexpr int GROUP_STEPS[2][MAX_GROUP_PROBE] = {{128, 141, 163, 172, 197, 211, 236, 253},
                                                 {251, 229, 199, 181, 167, 149, 137, 131}};
constexpr const char* TABLE_PREFIX = "PST_";
constexpr const char* UNIT_ENTRY = "mtl_pawn";
constexpr const char* SPARE_ENTRY = "ttune";

struct Baseline {
  int score;    // White's view
  float scale;  // the ending's scale factor at that score
};

int white_score(SearchThread* t) {
  int s = hce_evaluate(t, t->pos.side, NO_CACHE_PLY, 0);
  return t->pos.side == WHITE ? s : -s;
}

Baseline baseline(SearchThread* t) {
  int s = white_score(t);
  return {s, scale_factor(t->pos, s)};
}

void raise_entry(EvalParam& p, int step) {
  p.packed = pack_score(packed_mg(p.packed) + step, packed_eg(p.packed) + step);
  p.mg += float(step);
  p.eg += float(step);
}

// The score with entries first.. raised by their steps, then restored
// exactly.
int raised_score(SearchThread* t, int first, const int* steps, int n) {
  EvalParam saved[MAX_GROUP_PROBE];
  for (int j = 0; j < n; j++) {
    saved[j] = Params[first + j];
    raise_entry(Params[first + j], steps[j]);
  }
  int s = white_score(t);
  for (int j = 0; j < n; j++) Params[first + j] = saved[j];
  return s;
}

// The weight of one entry. A step that hands the lead to the other side
// changes the scale factor as well, so the probe goes the other way then,
// away from the change of leader.
float entry_weight(SearchThread* t, const Baseline& base, int index) {
  int step = PROBE_STEP;
  int s = raised_score(t, index, &step, 1);
  if (scale_factor(t->pos, s) != base.scale) {
    step = -step;
    s = raised_score(t, index, &step, 1);
  }
  if (s == base.score || base.scale <= 0) return 0;
  return float(s - base.score) / (base.scale * float(step));
}

bool group_moves(SearchThread* t, const Baseline& base, const ProbeGroup& g) {
  for (const auto& steps : GROUP_STEPS)
    if (raised_score(t, g.first, steps, g.count) != base.score) return true;
  return false;
}

void measure_terms(SearchThread* t, const Baseline& base, const TuneTargets& targets, std::vector<TuneEntry>& out) {
  for (const ProbeGroup& g : targets.groups) {
    if (g.count > 1 && g.count <= MAX_GROUP_PROBE && !group_moves(t, base, g)) continue;
    for (int i = g.first; i < g.first + g.count; i++)
      if (float w = entry_weight(t, base, i)) out.push_back({i, w});
  }
}

void add_table_entry(const TuneTargets& targets, const EvalParam* entry, float sign, std::vector<TuneEntry>& out) {
  int index = int(entry - Params);
  if (targets.candidate[size_t(index)]) out.push_back({index, sign});
}

void table_entries(const Position& pos, const EvalInfo& ei, const TuneTargets& targets, std::vector<TuneEntry>& out) {
  for (int c = WHITE; c <= BLACK; c++) {
    float sign = c == WHITE ? 1.0f : -1.0f;
    int m = ei.mirror[c];
    Bitboard own = piece_set(pos, c, PAWN);
    Bitboard defended = pawn_attack_set(c, own);
    for (Bitboard b = own; b;) {
      int sq = pop_lsb(b);
      add_table_entry(targets, &ei.pstPawn[sq ^ m], sign, out);
      if (defended & bit(sq)) add_table_entry(targets, &W.PST_DP[sq ^ m], sign, out);
      if (SideNeighbours[sq] & own) add_table_entry(targets, &W.PST_CP[sq ^ m], sign, out);
    }
    const EvalParam* tables[] = {ei.pstKnight, ei.pstBishop, ei.pstRook, ei.pstQueen};
    for (int type = KNIGHT; type <= QUEEN; type++)
      for (Bitboard b = piece_set(pos, c, type); b;)
        add_table_entry(targets, &tables[type - KNIGHT][pop_lsb(b) ^ m], sign, out);
    add_table_entry(targets, &W.PST_K[pos.kingSq[c] ^ m], sign, out);
  }
}

// One weight per entry: a White and a Black man on the same mirrored
// square cancel, and the entry is not stored.
void merge_entries(std::vector<TuneEntry>& entries) {
  std::sort(entries.begin(), entries.end(), [](const TuneEntry& a, const TuneEntry& b) { return a.index < b.index; });
  size_t out = 0;
  for (size_t i = 0; i < entries.size();) {
    TuneEntry sum = entries[i];
    for (i++; i < entries.size() && entries[i].index == sum.index; i++) sum.weight += entries[i].weight;
    if (sum.weight != 0) entries[out++] = sum;
  }
  entries.resize(out);
}

}  // namespace

bool is_table_entry(int index) { return std::strncmp(Params[index].name, TABLE_PREFIX, std::strlen(TABLE_PREFIX)) == 0; }

TuneTargets tune_targets(TuneScope scope) {
  TuneTargets targets;
  targets.candidate.assign(size_t(ParamCount), 0);
  const EvalParam* givenTable = W.PST_P1;
  for (int i = 0; i < ParamCount; i++) {
    const char* name = Params[i].name;
    bool table = is_table_entry(i);
    bool given = table && Params + i >= givenTable && Params + i < givenTable + SQUARES;
    bool fixed = !std::strcmp(name, UNIT_ENTRY) || !std::strcmp(name, SPARE_ENTRY);
    targets.candidate[size_t(i)] = table ? !given : scope == TUNE_WHOLE_EVALUATION && !fixed;
    if (!targets.candidate[size_t(i)] || table) continue;
    ProbeGroup* last = targets.groups.empty() ? nullptr : &targets.groups.back();
    if (last && last->first + last->count == i && !std::strcmp(Params[last->first].name, name)) last->count++;
    else targets.groups.push_back({i, 1});
  }
  return targets;
}

bool measure_position(SearchThread* t, const TuneTargets& targets, int maxScore, TunePosition& tp) {
  const Position& pos = t->pos;
  Baseline base = baseline(t);
  if (base.score > maxScore || base.score < -maxScore) return false;
  EvalInfo ei;
  setup_eval_info(pos, ei, 0);
  tp.eval0 = float(base.score);
  tp.phase = ei.phase;
  tp.scale = base.scale;
  tp.entries.clear();
  int special;
  if (special_ending_score(pos, &special)) return true;
  table_entries(pos, ei, targets, tp.entries);
  measure_terms(t, base, targets, tp.entries);
  merge_entries(tp.entries);
  return true;
}

double remeasure_position(SearchThread* t, float& eval0, float& scale, TuneEntry* entries, size_t count) {
  Baseline base = baseline(t);
  eval0 = float(base.score);
  scale = base.scale;
  double moved = 0;
  for (size_t j = 0; j < count; j++) {
    if (is_table_entry(entries[j].index)) continue;
    float w = entry_weight(t, base, entries[j].index);
    moved += std::fabs(w - entries[j].weight);
    entries[j].weight = w;
  }
  return moved;
}
