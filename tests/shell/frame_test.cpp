#include <algorithm>

#include "testkit/sanitizer.h"
#include "platform/keycodes.h"
#include "testkit/scratch.h"

namespace {

plat::HeadlessBackend* g_machine = nullptr;
int g_pauses = 0;

int TenSecondPause() {
  g_pauses++;
  g_machine->AdvanceTime(10000);
  return kPauseQuit;
}

class FrameTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
    plat::SetVirtualResolution(1280, 960);
    InstallServices();
    g_machine = machine_;
    g_pauses = 0;
    Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = 50000;
    Frame.LastFrameTime = plat::Millisecs();
  }

  std::vector<plat::DrawCall> TextCalls(const std::vector<plat::DrawCall>& calls) const {
    std::vector<plat::DrawCall> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [](const plat::DrawCall& c) { return c.kind == plat::DrawCall::kText; });
    return out;
  }
};

TEST_F(FrameTest, PacesToSixtyAndMeasuresTheRate) {
  int64_t start = machine_->Now();
  EXPECT_EQ(EndFrame(1), 0);
  EXPECT_EQ(machine_->Now() - start, 15);  // the first whole millisecond past 14.67
  EXPECT_EQ(Frame.FrameTime, 15);
  EXPECT_EQ(Frame.FpsAverage, (1000 / 15) / 3);
  EXPECT_EQ(Frame.FpsShown, Frame.FpsAverage);
  EXPECT_EQ(Frame.LastFrameTime, static_cast<int>(machine_->Now()));
  EndFrame(1);
  EXPECT_EQ(Frame.FpsAverage, (66 + 2 * 22) / 3);
  EXPECT_EQ(machine_->FramesPresented(), 2);
}

TEST_F(FrameTest, ALateFrameIsNotDelayedFurther) {
  machine_->AdvanceTime(30);
  int64_t start = machine_->Now();
  EndFrame(1);
  EXPECT_EQ(machine_->Now() - start, 1);  // one sleep, then out
  EXPECT_EQ(Frame.FrameTime, 31);
}

TEST_F(FrameTest, APauseMovesTheGameStartForwardByItsLength) {
  Frame.FrameHooks.PauseMenu = TenSecondPause;
  Core.GameState = kStatePlaying;
  Core.GameStartTime = 5000;
  machine_->ScriptInput().PressKey(27);
  EXPECT_EQ(EndFrame(1), kPauseQuit);
  EXPECT_EQ(g_pauses, 1);
  EXPECT_EQ(Core.GameStartTime, 15000);
  EXPECT_EQ(Core.GameState, kStatePlaying);

  Core.GameState = kStateTitle;  // the title screen does not pause
  EXPECT_EQ(EndFrame(1), 0);
  EXPECT_EQ(g_pauses, 1);
}

TEST_F(FrameTest, SlowSystemShowsAndListensOnEveryOtherFrame) {
  plat::Image sprite = plat::CreateImage(8, 8, 1);
  machine_->SetRecording(true);
  Frame.FrameHooks.PauseMenu = TenSecondPause;
  Core.GameState = kStatePlaying;
  machine_->ScriptInput().PressKey(27);  // held throughout
  for (int slow : {0, 1}) {
    Core.Settings[slot::slowSystem] = slow;
    Core.FrameParity = 0;
    g_pauses = 0;
    int presentedBefore = machine_->FramesPresented();
    for (int frame = 0; frame < 4; frame++) {
      int presented = machine_->FramesPresented();
      BeginFrameDrawing(1);
      DrawImageCounted(sprite, 0, 0, 0, kBudgetMain);
      EndFrame(1);
      if (machine_->FramesPresented() > presented) {
        const std::vector<plat::DrawCall>& calls = machine_->LastFrameCalls();
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [&](const plat::DrawCall& c) {
                    return c.kind == plat::DrawCall::kImage && c.image == sprite;
                  }),
                  1);
      }
    }
    EXPECT_EQ(machine_->FramesPresented() - presentedBefore, slow ? 2 : 4) << "slow " << slow;
    EXPECT_EQ(g_pauses, slow ? 2 : 4) << "slow " << slow;
  }
}

TEST_F(FrameTest, TabTogglesTheSettingsPanelAndSaves) {
  LoadSetup();
  machine_->ScriptInput().PressKey(9);
  EndFrame(0);
  EXPECT_EQ(Frame.SettingsOpen, 1);
  EXPECT_EQ(ReadLines("Setup.ini").front(), "[Graphics]");
  plat::DeleteFile("Setup.ini");
  EndFrame(0);
  EXPECT_EQ(Frame.SettingsOpen, 1);  // a hit counts once
  machine_->ScriptInput().ReleaseKey(9);
  machine_->ScriptInput().PressKey(9);
  EndFrame(0);
  EXPECT_EQ(Frame.SettingsOpen, 0);
  EXPECT_EQ(plat::FileType("Setup.ini"), plat::kFileTypeFile);
}

