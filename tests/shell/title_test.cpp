// The title screen driven frame by frame: starting games, the latches that keep a
// held input from acting twice, the difficulty choice and the slide-in.
#include <algorithm>
#include <filesystem>

#include "audio/sfx.h"
#include "config/settings_menu.h"
#include "platform/keycodes.h"
#include "testkit/scratch.h"
#include "shell/title.h"

namespace {

using plat::DrawCall;

struct GameSeen {
  int gameState;
  int startTime;
  int now;
};
std::vector<GameSeen> g_games;
std::function<void()> g_inGame;

void FakeGame() {
  g_games.push_back({Core.GameState, Core.GameStartTime, plat::Millisecs()});
  if (g_inGame) g_inGame();
}

class TitleTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
    plat::SetVirtualResolution(1280, 960);
    Core.ScreenWidth = 800;
    Core.ScreenHeight = 600;
    InstallServices();
    Frame.FrameHooks.SaveSetup = nullptr;
    Core.Settings[slot::width] = 800;
    Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = 50000;
    Frame.LastFrameTime = plat::Millisecs();
    FillCredits();
    Config.MenuY = -300;
    Core.Difficulty = 1;
    g_games.clear();
    g_inGame = nullptr;
    Shell.TitleGame = FakeGame;
    ResetSfx();
  }
  void TearDown() override {
    Shell.TitleGame = nullptr;
    g_inGame = nullptr;
    ScratchTest::TearDown();
  }

  // Runs the title screen with `script` called on each title frame (1 = the first)
  // as it is presented; Escape is pressed on frame `escapeAt` (and the title must
  // end there). Returns the number of title frames run.
  int RunTitle(std::function<void(int frame)> script, int escapeAt) {
    int frame = 0;
    machine_->OnFrame([&](int) {
      ++frame;
      if (script) script(frame);
      if (frame == escapeAt) Keys().PressKey(plat::kKeyEscape);
    });
    machine_->SetFrameCap(machine_->FramesPresented() + escapeAt + 5);  // a title that misses Escape fails
    RunTitleScreen();
    machine_->OnFrame(nullptr);
    return frame;
  }

  plat::InputState& Keys() { return machine_->ScriptInput(); }
  // Mouse at virtual coordinates.
  void MouseAt(int x, int y) {
    Keys().mouseX = x * 800.0 / 1280;
    Keys().mouseY = y * 600.0 / 960;
  }
  void MouseOnPrompt() { MouseAt(640, 480); }

  static const DrawCall* FindText(const std::vector<DrawCall>& calls, const std::string& text) {
    auto it = std::find_if(calls.begin(), calls.end(),
                           [&](const DrawCall& c) { return c.kind == DrawCall::kText && c.text == text; });
    return it == calls.end() ? nullptr : &*it;
  }
};

