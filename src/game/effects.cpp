#include "game/effects.h"

// Score popups arrive with the game's effects; until then there are none to draw.
void DrawPopups() {}
