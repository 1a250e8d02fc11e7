#include "game/game.h"

// Stand-in until the game is built.
void RunGame() {}