TEST_F(TitleTest, AClickOnThePromptStartsAGameAndTheTitleSlidesInAgain) {
  std::filesystem::path jingle = std::filesystem::path(PUFFWICK_SOURCE_DIR) / "Files/Common/badgeget.wav";
  plat::Sound music = plat::LoadSound(jingle.string());
  if (std::filesystem::exists(jingle)) {
    ASSERT_NE(music, 0);
  }
  if (music != 0) Audio.ChannelTable[1] = plat::PlaySound(music);
  ASSERT_TRUE(music == 0 || plat::ChannelPlaying(Audio.ChannelTable[1]));
  const plat::Channel musicChannel = Audio.ChannelTable[1];

  machine_->SetRecording(true);
  std::vector<double> firstWordY;
  int clickedAt = 0;
  const int frames = RunTitle(
      [&](int frame) {
        if (const DrawCall* word = FindText(machine_->CurrentFrameCalls(), "Puffwick")) {
          firstWordY.push_back(word->y + word->height / 2);
        }
        if (frame == 33) {
          MouseOnPrompt();
          Keys().PressMouse(1);
          clickedAt = plat::Millisecs();
        }
        if (frame == 35) Keys().ReleaseMouse(1);
      },
      40);
  EXPECT_EQ(frames, 40);
  ASSERT_EQ(g_games.size(), 1u);
  EXPECT_EQ(g_games[0].gameState, kStatePlaying);
  EXPECT_EQ(g_games[0].startTime, g_games[0].now);
  EXPECT_GT(g_games[0].startTime, clickedAt);  // on the frame after the press was seen
  EXPECT_EQ(Core.GameState, kStateTitle);
  if (musicChannel != 0) {
    EXPECT_EQ(Audio.ChannelTable[1], 0);
    EXPECT_FALSE(plat::ChannelPlaying(musicChannel));
  }

  // The first word drops in from above over 32 frames, and again after the game.
  ASSERT_EQ(firstWordY.size(), 40u);
  EXPECT_DOUBLE_EQ(firstWordY[0], 480 - 200 - 775);
  EXPECT_DOUBLE_EQ(firstWordY[31], 280);
  EXPECT_DOUBLE_EQ(firstWordY[32], 280);
  // Pressed while frame 33 was shown: frame 34 sees the button down, frame 35 starts
  // the game and draws the words at their starting places.
  EXPECT_DOUBLE_EQ(firstWordY[33], 280);
  EXPECT_DOUBLE_EQ(firstWordY[34], 480 - 200 - 800);
  EXPECT_DOUBLE_EQ(firstWordY[35], 480 - 200 - 775);
}

// Presses let go before the next frame looked at them: a click still starts a
// game, and an Escape tap still ends the title (a title that misses it runs into
// the frame cap).
TEST_F(TitleTest, QuickTapsBetweenFramesAreActedOn) {
  RunTitle(
      [&](int frame) {
        if (frame == 33) {
          MouseOnPrompt();
          Keys().PressMouse(1);
          Keys().ReleaseMouse(1);
        }
      },
      40);
  EXPECT_EQ(g_games.size(), 1u);
  Keys().ReleaseKey(plat::kKeyEscape);

  int frames = 0;
  machine_->OnFrame([&](int) {
    if (++frames == 5) {
      Keys().PressKey(plat::kKeyEscape);
      Keys().ReleaseKey(plat::kKeyEscape);
    }
  });
  machine_->SetFrameCap(machine_->FramesPresented() + 10);
  EXPECT_NO_THROW(RunTitleScreen());
  EXPECT_EQ(frames, 5);
}

// A tap that arrives while a frame is being drawn (the window system delivers it
// whenever the program next looks) must reach the title's own check after the frame
// ends: nothing earlier in the frame may use it up.
TEST_F(TitleTest, AnEscapeTapSeenWhileAFrameIsDrawnEndsTheTitle) {
  static plat::InputState* keys;
  static int frames;
  keys = &Keys();
  frames = 0;
  Frame.FrameHooks.DrawPopups = [] {
    if (++frames == 5) {
      keys->PressKey(plat::kKeyEscape);
      keys->ReleaseKey(plat::kKeyEscape);
    }
  };
  machine_->SetFrameCap(machine_->FramesPresented() + 10);
  EXPECT_NO_THROW(RunTitleScreen());
  Frame.FrameHooks.DrawPopups = nullptr;
  EXPECT_EQ(frames, 5);
}

TEST_F(TitleTest, AHeldClickStartsOneGameOnly) {
  RunTitle(
      [&](int frame) {
        if (frame == 33) {
          MouseOnPrompt();
          Keys().PressMouse(1);  // held from here on, through the game and back
        }
        if (frame == 80) Keys().ReleaseMouse(1);
        if (frame == 82) Keys().PressMouse(1);
      },
      120);
  EXPECT_EQ(g_games.size(), 2u);
}

