// Money, building and the end of a game on real frames.
#include "game_fixture.h"
#include "shell/pause.h"

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
  Core.Difficulty = 2;
  StartGame();
  Game.StationCountdown = 1 << 30;
  machine_->SetRecording(true);
  Frames(1);
  EXPECT_EQ(MoneyText(), "$3,969");
  int reachedAt = 1;
  while (Game.ShownMoney != Game.Money && reachedAt < 200) Frames(1), reachedAt++;
  EXPECT_EQ(reachedAt, 97);
  EXPECT_EQ(MoneyText(), "$995");  // the first running cost came at frame 90

  Core.Difficulty = 0;
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
  EXPECT_EQ(Count(TakeSounds(), kSfxRunningCost), 1);
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
  EXPECT_EQ(Loopery.PopupList.back().n, 250);
  EXPECT_EQ(Loopery.PopupList.back().r, 255);
  EXPECT_EQ(Game.Tool, kCrossing);
  EXPECT_EQ(Count(TakeSounds(), kSfxPlacePiece), 1);  // the toolbar is silent
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

TEST_F(BuildingTest, EachPieceCostsItsPrice) {
  const struct {
    int code, cost;
  } cases[] = {{kStraightWE, 50}, {kStraightNS, 50}, {kCrossing, 50}, {kCurveWN, 250},
               {kCurveNE, 250},   {kCurveSE, 250},   {kCurveSW, 250}};
  StartGame();
  int x = 3;
  for (const auto& c : cases) {
    PickTool(c.code);
    const int money = Game.Money;
    ClickCell(x, 3);
    EXPECT_EQ(Cell(Game.TrackGrid, x, 3), c.code);
    EXPECT_EQ(money - Game.Money, c.cost) << "piece " << c.code;
    EXPECT_EQ(PieceCost(c.code), c.cost);
    x += 2;
  }
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
  EXPECT_EQ(Count(sounds, kSfxSwapPiece), 1);
  EXPECT_EQ(Count(sounds, kSfxPlacePiece), 0);
}

TEST_F(BuildingTest, WithoutMoneyNothingIsPlacedButTheSoundPlays) {
  StartGame();
  Game.Money = 40;
  TakeSounds();
  ClickCell(5, 5);
  EXPECT_EQ(Cell(Game.TrackGrid, 5, 5), 0);
  EXPECT_EQ(Count(TakeSounds(), kSfxPlacePiece), 1);
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

int QuitFromPause() { return kPauseQuit; }

int SongUpdates = 0;
void CountSongUpdate() { SongUpdates++; }

// Pixels of two pictures that differ by more than a little, outside the band of
// rows in the middle where "Game Over" is written.
int DifferentPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int w, int h) {
  int n = 0;
  for (int y = 0; y < h; y++) {
    if (y > h * 2 / 5 && y < h * 3 / 5) continue;
    for (int x = 0; x < w; x++) {
      const size_t at = (static_cast<size_t>(y) * w + x) * 4;
      for (int k = 0; k < 3; k++) {
        if (std::abs(a[at + k] - b[at + k]) > 24) {
          n++;
          break;
        }
      }
    }
  }
  return n;
}

