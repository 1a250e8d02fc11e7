// Money, building and the end of a game on real frames.
#include "game_fixture.h"

namespace {

class BuildingTest : public GameTest {
 protected:
  std::string MoneyText() {
    for (const plat::DrawCall& c : machine_->LastFrameCalls()) {
      if (c.kind == plat::DrawCall::kText && c.x == 2 && c.y == 2 && !c.text.empty() && c.text[0] == '$') {
        return c.text;
      }
    }
    return "";
  }
};

TEST(FormatMoney, GroupsThousandsAndPutsTheSignFirst) {
  struct Case {
    int value;
    const char* text;
  } cases[] = {{4000, "$4,000"}, {250, "$250"}, {1234567, "$1,234,567"}, {0, "$0"},
               {-100, "-$100"},  {-1234, "-$1,234"}, {-999999, "-$999,999"},
               {-2147483647 - 1, "-$2,147,483,648"}};
  for (const Case& c : cases) EXPECT_EQ(FormatMoney(c.value, "$"), c.text) << c.value;
}

TEST_F(BuildingTest, HardMoneyRollsDownFromFourThousandByThirtyOneAFrame) {
  Difficulty = 2;
  StartGame();
  Game.StationCountdown = 1 << 30;
  machine_->SetRecording(true);
  Frames(1);
  EXPECT_EQ(MoneyText(), "$3,969");
  int reachedAt = 1;
  while (Game.ShownMoney != Game.Money && reachedAt < 200) Frames(1), reachedAt++;
  EXPECT_EQ(reachedAt, 97);
  EXPECT_EQ(MoneyText(), "$995");  // the first running cost came at frame 90

  Difficulty = 0;
  StartGame();
  Frames(1);
  EXPECT_EQ(MoneyText(), "$4,000");
}

TEST_F(BuildingTest, RunningCostIsFiveEveryNinetyFramesWithSoundSix) {
  StartGame();
  Game.StationCountdown = 1 << 30;
  // No income: the stations become plain track.
  Cell(Game.TrackGrid, 20, 10) = Cell(Game.TrackGrid, 20, 20) = kStraightWE;
  Frames(89);
  EXPECT_EQ(Game.Money, 2000);
  Frames(1);
  EXPECT_EQ(Game.Money, 1995);
  EXPECT_EQ(Count(TakeSounds(), 6), 1);
  Frames(810);
  EXPECT_EQ(Game.Money, 1950);
  EXPECT_EQ(Game.GameScore, 1950);
}

TEST_F(BuildingTest, ACurveCostsTwoFiftyThenTheCrossingPaintsOnlyAfterARelease) {
  StartGame();
  PickTool(kCurveNE);
  EXPECT_EQ(Game.Tool, kCurveNE);
  const int money = Game.Money;
  PointAtCell(5, 5);
  Frames(1);
  Input().PressMouse(plat::kMouseLeft);
  Frames(1);
  EXPECT_EQ(Cell(Game.TrackGrid, 5, 5), kCurveNE);
  EXPECT_EQ(Game.Money, money - 250);
  EXPECT_EQ(PopupList.back().n, 250);
  EXPECT_EQ(PopupList.back().r, 255);
  EXPECT_EQ(Game.Tool, kCrossing);
  EXPECT_EQ(Count(TakeSounds(), 7), 1);  // the toolbar is silent
  // Held on: moving over further cells places nothing.
  for (int x = 6; x <= 8; x++) {
    PointAtCell(x, 5);
    Frames(2);
    EXPECT_EQ(Cell(Game.TrackGrid, x, 5), 0);
  }
  Input().ReleaseMouse(plat::kMouseLeft);
  Frames(1);
  Input().PressMouse(plat::kMouseLeft);
  for (int x = 8; x <= 10; x++) {
    PointAtCell(x, 5);
    Frames(2);
  }
  Input().ReleaseMouse(plat::kMouseLeft);
  for (int x = 8; x <= 10; x++) EXPECT_EQ(Cell(Game.TrackGrid, x, 5), kCrossing) << x;
  EXPECT_EQ(Game.Money, money - 250 - 3 * 50);
}

TEST_F(BuildingTest, PuttingBackThePreviousPieceIsFreeWithSoundEight) {
  StartGame();
  ClickCell(5, 5);  // tool 1 on empty ground
  PickTool(kStraightNS);
  ClickCell(5, 5);
  EXPECT_EQ(Cell(Game.UnderGrid, 5, 5), kStraightWE);
  const int money = Game.Money;
  PickTool(kStraightWE);
  TakeSounds();
  ClickCell(5, 5);
  EXPECT_EQ(Cell(Game.TrackGrid, 5, 5), kStraightWE);
  EXPECT_EQ(Cell(Game.UnderGrid, 5, 5), kStraightNS);
  EXPECT_EQ(Game.Money, money);
  std::vector<int> sounds = TakeSounds();
  EXPECT_EQ(Count(sounds, 8), 1);
  EXPECT_EQ(Count(sounds, 7), 0);
}

TEST_F(BuildingTest, WithoutMoneyNothingIsPlacedButTheSoundPlays) {
  StartGame();
  Game.Money = 40;
  TakeSounds();
  ClickCell(5, 5);
  EXPECT_EQ(Cell(Game.TrackGrid, 5, 5), 0);
  EXPECT_EQ(Count(TakeSounds(), 7), 1);
}

TEST_F(BuildingTest, RightClickSwapsABuiltCellBothWaysAndLeavesOthersAlone) {
  StartGame();
  ClickCell(4, 4, plat::kMouseRight);  // never built on
  EXPECT_EQ(Cell(Game.TrackGrid, 4, 4), 0);
  ClickCell(5, 5);
  PickTool(kCrossing);
  ClickCell(5, 5);
  const int money = Game.Money;
  ClickCell(5, 5, plat::kMouseRight);
  EXPECT_EQ(Cell(Game.TrackGrid, 5, 5), kStraightWE);
  EXPECT_EQ(Cell(Game.UnderGrid, 5, 5), kCrossing);
  ClickCell(5, 5, plat::kMouseRight);
  EXPECT_EQ(Cell(Game.TrackGrid, 5, 5), kCrossing);
  EXPECT_EQ(Cell(Game.UnderGrid, 5, 5), kStraightWE);
  EXPECT_EQ(Game.Money, money);
}

int QuitFromPause() { return 99; }

TEST_F(BuildingTest, QuittingFromThePauseMenuEndsTheGameWithQuitOne) {
  FrameHooks.PauseMenu = QuitFromPause;
  AnswerNameEntry("", [this](int frame) {
    if (frame == 30) machine_->ScriptInput().PressKey(plat::kKeyEscape);
  });
  RunGame();
  ASSERT_EQ(ScoreList.size(), 1u);
  const Scores& record = ScoreList.back();
  EXPECT_EQ(record.Quit, 1);
  EXPECT_EQ(record.GameMode, 1);
  EXPECT_EQ(record.Score, Game.Money);
  EXPECT_EQ(GameState, 0);
  EXPECT_FALSE(plat::ChannelPlaying(Game.EngineChannel));
}

TEST_F(BuildingTest, GameOverShowsTheThreeLayerTextAndFilesAPlayedRecord) {
  Difficulty = 2;
  StartGame();
  ClearBoard();  // the train crashes on empty ground
  machine_->SetRecording(true);
  std::vector<plat::DrawCall> gameOver;
  AnswerNameEntry("", [&](int) {
    // The frame shown just before name entry begins.
    if (Game.QuitFlag != 0 && nameFrames_ == 1) gameOver = machine_->CurrentFrameCalls();
  });
  while (Frames(1)) {
  }
  GameOverSequence();
  int white = 0, dark = 0, yellow = 0;
  for (const plat::DrawCall& c : gameOver) {
    if (c.kind != plat::DrawCall::kText || c.text != "Game Over") continue;
    white += c.r == 255 && c.b == 255;
    dark += c.r == 8;
    yellow += c.r == 255 && c.g == 255 && c.b == 0;
  }
  EXPECT_EQ(white, 49);
  EXPECT_EQ(dark, 25);
  EXPECT_EQ(yellow, 1);
  ASSERT_EQ(ScoreList.size(), 1u);
  EXPECT_EQ(ScoreList.back().Quit, 0);
  EXPECT_EQ(ScoreList.back().GameMode, 2);
  EXPECT_EQ(ScoreList.back().Name, PlayerName);
}

}  // namespace
