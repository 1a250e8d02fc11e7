#include "pause_fixture.h"

namespace {

TEST_F(PauseTest, EscapeTakesTheSelectedItem) {
  struct Case {
    std::vector<int> moves;
    int result;
  } cases[] = {
      {{}, kPauseContinue},
      {{plat::kKeyDown}, kPauseQuit},
      {{plat::kKeyUp}, kPauseQuit},  // up from "Continue" wraps to "Quit"
      {{plat::kKeyDown, plat::kKeyDown}, kPauseContinue},
  };
  for (const Case& c : cases) {
    std::vector<Step> steps;
    int frame = 2;
    for (int key : c.moves) {
      steps.push_back({frame++, key, true});
      steps.push_back({frame++, key, false});
    }
    steps.push_back({frame + 1, plat::kKeyEscape, true});
    EXPECT_EQ(PauseWith(steps), c.result) << c.moves.size();
    EXPECT_EQ(Core.GameState, kStatePlaying);
    EXPECT_FALSE(plat::KeyDown(plat::kKeyEscape));  // the game does not pause again at once
  }
}

// The cursor wraps both ways, and fire takes the item shown highlighted.
TEST_F(PauseTest, FireTakesTheHighlightedItemAfterTheCursorWraps) {
  machine_->SetRecording(true);
  const int down = plat::kKeyDown, up = plat::kKeyUp;
  const struct {
    std::vector<int> moves;
    int result;
  } cases[] = {
      {{}, kPauseContinue}, {{down}, kPauseQuit}, {{down, down}, kPauseContinue},
      {{down, down, down}, kPauseQuit}, {{up}, kPauseQuit}, {{up, up}, kPauseContinue},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.moves.size());
    std::vector<Step> steps;
    int frame = 2;
    for (int key : c.moves) {
      steps.push_back({frame++, key, true});
      steps.push_back({frame++, key, false});
    }
    const int fire = frame + 1;
    steps.push_back({fire, plat::kKeySpace, true});
    EXPECT_EQ(PauseWith(steps), c.result);
    machine_->ScriptInput().ReleaseKey(plat::kKeySpace);
    EXPECT_EQ(litSeen_[1], 0) << "Continue is lit when the menu opens";
    EXPECT_EQ(litSeen_[fire], c.result == kPauseQuit ? 1 : 0);
  }
}

TEST_F(PauseTest, LeavingReseedsTheRandomGeneratorFromTheClock) {
  const int64_t before = machine_->Now();
  EXPECT_EQ(PauseWith({{3, plat::kKeyEscape, true}}), kPauseContinue);
  const int64_t after = machine_->Now();
  int drawn[4];
  for (int& d : drawn) d = plat::Rand(1, 1000000);
  bool fromClock = false;
  for (int64_t t = before; t <= after && !fromClock; t++) {
    plat::SeedRnd(static_cast<int>(t));
    fromClock = true;
    for (int d : drawn) fromClock = fromClock && plat::Rand(1, 1000000) == d;
  }
  EXPECT_TRUE(fromClock) << "the scatter's fixed seed must not carry on into the game";
}

TEST_F(PauseTest, HeldInputsMoveOrChooseOnlyOnce) {
  const int result = PauseWith({
      {0, plat::kKeySpace, true},  // held from the game: not a choice
      {4, plat::kKeySpace, false},
      {5, plat::kKeyUp, true},  // held for ten frames: one step
      {15, plat::kKeyUp, false},
      {17, plat::kKeySpace, true},
  });
  EXPECT_EQ(result, kPauseQuit);  // the Space held from the game chose nothing
  EXPECT_EQ(cursorSeen_[6], 1);
  EXPECT_EQ(cursorSeen_[15], 1);
}

TEST_F(PauseTest, JoystickActionsOfAnyPlayerDriveTheMenu) {
  plat::JoystickState pad;
  pad.buttons.assign(4, false);
  machine_->PlugJoystick(pad);
  ReadJoysticks();
  Core.KeyBindings[2 * 20 + kActionDown] = 330;   // player 3 down: button 0
  Core.KeyBindings[3 * 20 + kActionFire2] = 331;  // player 4 second fire button: button 1
  auto button = [this](int b, bool down) {
    return [this, b, down](plat::InputState&) { machine_->JoystickAt(0).buttons[b] = down; };
  };
  const int64_t t = machine_->Now();
  machine_->At(t + 100, button(0, true));
  machine_->At(t + 200, button(0, false));
  machine_->At(t + 300, button(1, true));
  EXPECT_EQ(PauseWith({}), kPauseQuit);
}

