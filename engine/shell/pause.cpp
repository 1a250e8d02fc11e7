#include "shell/pause.h"

#include "config/input.h"
#include "core/assets.h"
#include "core/identity.h"
#include "core/log.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "platform/keycodes.h"
#include "platform/platform.h"
#include "platform/record/replay.h"

namespace {

constexpr int kScatterSeed = 37171650;
const char* const kPauseItems[2] = {"Continue", "Quit"};

// Busy input waits still sleep, so that the clock and the window move on. Each
// turn is an input frame of its own: an Escape tapped too quickly to be seen held
// reads held for one turn only.
void WaitWhileEscapeHeld() {
  while (plat::KeyDown(plat::kKeyEscape)) {
    plat::Delay(1);
    plat::NextInputFrame();
  }
}

bool AnyPlayerAction(int action) {
  for (int player = 1; player <= 4; ++player) {
    if (ActionDown(action, player)) return true;
  }
  return false;
}

// The game's title strewn over the screen; re-seeding before the first call makes
// every frame draw the same scatter, only turned further.
void DrawTitleScatter(int from, int to, double turn) {
  for (int i = from; i <= to; ++i) {
    SetRotationDeg(turn + 2 * i);
    const int a = plat::Rand(1, 5);
    const int b = plat::Rand(1, 5);
    const int c = plat::Rand(1, 5);
    SetColorAlpha(50 * c, 50 * b, 50 * a, 0.4);
    const int y = plat::Rand(0, Core.VirtualHeight);
    const int x = plat::Rand(0, Core.VirtualWidth);
    DrawTextAligned(x, y, Core.AppTitle, kAlignCenter, kAlignMiddle);
  }
}

}  // namespace

int PauseMenu() {
  WaitWhileEscapeHeld();
  // The game's last frame, still in the back buffer, becomes the backdrop.
  const int gw = plat::GraphicsWidth();
  const int gh = plat::GraphicsHeight();
  plat::Image backdrop = plat::CreateImage(gw, gh, 1);
  plat::MidHandle(backdrop);
  plat::GrabImage(backdrop, 0, 0);

  Shell.PauseCursor = 0;
  int latch = 1;  // a key still held from the game is not taken
  double turn = 0;
  double phase = 0;
  int result = 0;
  while (result == 0) {
    BeginFrameDrawing(1);
    ResetDrawState();
    SetBlendKind(kBlendKindAlpha);
    phase += 0.4;
    const double wobbleX = 1.5 + 0.5 * plat::Sin(phase);
    const double wobbleY = 1.5 + 0.5 * plat::Sin(1.3 * phase);
    SetScaleXY(wobbleX, wobbleY);
    turn += 0.1;
    SetRotationDeg(turn);
    plat::SetImageFont(Core.UiFonts[font::kMenu]);
    plat::DrawImage(backdrop, Core.VirtualWidth / 2, Core.VirtualHeight / 2);

    plat::SeedRnd(kScatterSeed);
    DrawTitleScatter(1, 140, turn);

    SetRotationDeg(0);
    SetScaleXY(1);
    SetColorAlpha(0, 0, 0, 0.5);
    const double boxX = 0.1 * Core.VirtualWidth;
    const double boxY = 0.375 * Core.VirtualHeight;
    plat::DrawRect(boxX, boxY, Core.VirtualWidth / 6, Core.VirtualHeight / 4);

    const bool up = AnyPlayerAction(kActionUp) || plat::KeyDown(plat::kKeyUp);
    const bool down = AnyPlayerAction(kActionDown) || plat::KeyDown(plat::kKeyDown);
    const bool fire =
        AnyPlayerAction(kActionFire) || AnyPlayerAction(kActionFire2) || plat::KeyDown(plat::kKeySpace);
    if (up && latch == 0) {
      Shell.PauseCursor--;
      latch = 1;
    }
    if (down && latch == 0) {
      Shell.PauseCursor++;
      latch = 1;
    }
    if (!fire && !down && !up) latch = 0;
    if (Shell.PauseCursor < 0) Shell.PauseCursor = 1;

    plat::SetImageFont(Core.UiFonts[font::kMenu]);
    int y = static_cast<int>(boxY);
    for (int item = 0; item < 2; ++item) {
      y += 60;
      SetColorAlpha(255, 255, 255);
      int indent = 0;
      if (item == Shell.PauseCursor) {
        SetColorAlpha(255, 255, 0);
        indent = 20;
        if (fire && latch == 0) {
          latch = 1;
          result = item == 0 ? kPauseContinue : kPauseQuit;
        }
      }
      DrawTextAligned(static_cast<int>(boxX) + indent + 10, y, kPauseItems[item], kAlignLeft, kAlignTop);
    }
    if (Shell.PauseCursor > 1) Shell.PauseCursor = 0;

    SetScaleXY(wobbleX, wobbleY);
    DrawTitleScatter(141, 180, turn);

    EndFrame(1);
    if (plat::KeyDown(plat::kKeyEscape)) result = Shell.PauseCursor == 1 ? kPauseQuit : kPauseContinue;
  }

  plat::SeedRnd(plat::LogicMillisecs());
  WaitWhileEscapeHeld();
  // After Quit the game shows "Game Over" over the frame it was paused on.
  plat::FreeImage(Frame.QuitPicture);
  Frame.QuitPicture = 0;
  if (result == kPauseQuit) {
    Frame.QuitPicture = backdrop;
  } else {
    plat::FreeImage(backdrop);
  }
  return result;
}