TEST_F(FrameTest, DebugOverlayLinesAndF12) {
  // The 16-pixel font of screens 900 or more wide.
  Core.UiFonts[font::kPanel] =
      plat::LoadImageFont(std::string(PUFFWICK_SOURCE_DIR) + "/Files/Common/SVBasicManual.ttf", 16, 4);
  ASSERT_NE(Core.UiFonts[font::kPanel], 0);
  Frame.OverlayOn = 1;
  Draw.DrawCount[kBudgetMain] = 3;
  Draw.DrawLimit[kBudgetParticles] = 7;
  Draw.DrawCount[kBudgetParticles] = 2;
  machine_->SetRecording(true);
  EndFrame(0);
  int shownBefore = Frame.FpsShown;  // the overlay prints the rate measured up to the last frame
  EndFrame(0);
  std::vector<plat::DrawCall> texts = TextCalls(machine_->LastFrameCalls());
  ASSERT_EQ(texts.size(), 7u);
  const int ys[] = {2, 40, 60, 80, 100, 120, 150};
  for (int i = 0; i < 7; i++) {
    EXPECT_DOUBLE_EQ(texts[i].x, 2);
    EXPECT_DOUBLE_EQ(texts[i].y, ys[i]);
    EXPECT_DOUBLE_EQ(texts[i].scaleX, 1.5);
  }
  EXPECT_EQ(texts[0].text, std::to_string(shownBefore));
  EXPECT_EQ(texts[1].text, "Collection : " + std::to_string(Frame.GcCollected));
  EXPECT_EQ(texts[2].text.rfind("Used Memory : ", 0), 0u);
  if (kHeapFiguresReadable) {
    EXPECT_GT(std::stoll(texts[2].text.substr(14)), 0);
  }
  EXPECT_EQ(texts[3].text, "Drawn Images : 3/50000");
  EXPECT_EQ(texts[4].text, "Drawn Glow : 0/50000");
  EXPECT_EQ(texts[5].text, "Drawn Particles : 2/7");
  EXPECT_EQ(texts[6].text, "Hit F12 to remove this");

  machine_->ScriptInput().PressKey(123);
  EndFrame(0);
  EXPECT_EQ(Frame.OverlayOn, 0);
  EXPECT_TRUE(TextCalls(machine_->LastFrameCalls()).empty());
}

TEST_F(FrameTest, PointerAndMouseState) {
  Core.IconsFiltered = plat::CreateImage(16, 16, 64);
  machine_->SetRecording(true);
  plat::MoveVirtualMouse(100.8, 200.2);
  machine_->ScriptInput().PressMouse(1);
  machine_->ScriptInput().ReleaseMouse(1);
  machine_->ScriptInput().PressMouse(1);
  machine_->ScriptInput().PressMouse(2);
  EndFrame(1);
  std::vector<plat::DrawCall> calls = machine_->LastFrameCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].image, Core.IconsFiltered);
  EXPECT_EQ(calls[0].frame, 63);
  EXPECT_NEAR(calls[0].x, 112.8, 1.0);
  EXPECT_NEAR(calls[0].y, 212.2, 1.0);
  EXPECT_DOUBLE_EQ(calls[0].scaleX, 1.5);
  EXPECT_EQ(Core.MouseState.x, static_cast<int>(plat::VirtualMouseX()));
  EXPECT_EQ(Core.MouseState.y, static_cast<int>(plat::VirtualMouseY()));
  EXPECT_EQ(Core.MouseState.MouseClicked, 2);
  EXPECT_EQ(Core.MouseState.RightClicked, 1);

  int firstX = Core.MouseState.x, firstY = Core.MouseState.y;
  plat::MoveVirtualMouse(300, 400);
  EndFrame(0);
  EXPECT_TRUE(machine_->LastFrameCalls().empty());  // no pointer asked for
  EXPECT_EQ(Core.MouseState.oldX, firstX);
  EXPECT_EQ(Core.MouseState.oldY, firstY);
  EXPECT_EQ(Core.MouseState.MouseClicked, 0);
  EXPECT_EQ(Core.MouseState.RightClicked, 0);

  Frame.SettingsOpen = 1;  // the open panel always shows the pointer
  EndFrame(0);
  const std::vector<plat::DrawCall>& open = machine_->LastFrameCalls();
  EXPECT_EQ(std::count_if(open.begin(), open.end(),
                          [](const plat::DrawCall& c) { return c.image == Core.IconsFiltered && c.frame == 63; }),
            1);
}

// Every frame ends an input frame: a tap read after one frame reads up after the next.
TEST_F(FrameTest, ATapBetweenFramesIsHeldForOneFrame) {
  machine_->ScriptInput().PressKey(plat::kKeySpace);
  machine_->ScriptInput().ReleaseKey(plat::kKeySpace);
  EndFrame(1);
  EXPECT_TRUE(plat::KeyDown(plat::kKeySpace));
  EndFrame(1);
  EXPECT_FALSE(plat::KeyDown(plat::kKeySpace));
}

