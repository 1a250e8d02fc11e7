#include "shutdown_fixture.h"

namespace {

TEST_F(ShutdownTest, AltF4InAGameSavesEverythingBeforeTheFarewellScreen) {
  Core.GameState = kStatePlaying;
  Keys().PressKey(plat::kKeyLeftAlt);
  Keys().PressKey(plat::kKeyF4);
  EXPECT_EQ(UntilEnd([] { EndFrame(1); }), 0);
  ASSERT_GE(farewellShownAt_, 0) << "no farewell screen";
  EXPECT_TRUE(setupSaved_);
  // Nothing is written after the farewell shows.
  EXPECT_EQ(scoresSaved_, plat::FileType(At("Files/257/scores.dat")) == plat::kFileTypeFile);
  EXPECT_EQ(farewellShownAt_, endedAt_);  // Alt+F4 still held closes it at once
  EXPECT_TRUE(machine_->PointerVisible());
  EXPECT_FALSE(plat::DisplayIsOpen());
  std::vector<std::string> log = ReadLines("Files/Debug.txt");
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
            (std::vector<std::string>{"Closing Up", "", "Bye!", "", "Play again, soon!!"}));
  // The log is closed: nothing more reaches it.
  LogLine("after");
  EXPECT_EQ(ReadLines("Files/Debug.txt").back(), "Play again, soon!!");
}

TEST_F(ShutdownTest, WaitsForAKeyAClickOrACloseButNotF11OrF12Alone) {
  struct Case {
    const char* what;
    std::function<void(plat::InputState&)> close;
  } cases[] = {
      {"key", [](plat::InputState& in) { in.PressKey(plat::kKeyZ); }},
      {"left click", [](plat::InputState& in) { in.PressMouse(1); }},
      {"right click", [](plat::InputState& in) { in.PressMouse(2); }},
      {"close request", [](plat::InputState& in) { in.closeRequested = true; }},
      {"F11 with a key", [](plat::InputState& in) {
         in.PressKey(plat::kKeyF11);
         in.PressMouse(1);  // a click still counts
       }},
  };
  for (const Case& c : cases) {
    farewellShownAt_ = endedAt_ = -1;
    int64_t closeAt = 0;
    onFarewell_ = [&] {
      // F11 alone, then F12 alone, then the closing input.
      const int64_t t = machine_->Now();
      machine_->At(t + 50, [](plat::InputState& in) { in.PressKey(plat::kKeyF11); });
      machine_->At(t + 100, [](plat::InputState& in) {
        in.ReleaseKey(plat::kKeyF11);
        in.PressKey(plat::kKeyF12);
      });
      closeAt = t + 150;
      machine_->At(closeAt, [&c](plat::InputState& in) {
        in.ReleaseKey(plat::kKeyF12);
        c.close(in);
      });
    };
    EXPECT_EQ(UntilEnd([] { Shutdown(); }), 0) << c.what;
    EXPECT_GE(endedAt_, closeAt) << c.what;
    EXPECT_LT(endedAt_, closeAt + 20) << c.what;
    machine_->ScriptInput() = plat::InputState{};
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
  }
}

// Escape on the title leads here while it is still held: the farewell stays up
// until it is let go and something is pressed again.
TEST_F(ShutdownTest, TheEscapeThatLeftTheTitleDoesNotCloseTheFarewell) {
  Keys().PressKey(plat::kKeyEscape);
  int64_t pressAgainAt = 0;
  onFarewell_ = [&] {
    const int64_t t = machine_->Now();
    machine_->At(t + 80, [](plat::InputState& in) { in.ReleaseKey(plat::kKeyEscape); });
    pressAgainAt = t + 500;
    machine_->At(pressAgainAt, [](plat::InputState& in) { in.PressKey(plat::kKeySpace); });
  };
  EXPECT_EQ(UntilEnd([] { Shutdown(); }), 0);
  EXPECT_GE(endedAt_, pressAgainAt);
  EXPECT_LT(endedAt_, pressAgainAt + 20);
}

// Each input held from before the farewell blocks only itself: whatever is
// pressed after the screen appears closes it.
TEST_F(ShutdownTest, AnInputHeldFromBeforeBlocksNoOther) {
  struct Case {
    const char* what;
    std::function<void()> holdBefore;
    std::function<void(plat::InputState&)> pressAfter;
  } cases[] = {
      {"a key still held, then another key", [this] { Keys().PressKey(plat::kKeyZ); },
       [](plat::InputState& in) { in.PressKey(plat::kKeySpace); }},
      {"a key still held, then a click", [this] { Keys().PressKey(plat::kKeyEscape); },
       [](plat::InputState& in) { in.PressMouse(1); }},
      {"a stick resting off its start value, then a key",
       [this] {
         plat::JoystickState stick;
         stick.buttons.assign(4, false);
         machine_->PlugJoystick(stick);
         ReadJoysticks();  // rest values taken at 0
         machine_->JoystickAt(0).axes[plat::kAxisX] = 0.9;
       },
       [](plat::InputState& in) { in.PressKey(plat::kKeyZ); }},
  };
  for (const Case& c : cases) {
    c.holdBefore();
    int64_t pressAt = 0;
    onFarewell_ = [&] {
      pressAt = machine_->Now() + 100;
      machine_->At(pressAt, c.pressAfter);
      // A farewell that missed the press is closed later, so that the case fails.
      machine_->At(pressAt + 2000, [](plat::InputState& in) { in.closeRequested = true; });
    };
    EXPECT_EQ(UntilEnd([] { Shutdown(); }), 0) << c.what;
    EXPECT_EQ(endedAt_, pressAt) << c.what;
    machine_->ScriptInput() = plat::InputState{};
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
  }
}