TEST_F(TitleTest, NoStartWhileTheSettingsPanelIsOpenOrSliding) {
  const std::pair<int, size_t> cases[] = {{20, 0}, {-250, 0}, {-251, 1}, {-300, 1}};
  Frame.FrameHooks.DrawSettingsMenu = nullptr;  // the panel holds still where each case puts it
  for (const auto& [menuY, games] : cases) {
    g_games.clear();
    Config.MenuY = menuY;
    RunTitle(
        [&](int frame) {
          if (frame == 33) {
            MouseOnPrompt();
            Keys().PressMouse(1);
          }
        },
        40);
    EXPECT_EQ(g_games.size(), games) << menuY;
    Keys() = plat::InputState{};
  }
}

TEST_F(TitleTest, EscapeHeldFromAGameDoesNotQuit) {
  g_inGame = [this] { Keys().PressKey(plat::kKeyEscape); };  // Escape quits the game, still held
  int frames = 0;
  machine_->OnFrame([&](int) {
    ++frames;
    if (frames == 33) {
      MouseOnPrompt();
      Keys().PressMouse(1);
    }
    if (frames == 34) Keys().ReleaseMouse(1);
    if (frames == 60) Keys().ReleaseKey(plat::kKeyEscape);
    if (frames == 62) Keys().PressKey(plat::kKeyEscape);
  });
  machine_->SetFrameCap(machine_->FramesPresented() + 100);
  RunTitleScreen();
  EXPECT_EQ(g_games.size(), 1u);
  EXPECT_EQ(frames, 62);
}

TEST_F(TitleTest, UpAndDownStepTheDifficultyOnceAPressWithWrapping) {
  Core.KeyBindings[0] = plat::kKeyUp;     // player 1 up
  Core.KeyBindings[28] = plat::kKeyDown;  // player 2 down
  struct Case {
    int from;
    int key;
    int to;
  } cases[] = {
      {0, plat::kKeyUp, 2}, {2, plat::kKeyUp, 1}, {1, plat::kKeyDown, 2}, {2, plat::kKeyDown, 0},
  };
  for (const Case& c : cases) {
    Core.Difficulty = c.from;
    RunTitle(
        [&](int frame) {
          if (frame == 2) Keys().PressKey(c.key);  // held for ten frames
          if (frame == 12) Keys().ReleaseKey(c.key);
        },
        14);
    EXPECT_EQ(Core.Difficulty, c.to) << c.from << " " << c.key;
    EXPECT_TRUE(g_games.empty());
    Keys() = plat::InputState{};
  }
}

TEST_F(TitleTest, TheMouseChoosesADifficultyOnceSettled) {
  Core.Difficulty = 1;
  machine_->SetRecording(true);
  double easyAlpha = -1;
  RunTitle(
      [&](int frame) {
        if (frame == 34) {
          MouseAt(600, 700);  // on "Easy": 540..740 by 680..720
          Keys().PressMouse(1);
        }
        if (frame == 37) {
          Keys().ReleaseMouse(1);
          easyAlpha = FindText(machine_->CurrentFrameCalls(), "Easy")->alpha;
        }
      },
      38);
  EXPECT_EQ(Core.Difficulty, 0);
  EXPECT_DOUBLE_EQ(easyAlpha, 1.0);
  EXPECT_TRUE(g_games.empty());
}