TEST_F(PauseTest, DrawsTheFrozenGameUnderATurningScatter) {
  // The game's frame: a red square in the top-left corner of the real screen.
  BeginFrameDrawing(1);
  SetColorAlpha(255, 0, 0);
  plat::DrawRect(0, 0, 160, 160);
  machine_->SetRecording(true);
  std::vector<std::vector<DrawCall>> frames;
  machine_->OnFrame([&](int) { frames.push_back(machine_->CurrentFrameCalls()); });
  machine_->At(machine_->Now() + 200, [](plat::InputState& in) { in.PressKey(plat::kKeySpace); });
  EXPECT_EQ(PauseMenu(), kPauseContinue);
  ASSERT_GE(frames.size(), 3u);

  auto texts = [](const std::vector<DrawCall>& calls, const std::string& text) {
    std::vector<DrawCall> out;
    for (const DrawCall& c : calls) {
      if (c.kind == DrawCall::kText && c.text == text) out.push_back(c);
    }
    return out;
  };
  const std::vector<DrawCall>& one = frames[1];
  const std::vector<DrawCall>& two = frames[2];
  // Skip the clear; the backdrop comes first, centred, with the grabbed screen size.
  auto backdrop = std::find_if(one.begin(), one.end(), [](const DrawCall& c) { return c.kind == DrawCall::kImage; });
  ASSERT_NE(backdrop, one.end());
  EXPECT_EQ(backdrop->x, 640);
  EXPECT_EQ(backdrop->y, 480);
  EXPECT_EQ(backdrop->width, 800);
  EXPECT_EQ(backdrop->height, 600);
  EXPECT_NE(backdrop->scaleX, backdrop->scaleY);  // the wobble

  std::vector<DrawCall> s1 = texts(one, Core.AppTitle), s2 = texts(two, Core.AppTitle);
  ASSERT_EQ(s1.size(), 180u);
  ASSERT_EQ(s2.size(), 180u);
  for (size_t i = 0; i < s1.size(); ++i) {
    EXPECT_EQ(s1[i].x, s2[i].x);  // the same scatter every frame...
    EXPECT_EQ(s1[i].y, s2[i].y);
    EXPECT_DOUBLE_EQ(s1[i].alpha, 0.4);
  }
  EXPECT_NEAR(s2[0].rotation - s1[0].rotation, 0.1, 1e-9);  // ...turned a little further
  EXPECT_NEAR(s1[1].rotation - s1[0].rotation, 2, 1e-9);

  std::vector<DrawCall> cont = texts(one, "Continue"), quit = texts(one, "Quit");
  ASSERT_EQ(cont.size(), 1u);
  ASSERT_EQ(quit.size(), 1u);
  EXPECT_EQ(cont[0].x, 158);  // selected: indented and yellow
  EXPECT_EQ(cont[0].y, 420);
  EXPECT_EQ(cont[0].b, 0);
  EXPECT_EQ(quit[0].x, 138);
  EXPECT_EQ(quit[0].y, 480);
  EXPECT_EQ(quit[0].b, 255);
  // The box sits between the two scatters.
  auto box = std::find_if(one.begin(), one.end(), [](const DrawCall& c) {
    return c.kind == DrawCall::kRect && c.x == 128 && c.y == 360;
  });
  ASSERT_NE(box, one.end());
  EXPECT_EQ(box->width, 1280 / 6);
  EXPECT_EQ(box->height, 240);
  EXPECT_EQ(std::count_if(one.begin(), box, [](const DrawCall& c) { return c.text == Core.AppTitle; }), 140);
}

int g_pausesOpened = 0;

// An Apply during a game reruns the engine test; Escape held then must not pause.
TEST_F(PauseTest, TheEngineTestNeverOpensThePause) {
  Frame.FrameHooks.PauseMenu = [] {
    ++g_pausesOpened;
    return 1;
  };
  Core.GameState = kStatePlaying;
  machine_->ScriptInput().PressKey(plat::kKeyEscape);
  const int before = machine_->FramesPresented();
  EngineTest(60, 1);
  EXPECT_GT(machine_->FramesPresented() - before, kEngineTestFramesPerStep);
  EXPECT_EQ(g_pausesOpened, 0);
  EXPECT_EQ(Frame.PauseSuspended, 0);
  EXPECT_EQ(Core.GameState, kStatePlaying);
  EndFrame(1);  // the game's own frames pause again
  EXPECT_EQ(g_pausesOpened, 1);
}

