#include "display_setup_fixture.h"

namespace {

TEST_F(DisplaySetupTest, ModeListKeepsOneEntryPerSizeOfAnAcceptedShape) {
  SetupDisplay();
  std::vector<std::pair<int, int>> listed;
  for (int i = 1; i <= Config.ModeCount; ++i) listed.emplace_back(Config.ModeList.width[i], Config.ModeList.height[i]);
  const std::vector<std::pair<int, int>> expected = {{640, 480},  {800, 600},   {1024, 768}, {1280, 800},
                                                     {1366, 768}, {1680, 1050}, {1920, 1080}};
  EXPECT_EQ(listed, expected);  // 1024x600 and 1280x1024 have no accepted shape
  EXPECT_EQ(Core.Settings[slot::resolutionIndex], 2);
}

TEST_F(DisplaySetupTest, RequestedSizeChoosesTheVirtualSurface) {
  struct Case {
    int w, h;
    int screenW, screenH, virtualW, virtualH, wide;
  } cases[] = {
      {1920, 1080, 1920, 1080, 1600, 900, 1},
      {1680, 1050, 1680, 1050, 1440, 900, 1},
      {1024, 768, 1024, 768, 1280, 960, 0},
      {1280, 1024, 800, 600, 1280, 960, 0},  // not offered: the previous size stays
      {0, 0, 800, 600, 1280, 960, 0},
      {-5, 100000, 800, 600, 1280, 960, 0},
  };
  for (const Case& c : cases) {
    Core.ScreenWidth = 800;
    Core.ScreenHeight = 600;
    Config.GraphicsStarted = 0;
    Core.Settings[slot::width] = c.w;
    Core.Settings[slot::height] = c.h;
    SetupDisplay();
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    EXPECT_EQ(plat::GraphicsWidth(), c.screenW);
    EXPECT_EQ(plat::GraphicsHeight(), c.screenH);
    EXPECT_EQ(Core.Settings[slot::width], c.screenW);
    EXPECT_EQ(Core.Settings[slot::height], c.screenH);
    EXPECT_EQ(Core.VirtualWidth, c.virtualW);
    EXPECT_EQ(Core.VirtualHeight, c.virtualH);
    EXPECT_EQ(Core.Settings[slot::widescreen], c.wide);
    EXPECT_EQ(plat::VirtualResolutionWidth(), c.virtualW);
  }
}

TEST_F(DisplaySetupTest, FullScreenTakesTheDeepestDepthOrFallsBackToAWindow) {
  Core.Settings[slot::fullscreen] = 1;
  SetupDisplay();
  EXPECT_TRUE(Logged("\tResolution : 800x600,32"));
  EXPECT_TRUE(machine_->DisplayOpenedFullScreen());
  EXPECT_TRUE(Core.MessageList.empty());

  modes_ = {{1024, 768, 32, 60}};
  machine_ = &plat::UseHeadless(Options());
  Config.GraphicsStarted = 0;
  Core.Settings[slot::width] = 640;
  Core.Settings[slot::height] = 480;
  Core.ScreenWidth = 640;
  Core.ScreenHeight = 480;
  // The notice shows on the loading frames that follow.
  bool shown = false;
  machine_->SetRecording(true);
  machine_->OnFrame([&](int) {
    for (const plat::DrawCall& call : machine_->CurrentFrameCalls()) {
      shown = shown || call.text == "Can't set to fullscreen in this resolution.";
    }
  });
  SetupDisplay();
  EXPECT_TRUE(Logged("\tResolution : 640x480,0"));
  EXPECT_FALSE(machine_->DisplayOpenedFullScreen());
  EXPECT_TRUE(shown);
  EXPECT_EQ(Core.Settings[slot::fullscreen], 1);
}

TEST_F(DisplaySetupTest, LeftOverCrashMarkerSwitchesOpenGLToTheAlternativeRenderer) {
  WriteBytes("Files/257/crash.dat", "");
  SetupDisplay();
  EXPECT_TRUE(Logged("\tUsing DirectX 9 Driver"));
  EXPECT_FALSE(Logged("\tUsing OpenGL Driver"));
  EXPECT_EQ(plat::GetGraphicsDriver(), 1);
  EXPECT_EQ(plat::FileType("crash.dat"), plat::kFileTypeNone);  // removed once loading finished
  SaveSetup();
  std::vector<std::string> setup = ReadLines("Files/Setup.ini");
  EXPECT_NE(std::find(setup.begin(), setup.end(), "GFX Engine = DX9"), setup.end());
}

TEST_F(DisplaySetupTest, CleanStartKeepsOpenGLAndLogsTheSequence) {
  SetupDisplay();
  std::vector<std::string> log = Log();
  const std::vector<std::string> head = {"",          "-=-=-=-=-=-=-=-=-=-=-=-=-=-", "Applying Graphical Settings",
                                         "\tUsing OpenGL Driver", "\tResolution : 800x600,0", "",
                                         "Loading : Common Objects"};
  ASSERT_GE(log.size(), head.size());
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + head.size()), head);
  EXPECT_EQ(log.back(), "-=-=-=-=-=-=-=-=-=-=-=-=-=-");
  EXPECT_EQ(Config.GraphicsStarted, 1);
}

