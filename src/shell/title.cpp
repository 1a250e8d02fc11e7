#include "shell/title.h"

#include "config/display.h"
#include "draw/helpers.h"
#include "platform/platform.h"
#include "shell/frame.h"

void DrawStripes() {
  SetRotationDeg(-45);
  double blue = 50;
  for (int i = 0; i <= VirtualHeight; i += 10) {
    blue += 0.5;
    SetColorAlpha(0, 0, blue);
    plat::DrawRect(-100, 3 * i, VirtualWidth + 1800, 30);
  }
}

// For now the backdrop alone; the credits, difficulty choice, score panel and game
// start come with the full title screen.
void RunTitleScreen() {
  while (true) {
    BeginFrameDrawing(1);
    ResetDrawState();
    DrawStripes();
    ResetDrawState();
    EndFrame(1);
    if (plat::KeyDown(27)) return;
  }
}
