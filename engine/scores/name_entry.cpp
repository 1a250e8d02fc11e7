#include "scores/name_entry.h"

#include "core/assets.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "platform/keycodes.h"
#include "platform/platform.h"
#include "platform/record/replay.h"
#include "scores/scores.h"

namespace {

bool AcceptKeyHeld() {
  return plat::KeyDown(plat::kKeyEscape) || plat::MouseDown(plat::kMouseLeft) || plat::KeyDown(plat::kKeyEnter);
}

// Each turn is an input frame of its own: a press too quick to be seen held reads
// held for one turn only.
void WaitForRelease() {
  while (AcceptKeyHeld()) {
    plat::Delay(1);
    plat::NextInputFrame();
  }
}

// Diagonal stripes shading from purple to blue.
void DrawNameStripes() {
  DrawDiagonalBands(50, 0.5, [](double level) { SetColorAlpha(100 - level, 0, level); });
}

// "|" separates the fields of the score file and codes below 32 include its line
// breaks, so neither may enter a name. Names are one byte per character.
bool NameCharacter(int code) { return code > 31 && code <= 255 && code != '|'; }

// Clock modulo n, read as the free-running unsigned counter it is.
int ClockMod(int n) { return static_cast<int>(static_cast<unsigned>(plat::Millisecs()) % static_cast<unsigned>(n)); }

}  // namespace

void EnterName() {
  plat::FlushKeys();
  // The key or click that ended the game must not end this screen.
  WaitForRelease();

  bool done = false;
  while (!done) {
    plat::Cls();
    DrawNameStripes();
    ResetDrawState();

    // One character a frame, so a burst of typing is spread over frames.
    int code = plat::GetChar();
    if (NameCharacter(code)) HighScores.PlayerName.push_back(static_cast<char>(code));
    if (plat::KeyHit(plat::kKeyBackspace) > 0 && !HighScores.PlayerName.empty()) HighScores.PlayerName.pop_back();

    SetColorAlpha(0, 255, 0);
    plat::SetImageFont(Core.UiFonts[font::kSubhead]);
    DrawTextAligned(Core.VirtualWidth / 2, Core.VirtualHeight / 2 - 100, "Enter Your Name", kAlignCenter, kAlignMiddle);

    // Centred by the name's own width so the blinking cursor never moves it.
    plat::SetImageFont(Core.UiFonts[font::kHeadline]);
    const std::string cursor = ClockMod(600) < 300 ? "_" : " ";
    DrawTextAligned(Core.VirtualWidth / 2 - plat::TextWidth(HighScores.PlayerName) / 2, Core.VirtualHeight / 2, HighScores.PlayerName + cursor,
                    kAlignLeft, kAlignMiddle);

    EndFrame(1);

    const bool enterHit = plat::KeyHit(plat::kKeyEnter) > 0;
    done = enterHit || plat::MouseDown(plat::kMouseLeft) || plat::KeyDown(plat::kKeyEscape);
  }

  plat::SeedRnd(plat::LogicMillisecs());
  WaitForRelease();
}