TEST(SharedFonts, SmallDisplaysGetLargerType) {
  FontSizes wide = SharedFontSizes(1024), medium = SharedFontSizes(800), small = SharedFontSizes(512);
  EXPECT_EQ(wide.ui[font::kLabel], 24);
  EXPECT_EQ(medium.ui[font::kLabel], 28);         // 24 x 1.2
  EXPECT_EQ(medium.ui[font::kPanel], 22);         // 16 x 1.4, truncated
  EXPECT_EQ(small.ui[font::kLabel], 36);          // 24 x 1.5
  EXPECT_EQ(small.ui[font::kText], 32);           // 16 x 2.0
  EXPECT_EQ(small.ui[font::kDisplayHuge], 112);   // the display face is never scaled
  EXPECT_EQ(medium.sized[0], 9);
  EXPECT_EQ(medium.sized[28], 115);
  EXPECT_STREQ(kUiFontFiles[5], "Blue Highway.ttf");
  EXPECT_STREQ(kUiFontFiles[13], "Acknowledge TT QVL.ttf");
}

TEST_F(DisplaySetupTest, LoadsEverySharedAssetAndReloadsOnApply) {
  if (!CopyMedia()) GTEST_SKIP() << "game media not generated";
  SetupDisplay();
  EXPECT_NE(Core.UiFonts[font::kLabel], 0);
  EXPECT_NE(Core.SizedFonts[28], 0);
  EXPECT_EQ(plat::ImageFrames(Core.IconsCrisp), 64);
  EXPECT_EQ(plat::ImageFrames(Core.BadgesImage), 16);
  EXPECT_NE(Core.LogoImage, 0);
  EXPECT_NE(Audio.SoundEffects[2], 0);
  EXPECT_EQ(Audio.SoundEffects[1], 0);
  EXPECT_TRUE(Logged("\tSFX(10)"));
  EXPECT_FALSE(Logged("\tSFX(1)"));
  // The game's own media come last, from its folder.
  EXPECT_EQ(g_mediaLoads, 1);
  EXPECT_EQ(std::filesystem::path(g_mediaFolder).filename(), "257");
  // The splash's jingle plays once, in its own slot.
  ASSERT_NE(Audio.ChannelTable[kBadgeJingleSlot], 0);
  EXPECT_DOUBLE_EQ(machine_->ChannelInfo(Audio.ChannelTable[kBadgeJingleSlot]).volume, 0.25);

  const int framesBefore = machine_->FramesPresented();
  SetupDisplay();
  EXPECT_TRUE(Logged("\tChanged Graphics Mode ingame."));
  EXPECT_EQ(g_mediaLoads, 2);
  EXPECT_EQ(plat::ImageFrames(Core.IconsCrisp), 64);
  EXPECT_NE(Core.UiFonts[font::kLabel], 0);
  EXPECT_GT(plat::TextWidth("Apply"), 0);
  EXPECT_GT(machine_->FramesPresented(), framesBefore);  // the engine test ran again
}

