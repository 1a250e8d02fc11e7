#include "audio/audio_state.h"
#include "config/config_state.h"
#include "shell/reset.h"
#include "shell/shell_state.h"
#include "shell/title.h"
#include "testkit/scratch.h"

namespace {

int g_gameResets = 0;

using ResetTest = ScratchTest;

// A value away from its start in every floor's record, and in what the platform
// keeps beside its backend: the reset brings all of them back.
TEST_F(ResetTest, PutsEveryFloorBackAsAFreshProgramHasIt) {
  Core.Difficulty = 2;
  Core.GameState = kStatePlaying;
  Core.Settings[slot::width] = 1024;
  Core.MessageList.push_back(ment{});
  Draw.DrawLimit[kBudgetMain] = 50;
  Frame.FpsShown = 60;
  Frame.OverlayOn = 0;
  Audio.SfxSlot = 99;
  Audio.StepIndex = 12;
  Audio.ChordLine = "cfg";
  Config.MenuY = 20;
  Config.JoystickCount = 2;
  Config.MenuClicked = 1;
  HighScores.PlayerName = "Ann";
  HighScores.ScoreList.push_back(Scores{});
  HighScores.BestScore = 900;
  Shell.SlideStep = kTitleSlideSteps;
  Shell.StartLatch = 1;
  Shell.PauseCursor = 1;
  Shell.Recording = true;
  plat::BlockFileWrites(true);
  int notices = 0;
  plat::SetNoticeSink([&notices](const std::string&) { notices++; });

  ResetEngineState();

  EXPECT_EQ(Core.Difficulty, 0);
  EXPECT_EQ(Core.GameState, kStateTitle);
  EXPECT_EQ(Core.Settings[slot::width], 0);
  EXPECT_TRUE(Core.MessageList.empty());
  EXPECT_EQ(Draw.DrawLimit[kBudgetMain], 0);
  EXPECT_EQ(Frame.FpsShown, 0);
  EXPECT_EQ(Frame.OverlayOn, 1);
  EXPECT_EQ(Audio.SfxSlot, kFirstSfxSlot);
  EXPECT_EQ(Audio.StepIndex, -1);
  EXPECT_EQ(Audio.ChordLine, "");
  EXPECT_EQ(Config.MenuY, -300);
  EXPECT_EQ(Config.JoystickCount, 0);
  EXPECT_EQ(Config.MenuClicked, 0);
  EXPECT_EQ(HighScores.PlayerName, "Player");
  EXPECT_TRUE(HighScores.ScoreList.empty());
  EXPECT_EQ(HighScores.BestScore, 1);
  EXPECT_EQ(Shell.SlideStep, 0);
  EXPECT_EQ(Shell.StartLatch, 0);
  EXPECT_EQ(Shell.PauseCursor, 0);
  EXPECT_FALSE(Shell.Recording);
  EXPECT_FALSE(plat::FileWritesBlocked());
  plat::Notice("dropped");
  EXPECT_EQ(notices, 0);
  EXPECT_TRUE(plat::HasBackend());
}

// The game in use stays installed, with what it derives, and resets its own state first.
TEST_F(ResetTest, KeepsTheGameAndRunsItsOwnReset) {
  GameTable game = TestGameTable();
  game.number = 42;
  game.ResetState = [] { g_gameResets++; };
  UseGame(game);
  FillCredits();
  const std::string title = Core.AppTitle;
  const int credits = Core.CreditCount;
  g_gameResets = 0;

  ResetEngineState();

  EXPECT_EQ(g_gameResets, 1);
  EXPECT_EQ(Core.ThisGame.number, 42);
  EXPECT_EQ(Core.WeekNumber, 42);
  EXPECT_EQ(Core.GameFolder, "042/");
  EXPECT_EQ(Core.AppTitle, title);
  EXPECT_EQ(Core.CreditCount, credits);
}

}  // namespace
