// The title screen, the program's home between games.
#pragma once

// Loops once per frame until Escape; starts games on a click.
void RunTitleScreen();