TEST_F(TitleTest, SettledFrameLayout) {
  machine_->SetRecording(true);
  std::vector<DrawCall> settled;
  std::vector<int> hintYellow;
  RunTitle(
      [&](int frame) {
        const std::vector<DrawCall>& calls = machine_->CurrentFrameCalls();
        if (frame == 33) settled = calls;
        if (const DrawCall* hint = FindText(calls, "Hit [Tab] for settings")) {
          hintYellow.push_back(hint->b == 0 ? 1 : 0);
        }
      },
      60);
  // Every credit line, centred in the 416-wide panel, 20 pixels apart.
  ASSERT_GT(Core.CreditCount, 2);
  for (int n = 1; n < Core.CreditCount; ++n) {
    if (Core.CreditLines[n].empty()) continue;
    const DrawCall* line = FindText(settled, Core.CreditLines[n]);
    ASSERT_NE(line, nullptr) << n;
    EXPECT_NEAR(line->x + line->width / 2, 213, 1) << n;
    EXPECT_EQ(line->y, 84 + 20 * (n - 1)) << n;
  }
  EXPECT_EQ(FindText(settled, Core.CreditLines[1])->text, TestGameTable().credits[0]);
  auto panel = std::find_if(settled.begin(), settled.end(), [](const DrawCall& c) {
    return c.kind == DrawCall::kRect && c.x == 10 && c.y == 80;
  });
  ASSERT_NE(panel, settled.end());
  EXPECT_EQ(panel->width, 416);
  EXPECT_EQ(panel->height, 960 - 84);
  EXPECT_DOUBLE_EQ(panel->alpha, 0.6);

  const DrawCall* prompt = FindText(settled, "Click Here to Start");
  ASSERT_NE(prompt, nullptr);
  EXPECT_EQ(std::make_tuple(prompt->r, prompt->g, prompt->b), std::make_tuple(255, 150, 150));
  EXPECT_NEAR(prompt->y + prompt->height / 2, 480, 1);
  for (int k = 0; k < 3; ++k) {
    const DrawCall* choice = FindText(settled, std::vector<std::string>{"Easy", "Medium", "Hard"}[k]);
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->x, 540);
    EXPECT_EQ(choice->y, 680 + 50 * k);
    EXPECT_DOUBLE_EQ(choice->alpha, k == 1 ? 1.0 : 0.5);
  }
  const DrawCall* second = FindText(settled, "Loopery");
  ASSERT_NE(second, nullptr);
  EXPECT_NEAR(second->y + second->height / 2, 340, 1);

  // The hint blinks: yellow and white, 400 ms (about 24 frames) each.
  ASSERT_EQ(hintYellow.size(), 60u);
  const int yellowFrames = static_cast<int>(std::count(hintYellow.begin(), hintYellow.end(), 1));
  EXPECT_GT(yellowFrames, 20);
  EXPECT_LT(yellowFrames, 40);
}

// The credits panel slides in over 32 frames and settles at x 10: narrower and
// slower on screens 900 or more wide.
TEST_F(TitleTest, TheCreditsPanelSlidesInByTheScreenWidth) {
  const struct {
    int screenWidth, width, step;
  } cases[] = {{800, 416, 13}, {899, 416, 13}, {900, 320, 10}, {1600, 320, 10}};
  machine_->SetRecording(true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.screenWidth);
    Core.ScreenWidth = c.screenWidth;
    std::vector<double> xs;
    RunTitle(
        [&](int) {
          for (const DrawCall& d : machine_->CurrentFrameCalls()) {
            if (d.kind == DrawCall::kRect && d.y == 80 && d.height == 960 - 84) {
              EXPECT_EQ(d.width, c.width);
              xs.push_back(d.x);
            }
          }
        },
        40);
    Keys().ReleaseKey(plat::kKeyEscape);
    ASSERT_EQ(xs.size(), 40u);
    for (int f = 1; f <= 40; f++) EXPECT_EQ(xs[f - 1], 10 - (c.width - c.step * std::min(f, 32))) << "frame " << f;
  }
}

TEST_F(TitleTest, TheHintStaysWhiteAtOtherWidths) {
  Core.Settings[slot::width] = 1024;
  machine_->SetRecording(true);
  int yellow = 0;
  RunTitle(
      [&](int) {
        const DrawCall* hint = FindText(machine_->CurrentFrameCalls(), "Hit [Tab] for settings");
        if (hint && hint->b == 0) ++yellow;
      },
      60);
  EXPECT_EQ(yellow, 0);
}

}  // namespace
