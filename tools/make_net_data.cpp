// Training positions for the network: quiet positions scored by the
// hand-crafted evaluation, one "FEN|score" line each (score in centipawns
// from the side to move's view).
//
// Positions come from two places:
//  - the games of PGN files, every position along each game and a few
//    short playouts branching off it;
//  - randomised playouts from the start positions of an EPD file. Each
//    ply plays the move with the best one-ply hand-crafted score, less what
//    the moved piece stands to lose to a capture, plus some noise; now and
//    then a random legal move. That keeps the games plausible (no piece
//    left hanging on purpose) while spreading them over many structures.
//
// A position is written only when the network would score it in play and
// the hand-crafted score means something on its own: the side to move is
// not in check, has no capture or promotion that wins material by static
// exchange, the score is not huge, and the evaluation dispatch would not
// hand the position to the hand-crafted evaluation anyway. Positions are
// written once (by hash key).
//
// Usage: make_net_data OUTPUT SEED SAMPLES EPD_FILE [PGN_FILE...]
//   SAMPLES counts all lines written; the PGN games come first, the
//   playouts fill up the rest.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "board/attacks.h"
#include "board/bitboard.h"
#include "board/draw.h"
#include "board/fen.h"
#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/see.h"
#include "core/searchthread.h"
#include "eval/evaluate.h"
#include "eval/hce.h"
#include "search/threadrecord.h"
#include "tool_setup.h"

