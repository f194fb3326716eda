// Turns scored games (PGN written by a match manager, every move with a
// "{SCORE/DEPTH TIME}" comment, SAN or coordinate moves, "[FEN]" starts)
// into the training records of tools/netdata.h: for every move with a
// score, the position before it, when quiet (side to move not in check,
// the move neither captures nor promotes), with the mover's score and the
// game's result.
//
// Games without a decisive or drawn result, and games lost on time or
// abandoned (their result says little about the positions), are skipped.
// Mate scores ("+M5") are not written: the position's search score is
// then no regression target.
//
// Usage: pgn_to_records OUTPUT PGN...
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/makemove.h"
#include "board/notation.h"
#include "core/searchthread.h"
#include "gamerules.h"
#include "netdata.h"
#include "search/threadrecord.h"
#include "tool_setup.h"
#include "tools/pgnscan.h"

namespace {

// Room left on the undo stack; longer games stop being read there.
constexpr int UNDO_HEADROOM = 16;

struct Game {
  std::string fen = START_FEN;
  int result = -1;
  bool skip = false;
  std::string moves;  // the movetext, comments included
};

struct Counts {
  long games = 0, skipped = 0, broken = 0, written = 0;
};

std::string tag_value(const std::string& line) {
  size_t a = line.find('"'), b = line.rfind('"');
  return a == std::string::npos || b <= a ? "" : line.substr(a + 1, b - a - 1);
}

int result_code(const std::string& r) {
  if (r == "1-0") return RESULT_WHITE_WINS;
  if (r == "0-1") return RESULT_BLACK_WINS;
  if (r == "1/2-1/2") return RESULT_DRAW;
  return -1;
}

void read_tag(const std::string& line, Game& g) {
  if (line.starts_with("[FEN ")) g.fen = tag_value(line);
  else if (line.starts_with("[Result ")) g.result = result_code(tag_value(line));
  else if (line.starts_with("[Termination ")) {
    std::string t = tag_value(line);
    g.skip = t == "time forfeit" || t == "abandoned";
  }
}

// The mover's score a comment gives, in centipawns, read as the engine's
// PGN scans read it; false for mates, book moves, "eval" comments (not
// a search score of the mover) and comments without a score.
bool comment_score(const std::string& c, int& cp) {
  CommentScore read = read_comment_score(c.c_str(), false);
  cp = read.score;
  return read.kind == COMMENT_SCORE && std::abs(cp) <= MAX_RECORDED_SCORE;
}

// Plays through one game's movetext, writing the scored quiet positions.
void convert_game(SearchThread* t, const Game& g, uint32_t number, std::vector<NetRecord>& out) {
  set_position(t->pos, g.fen.c_str());
  if (!kings_are_valid(t->pos)) return;
  const std::string& s = g.moves;
  Move pending = MOVE_NONE;  // last move played; its comment may follow
  NetRecord before;
  for (size_t i = 0; i < s.size();) {
    char c = s[i];
    if (c == '{') {
      size_t e = s.find('}', i);
      if (e == std::string::npos) return;
      int cp;
      if (pending != MOVE_NONE && comment_score(s.substr(i + 1, e - i - 1), cp)) {
        before.score = int16_t(cp);
        out.push_back(before);
      }
      pending = MOVE_NONE;
      i = e + 1;
      continue;
    }
    if (std::isspace(static_cast<unsigned char>(c))) {
      i++;
      continue;
    }
    size_t e = i;
    while (e < s.size() && !std::isspace(static_cast<unsigned char>(s[e])) && s[e] != '{') e++;
    std::string tok = s.substr(i, e - i);
    i = e;
    size_t dot = tok.find_last_of('.');
    if (dot != std::string::npos) tok = tok.substr(dot + 1);
    if (tok.empty() || result_code(tok) >= 0 || tok == "*") continue;
    if (t->undoIndex >= GAME_UNDO_LIMIT - UNDO_HEADROOM) return;
    Move m;
    t->ply = ROOT_PLY;
    if (!parse_move_in(t->pos, tok.c_str(), &m)) return;
    pending = is_quiet_choice(t->pos, m) ? m : MOVE_NONE;
    if (pending) pack_record(t->pos, 0, g.result, number, before);
    make_move(t->pos, m);
  }
}

void convert_file(SearchThread* t, const char* path, FILE* out, Counts& n) {
  FILE* f = std::fopen(path, "r");
  if (!f) {
    std::fprintf(stderr, "cannot open %s\n", path);
    return;
  }
  Game game;
  std::string line;
  bool inMoves = false;
  auto flush = [&]() {
    const Game& g = game;
    if (!g.moves.empty() || inMoves) {
      n.games++;
      if (g.result < 0 || g.skip) n.skipped++;
      else {
        std::vector<NetRecord> recs;
        convert_game(t, g, uint32_t(n.games), recs);
        write_records(out, recs.data(), recs.size());
        n.written += long(recs.size());
      }
    }
    game = Game();
    inMoves = false;
  };
  for (int c = std::fgetc(f);; c = std::fgetc(f)) {
    if (c != EOF && c != '\n') {
      line += char(c);
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with("[")) {
      if (inMoves) flush();
      read_tag(line, game);
    } else if (!line.empty()) {
      inMoves = true;
      game.moves += line + ' ';
    }
    line.clear();
    if (c == EOF) break;
  }
  flush();
  std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: pgn_to_records OUTPUT PGN...\n");
    return 1;
  }
  setup_engine_for_tool();
  SearchThread* t = new_search_thread();
  FILE* out = std::fopen(argv[1], "wb");
  if (!t || !out) {
    std::fprintf(stderr, "cannot start (memory or %s)\n", argv[1]);
    return 1;
  }
  Counts n;
  for (int i = 2; i < argc; i++) convert_file(t, argv[i], out, n);
  std::fclose(out);
  std::printf("%ld games (%ld skipped), %ld positions written\n", n.games, n.skipped, n.written);
  free_search_thread(t);
  return 0;
}
