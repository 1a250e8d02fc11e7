#include "game/effects.h"

// Stand-in until the game's effects are built.
void AddPopup(int, double, double, int, int, int) {}
void DrawPopups() {}