namespace {

// Scores beyond this are decided games; the network needs no precision
// there and the logistic target is flat anyway.
constexpr int MAX_SAMPLE_SCORE = 1500;
// A playout stops once one side is this far ahead.
constexpr int PLAYOUT_STOP_SCORE = 2000;
constexpr int MAX_PLAYOUT_PLIES = 300;
// The first plies of a playout are the opening position itself or close
// to it; thousands of playouts would repeat them.
constexpr int FIRST_SAMPLED_PLY = 4;
// Playout policy: uniform noise added to the move scores, in centipawns,
// and the chance of a random legal move.
constexpr int POLICY_NOISE = 40;
constexpr double RANDOM_MOVE_CHANCE = 0.04;
// Random moves are drawn from those that do not lose more than this
// against the best move, so most playouts stay balanced.
constexpr int RANDOM_MOVE_MARGIN = 120;
// PGN games: short playouts branch off every game position.
constexpr int BRANCHES_PER_GAME_POSITION = 2;
constexpr int BRANCH_PLIES = 8;
// Room kept on the undo stack for the branches.
constexpr int UNDO_HEADROOM = BRANCH_PLIES + 10;
constexpr size_t KEY_RESERVE = 8'000'000;
constexpr int PROGRESS_EVERY = 200'000;
constexpr int MAX_TOKEN = 256;
// Below every move score (scores stay within a few thousand centipawns).
constexpr int NO_SCORE = -1'000'000;

struct Generator {
  SearchThread* t;
  std::mt19937_64 rng;
  std::unordered_set<uint64_t> seen;
  FILE* out;
  long long written, target;
  long long rejected;  // positions that failed the quiet or dispatch tests
};

bool in_check(const Position& pos) { return square_attacked(pos, pos.kingSq[pos.side], pos.side ^ 1); }

// The hand-crafted score of the thread's position, side to move's view.
int hce_score(SearchThread* t) {
  int ply = t->ply;
  t->ply = ROOT_PLY;
  int s = hce_evaluate(t, t->pos.side, ROOT_PLY, 0);
  t->ply = ply;
  return s;
}

int legal_moves(Position& pos, MoveEntry* list, Move* out) {
  MoveEntry* end = generate_all_into(pos, list);
  int n = 0;
  for (MoveEntry* e = list; e != end; e++)
    if (move_is_legal(pos, pos.side, e->move)) out[n++] = e->move;
  return n;
}

bool is_promotion(const Position& pos, Move m) {
  return type_of(pos.board[move_from(m)]) == PAWN && move_flags(m);
}

// No capture or promotion of the side to move wins material by static
// exchange (an equal trade or a losing capture keeps the position quiet).
bool is_quiet(SearchThread* t) {
  Position& pos = t->pos;
  if (in_check(pos)) return false;
  MoveEntry list[MAX_PLY_MOVES];
  Move moves[MAX_PLY_MOVES];
  int n = legal_moves(pos, list, moves);
  if (n == 0) return false;  // mate or stalemate: not a network position
  for (int i = 0; i < n; i++) {
    Move m = moves[i];
    int from = move_from(m), to = move_to(m);
    if (is_promotion(pos, m)) {
      if (see(pos, pos.side, from, to) >= 0) return false;
    } else if (pos.board[to] && colour_of(pos.board[to]) != pos.side) {
      if (see(pos, pos.side, from, to) > 0) return false;
    }
  }
  return true;
}

void write_sample(Generator& g, int score) {
  char fen[FEN_SIZE];
  position_to_fen(g.t->pos, fen, false);
  std::fprintf(g.out, "%s|%d\n", fen, score);
  if (++g.written % PROGRESS_EVERY == 0)
    std::fprintf(stderr, "%lld samples (%lld rejected)\n", g.written, g.rejected);
}

// Writes the position if it qualifies and is new.
void consider(Generator& g) {
  if (g.written >= g.target) return;
  SearchThread* t = g.t;
  if (g.seen.count(t->pos.key)) return;
  g.seen.insert(t->pos.key);
  if (uses_hand_crafted(t) || !is_quiet(t)) {
    g.rejected++;
    return;
  }
  int s = hce_score(t);
  if (std::abs(s) > MAX_SAMPLE_SCORE) {
    g.rejected++;
    return;
  }
  write_sample(g, s);
}

// The most the side to move wins with one capture by static exchange
// (pseudo-legal captures; a pin is rare enough not to matter here).
int best_capture_gain(const Position& pos) {
  MoveEntry list[MAX_PLY_MOVES];
  MoveEntry* end = generate_captures(pos, pos.side, list, NO_SQUARE);
  int best = 0;
  for (MoveEntry* e = list; e != end; e++) {
    int to = move_to(e->move);
    if (!pos.board[to]) continue;  // en passant: a pawn at most
    best = std::max(best, see(pos, pos.side, move_from(e->move), to));
  }
  return best;
}

// The policy's move, MOVE_NONE when there is no legal move. best gets the
// best move score from the mover's view.
Move choose_move(Generator& g, int& best) {
  SearchThread* t = g.t;
  Position& pos = t->pos;
  MoveEntry list[MAX_PLY_MOVES];
  Move moves[MAX_PLY_MOVES];
  int scores[MAX_PLY_MOVES];
  int n = legal_moves(pos, list, moves);
  if (n == 0) return MOVE_NONE;
  best = NO_SCORE;
  for (int i = 0; i < n; i++) {
    make_move(pos, moves[i]);
    // The static score does not see the reply that wins material (the
    // moved piece, or one it left undefended); the best exchange the
    // opponent has stands in for it.
    int s = -hce_score(t) - best_capture_gain(pos);
    unmake_move(pos);
    scores[i] = s;
    if (s > best) best = s;
  }
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  if (chance(g.rng) < RANDOM_MOVE_CHANCE) {
    int candidates[MAX_PLY_MOVES], c = 0;
    for (int i = 0; i < n; i++)
      if (scores[i] >= best - RANDOM_MOVE_MARGIN) candidates[c++] = i;
    return moves[candidates[g.rng() % c]];
  }
  int pick = 0, pickScore = NO_SCORE;
  for (int i = 0; i < n; i++) {
    int s = scores[i] + int(g.rng() % (POLICY_NOISE + 1));
    if (s > pickScore) pickScore = s, pick = i;
  }
  return moves[pick];
}

// Plays up to `plies` policy moves from the thread's position, offering
// each position reached from ply `firstSampled` on; takes them all back.
void playout(Generator& g, int plies, int firstSampled) {
  SearchThread* t = g.t;
  int made = 0;
  for (int ply = 0; ply < plies && g.written < g.target; ply++) {
    if (t->undoIndex >= GAME_UNDO_LIMIT - 1 || t->pos.fifty >= FIFTY_MOVE_LIMIT) break;
    int best = 0;
    Move m = choose_move(g, best);
    if (m == MOVE_NONE || std::abs(best) > PLAYOUT_STOP_SCORE) break;
    make_move(t->pos, m);
    made++;
    if (ply + 1 >= firstSampled) consider(g);
  }
  while (made--) unmake_move(t->pos);
}

// ---- PGN games ----

// Next movetext or tag token; comments, variations, NAGs and move numbers
// are skipped. Empty at the end of the file.
struct PgnReader {
  FILE* f;
  int pending;  // a character read ahead, or EOF
};

int next_char(PgnReader& r) {
  if (r.pending != EOF) {
    int c = r.pending;
    r.pending = EOF;
    return c;
  }
  return std::fgetc(r.f);
}

void skip_until(PgnReader& r, int end) {
  for (int c = next_char(r); c != EOF && c != end;) c = next_char(r);
}

void skip_variation(PgnReader& r) {
  int depth = 1;
  for (int c = next_char(r); c != EOF; c = next_char(r)) {
    if (c == '{') skip_until(r, '}');
    else if (c == '(') depth++;
    else if (c == ')' && --depth == 0) return;
  }
}

// Tags come back whole ("[FEN \"...\"]"), everything else as words.
std::string next_token(PgnReader& r) {
  for (;;) {
    int c = next_char(r);
    if (c == EOF) return "";
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (c == '{') { skip_until(r, '}'); continue; }
    if (c == ';') { skip_until(r, '\n'); continue; }
    if (c == '(') { skip_variation(r); continue; }
    std::string tok(1, char(c));
    if (c == '[') {
      for (c = next_char(r); c != EOF && c != '\n'; c = next_char(r)) tok += char(c);
      return tok;
    }
    for (c = next_char(r); c != EOF && !std::strchr(" \t\r\n{}();[", c); c = next_char(r))
      if (tok.size() < MAX_TOKEN) tok += char(c);
    r.pending = c;
    return tok;
  }
}

bool is_result(const std::string& tok) {
  return tok == "1-0" || tok == "0-1" || tok == "1/2-1/2" || tok == "*";
}

// "12." and "12..." number moves; "e4" after "12." arrives separately.
std::string strip_move_number(const std::string& tok) {
  size_t i = 0;
  while (i < tok.size() && (std::isdigit(static_cast<unsigned char>(tok[i])))) i++;
  if (i == 0 || i == tok.size() || tok[i] != '.') return tok;
  while (i < tok.size() && tok[i] == '.') i++;
  return tok.substr(i);
}

// Text between the first pair of quotes of a tag line.
std::string tag_value(const std::string& tag) {
  size_t a = tag.find('"'), b = tag.rfind('"');
  return a == std::string::npos || b <= a ? "" : tag.substr(a + 1, b - a - 1);
}

// Plays the game move written in the text; false when it does not parse.
// The parser lists moves at the thread's search ply, which make_move
// advances with every game move; a game is longer than the per-ply
// arrays, so the parse runs as at a search root.
bool parse_game_move(SearchThread* t, const char* text) {
  int ply = t->ply;
  t->ply = ROOT_PLY;
  Move m;
  bool ok = parse_move_in(t->pos, text, &m);
  t->ply = ply;
  if (ok) make_move(t->pos, m);
  return ok;
}

void read_pgn(Generator& g, const char* path) {
  FILE* f = std::fopen(path, "r");
  if (!f) {
    std::fprintf(stderr, "cannot open %s\n", path);
    return;
  }
  PgnReader r = {f, EOF};
  SearchThread* t = g.t;
  bool inGame = false, broken = false;
  long long games = 0;
  for (std::string tok = next_token(r); !tok.empty() && g.written < g.target; tok = next_token(r)) {
    if (tok[0] == '[') {
      if (tok.starts_with("[Event ")) {
        set_position(t->pos, START_FEN);
        inGame = true, broken = false;
        games++;
      } else if (tok.starts_with("[FEN ")) {
        set_position(t->pos, tag_value(tok).c_str());
        if (!kings_are_valid(t->pos)) broken = true;
      }
      continue;
    }
    if (is_result(tok)) {
      inGame = false;
      continue;
    }
    std::string text = strip_move_number(tok);
    if (!inGame || broken || text.empty() || text[0] == '.' || text[0] == '$') continue;
    if (t->undoIndex >= GAME_UNDO_LIMIT - UNDO_HEADROOM || !parse_game_move(t, text.c_str())) {
      broken = true;
      continue;
    }
    consider(g);
    for (int b = 0; b < BRANCHES_PER_GAME_POSITION; b++) playout(g, BRANCH_PLIES, 1);
  }
  std::fclose(f);
  std::fprintf(stderr, "%s: %lld games, %lld samples so far\n", path, games, g.written);
}

// ---- playouts from the opening file ----

std::vector<std::string> read_epd_positions(const char* path) {
  std::vector<std::string> fens;
  FILE* f = std::fopen(path, "r");
  if (!f) return fens;
  char line[512];
  while (std::fgets(line, sizeof line, f)) {
    EpdFields e;
    parse_epd(line, e);
    if (e.fen[0]) fens.push_back(e.fen);
  }
  std::fclose(f);
  return fens;
}

void run_playouts(Generator& g, const std::vector<std::string>& fens) {
  if (fens.empty()) return;
  while (g.written < g.target) {
    set_position(g.t->pos, fens[g.rng() % fens.size()].c_str());
    if (!kings_are_valid(g.t->pos)) continue;
    playout(g, MAX_PLAYOUT_PLIES, FIRST_SAMPLED_PLY);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: make_net_data OUTPUT SEED SAMPLES EPD_FILE [PGN_FILE...]\n");
    return 1;
  }
  setup_engine_for_tool();
  Generator g = {new_search_thread(), std::mt19937_64(std::strtoull(argv[2], nullptr, 10)), {}, nullptr, 0,
                 std::atoll(argv[3]), 0};
  g.out = std::fopen(argv[1], "w");
  if (!g.t || !g.out) {
    std::fprintf(stderr, "cannot start (memory or %s)\n", argv[1]);
    return 1;
  }
  g.seen.reserve(KEY_RESERVE);
  for (int i = 5; i < argc; i++) read_pgn(g, argv[i]);
  std::vector<std::string> fens = read_epd_positions(argv[4]);
  std::fprintf(stderr, "%zu start positions\n", fens.size());
  run_playouts(g, fens);
  std::fclose(g.out);
  std::fprintf(stderr, "wrote %lld samples (%lld rejected)\n", g.written, g.rejected);
  free_search_thread(g.t);
  return 0;
}
