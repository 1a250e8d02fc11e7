#include "headless_fixture.h"

namespace {

TEST_F(Headless, OpeningResetsTheVirtualSpaceAndMapsTheMouse) {
  ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
  EXPECT_TRUE(plat::DisplayIsOpen());
  EXPECT_FALSE(hb().DisplayOpenedFullScreen());
  EXPECT_EQ(plat::GraphicsWidth(), 800);
  EXPECT_EQ(plat::GraphicsHeight(), 600);
  EXPECT_EQ(plat::VirtualResolutionWidth(), 800);
  plat::SetVirtualResolution(1600, 900);
  EXPECT_EQ(plat::VirtualResolutionHeight(), 900);
  plat::SetVirtualResolution(0, 5);  // ignored
  EXPECT_EQ(plat::VirtualResolutionWidth(), 1600);

  hb().ScriptInput().mouseX = 400;
  hb().ScriptInput().mouseY = 150;
  EXPECT_DOUBLE_EQ(plat::VirtualMouseX(), 800);
  EXPECT_DOUBLE_EQ(plat::VirtualMouseY(), 225);
  plat::MoveVirtualMouse(1200, 450);
  EXPECT_DOUBLE_EQ(hb().ScriptInput().mouseX, 600);
  EXPECT_DOUBLE_EQ(hb().ScriptInput().mouseY, 300);
  EXPECT_DOUBLE_EQ(plat::VirtualMouseX(), 1200);

  // The farewell window draws in its own pixels: reopening forgets the old space.
  const int generation = hb().DisplayGeneration();
  ASSERT_TRUE(plat::OpenDisplay(640, 480, 0, 60, 0));
  EXPECT_EQ(plat::VirtualResolutionWidth(), 640);
  EXPECT_EQ(plat::VirtualResolutionHeight(), 480);
  EXPECT_GT(hb().DisplayGeneration(), generation);
  plat::CloseDisplay();
  EXPECT_FALSE(plat::DisplayIsOpen());
  EXPECT_EQ(hb().renderer(), nullptr);
  EXPECT_EQ(plat::GraphicsWidth(), 0);
  plat::Cls();  // no display: nothing happens
  plat::Flip(0);
  EXPECT_EQ(hb().FramesPresented(), 0);
}

TEST_F(Headless, FullScreenCentresTheMouse) {
  hb().ScriptInput().mouseX = 3;
  ASSERT_TRUE(plat::OpenDisplay(1024, 768, 32, 60, 0));
  EXPECT_TRUE(hb().DisplayOpenedFullScreen());
  EXPECT_DOUBLE_EQ(hb().ScriptInput().mouseX, 512);
  EXPECT_DOUBLE_EQ(hb().ScriptInput().mouseY, 384);
}

TEST_F(Headless, NoDisplayMeansFalseAndANotice) {
  std::vector<std::string> notices;
  plat::SetNoticeSink([&](const std::string& t) { notices.push_back(t); });
  plat::HeadlessOptions options;
  options.displayAvailable = false;
  plat::UseHeadless(options);
  EXPECT_FALSE(plat::OpenDisplay(800, 600, 0, 60, 0));
  EXPECT_FALSE(plat::DisplayIsOpen());
  EXPECT_FALSE(plat::OpenDisplay(0, 600, 0, 60, 0));
  EXPECT_EQ(notices.size(), 2u);
}

TEST_F(Headless, TitlePointerModesAndDriverChoice) {
  plat::SetWindowTitle("#257 : Puffwick Loopery");
  EXPECT_EQ(hb().WindowTitle(), "#257 : Puffwick Loopery");
  EXPECT_TRUE(hb().PointerVisible());
  plat::HidePointer();
  EXPECT_FALSE(hb().PointerVisible());
  plat::ShowPointer();
  EXPECT_TRUE(hb().PointerVisible());
  EXPECT_EQ(plat::DisplayModes().size(), plat::HeadlessOptions{}.modes.size());
  plat::SetGraphicsDriver(plat::kDriverDirect3D9);
  EXPECT_EQ(plat::GetGraphicsDriver(), 1);
  plat::SetGraphicsDriver(7);
  EXPECT_EQ(plat::GetGraphicsDriver(), 0);
}

// ---------------------------------------------------------------- flip

TEST_F(Headless, FlipMinusOneInAWindowPacesSixtyFramesToOneSecond) {
  ASSERT_TRUE(plat::OpenDisplay(640, 480, 0, 60, 0));
  const int64_t start = hb().Now();
  std::vector<int64_t> presentedAt;
  hb().OnFrame([&](int) { presentedAt.push_back(hb().Now()); });
  for (int i = 0; i <= 60; ++i) plat::Flip(-1);
  ASSERT_EQ(presentedAt.size(), 61u);
  EXPECT_EQ(presentedAt.front(), start);  // the first frame does not wait
  EXPECT_EQ(presentedAt.back(), start + 1000);
  for (size_t i = 1; i < presentedAt.size(); ++i) {
    int64_t gap = presentedAt[i] - presentedAt[i - 1];
    EXPECT_TRUE(gap == 16 || gap == 17) << gap;
  }
  EXPECT_FALSE(hb().LastPresentVsync());
}

TEST_F(Headless, ASlowFrameRestartsTheScheduleInsteadOfCatchingUp) {
  ASSERT_TRUE(plat::OpenDisplay(640, 480, 0, 50, 0));  // 20 ms a frame
  plat::Flip(-1);
  hb().AdvanceTime(5);
  int64_t before = hb().Now();
  plat::Flip(-1);
  EXPECT_EQ(hb().Now(), before + 15);  // waited for the due time
  hb().AdvanceTime(100);
  before = hb().Now();
  plat::Flip(-1);
  EXPECT_EQ(hb().Now(), before);  // late: no wait
  plat::Flip(-1);
  EXPECT_EQ(hb().Now(), before + 20);  // and the next one is a full period later
}

TEST_F(Headless, SyncModesDecideWaitingAndVerticalBlank) {
  ASSERT_TRUE(plat::OpenDisplay(640, 480, 0, 60, 0));
  const int64_t t = hb().Now();
  plat::Flip(0);
  plat::Flip(0);
  EXPECT_EQ(hb().Now(), t);  // sync 0 never waits
  EXPECT_FALSE(hb().LastPresentVsync());
  plat::Flip(1);
  EXPECT_TRUE(hb().LastPresentVsync());

  ASSERT_TRUE(plat::OpenDisplay(800, 600, 32, 60, 0));
  plat::Flip(-1);
  EXPECT_TRUE(hb().LastPresentVsync());  // full screen: the vertical blank paces

  ASSERT_TRUE(plat::OpenDisplay(640, 480, 0, 0, 0));
  const int64_t u = hb().Now();
  plat::Flip(-1);
  plat::Flip(-1);
  EXPECT_EQ(hb().Now(), u);  // no refresh rate: at once
  EXPECT_FALSE(hb().LastPresentVsync());
}

TEST_F(Headless, PresentCostHooksAndTheFrameCap) {
  ASSERT_TRUE(plat::OpenDisplay(640, 480, 0, 60, 0));
  hb().SetPresentCost(7);
  std::vector<int> hookFrames;
  hb().OnFrame([&](int frame) { hookFrames.push_back(frame); });
  hb().SetFrameCap(3);
  const int64_t t = hb().Now();
  plat::Flip(0);
  plat::Flip(0);
  EXPECT_EQ(hb().Now(), t + 14);
  try {
    plat::Flip(0);
    FAIL() << "the frame cap ends the process";
  } catch (const plat::ProcessEnded& e) {
    EXPECT_EQ(e.code, 0);
  }
  EXPECT_EQ(hookFrames, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(hb().FramesPresented(), 3);
}

TEST_F(Headless, DrawCallsAreGroupedByPresentedFrame) {
  ASSERT_TRUE(plat::OpenDisplay(640, 480, 0, 60, 0));
  plat::DrawCall call;
  call.kind = plat::DrawCall::kRect;
  hb().RecordDrawCall(call);  // not recording: dropped
  EXPECT_TRUE(hb().CurrentFrameCalls().empty());
  hb().SetRecording(true);
  EXPECT_TRUE(hb().RecordingDrawCalls());
  call.x = 1;
  hb().RecordDrawCall(call);
  call.x = 2;
  hb().RecordDrawCall(call);
  plat::Flip(0);
  ASSERT_EQ(hb().LastFrameCalls().size(), 2u);
  EXPECT_EQ(hb().LastFrameCalls()[1].x, 2);
  EXPECT_TRUE(hb().CurrentFrameCalls().empty());
  plat::Flip(0);
  EXPECT_TRUE(hb().LastFrameCalls().empty());

  // A frame drawn, cleared and drawn again without a present (slow-system mode
  // flips every other frame): only what follows the clear is shown.
  call.x = 3;
  hb().RecordDrawCall(call);
  plat::Cls();
  EXPECT_TRUE(hb().CurrentFrameCalls().empty());
  call.x = 4;
  hb().RecordDrawCall(call);
  plat::Flip(0);
  ASSERT_EQ(hb().LastFrameCalls().size(), 1u);
  EXPECT_EQ(hb().LastFrameCalls()[0].x, 4);
}

TEST_F(Headless, TheSyncOfEveryFlipIsKept) {
  EXPECT_FALSE(hb().LastFlipSync().has_value());
  plat::Flip(1);  // no display yet: still noted
  EXPECT_EQ(hb().LastFlipSync(), 1);
  ASSERT_TRUE(plat::OpenDisplay(640, 480, 0, 0, 0));
  for (int sync : {0, -1, 1, 0}) {
    plat::Flip(sync);
    EXPECT_EQ(hb().LastFlipSync(), sync);
  }
}

TEST_F(Headless, FrontBufferIsTheDisplaySize) {
  EXPECT_TRUE(hb().FrontBufferPixels().empty());
  ASSERT_TRUE(plat::OpenDisplay(64, 32, 0, 60, 0));
  plat::Cls();
  plat::Flip(0);
  std::vector<uint8_t> pixels = hb().FrontBufferPixels();
  ASSERT_EQ(pixels.size(), 64u * 32 * 4);
  EXPECT_EQ(pixels[0], 0);
  EXPECT_EQ(pixels[3], 255);  // cleared to opaque black
}

// ---------------------------------------------------------------- input

TEST_F(Headless, KeyHitsCountPressesAndClearWhenRead) {
  plat::InputState& in = hb().ScriptInput();
  in.PressKey(27);
  in.PressKey(27);  // a repeat while held is not a new press
  EXPECT_TRUE(plat::KeyDown(27));
  in.ReleaseKey(27);
  EXPECT_FALSE(plat::KeyDown(27));  // read while held: up as soon as let go
  in.PressKey(27);
  in.ReleaseKey(27);
  EXPECT_EQ(plat::KeyHit(27), 2);
  EXPECT_EQ(plat::KeyHit(27), 0);
  for (int bad : {-1, 256, 1000}) {
    in.PressKey(bad);
    EXPECT_FALSE(plat::KeyDown(bad));
    EXPECT_EQ(plat::KeyHit(bad), 0);
  }

  in.PressKey(9);
  in.typed.push_back('A');
  in.typed.push_back('b');
  EXPECT_EQ(plat::GetChar(), 'A');
  plat::FlushKeys();  // forgets presses and typed characters, not what is held
  EXPECT_EQ(plat::KeyHit(9), 0);
  EXPECT_EQ(plat::GetChar(), 0);
  EXPECT_TRUE(plat::KeyDown(9));
}

TEST_F(Headless, MouseButtonsAreAlsoKeyCodesOneToThree) {
  plat::InputState& in = hb().ScriptInput();
  in.PressMouse(1);
  in.PressMouse(2);
  EXPECT_TRUE(plat::MouseDown(1));
  EXPECT_TRUE(plat::KeyDown(1));
  EXPECT_TRUE(plat::KeyDown(2));
  in.ReleaseMouse(1);
  EXPECT_FALSE(plat::MouseDown(1));
  EXPECT_FALSE(plat::KeyDown(1));
  in.PressMouse(1);
  in.ReleaseMouse(1);
  EXPECT_EQ(plat::MouseHit(1), 2);
  EXPECT_EQ(plat::MouseHit(1), 0);
  plat::FlushMouse();
  EXPECT_EQ(plat::MouseHit(2), 0);
  EXPECT_TRUE(plat::MouseDown(2));
  EXPECT_FALSE(plat::MouseDown(0));
  EXPECT_EQ(plat::MouseHit(4), 0);
}

// A press let go before any query read it still reads held until the end of the
// frame that reads it, so that a tap between two frames' checks is not lost; a
// press that was read while held goes up when let go, as before.
TEST_F(Headless, AQuickPressReadsHeldForTheFrameThatReadsIt) {
  plat::InputState& in = hb().ScriptInput();
  struct Input {
    const char* what;
    std::function<void(bool down)> set;
    std::function<bool()> read;
  } inputs[] = {
      {"key", [&](bool down) { down ? in.PressKey(27) : in.ReleaseKey(27); }, [] { return plat::KeyDown(27); }},
      {"left button", [&](bool down) { down ? in.PressMouse(1) : in.ReleaseMouse(1); },
       [] { return plat::MouseDown(1) && plat::KeyDown(1); }},
      {"right button as a key code", [&](bool down) { down ? in.PressMouse(2) : in.ReleaseMouse(2); },
       [] { return plat::KeyDown(2); }},
  };
  for (const Input& input : inputs) {
    SCOPED_TRACE(input.what);
    // A tap, read in the next frame: held for that whole frame, then up.
    input.set(true);
    input.set(false);
    EXPECT_TRUE(input.read());
    EXPECT_TRUE(input.read());
    plat::NextInputFrame();
    EXPECT_FALSE(input.read());

    // A tap just before a frame ends is still there for the frame after it...
    input.set(true);
    input.set(false);
    plat::NextInputFrame();
    EXPECT_TRUE(input.read());
    plat::NextInputFrame();
    EXPECT_FALSE(input.read());
    // ... but one that no frame reads is gone after that frame.
    input.set(true);
    input.set(false);
    plat::NextInputFrame();
    plat::NextInputFrame();
    EXPECT_FALSE(input.read());

    // Held across frames: down while held, up at once when let go.
    input.set(true);
    EXPECT_TRUE(input.read());
    plat::NextInputFrame();
    EXPECT_TRUE(input.read());
    input.set(false);
    EXPECT_FALSE(input.read());
  }
}

TEST_F(Headless, WaitingForInputSleepsUntilInputOrTheTimeAndABatchPollsOnce) {
  const int64_t t = hb().Now();
  hb().At(t + 30, [](plat::InputState& in) { in.PressKey(13); });
  plat::WaitForInput(100);
  EXPECT_EQ(hb().Now(), t + 30);
  EXPECT_TRUE(plat::KeyDown(13));
  plat::WaitForInput(100);
  EXPECT_EQ(hb().Now(), t + 130);

  {
    plat::InputBatch once;
    EXPECT_FALSE(plat::KeyDown(32));
    hb().At(hb().Now(), [](plat::InputState& in) { in.PressKey(32); });
    EXPECT_FALSE(plat::KeyDown(32));  // one look at the machine per batch
  }
  EXPECT_TRUE(plat::KeyDown(32));
}

// A termination signal only sets a flag; the next wait or input query ends the
// process with status 0 after the upper floors' save, which runs once.
TEST_F(Headless, ACloseRequestIsReportedOnce) {
  EXPECT_FALSE(plat::AppTerminate());
  hb().RequestClose();
  EXPECT_TRUE(plat::AppTerminate());
  EXPECT_FALSE(plat::AppTerminate());
}

TEST_F(Headless, TimedEventsArriveWhenTheClockReachesThem) {
  const int64_t t = hb().Now();
  std::vector<int> order;
  hb().At(t + 10, [&](plat::InputState& in) {
    order.push_back(1);
    in.PressKey(13);
  });
  hb().At(t + 10, [&](plat::InputState&) { order.push_back(2); });
  hb().At(t + 5, [&](plat::InputState&) { order.push_back(0); });
  EXPECT_FALSE(plat::KeyDown(13));
  plat::Delay(9);
  EXPECT_FALSE(plat::KeyDown(13));
  EXPECT_EQ(order, std::vector<int>{0});
  plat::Delay(1);
  EXPECT_TRUE(plat::KeyDown(13));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST_F(Headless, LoopsThatWaitWithoutSleepingStillEnd) {
  // A busy wait on the clock.
  const int start = plat::Millisecs();
  while (plat::Millisecs() - start < 20) {
  }
  EXPECT_GE(hb().Now(), 1020);
  // A busy wait for a key released later.
  hb().ScriptInput().PressKey(27);
  hb().At(hb().Now() + 3, [](plat::InputState& in) { in.ReleaseKey(27); });
  while (plat::KeyDown(27)) {
  }
  EXPECT_FALSE(plat::KeyDown(27));
  // A few reads in a row do not move the clock.
  const int64_t t = hb().Now();
  for (int i = 0; i < 100; ++i) plat::Millisecs();
  EXPECT_EQ(hb().Now(), t);
}

TEST_F(Headless, JoysticksReadCentredWhenUnpluggedOrAbsent) {
  plat::JoystickState pad;
  pad.name = "Pad";
  pad.axes = {0.5, -2.0, 0, 0, 0, 0};
  pad.hat = 0.25;
  pad.buttons = {false, true};
  hb().PlugJoystick(pad);
  ASSERT_EQ(plat::JoyCount(), 1);
  EXPECT_EQ(plat::JoyName(0), "Pad");
  EXPECT_EQ(plat::JoyAxisValue(0, plat::kAxisX), 0.5);
  EXPECT_EQ(plat::JoyAxisValue(0, plat::kAxisY), -1.0);  // clamped
  EXPECT_EQ(plat::JoyHat(0), 0.25);
  EXPECT_TRUE(plat::JoyButtonDown(0, 1));
  EXPECT_FALSE(plat::JoyButtonDown(0, 2));
  EXPECT_EQ(plat::JoyButtonCount(0), 2);
  hb().JoystickAt(0).axes[plat::kAxisX] = -0.75;
  EXPECT_EQ(plat::JoyAxisValue(0, plat::kAxisX), -0.75);

  hb().UnplugJoystick(0);
  EXPECT_EQ(plat::JoyCount(), 1);  // ports keep their numbers
  EXPECT_EQ(plat::JoyAxisValue(0, plat::kAxisX), 0);
  EXPECT_EQ(plat::JoyHat(0), -1);
  EXPECT_FALSE(plat::JoyButtonDown(0, 1));

  for (int port : {-1, 1, 4}) {
    EXPECT_EQ(plat::JoyName(port), "");
    EXPECT_EQ(plat::JoyAxisValue(port, 0), 0);
    EXPECT_EQ(plat::JoyHat(port), -1);
    EXPECT_EQ(plat::JoyButtonCount(port), 0);
  }
  EXPECT_EQ(plat::JoyAxisValue(0, 6), 0);
}

// ---------------------------------------------------------------- time and lifecycle

TEST_F(Headless, TheClockMovesOnlyWhenSleepingOrTold) {
  EXPECT_EQ(plat::Millisecs(), 1000);
  plat::Delay(0);
  plat::Delay(-5);
  EXPECT_EQ(plat::Millisecs(), 1000);
  plat::Delay(16);
  EXPECT_EQ(plat::Millisecs(), 1016);
  hb().AdvanceTime(984);
  EXPECT_EQ(hb().Now(), 2000);
}

TEST_F(Headless, DateAndTimeTextsFollowTheVirtualClock) {
  EXPECT_EQ(plat::CurrentDate(), "07 Dec 2010");
  EXPECT_EQ(plat::CurrentTime(), "15:30:12");
  hb().AdvanceTime(9 * 3600 * 1000);
  EXPECT_EQ(plat::CurrentDate(), "08 Dec 2010");
  EXPECT_EQ(plat::CurrentTime(), "00:30:12");
}

TEST_F(Headless, EndProcessRaisesWithTheCode) {
  try {
    plat::EndProcess(3);
    FAIL();
  } catch (const plat::ProcessEnded& e) {
    EXPECT_EQ(e.code, 3);
  }
}

TEST_F(Headless, ANewBackendIsAFreshMachine) {
  ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
  hb().ScriptInput().PressKey(32);
  hb().RequestClose();
  plat::UseHeadless();
  EXPECT_FALSE(plat::DisplayIsOpen());
  EXPECT_FALSE(plat::KeyDown(32));
  EXPECT_EQ(plat::KeyHit(32), 0);
  EXPECT_FALSE(plat::AppTerminate());
  EXPECT_TRUE(plat::HasBackend());
  EXPECT_TRUE(plat::StartServices());
}

// Reaching the machine before a backend is chosen is a programming error: no
// headless machine is slipped in behind the caller's back.
TEST(NoBackend, IsAClearFailureNotAQuietStandIn) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        plat::UseBackend(nullptr);
        plat::Millisecs();
      },
      "no backend installed");
}

}  // namespace
