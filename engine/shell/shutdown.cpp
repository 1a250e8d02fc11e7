#include "shell/shutdown.h"

#include <set>

#include "config/display.h"
#include "config/input.h"
#include "config/settings.h"
#include "core/assets.h"
#include "core/log.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "platform/keycodes.h"
#include "platform/platform.h"
#include "scores/scores.h"

namespace {

constexpr int kFarewellWidth = 640;
constexpr int kFarewellHeight = 480;
// The longest wait between two checks of the farewell's inputs; any input wakes it sooner.
constexpr int kWaitMs = 50;

struct AppealLine {
  int font, x, y;
  const char* text;
};
const AppealLine kAppeal[] = {
    {font::kChoice, 320, 4, "This Game is Free"},
    {font::kFinePrint, 270, 44, "I do not ask for money."},
    {font::kFinePrint, 270, 64, "I create these games for fun."},
    {font::kFinePrint, 270, 84, "All I ask is that players send some feedback."},
    {font::kFinePrint, 270, 104, "A comment, an email, a vote."},
    {font::kFinePrint, 270, 134, "Do the right thing."},
    {font::kFinePrint, 270, 164, "Support Homebrew games by"},
    {font::kFinePrint, 270, 184, "saying thanks to their developers."},
};

void EnterCommonFolder() {
  if (!Core.FilesFolderPath.empty() && plat::ChangeDir(Core.FilesFolderPath + "/Common")) return;
  plat::ChangeDir("../");
  plat::ChangeDir("Common/");
}

void DrawThanks(int dx, int dy) {
  plat::SetImageFont(Core.UiFonts[font::kSubhead]);
  DrawTextAligned(0 + dx, 220 + dy, "Thanks for Playing", kAlignLeft, kAlignTop);
  plat::SetImageFont(Core.UiFonts[font::kMenu]);
  DrawTextAligned(50 + dx, 296 + dy, "Send Feedback!", kAlignLeft, kAlignTop);
}

void DrawFarewell() {
  plat::Cls();
  SetColorAlpha(0, 0, 80, 1);
  plat::DrawRect(0, 0, kFarewellWidth, kFarewellHeight);

  EnterCommonFolder();
  SetBlendKind(kBlendKindAlpha);
  SetColorAlpha(255, 255, 255, 1);
  plat::AutoMidHandle(false);
  // Fresh copies: the shared ones belonged to the display just closed.
  plat::Image logo = plat::LoadImage("logo.png", plat::kImageMasked | plat::kImageFiltered);
  plat::Image community = plat::LoadImage("Pellium.png", plat::kImageMasked | plat::kImageFiltered);
  plat::SetImageHandle(logo, 0, 0);
  plat::SetImageHandle(community, 0, 0);
  SetScaleXY(0.5, 0.5);
  plat::DrawImage(logo, 0, 0);
  plat::DrawImage(community, 384, 332);
  SetScaleXY(1, 1);

  SetColorAlpha(0, 0, 0, 0.8);
  DrawThanks(2, 2);
  SetColorAlpha(255, 255, 255, 1);
  DrawThanks(0, 0);

  SetColorAlpha(180, 255, 255, 1);
  for (const AppealLine& line : kAppeal) {
    plat::SetImageFont(Core.UiFonts[line.font]);
    DrawTextAligned(line.x, line.y, line.text, kAlignLeft, kAlignTop);
  }
  plat::Flip(-1);
  plat::FreeImage(logo);
  plat::FreeImage(community);
}

bool AltF4Held() {
  return plat::KeyDown(plat::kKeyF4) && (plat::KeyDown(plat::kKeyLeftAlt) || plat::KeyDown(plat::kKeyRightAlt));
}

// Every input held now, read with one look at the machine: the keys and sticks
// AnyInputCode sees, and the two mouse buttons, which count even while F11 or F12
// holds the keys back.
std::set<int> HeldInputs() {
  plat::InputBatch once;
  const std::vector<int> codes = HeldInputCodes();
  std::set<int> held(codes.begin(), codes.end());
  for (int button : {1, 2}) {
    if (plat::MouseDown(button)) held.insert(button);
  }
  return held;
}

// Waits for a key, a click, Alt+F4 or a close request, sleeping until input comes.
// The Escape that left the title is usually still held when the window appears,
// and would close it before anyone saw it: each input held from before counts only
// once it has been let go, and blocks no other (a stick resting off centre, a key
// still held). Alt+F4 still held closes at once, as a close should.
void WaitForDismissal() {
  std::set<int> fromBefore;
  bool first = true;
  while (true) {
    std::set<int> held;
    {
      plat::InputBatch once;
      if (AltF4Held() || plat::AppTerminate()) return;
      held = HeldInputs();
    }
    if (first) {
      fromBefore = held;
      first = false;
    }
    for (int code : held) {
      if (!fromBefore.count(code)) return;
    }
    std::erase_if(fromBefore, [&](int code) { return !held.count(code); });
    plat::NextInputFrame();
    plat::WaitForInput(kWaitMs);
  }
}

// Settings, scores, the crash marker and the closing lines, as far as `stage` allows.
void SaveAndLogClosing(EndSaveStage stage) {
  if (stage >= EndSaveStage::kSettingsRead) SaveSetup();
  if (stage >= EndSaveStage::kAllRead) {
    // The score file lives in the game folder, whichever folder this screen was in.
    if (!Core.GameFolderPath.empty()) plat::ChangeDir(Core.GameFolderPath);
    SaveScores();
  }
  // A close request during display setup must not leave the crash marker behind.
  RemoveCrashMarker();
  LogLine("Closing Up");
  LogLine("");
  LogLine("Bye!");
  LogLine("");
  LogLine("Play again, soon!!");
}

}  // namespace

ShellState Shell;

void ResetShell() { Shell = ShellState{}; }

void Shutdown() {
  plat::ShowPointer();
  SaveAndLogClosing(EndSaveStage::kAllRead);
  Shell.SaveStage = EndSaveStage::kSaved;

  plat::CloseDisplay();
  if (plat::OpenDisplay(kFarewellWidth, kFarewellHeight, 0, 60, 0)) {
    DrawFarewell();
    WaitForDismissal();
  }
  plat::CloseDisplay();
  CloseLog();
  plat::EndProcess(0);
}

void EndWithoutFarewell() {
  if (Shell.SaveStage != EndSaveStage::kSaved) SaveAndLogClosing(Shell.SaveStage);
  Shell.SaveStage = EndSaveStage::kSaved;
  CloseLog();
}
