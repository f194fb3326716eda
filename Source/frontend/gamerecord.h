// The console's game files: loading a game from PGN, appending the game to
// "tmp.pgn", stepping through the game's moves and fetching a test
// position from "test.epd" by its id.
#pragma once

// Loads the first game of the PGN file, or the one in which a line holds
// `tag`, from that line on; prints "can't parse move '%s'" and stops at a
// word that is no move. False when the file cannot be read.
bool load_pgn_game(const char* path, const char* tag);
// Appends the game (from its start) to `path`; false when the file cannot
// be opened. The game is left as it was.
bool save_game(const char* path);
// Takes all moves back and replays them up to the given move number, so
// that White's move `moveNumber` is next.
void jump_to_move(int moveNumber);
// The first line of `path` with `id "<name>"` (lines starting with ";" or a
// blank skipped) into `line`; false when the file or the line is missing.
bool find_epd_by_id(const char* path, const char* name, char* line, int size);
