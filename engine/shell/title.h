// The title screen, the program's home between games.
#pragma once

// Frames since the title last started sliding in (0 on entry and after each game),
// counted up to kTitleSlideSteps and then held.
extern int SlideStep;
constexpr int kTitleSlideSteps = 32;

// What a start on the title screen runs instead of the game's Play (tests hand
// in their own); nullptr runs the game.
extern void (*TitleGame)();

// Loops once per frame until Escape; starts games on a click.
void RunTitleScreen();
