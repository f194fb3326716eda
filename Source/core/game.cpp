#include "core/game.h"

#include "core/searchthread.h"

SearchThread* Game;
GameHistory History;

int game_ply() { return History.droppedPlies + Game->undoIndex; }