// A termination signal saves and ends at once with status 0, with no farewell.
TEST_F(ShutdownTest, ALostDisplaySavesLogsAndEndsWithStatusOne) {
  GTEST_FLAG_SET(death_test_style, "fast");
  Core.GameState = kStatePlaying;
  WithScratchForChild([] { EXPECT_EXIT(plat::EndForLostDisplay(), ::testing::ExitedWithCode(1), ""); });
  const std::vector<std::string> setup = ReadLines("Files/Setup.ini");
  const std::vector<std::string> scores = ReadLines("Files/257/scores.dat");
  ASSERT_FALSE(setup.empty() || scores.empty()) << "Setup.ini or scores.dat was not written";
  EXPECT_EQ(setup.front(), "[Graphics]");
  EXPECT_EQ(scores.front().substr(0, 12), "1234|Tester|");
  EXPECT_EQ(LogTail(6), (std::vector<std::string>{"\tDisplay connection lost", "Closing Up", "", "Bye!", "",
                                                  "Play again, soon!!"}));
}

TEST_F(ShutdownTest, FarewellScreenLayout) {
  namespace fs = std::filesystem;
  const fs::path common = fs::path(PUFFWICK_SOURCE_DIR) / "Files" / "Common";
  const bool haveLogos = fs::exists(common / "logo.png") && fs::exists(common / "Pellium.png");
  if (haveLogos) {
    fs::copy_file(common / "logo.png", At("Files/Common/logo.png"));
    fs::copy_file(common / "Pellium.png", At("Files/Common/Pellium.png"));
  }
  onFarewell_ = [this] { machine_->At(machine_->Now() + 10, [](plat::InputState& in) { in.PressKey(32); }); };
  EXPECT_EQ(UntilEnd([] { Shutdown(); }), 0);
  ASSERT_FALSE(farewellCalls_.empty());

  const DrawCall& backdrop = farewellCalls_.front();
  EXPECT_EQ(backdrop.kind, DrawCall::kRect);
  EXPECT_EQ(std::make_tuple(backdrop.r, backdrop.g, backdrop.b), std::make_tuple(0, 0, 80));
  EXPECT_EQ(std::make_pair(backdrop.width, backdrop.height), std::make_pair(640.0, 480.0));

  std::vector<DrawCall> images;
  std::copy_if(farewellCalls_.begin(), farewellCalls_.end(), std::back_inserter(images),
               [](const DrawCall& c) { return c.kind == DrawCall::kImage; });
  if (haveLogos) {
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(std::make_pair(images[0].x, images[0].y), std::make_pair(0.0, 0.0));
    EXPECT_EQ(std::make_pair(images[1].x, images[1].y), std::make_pair(384.0, 332.0));
    EXPECT_DOUBLE_EQ(images[1].scaleX, 0.5);
  } else {
    EXPECT_TRUE(images.empty());
  }

  struct Text {
    std::string text;
    double x, y;
    int r, g, b;
    double alpha;
  };
  std::vector<Text> texts;
  for (const DrawCall& c : farewellCalls_) {
    if (c.kind == DrawCall::kText) texts.push_back({c.text, c.x, c.y, c.r, c.g, c.b, c.alpha});
  }
  ASSERT_EQ(texts.size(), 12u);
  auto same = [](const Text& a, const Text& b) {
    return a.text == b.text && a.x == b.x && a.y == b.y && a.r == b.r && a.g == b.g && a.b == b.b &&
           std::abs(a.alpha - b.alpha) < 1e-6;
  };
  const Text expected[] = {
      {"Thanks for Playing", 2, 222, 0, 0, 0, 0.8},
      {"Send Feedback!", 52, 298, 0, 0, 0, 0.8},
      {"Thanks for Playing", 0, 220, 255, 255, 255, 1},
      {"Send Feedback!", 50, 296, 255, 255, 255, 1},
      {"This Game is Free", 320, 4, 180, 255, 255, 1},
      {"I do not ask for money.", 270, 44, 180, 255, 255, 1},
      {"I create these games for fun.", 270, 64, 180, 255, 255, 1},
      {"All I ask is that players send some feedback.", 270, 84, 180, 255, 255, 1},
      {"A comment, an email, a vote.", 270, 104, 180, 255, 255, 1},
      {"Do the right thing.", 270, 134, 180, 255, 255, 1},
      {"Support Homebrew games by", 270, 164, 180, 255, 255, 1},
      {"saying thanks to their developers.", 270, 184, 180, 255, 255, 1},
  };
  // Every text, in the order drawn: shadows first, then the thanks, then the appeal downwards.
  for (size_t i = 0; i < std::size(expected); i++) {
    EXPECT_TRUE(same(texts[i], expected[i])) << "text " << i << ": " << texts[i].text << " at " << texts[i].x
                                             << "," << texts[i].y << ", wanted " << expected[i].text << " at "
                                             << expected[i].x << "," << expected[i].y;
  }
}

TEST_F(ShutdownTest, ScoresGoToTheGameFolderFromAnyFolder) {
  ASSERT_TRUE(plat::ChangeDir(At("Files/Common")));
  onFarewell_ = [this] {
    machine_->At(machine_->Now() + 20, [](plat::InputState& in) { in.PressKey(plat::kKeySpace); });
  };
  EXPECT_EQ(UntilEnd([] { Shutdown(); }), 0);
  EXPECT_EQ(plat::FileType(At("Files/Common/scores.dat")), plat::kFileTypeNone);
}

}  // namespace