// The engine test on a machine whose frames cost `cost(n)` extra milliseconds at
// sprite count n.
class EngineTestTest : public DisplaySetupTest {
 protected:
  void Run(std::function<int(int)> cost, int target = 60) {
    plat::OpenDisplay(800, 600, 0, 60, 0);
    plat::SetVirtualResolution(1280, 960);
    const int base = machine_->FramesPresented();
    const bool slow = Core.Settings[slot::slowSystem] == 1;
    machine_->OnFrame([=, this](int frame) {
      // Slow-system mode presents every other frame.
      const int drawn = (frame - base) * (slow ? 2 : 1);
      const int n = kEngineTestFirstStep * (drawn / kEngineTestFramesPerStep + 1);
      machine_->AdvanceTime(cost(n));
    });
    EngineTest(target, 2);
  }
};

TEST_F(EngineTestTest, AFastMachineIsCappedAt20000Sprites) {
  Run([](int) { return 0; });
  EXPECT_EQ(Draw.DrawLimit[kBudgetMain], 8000);
  EXPECT_EQ(Draw.DrawLimit[kBudgetGlow], 8000);
  EXPECT_EQ(Draw.DrawLimit[kBudgetParticles], 4000);
  EXPECT_EQ(Config.TargetFps, 60);
  EXPECT_EQ(Core.Settings[slot::slowSystem], 0);
  EXPECT_TRUE(Logged("Aiming for 60,2"));
  EXPECT_TRUE(Logged("\tMain sprites : 8000"));
  EXPECT_FALSE(Logged("Settings Overwritten, Set to Default Lower Limits at 30fps."));
  EXPECT_EQ(Frame.OverlayOn, 0);
}

TEST_F(EngineTestTest, TheStepThatDropsToTheThresholdIsTheLastOneKept) {
  Run([](int n) { return n >= 3000 ? 2 : 0; });  // 17 ms frames: 58 frames a second
  EXPECT_EQ(Draw.DrawLimit[kBudgetMain], 1200);
  EXPECT_EQ(Draw.DrawLimit[kBudgetGlow], 1200);
  EXPECT_EQ(Draw.DrawLimit[kBudgetParticles], 600);
  EXPECT_EQ(Core.Settings[slot::slowSystem], 0);
}

TEST_F(EngineTestTest, ASlowMachineGetsTheLowerLimitsAndSlowSystemMode) {
  Run([](int) { return 5; });  // 20 ms frames from the start
  EXPECT_EQ(Draw.DrawLimit[kBudgetMain], 1000);
  EXPECT_EQ(Draw.DrawLimit[kBudgetGlow], 500);
  EXPECT_EQ(Draw.DrawLimit[kBudgetParticles], 250);
  EXPECT_EQ(Core.Settings[slot::slowSystem], 1);
  EXPECT_EQ(Config.TargetFps, 30);
  EXPECT_TRUE(Logged("\tMain sprites : 0"));  // logged before the lower limits apply
  EXPECT_TRUE(Logged("Settings Overwritten, Set to Default Lower Limits at 30fps."));
}

TEST_F(EngineTestTest, ASlowSystemStartAimsFor30) {
  Core.Settings[slot::slowSystem] = 1;
  Run([](int) { return 0; });
  EXPECT_TRUE(Logged("Aiming for 30,2"));
  EXPECT_EQ(Config.TargetFps, 30);
  EXPECT_EQ(Draw.DrawLimit[kBudgetMain], 8000);
  EXPECT_TRUE(Logged("Settings Overwritten, Set to Default Lower Limits at 30fps."));
}

TEST_F(EngineTestTest, TheFirstStepOnlyWarmsUp) {
  Run([](int n) { return n >= 1000 ? 5 : 0; });  // 500 sprites hold 60, 1000 do not
  EXPECT_TRUE(Logged("\tMain sprites : 0"));     // 500 is never recorded
  EXPECT_EQ(Core.Settings[slot::slowSystem], 1);
}