// "Game Over" stays over the game's last frame, with EndFrame going on, for two
// seconds, or until a key or click pressed after it appeared; one held from the
// game does not count.
TEST_F(BuildingTest, GameOverStaysTwoSecondsOrUntilANewKeyOrClick) {
  enum Press { kNone, kKey, kLeftClick, kRightClick };
  const struct {
    const char* what;
    Press press;
    bool quit;  // ended from the pause menu rather than by a crash
    int lasts;  // ms
  } cases[] = {
      {"nothing pressed", kNone, false, 2000},
      {"Space held from the game", kNone, false, 2000},
      {"a key", kKey, false, 500},
      {"a click", kLeftClick, false, 500},
      {"a right click", kRightClick, false, 500},
      {"quit from the pause menu", kNone, true, 2000},
  };
  Frame.FrameHooks.UpdateSong = CountSongUpdate;
  machine_->SetRecording(true);
  const int w = plat::GraphicsWidth(), h = plat::GraphicsHeight();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Core.GameState = kStatePlaying;  // as the title screen sets it for each game
    StartGame();
    ClearBoard();  // the train crashes on empty ground
    Frame.FrameHooks.PauseMenu = c.quit ? QuitFromPause : nullptr;
    if (c.quit) Input().PressKey(plat::kKeyEscape);
    if (std::string(c.what).find("Space") == 0) Input().PressKey(plat::kKeySpace);
    for (int f = 0; f < 400 && Frames(1); f++) {
    }
    ASSERT_NE(Game.QuitFlag, 0);
    Input().ReleaseKey(plat::kKeyEscape);

    int64_t first = -1, last = -1, pressAt = -1;
    int overFrames = 0, songAtFirst = 0, songAtLast = 0, stillPicture = -1, keptPicture = -1;
    std::vector<uint8_t> lastGameFrame, previous;
    AnswerNameEntry("", [&](int) {
      plat::InputState& in = Input();
      bool over = false;
      for (const plat::DrawCall& d : machine_->CurrentFrameCalls()) over |= d.kind == plat::DrawCall::kText && d.text == "Game Over";
      if (!over) return;
      std::vector<uint8_t> shown;
      if (overFrames < 3) shown = machine_->FrontBufferPixels();
      if (first < 0) {
        first = machine_->Now();
        songAtFirst = SongUpdates;
        lastGameFrame = shown;  // what the game's last frame showed
      } else if (overFrames == 1) {
        keptPicture = DifferentPixels(shown, lastGameFrame, w, h);
      } else if (overFrames == 2) {
        stillPicture = DifferentPixels(shown, previous, w, h);
      }
      previous = std::move(shown);
      overFrames++;
      last = machine_->Now();
      songAtLast = SongUpdates;
      if (c.press != kNone && pressAt < 0 && machine_->Now() >= first + c.lasts) {
        pressAt = machine_->Now();
        if (c.press == kKey) in.PressKey('A');
        if (c.press == kLeftClick) in.PressMouse(plat::kMouseLeft);
        if (c.press == kRightClick) in.PressMouse(plat::kMouseRight);
        // Let go a little later, as a hand does (name entry waits for that).
        machine_->At(pressAt + 30, [](plat::InputState& later) {
          later.ReleaseKey('A');
          later.ReleaseMouse(plat::kMouseLeft);
          later.ReleaseMouse(plat::kMouseRight);
        });
      }
    });
    GameOverSequence();
    Input().ReleaseKey(plat::kKeySpace);
    ASSERT_GE(first, 0);
    // The frame on which the time ran out, or the one whose EndFrame saw the press, is the last.
    EXPECT_GE(last - first, c.lasts - 20);
    EXPECT_LE(last - first, c.lasts + 40);
    EXPECT_EQ(songAtLast - songAtFirst, overFrames - 1) << "EndFrame ran on every frame";
    EXPECT_LT(keptPicture, w * h / 200) << "the game's last frame stays under the text";
    EXPECT_EQ(stillPicture, 0) << "and stays still";
    EXPECT_EQ(HighScores.ScoreList.back().Quit, c.quit ? 1 : 0);
    HighScores.ScoreList.clear();
  }
}

TEST_F(BuildingTest, QuittingFromThePauseMenuEndsTheGameWithQuitOne) {
  Frame.FrameHooks.PauseMenu = QuitFromPause;
  machine_->SetFrameCap(2000);  // a game that failed to end fails here rather than hang
  AnswerNameEntry("", [this](int frame) {
    if (frame == 30) machine_->ScriptInput().PressKey(plat::kKeyEscape);
  });
  RunGame();
  ASSERT_EQ(HighScores.ScoreList.size(), 1u);
  const Scores& record = HighScores.ScoreList.back();
  EXPECT_EQ(record.Quit, 1);
  EXPECT_EQ(record.GameMode, 1);
  EXPECT_EQ(record.Score, Game.Money);
  EXPECT_EQ(Core.GameState, kStateTitle);
  EXPECT_FALSE(plat::ChannelPlaying(Game.EngineChannel));
}

// Images as large as the screen that are alive now (kept pictures of frames).
int ScreenPictures() {
  int n = 0;
  for (plat::Image image = 1; image < 100000; image++) {
    n += plat::ImageWidth(image) == plat::GraphicsWidth() && plat::ImageHeight(image) == plat::GraphicsHeight();
  }
  return n;
}

