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
#include "shell/replay.h"

int SlideStep = 0;
void (*TitleGame)() = nullptr;

namespace {

constexpr int kTitleMusicSlot = 1;
constexpr int kSettingsClosedBelow = -250;  // MenuY while the panel is out of the way

// Set by a start or a difficulty step; cleared once mouse button 1 and the
// up/down actions are all let go, so that a held input acts once.
int StartLatch = 0;
// Set when a game returns; cleared once Escape is up, so that the Escape that
// ended a game does not also end the program.
int EscapeLatch = 0;
// Mouse button 1 as it was at the end of the previous frame's prompt step.
bool MouseWasDown = false;

int Offset() { return 800 - 25 * SlideStep; }

bool UpOrDownHeld() {
  for (int player = 1; player <= 2; ++player) {
    if (ActionDown(kActionUp, player) || ActionDown(kActionDown, player)) return true;
  }
  return false;
}

void StartGame() {
  plat::Channel& music = ChannelTable[kTitleMusicSlot];
  if (music != 0 && plat::ChannelPlaying(music)) {
    plat::StopChannel(music);
    music = 0;
  }
  // Every game is recorded, from this click to the end of name entry.
  BeginGameRecording();
  GameState = kStatePlaying;
  GameStartTime = plat::Millisecs();
  LastGameTimestamp = 0;
  if (TitleGame) {
    TitleGame();
  } else if (ThisGame.Play) {
    ThisGame.Play();
  }
  GameState = kStateTitle;
  SaveGameRecording(EndGameRecording(), LastGameTimestamp);
  EscapeLatch = 1;
  StartLatch = 1;
  SlideStep = 0;
}

void DrawCreditsPanel() {
  const bool wide = ScreenWidth >= 900;
  const int width = wide ? 320 : 416;
  const int step = wide ? 10 : 13;
  const int hidden = width - SlideStep * step;
  SetColorAlpha(0, 0, 0, 0.6);
  plat::DrawRect(10 - hidden, 80, width, VirtualHeight - 84);
  SetColorAlpha(255, 255, 255, 1);
  plat::SetImageFont(UiFonts[font::kText]);
  for (int n = 1; n <= CreditCount; ++n) {
    DrawTextAligned(width / 2 + 5 - hidden, 84 + 20 * (n - 1), CreditLines[n], kAlignCenter, kAlignTop);
  }
}

void DrawSettingsHint() {
  const unsigned now = static_cast<unsigned>(plat::Millisecs());
  if (Settings[slot::width] == 800 && now % 800 < 400) SetColorAlpha(255, 255, 0);
  DrawTextAligned(4, 4, "Hit [Tab] for settings", kAlignLeft, kAlignTop);
}

void StartPrompt() {
  SetColorAlpha(255, 150, 150);
  if (MouseInRect(VirtualWidth / 2 - 200, VirtualHeight / 2 + Offset() - 40, 400, 80)) {
    SetColorAlpha(255, 255, 255);
    if (MouseWasDown && StartLatch == 0 && MenuY < kSettingsClosedBelow) StartGame();
  }
  plat::SetImageFont(UiFonts[font::kMenu]);
  DrawTextAligned(VirtualWidth / 2, VirtualHeight / 2 + Offset(), "Click Here to Start", kAlignCenter, kAlignMiddle);
  MouseWasDown = plat::MouseDown(1);
  if (!MouseWasDown && !UpOrDownHeld()) StartLatch = 0;
}

void DifficultyChoice() {
  plat::SetImageFont(UiFonts[font::kChoice]);
  for (int k = 0; k < 3; ++k) {
    const int x = VirtualWidth / 2 - 100;
    const int y = VirtualHeight / 2 + 200 + 50 * k - Offset();
    SetColorAlpha(255, 255, 255, k == Difficulty ? 1.0 : 0.5);
    if (MouseInRect(x, y, 200, 40) && plat::MouseDown(1)) Difficulty = k;
    DrawTextAligned(x, y, ThisGame.difficultyNames[k], kAlignLeft, kAlignTop);
  }
  if (StartLatch == 0 && (ActionDown(kActionUp, 1) || ActionDown(kActionUp, 2))) {
    StartLatch = 1;
    Difficulty = Difficulty <= 0 ? 2 : Difficulty - 1;
  }
  if (StartLatch == 0 && (ActionDown(kActionDown, 1) || ActionDown(kActionDown, 2))) {
    StartLatch = 1;
    Difficulty = Difficulty >= 2 ? 0 : Difficulty + 1;
  }
}

void DrawTitleWords() {
  SetColorAlpha(255, 255, 255, 1);
  plat::SetImageFont(UiFonts[font::kHeadline]);
  DrawTextAligned(VirtualWidth / 2, VirtualHeight / 2 - 200 - Offset(), TitleFirst, kAlignCenter, kAlignMiddle);
  plat::SetImageFont(UiFonts[font::kSubhead]);
  DrawTextAligned(VirtualWidth / 2, VirtualHeight / 2 - 140 + Offset(), TitleSecond, kAlignCenter, kAlignMiddle);
}

}  // namespace

void RunTitleScreen() {
  SlideStep = 0;
  StartLatch = 0;
  EscapeLatch = 0;
  MouseWasDown = false;
  while (true) {
    BeginFrameDrawing(1);
    ResetDrawState();
    DrawStripes();
    ResetDrawState();
    if (SlideStep < kTitleSlideSteps) SlideStep++;
    DrawCreditsPanel();
    DrawSettingsHint();
    DrawScorePanel(10 * SlideStep, Difficulty, 0, 0);
    StartPrompt();
    DifficultyChoice();
    DrawTitleWords();

    EndFrame(1);
    const bool escape = plat::KeyDown(plat::kKeyEscape);
    if (!escape) EscapeLatch = 0;
    if (EscapeLatch == 0 && escape) return;
  }
}