TEST_F(FrameTest, MessagesAgeOncePerFrame) {
  AddMessage("Saved Screenshot", 1);
  for (int i = 0; i < 179; i++) EndFrame(0);
  ASSERT_EQ(Core.MessageList.size(), 1u);
  EXPECT_EQ(Core.MessageList.front().tick, 179);
  EndFrame(0);
  EXPECT_TRUE(Core.MessageList.empty());
}

TEST_F(FrameTest, AltF4AndCloseRequestsShutDown) {
  MakeDir("Files/257");
  ASSERT_TRUE(plat::ChangeDir("Files"));
  ASSERT_TRUE(OpenLog("Debug.txt"));
  ASSERT_TRUE(plat::ChangeDir("257"));
  LoadSetup();
  Core.FilesFolderPath = At("Files");

  machine_->ScriptInput().PressKey(115);
  EndFrame(0);  // F4 alone is nothing
  machine_->ScriptInput().PressKey(165);
  try {
    EndFrame(0);
    FAIL() << "Alt+F4 did not end the program";
  } catch (const plat::ProcessEnded& end) {
    EXPECT_EQ(end.code, 0);
  }
  std::vector<std::string> log = ReadLines("Files/Debug.txt");
  std::vector<std::string> tail(log.end() - 5, log.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"Closing Up", "", "Bye!", "", "Play again, soon!!"}));
  EXPECT_EQ(plat::FileType(At("Files/Setup.ini")), plat::kFileTypeFile);
  EXPECT_FALSE(plat::DisplayIsOpen());

  plat::UseHeadless();
  ResetProgramState();
  InstallServices();
  machine_ = static_cast<plat::HeadlessBackend*>(&plat::CurrentBackend());
  machine_->RequestClose();
  // The farewell screen then waits for a close request of its own.
  machine_->At(machine_->Now() + 100, [](plat::InputState& in) { in.closeRequested = true; });
  EXPECT_THROW(EndFrame(0), plat::ProcessEnded);
}

// In slow-system mode the frame drawn on parity 0 is the one shown; parity 1 is
// computed but never presented.
TEST_F(FrameTest, SlowSystemPresentsTheEvenFrames) {
  Core.Settings[slot::slowSystem] = 1;
  Core.FrameParity = 0;
  const int before = machine_->FramesPresented();
  const int expected[] = {1, 1, 2, 2, 3};
  for (int frame = 0; frame < 5; frame++) {
    EndFrame(0);
    EXPECT_EQ(machine_->FramesPresented() - before, expected[frame]) << "after frame " << frame;
  }
  EXPECT_EQ(machine_->LastFlipSync(), 0);  // EndFrame paces itself and flips at once
}

TEST_F(FrameTest, MemoryIsCleanedUpOnOddFramesOnly) {
  for (int parity : {0, 1, 0, 1}) {
    ASSERT_EQ(Core.FrameParity, parity);
    Frame.GcCollected = -7;  // a value the clean-up step never returns
    EndFrame(0);
    if (parity == 1) {
      EXPECT_GE(Frame.GcCollected, 0);
    } else {
      EXPECT_EQ(Frame.GcCollected, -7);
    }
  }
}

TEST_F(FrameTest, OverlayAndMessagesUseTheirFontSlots) {
  const std::string face = std::string(PUFFWICK_SOURCE_DIR) + "/Files/Common/SVBasicManual.ttf";
  for (int slot = font::kLabel; slot <= font::kText; slot++) Core.UiFonts[slot] = plat::LoadImageFont(face, 10 + slot, 4);
  if (Core.UiFonts[font::kLabel] == 0) GTEST_SKIP() << "font missing";
  Frame.OverlayOn = 1;
  AddMessage("Saved Screenshot", 1);
  machine_->SetRecording(true);
  EndFrame(0);
  std::vector<plat::DrawCall> texts = TextCalls(machine_->LastFrameCalls());
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts[0].image, Core.UiFonts[font::kLabel]);  // the frame rate
  for (int i = 1; i < 7; i++) EXPECT_EQ(texts[i].image, Core.UiFonts[font::kPanel]) << texts[i].text;
  EXPECT_EQ(texts[7].text, "Saved Screenshot");
  EXPECT_EQ(texts[7].image, Core.UiFonts[font::kText]);
  EXPECT_DOUBLE_EQ(texts[7].scaleX, 1);
  EXPECT_DOUBLE_EQ(texts[7].y, 960 - 16);
}

TEST_F(FrameTest, EitherAltWithF4ShutsDown) {
  MakeDir("Files/257");
  Core.FilesFolderPath = At("Files");
  for (int alt : {plat::kKeyLeftAlt, plat::kKeyRightAlt}) {
    plat::UseHeadless();
    ResetProgramState();
    InstallServices();
    Core.FilesFolderPath = At("Files");
    machine_ = static_cast<plat::HeadlessBackend*>(&plat::CurrentBackend());
    machine_->ScriptInput().PressKey(alt);
    EndFrame(0);  // Alt alone is nothing
    machine_->ScriptInput().PressKey(plat::kKeyF4);
    EXPECT_THROW(EndFrame(0), plat::ProcessEnded) << "alt " << alt;
  }
}

}  // namespace