// Escape pressed after the game has looked at it for its frame but before EndFrame
// does: the game's frame, as the game drew it, is kept in the armed frame.
plat::HeadlessBackend* g_raceMachine = nullptr;
bool g_raceArmed = false;
plat::Pixmap g_raceFrame = 0;
void DrawPopupsThenPressEscape() {
  if (g_raceArmed) {
    g_raceArmed = false;
    g_raceFrame = plat::GrabPixmap(0, 0, plat::GraphicsWidth(), plat::GraphicsHeight());
    g_raceMachine->ScriptInput().PressKey(plat::kKeyEscape);
  }
  DrawPopups();
}

// A pause that ends in Continue keeps no picture; an Escape that arrives between
// the game's look at it and EndFrame's still pauses over this frame's picture, and
// Quit then shows "Game Over" over that picture (not over black, nor an older one).
TEST_F(BuildingTest, GameOverAfterQuitShowsTheFrameThePauseOpenedOn) {
  Frame.FrameHooks.PauseMenu = PauseMenu;
  Frame.FrameHooks.DrawPopups = DrawPopupsThenPressEscape;
  g_raceMachine = machine_;
  const int w = plat::GraphicsWidth(), h = plat::GraphicsHeight();
  // Lets go of Escape a little later, then taps `key` (Space: the item under the
  // cursor), as a player in the pause menu does.
  auto inPause = [this](std::vector<int> keys) {
    int64_t at = machine_->Now() + 30;
    machine_->At(at, [](plat::InputState& in) { in.ReleaseKey(plat::kKeyEscape); });
    for (int key : keys) {
      machine_->At(at += 100, [key](plat::InputState& in) { in.PressKey(key); });
      machine_->At(at += 50, [key](plat::InputState& in) { in.ReleaseKey(key); });
    }
  };
  StartGame();
  Frames(5);
  Input().PressKey(plat::kKeyEscape);
  inPause({plat::kKeySpace});
  ASSERT_TRUE(Frames(1));
  EXPECT_EQ(ScreenPictures(), 0) << "a pause that ended in Continue leaves no picture";

  ClearBoard();  // the next frames look unlike the ones before
  Frames(2);
  g_raceArmed = true;
  inPause({plat::kKeyDown, plat::kKeySpace});
  ASSERT_FALSE(Frames(1));
  ASSERT_NE(g_raceFrame, 0);
  EXPECT_EQ(Game.QuitFlag, kPauseQuit);

  machine_->SetRecording(true);
  std::vector<uint8_t> shown;
  AnswerNameEntry("", [&](int) {
    for (const plat::DrawCall& d : machine_->CurrentFrameCalls()) {
      if (shown.empty() && d.kind == plat::DrawCall::kText && d.text == "Game Over") {
        std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
        plat::CurrentBackend().renderer()->ReadPixels(0, 0, w, h, pixels.data());
        shown = std::move(pixels);
      }
    }
  });
  GameOverSequence();
  ASSERT_FALSE(shown.empty());
  std::vector<uint8_t> paused(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      const uint32_t p = plat::PixmapPixel(g_raceFrame, x, y);
      uint8_t* d = &paused[(static_cast<size_t>(y) * w + x) * 4];
      d[0] = p >> 24, d[1] = (p >> 16) & 255, d[2] = (p >> 8) & 255, d[3] = 255;
    }
  }
  plat::FreePixmap(g_raceFrame);
  g_raceFrame = 0;
  EXPECT_LT(DifferentPixels(shown, paused, w, h), w * h / 200);
  EXPECT_EQ(ScreenPictures(), 0) << "and none is left once it is over";
}

TEST_F(BuildingTest, GameOverShowsTheThreeLayerTextAndFilesAPlayedRecord) {
  Core.Difficulty = 2;
  StartGame();
  ClearBoard();  // the train crashes on empty ground
  machine_->SetRecording(true);
  std::vector<plat::DrawCall> gameOver;
  AnswerNameEntry("", [&](int) {
    // The first frame of "Game Over".
    if (Game.QuitFlag != 0 && overAt_ < 0) gameOver = machine_->CurrentFrameCalls();
  });
  for (int f = 0; f < 400 && Frames(1); f++) {
  }
  ASSERT_NE(Game.QuitFlag, 0);
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
  ASSERT_EQ(HighScores.ScoreList.size(), 1u);
  EXPECT_EQ(HighScores.ScoreList.back().Quit, 0);
  EXPECT_EQ(HighScores.ScoreList.back().GameMode, 2);
  EXPECT_EQ(HighScores.ScoreList.back().Name, HighScores.PlayerName);
}

}  // namespace
