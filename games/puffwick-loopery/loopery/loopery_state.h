// The game's state beside its board (Game, loopery/board.h), one record: the score
// popups and the images it loads. The game's headers that speak of these include
// this one after their own types.
#pragma once

#include <list>

#include "loopery/effects.h"
#include "platform/platform.h"

struct LooperyState {
  // Score popups. They live for the whole run: popups raised at the end of a game
  // finish on the screens that follow it.
  std::list<ore> PopupList;

  // The game's own images, loaded with every display setup (loopery/media.h). The
  // handles belong to the backend that made them.
  plat::Image TrackImage = 0;   // 32x32 cells: board pieces 0..14, occupied look 200..214
  plat::Image FlashImage = 0;   // the explosion flash
  plat::Image TrainImage = 0;   // 64x64 cells: cars 0..3, smoke puff 5
  plat::Image BubbleImage = 0;  // 32x24 cells: the four cargo bubbles
  // The picture of a frame that may be the game's last, for the "Game Over" screen.
  plat::Image LastPicture = 0;
};
extern LooperyState Loopery;

// Puts the game's whole state (Loopery and the board Game) back as a fresh program
// has it: the game table's ResetState.
void ResetLoopery();