TEST_F(EngineTestTest, DrawsTheBackdropLogosAndInvisibleTestSprites) {
  if (!CopyMedia()) GTEST_SKIP() << "game media not generated";
  SetupDisplay();  // loads the icons and logos
  machine_->SetRecording(true);
  std::vector<plat::DrawCall> first;
  machine_->OnFrame([&](int) {
    if (first.empty()) first = machine_->CurrentFrameCalls();
  });
  EngineTest(60, 2);
  const auto count = [&](auto pred) { return std::count_if(first.begin(), first.end(), pred); };
  EXPECT_EQ(count([](const plat::DrawCall& c) { return c.kind == plat::DrawCall::kRect && c.rotation == -45; }),
            Core.VirtualHeight / 10 + 1);
  EXPECT_EQ(count([](const plat::DrawCall& c) {
              return c.image == Core.IconsCrisp && c.alpha == 0 && c.scaleX == 2 && c.scaleY == 2 && c.r == 0;
            }),
            kEngineTestFirstStep + 1);
  EXPECT_EQ(count([](const plat::DrawCall& c) {
              return c.image == Core.LogoImage && c.x == 0.3 * Core.VirtualWidth && c.y == 0.3 * Core.VirtualHeight &&
                     c.scaleX == 1.5;
            }),
            1);
  EXPECT_EQ(count([](const plat::DrawCall& c) {
              return c.image == Core.CommunityLogoImage && c.x == 0.7 * Core.VirtualWidth && c.y == 0.7 * Core.VirtualHeight;
            }),
            1);
}

TEST_F(DisplaySetupTest, TheSplashShowsStripesAndBothLogos) {
  if (!CopyMedia()) GTEST_SKIP() << "game media not generated";
  machine_->SetRecording(true);
  std::vector<plat::DrawCall> splash;
  machine_->OnFrame([&](int frame) {
    if (frame == 0) splash = machine_->CurrentFrameCalls();
  });
  SetupDisplay();
  ASSERT_FALSE(splash.empty());
  int stripes = 0, logos = 0;
  double blue = 50;
  for (const plat::DrawCall& c : splash) {
    if (c.kind == plat::DrawCall::kRect) {
      blue += 0.5;
      EXPECT_EQ(c.b, static_cast<int>(blue));
      EXPECT_DOUBLE_EQ(c.rotation, -45);
      EXPECT_DOUBLE_EQ(c.y, 3 * 10 * stripes);
      stripes++;
    }
    if (c.image == Core.LogoImage) {
      logos++;
      EXPECT_DOUBLE_EQ(c.x, 0.4 * Core.VirtualHeight);
      EXPECT_DOUBLE_EQ(c.y, 0.3 * Core.VirtualHeight);
      EXPECT_DOUBLE_EQ(c.scaleX, 1.5);
    }
    if (c.image == Core.CommunityLogoImage) {
      logos++;
      EXPECT_DOUBLE_EQ(c.x, Core.VirtualWidth - 0.4 * Core.VirtualHeight);
      EXPECT_DOUBLE_EQ(c.y, 0.7 * Core.VirtualHeight);
    }
  }
  EXPECT_EQ(stripes, Core.VirtualHeight / 10 + 1);
  EXPECT_EQ(logos, 2);
}

// The icon strip is loaded twice: smooth for glows and the pointer, nearest-pixel
// for crisp icons. Scaled up, only the smooth copy blends neighbouring pixels.
TEST_F(DisplaySetupTest, IconStripsAreCrispAndFiltered) {
  if (!CopyMedia()) GTEST_SKIP() << "game media not generated";
  SetupDisplay();
  plat::SetVirtualResolution(800, 600);
  auto distinctColours = [&](plat::Image icons) {
    BeginFrameDrawing(1);
    ResetDrawState();
    SetScaleXY(16);
    plat::DrawImage(icons, 400, 300, 63);
    plat::Flip(0);
    std::vector<uint8_t> px = machine_->FrontBufferPixels();
    std::set<uint32_t> colours;
    for (size_t i = 0; i + 3 < px.size(); i += 4) colours.insert(px[i] << 16 | px[i + 1] << 8 | px[i + 2]);
    return colours.size();
  };
  const size_t crisp = distinctColours(Core.IconsCrisp), smooth = distinctColours(Core.IconsFiltered);
  EXPECT_GT(smooth, 2 * crisp) << "crisp " << crisp << ", filtered " << smooth;
}

// A backend whose display refuses some opens, to test the fall-backs.
class FussyHeadless : public plat::HeadlessBackend {
 public:
  FussyHeadless(plat::HeadlessOptions o, std::function<bool(int depth, int driver)> refuse)
      : plat::HeadlessBackend(std::move(o)), refuse_(std::move(refuse)) {}
  bool Open(int width, int height, int depth, int hz, int flags, int driver) override {
    if (refuse_(depth, driver)) return false;
    return plat::HeadlessBackend::Open(width, height, depth, hz, flags, driver);
  }

