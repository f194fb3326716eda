// The game record: the position "position" (or the console) sets up and
// from which every search starts, with what is needed to count its plies
// once a long game has dropped early moves from its undo stack. The front
// end plays the game's moves (frontend/gamemoves.h).
#pragma once

struct SearchThread;

extern SearchThread* Game;

struct GameHistory {
  SearchThread* scratch;  // FEN text is tried here before it replaces the game
  int droppedPlies;       // early game moves dropped from the undo stack
};

extern GameHistory History;

// Half-moves played since the game was set up.
int game_ply();