TEST_F(ScreenshotTest, SavesTheFrameAsPngInFiles) {
  ShootFrame(0, 0, 200);
  EXPECT_EQ(plat::CurrentDir(), At("Files/257"));
  EXPECT_EQ(FilesIn("Files"), (std::vector<std::string>{"Debug.txt", kName}));
  EXPECT_TRUE(FilesIn("Files/257").empty());

  plat::Pixmap shot = plat::LoadPixmap(At("Files/" + kName));
  ASSERT_NE(shot, 0);
  EXPECT_EQ(plat::PixmapWidth(shot), 800);
  EXPECT_EQ(plat::PixmapHeight(shot), 600);
  EXPECT_EQ(plat::PixmapPixel(shot, 10, 10), 0xFFFFFFFFu);
  EXPECT_EQ(plat::PixmapPixel(shot, 99, 99), 0xFFFFFFFFu);
  EXPECT_EQ(plat::PixmapPixel(shot, 101, 10), 0x0000C8FFu);
  EXPECT_EQ(plat::PixmapPixel(shot, 400, 300), 0x0000C8FFu);  // not the notice drawn after the grab
  EXPECT_EQ(plat::PixmapPixel(shot, 799, 599), 0x0000C8FFu);

  CloseLog();
  std::vector<std::string> log = ReadLines("Files/Debug.txt");
  EXPECT_EQ(log, (std::vector<std::string>{"", "\tScreenshot", "\tGrabbing Screenshot",
                                           "\tSaving Screenshot : " + kName, "\tSaved Screenshot 1", ""}));
  ASSERT_EQ(Core.MessageList.size(), 1u);
  EXPECT_EQ(Core.MessageList.front().txt, "Saved Screenshot");
  EXPECT_EQ(Core.MessageList.front().c, 1);
}

TEST_F(ScreenshotTest, ShowsTheNoticeWhileSaving) {
  machine_->SetRecording(true);
  std::vector<std::string> shown;
  machine_->OnFrame([&](int) {
    for (const DrawCall& c : machine_->CurrentFrameCalls()) {
      if (c.kind == DrawCall::kText) shown.push_back(c.text);
    }
  });
  ShootFrame(0, 0, 0);
  EXPECT_NE(std::find(shown.begin(), shown.end(), "Saving Screenshot"), shown.end());
  EXPECT_NE(std::find(shown.begin(), shown.end(), "Sometimes, this takes a while!"), shown.end());
}

TEST_F(ScreenshotTest, TwoInOneSecondShareANameAndTheSecondWins) {
  ShootFrame(200, 0, 0);
  ShootFrame(0, 200, 0);
  EXPECT_EQ(FilesIn("Files"), (std::vector<std::string>{"Debug.txt", kName}));
  plat::Pixmap shot = plat::LoadPixmap(At("Files/" + kName));
  ASSERT_NE(shot, 0);
  EXPECT_EQ(plat::PixmapPixel(shot, 400, 300), 0x00C800FFu);
  EXPECT_EQ(Core.MessageList.size(), 2u);
}

// A link planted at the picture's name is replaced, never written through.
TEST_F(ScreenshotTest, AFailedSaveSaysSoWithItsReason) {
  const struct {
    const char* what;
    std::function<void()> prepare;
    const char* reason;
  } cases[] = {
      {"a folder in the way", [&] { MakeDir("Files/" + kName); }, "Is a directory"},
      {"a full disk", [] { plat::FailFileWritesAfter(0); }, "No space left on device"},
      {"saving off", [&] { plat::MountFileRoots(root_, root_, false); }, "saving is off"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Core.MessageList.clear();
    CloseLog();
    ASSERT_TRUE(OpenLog(At("Files/Debug.txt")));
    c.prepare();
    ShootFrame(0, 0, 0);
    plat::FailFileWritesAfter(-1);
    plat::UnmountFileRoots();
    CloseLog();
    std::vector<std::string> log = ReadLines("Files/Debug.txt");
    EXPECT_EQ(log, (std::vector<std::string>{"", "\tScreenshot", "\tGrabbing Screenshot",
                                             "\tSaving Screenshot : " + kName, "\tSaved Screenshot 0",
                                             std::string("\tScreenshot not saved: ") + c.reason, ""}));
    ASSERT_EQ(Core.MessageList.size(), 1u);
    EXPECT_EQ(Core.MessageList.front().txt, "Screenshot not saved");
    EXPECT_EQ(plat::CurrentDir(), At("Files/257"));
    std::error_code gone;
    EXPECT_FALSE(std::filesystem::is_regular_file(At("Files/" + kName), gone)) << "no picture left behind";
    std::filesystem::remove_all(At("Files/" + kName), gone);
  }
}

TEST(CleanFileName, RemovesExactlyTheTwelveCharacters) {
  EXPECT_EQ(CleanFileName("a#b'c,d`e.f\\g/h:i|j*k?l\"m"), "abcdefghijklm");
  EXPECT_EQ(CleanFileName("Puffwick Loopery (Screenshot_07 Dec 2010_15:30:12)"),
            "Puffwick Loopery (Screenshot_07 Dec 2010_153012)");
  EXPECT_EQ(CleanFileName(" []_-+!~"), " []_-+!~");
}

}  // namespace
