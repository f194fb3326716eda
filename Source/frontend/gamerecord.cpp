#include "frontend/gamerecord.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "board/fen.h"
#include "board/notation.h"
#include "core/control.h"
#include "core/game.h"
#include "core/output.h"
#include "core/searchthread.h"
#include "core/textparse.h"
#include "frontend/gamemoves.h"

namespace {

constexpr int MAX_MOVE_WORD = 32;
constexpr int SAN_SIZE = 16;
constexpr int MOVES_PER_SAVED_LINE = 11;
constexpr const char* UTF8_BOM = "\xEF\xBB\xBF";

// One line of any length without its line end; false at the end of the file.
bool read_text_line(std::FILE* in, std::string& line) {
  line.clear();
  int c;
  while ((c = std::fgetc(in)) != EOF && c != '\n') line.push_back(char(c));
  if (c == EOF && line.empty()) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool contains(const std::string& line, const char* part) {
  return std::strstr(line.c_str(), part) != nullptr;
}

// Which lines of the file belong to the wanted game.
struct GameWindow {
  const char* tag;  // text of the line the game starts at, or null for the first game
  bool started;
  bool ended;
  int events;       // "[Event " lines since the start
};

// Decides for one line; true when it belongs to the game.
bool in_window(GameWindow& w, const std::string& line) {
  bool event = contains(line, "[Event ");
  if (!w.started) {
    if (!contains(line, w.tag)) return false;
    w.started = true;
    // A tag found after the game's own "[Event " line: the next one ends it.
    if (!event) w.events = 1;
  }
  if (event && ++w.events > 1) w.ended = true;
  return !w.ended;
}

// Removes brace comments, which may span lines.
void strip_comments(std::string& line, bool& inComment) {
  std::string kept;
  for (char c : line) {
    if (inComment) inComment = c != '}';
    else if (c == '{') inComment = true;
    else kept.push_back(c);
  }
  line = kept;
}

// Plays the move words of a movetext line; false at a word that is no move.
bool play_words(const std::string& text) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    std::string word = text.substr(at, end - at);
    at = end + 1;
    size_t first = 0;
    while (first < word.size() && !std::isalpha(static_cast<unsigned char>(word[first]))) first++;
    word.erase(0, first);
    if (word.empty() || word[0] == '-') continue;
    Move m = MOVE_NONE;
    if (word.size() > MAX_MOVE_WORD || !parse_move(word.c_str(), &m)) {
      print_linef("can't parse move '%.32s'", word.c_str());
      return false;
    }
    if (!play_game_move(m)) return false;
  }
  return true;
}

// A "[FEN "..."]" tag sets the game's start; false when it is refused.
bool set_tag_position(const std::string& line) {
  size_t open = line.find('"');
  size_t close = open == std::string::npos ? open : line.find('"', open + 1);
  if (close == std::string::npos) return false;
  return set_game_position(line.substr(open + 1, close - open - 1).c_str());
}

// The line, its tag pairs and its movetext; false when loading must end.
bool load_line(std::string& line, bool& inComment) {
  if (!inComment && contains(line, "[FEN ")) return set_tag_position(line);
  if (!inComment && !line.empty() && line[0] == '[') return true;
  strip_comments(line, inComment);
  for (char& c : line)
    if (c == '\t') c = ' ';
  return play_words(line);
}

}  // namespace

bool load_pgn_game(const char* path, const char* tag) {
  std::FILE* in = std::fopen(path, "rb");
  if (!in) return false;
  set_game_position(START_FEN);
  // Without a tag the game is the file's first: its lines from the start.
  bool anyGame = !tag || !tag[0];
  GameWindow window{anyGame ? nullptr : tag, anyGame, false, 0};
  std::string line;
  bool inComment = false, first = true;
  while (read_text_line(in, line)) {
    // A byte-order mark from a Windows editor is not part of the first tag.
    if (first && line.rfind(UTF8_BOM, 0) == 0) line.erase(0, std::strlen(UTF8_BOM));
    first = false;
    if (!in_window(window, line)) {
      if (window.ended) break;
      continue;
    }
    if (!load_line(line, inComment)) break;
  }
  std::fclose(in);
  // The game ends after the last move played: nothing beyond to replay.
  Game->undo[Game->undoIndex].move = MOVE_NONE;
  return true;
}

bool save_game(const char* path) {
  std::FILE* out = std::fopen(path, "a");
  if (!out) return false;
  int played = Game->undoIndex;
  take_back_all_game_moves();
  std::fprintf(out, "[Event \"Unknown\"]\n");
  // A game that did not start from the usual position names its start, so
  // that "load" can read the file back.
  char fen[FEN_SIZE];
  position_to_fen(Game->pos, fen, false);
  if (std::strcmp(fen, START_FEN) != 0) std::fprintf(out, "[SetUp \"1\"]\n[FEN \"%s\"]\n", fen);
  for (int i = 0; i < played; i++) {
    Move m = next_game_move();
    if (m == MOVE_NONE) break;
    char san[SAN_SIZE];
    move_to_san(Game->pos, m, san);
    std::fprintf(out, "%s ", san);
    if ((i + 1) % MOVES_PER_SAVED_LINE == 0) std::fprintf(out, "\n");
    play_game_move(m);
  }
  std::fprintf(out, "\n\n");
  std::fclose(out);
  return true;
}

void jump_to_move(int moveNumber) {
  take_back_all_game_moves();
  while (game_ply() < 2 * moveNumber - 2 && replay_game_move()) {
  }
}

bool find_epd_by_id(const char* path, const char* name, char* line, int size) {
  std::FILE* in = std::fopen(path, "r");
  if (!in) return false;
  std::string wanted = std::string("id \"") + name + "\"";
  std::string text;
  bool found = false;
  while (!found && read_text_line(in, text)) {
    if (text.empty() || text[0] == ';' || text[0] == ' ') continue;
    found = contains(text, wanted.c_str());
  }
  std::fclose(in);
  if (found) copy_bounded(line, size_t(size), text.c_str());
  return found;
}
