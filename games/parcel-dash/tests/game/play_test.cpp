// The rules frame by frame (catches, misses, lives, the clock, the cart's two
// controls) and whole scripted games on the headless machine, through "Game
// Over", name entry and the saved score record.
#include <gtest/gtest.h>

#include <filesystem>

#include "audio/sfx.h"
#include "core/state.h"
#include "dash/checksum.h"
#include "dash/dash.h"
#include "dash/game.h"
#include "dash/sounds.h"
#include "dash/state.h"
#include "dash_testkit/scripted_game.h"
#include "platform/keycodes.h"
#include "scores/scores.h"
#include "testkit/scratch.h"

namespace {

class DashTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
    plat::SetVirtualResolution(1280, 960);
    Core.VirtualWidth = 1280;
    Core.VirtualHeight = 960;
    Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = 50000;
    Core.ControlMode = 1;
    Core.GameState = kStatePlaying;
    Core.Difficulty = 1;
    HighScores.ScoreList.clear();
    Frame.LastFrameTime = plat::Millisecs();
  }

  // A game with nothing falling of its own accord: only what a test drops.
  void StartQuietGame() {
    SetupGame();
    Dash.SpawnCountdown = 1 << 30;
  }
  // A piece just above the cart's bed, at field x.
  static void Drop(int kind, double x) {
    Cargo c;
    c.kind = kind;
    c.x = x;
    c.y = kCartBed - kCargoSize - 1;
    c.speed = 4;
    Dash.Falling.push_back(c);
  }
  void Frames(int n) {
    for (int i = 0; i < n && Dash.QuitFlag == kPlaying; i++) GameFrame();
  }
  void PointAtField(double x) { plat::MoveVirtualMouse(x * Core.VirtualWidth / kFieldWidth, 300); }
  plat::InputState& Input() { return machine_->ScriptInput(); }
};

TEST_F(DashTest, TheTableNamesTheGame) {
  const GameTable t = DashTable();
  EXPECT_EQ(t.number, 258);
  EXPECT_EQ(t.titleFirst, "Parcel");
  EXPECT_EQ(t.titleSecond, "Dash");
  EXPECT_EQ(t.programName, "parcel-dash");
  EXPECT_EQ(t.difficultyNames[2], "Hard");
  std::string credits;
  for (const std::string& line : t.credits) credits += line + "\n";
  for (const char* said : {"$25", "$100", "three lives", "60 seconds", "Left and Right", "mouse"}) {
    EXPECT_NE(credits.find(said), std::string::npos) << said;
  }
  EXPECT_LE(t.credits.size(), 40u) << "the credits panel holds about forty lines";
  EXPECT_EQ(FormatMoney(1250), "$1,250");
  EXPECT_EQ(FormatMoney(0), "$0");
}

// What lands on the cart is caught and paid; what lands beside it is missed, and
// only a person missed costs a life.
TEST_F(DashTest, CatchesPayAndMissedPeopleCostALife) {
  struct Case {
    int kind;
    double offset;  // from the cart's centre
    int money, lives, sound;
  } cases[] = {
      {kCargoParcel, 0, kParcelValue, 3, kSfxParcelCaught},
      {kCargoPerson, 0, kPersonValue, 3, kSfxPersonCaught},
      {kCargoPerson, kCatchReach, kPersonValue, 3, kSfxPersonCaught},
      {kCargoPerson, -kCatchReach, kPersonValue, 3, kSfxPersonCaught},
      {kCargoPerson, kCatchReach + 1, 0, 2, kSfxPersonMissed},
      {kCargoParcel, -kCatchReach - 1, 0, 3, 0},
      {kCargoParcel, 200, 0, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.kind) + " at " + std::to_string(c.offset));
    StartQuietGame();
    Drop(c.kind, Dash.CartX + c.offset);
    Frames(30);  // landed, and below the rail when missed
    EXPECT_TRUE(Dash.Falling.empty());
    EXPECT_EQ(Dash.Money, c.money);
    EXPECT_EQ(Dash.GameScore, c.money);
    EXPECT_EQ(Dash.Lives, c.lives);
    EXPECT_EQ(Dash.PeopleCaught + Dash.ParcelsCaught, c.money ? 1 : 0);
    EXPECT_EQ(Dash.Popups.size(), c.money ? 1u : 0u);
    EXPECT_EQ(Dash.QuitFlag, kPlaying);
  }
  // A piece that falls past the bed beside the cart is not caught by a cart that
  // arrives under it afterwards.
  StartQuietGame();
  Drop(kCargoPerson, 100);
  PointAtField(700);
  Frames(3);
  PointAtField(100);
  Frames(30);
  EXPECT_EQ(Dash.PeopleMissed, 1);
}

TEST_F(DashTest, TheMouseLeadsWhileItMovesAndTheKeysOtherwise) {
  StartQuietGame();
  PointAtField(200);
  Frames(2);
  EXPECT_DOUBLE_EQ(Dash.CartX, 200);
  // A still pointer leaves the cart to the keys.
  Input().PressKey(plat::kKeyRight);
  Frames(10);
  EXPECT_DOUBLE_EQ(Dash.CartX, 200 + 10 * kCartKeySpeed);
  Input().ReleaseKey(plat::kKeyRight);
  Input().PressKey(plat::kKeyLeft);
  Frames(3);
  EXPECT_DOUBLE_EQ(Dash.CartX, 200 + 7 * kCartKeySpeed);
  // Both keys held: the cart stays.
  Input().PressKey(plat::kKeyRight);
  Frames(3);
  EXPECT_DOUBLE_EQ(Dash.CartX, 200 + 7 * kCartKeySpeed);
  Input().ReleaseKey(plat::kKeyRight);
  // Held against a side, it stops there: a tick once on arriving.
  Frames(100);
  EXPECT_DOUBLE_EQ(Dash.CartX, kCartMinX);
  EXPECT_TRUE(Dash.AtEdge);
  Input().ReleaseKey(plat::kKeyLeft);
  // The pointer beyond the field's side puts the cart against it, and a catch by keys.
  PointAtField(kFieldWidth + 50);
  Frames(2);
  EXPECT_DOUBLE_EQ(Dash.CartX, kCartMaxX);
  Drop(kCargoPerson, 500);
  Dash.Falling.back().y = 0;
  Input().PressKey(plat::kKeyLeft);
  while (Dash.CartX > 500 && Dash.QuitFlag == kPlaying) Frames(1);
  Input().ReleaseKey(plat::kKeyLeft);
  Frames(200);
  EXPECT_EQ(Dash.PeopleCaught, 1);
  EXPECT_EQ(Dash.Money, kPersonValue);
}