 private:
  std::function<bool(int, int)> refuse_;
};

class DisplayFallbackTest : public DisplaySetupTest {
 protected:
  void UseFussy(std::function<bool(int, int)> refuse) {
    auto backend = std::make_unique<FussyHeadless>(Options(), std::move(refuse));
    machine_ = backend.get();
    plat::UseBackend(std::move(backend));
    plat::StartServices();
  }
};

TEST_F(DisplayFallbackTest, ARefusedFullScreenOpensAWindowWithTheChosenRenderer) {
  UseFussy([](int depth, int) { return depth != 0; });
  Config.DisplayHooks.LoadGameMedia = nullptr;  // no engine-test frames to age the notice away
  Core.Settings[slot::fullscreen] = 1;
  SetupDisplay();
  EXPECT_TRUE(plat::DisplayIsOpen());
  EXPECT_FALSE(machine_->DisplayOpenedFullScreen());
  EXPECT_EQ(plat::GetGraphicsDriver(), 0);
  EXPECT_EQ(Core.Settings[slot::gfxEngine], 0);
  EXPECT_FALSE(Logged("\tRenderer failed to start, trying the next one"));
  EXPECT_TRUE(Logged("\tFullscreen refused; using a window"));
  EXPECT_TRUE(Logged("\tResolution : 800x600,0"));
  ASSERT_FALSE(Core.MessageList.empty());
  EXPECT_EQ(Core.MessageList.front().txt, "Can't set to fullscreen in this resolution.");
}

// A crash marker that is a link planted by someone else is used and removed, but
// what it points to is never written.
TEST_F(DisplayFallbackTest, ARendererThatCannotOpenAtAllGivesWayToTheNext) {
  UseFussy([](int, int driver) { return driver == 0; });
  SetupDisplay();
  EXPECT_TRUE(plat::DisplayIsOpen());
  EXPECT_EQ(plat::GetGraphicsDriver(), 1);
  EXPECT_EQ(Core.Settings[slot::gfxEngine], 1);
  EXPECT_TRUE(Logged("\tRenderer failed to start, trying the next one"));
  EXPECT_TRUE(Logged("\tUsing DirectX 9 Driver"));
  EXPECT_EQ(plat::FileType("crash.dat"), plat::kFileTypeNone);
}

TEST_F(DisplayFallbackTest, NoDisplayAtAllEndsCleanlyWithoutACrashMarker) {
  UseFussy([](int, int) { return true; });
  try {
    SetupDisplay();
    FAIL() << "setup went on without a display";
  } catch (const plat::ProcessEnded& end) {
    EXPECT_EQ(end.code, 1);
  }
  EXPECT_EQ(plat::FileType(At("Files/257/crash.dat")), plat::kFileTypeNone);
  EXPECT_TRUE(Logged("\tNo display could be opened; ending."));
}

TEST_F(DisplaySetupTest, AMissingCommonFolderStillEndsInTheGameFolder) {
  std::filesystem::remove_all(At("Files/Common"));
  const std::string game = plat::CurrentDir();
  SetupDisplay();
  EXPECT_EQ(plat::CurrentDir(), game);
  EXPECT_EQ(Core.UiFonts[font::kLabel], 0);  // nothing to load, nothing loaded
}

// A close request while the engine test runs is an orderly exit: the marker must
// go, or the next start would switch renderers for good.
TEST_F(DisplaySetupTest, AClosedWindowDuringTheEngineTestLeavesNoCrashMarker) {
  InstallServices();
  Config.DisplayHooks.LoadScores = nullptr;
  machine_->OnFrame([&](int frame) {
    if (frame >= 20) machine_->RequestClose();  // and again to close the farewell window
  });
  EXPECT_THROW(SetupDisplay(), plat::ProcessEnded);
  EXPECT_EQ(plat::FileType(At("Files/257/crash.dat")), plat::kFileTypeNone);
  EXPECT_EQ(ReadLines("Files/Setup.ini").front(), "[Graphics]");
}

}  // namespace
