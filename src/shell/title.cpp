#include "shell/title.h"

#include "core/assets.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "platform/keycodes.h"
#include "platform/platform.h"

// Stand-in until the full title screen: the backdrop alone, until Escape.
void RunTitleScreen() {
  while (true) {
    BeginFrameDrawing(1);
    ResetDrawState();
    DrawStripes();
    ResetDrawState();
    EndFrame(1);
    if (plat::KeyDown(plat::kKeyEscape)) return;
  }
}