void TakeScreenshot() {
  LogLine("");
  LogLine("\tScreenshot");
  // Screenshots go to Files/, the parent of the game's folder; come back to
  // wherever this screen was.
  const std::string before = plat::CurrentDir();
  if (Core.FilesFolderPath.empty() || !plat::ChangeDir(Core.FilesFolderPath)) plat::ChangeDir("..");
  LogLine("\tGrabbing Screenshot");
  plat::Pixmap shot = plat::GrabPixmap(0, 0, plat::GraphicsWidth(), plat::GraphicsHeight());

  ResetDrawState();
  plat::SetImageFont(Core.UiFonts[font::kHeadline]);
  DrawTextAligned(Core.VirtualWidth / 2, Core.VirtualHeight / 2 - 30, "Saving Screenshot", kAlignCenter, kAlignMiddle);
  plat::SetImageFont(Core.UiFonts[font::kSubhead]);
  DrawTextAligned(Core.VirtualWidth / 2, Core.VirtualHeight / 2 + 30, "Sometimes, this takes a while!", kAlignCenter,
                  kAlignMiddle);
  plat::Flip(-1);

  const std::string name = CleanFileName(Core.TitleFirst + " " + Core.TitleSecond + " (Screenshot_" +
                                         plat::CurrentDate() + "_" + plat::CurrentTime() + ")") +
                           ".png";
  LogLine("\tSaving Screenshot : " + name);
  std::string why;
  const bool saved = plat::SavePixmapPNG(shot, name, 9, &why);
  plat::FreePixmap(shot);
  LogLine(std::string("\tSaved Screenshot ") + (saved ? "1" : "0"));
  if (!saved) LogLine("\tScreenshot not saved: " + why);
  // In a page the file is out of the player's reach until it is downloaded.
  if (saved) plat::OfferDownload(name);
  LogLine("");
  plat::ChangeDir(before);
  // The player is told the truth: a full disk or a save folder that cannot be
  // written must not look like a picture taken.
  AddMessage(saved ? "Saved Screenshot" : "Screenshot not saved", 1);
}

std::string CleanFileName(const std::string& text) {
  static const std::string kRemoved = "#',`.\\/:|*?\"";
  std::string out;
  for (char ch : text) {
    if (kRemoved.find(ch) == std::string::npos) out += ch;
  }
  return out;
}