TEST_F(DashTest, ThreeMissedPeopleOrSixtySecondsEndTheGame) {
  StartQuietGame();
  PointAtField(700);
  Frames(2);
  for (int i = 1; i <= kStartingLives; i++) {
    Drop(kCargoPerson, 100);
    Frames(40);
    EXPECT_EQ(Dash.Lives, kStartingLives - i);
  }
  EXPECT_EQ(Dash.QuitFlag, kEndNoLives);
  EXPECT_LT(Dash.Frame, kPlayFrames);

  // The clock: exactly the minute of frames, nothing falling.
  StartQuietGame();
  int frames = 0;
  while (GameFrame()) frames++;
  EXPECT_EQ(frames + 1, kPlayFrames);
  EXPECT_EQ(Dash.QuitFlag, kEndTimeUp);
  EXPECT_EQ(Dash.Lives, kStartingLives);
}

// Harder games drop pieces faster and more often.
TEST_F(DashTest, DifficultySetsTheFallAndTheSpawning) {
  int count[3] = {};
  double slowest[3] = {}, fastest[3] = {};
  for (int d = 0; d < 3; d++) {
    Core.Difficulty = d;
    SetupGame();
    plat::SeedRnd(258);
    slowest[d] = 1e9;
    for (int f = 0; f < 1200; f++) {
      StepGame();
      for (const Cargo& c : Dash.Falling) {
        if (c.age != 1) continue;  // appeared this frame
        count[d]++;
        slowest[d] = std::min(slowest[d], c.speed);
        fastest[d] = std::max(fastest[d], c.speed);
        EXPECT_GE(c.x, kSpawnMargin + kCargoSize / 2);
        EXPECT_LE(c.x, kFieldWidth - kSpawnMargin - kCargoSize / 2);
      }
      Dash.Lives = kStartingLives;  // nobody steers here
    }
    EXPECT_GE(slowest[d], kRules[d].fallSpeed * kSpeedSpreadLow);
    EXPECT_LE(fastest[d], kRules[d].fallSpeed * kSpeedSpreadHigh);
  }
  EXPECT_LT(count[0], count[1]);
  EXPECT_LT(count[1], count[2]);
  EXPECT_NEAR(count[0], 1200 / kRules[0].spawnInterval, 4);
}

// Whole games as the title starts them, ended by the clock, by lives or by the
// pause menu, each leaving its record in HighScores.ScoreList and on disk.
TEST_F(DashTest, ScriptedGamesEndWithTheirRecordSaved) {
  struct Case {
    Steering steering;
    int difficulty, quitAt, endedBy;
  } cases[] = {
      {Steering::kMouse, 0, -1, kEndTimeUp},
      {Steering::kKeys, 1, -1, 0},  // by the clock or by lives, whichever the keys allow
      {Steering::kIdle, 2, -1, kEndNoLives},
      {Steering::kMouse, 1, 200, kPauseQuit},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("difficulty " + std::to_string(c.difficulty));
    ResetProgramState();
    InstallServices();
    HighScores.ScoreList.clear();
    std::filesystem::remove("scores.dat");
    ScriptedGame g;
    g.steering = c.steering;
    g.difficulty = c.difficulty;
    g.quitAt = c.quitAt;
    g.name = "ZED";
    const ScriptedOutcome out = PlayScriptedGame(*machine_, g);
    const DashState& s = out.final;
    if (c.endedBy) {
      EXPECT_EQ(s.QuitFlag, c.endedBy);
    }
    if (s.QuitFlag == kEndTimeUp) {
      EXPECT_EQ(s.Frame, kPlayFrames);
    }
    if (s.QuitFlag == kEndNoLives) {
      EXPECT_EQ(s.PeopleMissed, kStartingLives);
    }
    if (c.steering != Steering::kIdle) {
      EXPECT_GT(s.PeopleCaught + s.ParcelsCaught, 0);
    }
    EXPECT_EQ(out.score, kPersonValue * s.PeopleCaught + kParcelValue * s.ParcelsCaught);
    ASSERT_EQ(HighScores.ScoreList.size(), 1u);
    const Scores& rec = HighScores.ScoreList.front();
    EXPECT_EQ(rec.Score, out.score);
    EXPECT_EQ(rec.Name, HighScores.PlayerName);
    EXPECT_TRUE(rec.Name.ends_with("ZED")) << rec.Name;
    EXPECT_EQ(rec.GameMode, c.difficulty);
    EXPECT_EQ(rec.Quit, c.endedBy == kPauseQuit ? 1 : 0);
    EXPECT_EQ(HighScores.LastGameTimestamp, rec.Timestamp);
    EXPECT_GT(std::filesystem::file_size("scores.dat"), 0u);
  }
}

}  // namespace
