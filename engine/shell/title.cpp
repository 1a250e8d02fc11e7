#include "shell/title.h"

#include "audio/sfx.h"
#include "config/input.h"
#include "config/settings_menu.h"
#include "core/assets.h"
#include "core/identity.h"
#include "core/settings_table.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "platform/keycodes.h"
#include "platform/platform.h"
#include "scores/score_panel.h"
#include "scores/scores.h"
#include "shell/leaderboard.h"
#include "shell/replay.h"

namespace {

constexpr int kTitleMusicSlot = 1;
constexpr int kSettingsClosedBelow = -250;  // Config.MenuY while the panel is out of the way

int Offset() { return 800 - 25 * Shell.SlideStep; }

bool UpOrDownHeld() {
  for (int player = 1; player <= 2; ++player) {
    if (ActionDown(kActionUp, player) || ActionDown(kActionDown, player)) return true;
  }
  return false;
}

void StartGame() {
  plat::Channel& music = Audio.ChannelTable[kTitleMusicSlot];
  if (music != 0 && plat::ChannelPlaying(music)) {
    plat::StopChannel(music);
    music = 0;
  }
  // Every game is recorded, from this click to the end of name entry.
  BeginGameRecording();
  Core.GameState = kStatePlaying;
  Core.GameStartTime = plat::Millisecs();
  HighScores.LastGameTimestamp = 0;
  if (Shell.TitleGame) {
    Shell.TitleGame();
  } else if (Core.ThisGame.Play) {
    Core.ThisGame.Play();
  }
  Core.GameState = kStateTitle;
  const std::string replay = EndGameRecording();
  const std::string saved = SaveGameRecording(replay, HighScores.LastGameTimestamp);
  SendToLeaderboard(replay, saved);
  Shell.EscapeLatch = 1;
  Shell.StartLatch = 1;
  Shell.SlideStep = 0;
}

void DrawCreditsPanel() {
  const bool wide = Core.ScreenWidth >= 900;
  const int width = wide ? 320 : 416;
  const int step = wide ? 10 : 13;
  const int hidden = width - Shell.SlideStep * step;
  SetColorAlpha(0, 0, 0, 0.6);
  plat::DrawRect(10 - hidden, 80, width, Core.VirtualHeight - 84);
  SetColorAlpha(255, 255, 255, 1);
  plat::SetImageFont(Core.UiFonts[font::kText]);
  for (int n = 1; n <= Core.CreditCount; ++n) {
    DrawTextAligned(width / 2 + 5 - hidden, 84 + 20 * (n - 1), Core.CreditLines[n], kAlignCenter, kAlignTop);
  }
}

void DrawSettingsHint() {
  const unsigned now = static_cast<unsigned>(plat::Millisecs());
  if (Core.Settings[slot::width] == 800 && now % 800 < 400) SetColorAlpha(255, 255, 0);
  DrawTextAligned(4, 4, "Hit [Tab] for settings", kAlignLeft, kAlignTop);
}

void StartPrompt() {
  SetColorAlpha(255, 150, 150);
  if (MouseInRect(Core.VirtualWidth / 2 - 200, Core.VirtualHeight / 2 + Offset() - 40, 400, 80)) {
    SetColorAlpha(255, 255, 255);
    if (Shell.MouseWasDown && Shell.StartLatch == 0 && Config.MenuY < kSettingsClosedBelow) StartGame();
  }
  plat::SetImageFont(Core.UiFonts[font::kMenu]);
  DrawTextAligned(Core.VirtualWidth / 2, Core.VirtualHeight / 2 + Offset(), "Click Here to Start", kAlignCenter, kAlignMiddle);
  Shell.MouseWasDown = plat::MouseDown(1);
  if (!Shell.MouseWasDown && !UpOrDownHeld()) Shell.StartLatch = 0;
}

void DifficultyChoice() {
  plat::SetImageFont(Core.UiFonts[font::kChoice]);
  for (int k = 0; k < 3; ++k) {
    const int x = Core.VirtualWidth / 2 - 100;
    const int y = Core.VirtualHeight / 2 + 200 + 50 * k - Offset();
    SetColorAlpha(255, 255, 255, k == Core.Difficulty ? 1.0 : 0.5);
    if (MouseInRect(x, y, 200, 40) && plat::MouseDown(1)) Core.Difficulty = k;
    DrawTextAligned(x, y, Core.ThisGame.difficultyNames[k], kAlignLeft, kAlignTop);
  }
  if (Shell.StartLatch == 0 && (ActionDown(kActionUp, 1) || ActionDown(kActionUp, 2))) {
    Shell.StartLatch = 1;
    Core.Difficulty = Core.Difficulty <= 0 ? 2 : Core.Difficulty - 1;
  }
  if (Shell.StartLatch == 0 && (ActionDown(kActionDown, 1) || ActionDown(kActionDown, 2))) {
    Shell.StartLatch = 1;
    Core.Difficulty = Core.Difficulty >= 2 ? 0 : Core.Difficulty + 1;
  }
}

void DrawTitleWords() {
  SetColorAlpha(255, 255, 255, 1);
  plat::SetImageFont(Core.UiFonts[font::kHeadline]);
  DrawTextAligned(Core.VirtualWidth / 2, Core.VirtualHeight / 2 - 200 - Offset(), Core.TitleFirst, kAlignCenter, kAlignMiddle);
  plat::SetImageFont(Core.UiFonts[font::kSubhead]);
  DrawTextAligned(Core.VirtualWidth / 2, Core.VirtualHeight / 2 - 140 + Offset(), Core.TitleSecond, kAlignCenter, kAlignMiddle);
}

}  // namespace

void RunTitleScreen() {
  Shell.SlideStep = 0;
  Shell.StartLatch = 0;
  Shell.EscapeLatch = 0;
  Shell.MouseWasDown = false;
  while (true) {
    BeginFrameDrawing(1);
    ResetDrawState();
    DrawStripes();
    ResetDrawState();
    if (Shell.SlideStep < kTitleSlideSteps) Shell.SlideStep++;
    DrawCreditsPanel();
    DrawSettingsHint();
    DrawScorePanel(10 * Shell.SlideStep, Core.Difficulty, 0, 0);
    StartPrompt();
    DifficultyChoice();
    DrawTitleWords();

    EndFrame(1);
    const bool escape = plat::KeyDown(plat::kKeyEscape);
    if (!escape) Shell.EscapeLatch = 0;
    if (Shell.EscapeLatch == 0 && escape) return;
  }
}
