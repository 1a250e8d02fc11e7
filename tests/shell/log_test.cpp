#include "testkit/scratch.h"

namespace {

using LogTest = ScratchTest;

TEST_F(LogTest, EachLineIsOnDiskAsSoonAsItIsWritten) {
  WriteBytes("Debug.txt", "from the last run\r\n");
  ASSERT_TRUE(OpenLog("Debug.txt"));
  EXPECT_EQ(ReadBytes("Debug.txt"), "");  // emptied at every start
  LogLine("Loading");
  EXPECT_EQ(ReadBytes("Debug.txt"), "Loading\r\n");
  LogLine("\tSetup Loaded");
  LogLine("");
  plat::Notice("no sound device");  // platform problems land in the log too, as sub-steps
  EXPECT_EQ(ReadBytes("Debug.txt"), "Loading\r\n\tSetup Loaded\r\n\r\n\tno sound device\r\n");
  CloseLog();
  LogLine("after closing");
  EXPECT_EQ(ReadLines("Debug.txt").size(), 4u);
}

TEST_F(LogTest, WithoutALogFileLinesAndNoticesGoToStderr) {
  MakeDir("Debug.txt");  // a folder in the way, as with a read-only Files/
  EXPECT_FALSE(OpenLog("Debug.txt"));
  ::testing::internal::CaptureStderr();
  LogLine("\tCould not write Setup.ini");
  plat::Notice("no sound device");
  std::string err = ::testing::internal::GetCapturedStderr();
  CloseLog();
  EXPECT_EQ(err, "\tCould not write Setup.ini\n\tno sound device\n");
  EXPECT_EQ(plat::FileType("Debug.txt"), plat::kFileTypeFolder);
}

class MessageTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
    plat::SetVirtualResolution(1280, 960);
  }

  // Draws the messages once and returns the calls of that drawing.
  std::vector<plat::DrawCall> DrawOnce() {
    machine_->SetRecording(false);
    machine_->SetRecording(true);
    DrawMessages();
    return machine_->CurrentFrameCalls();
  }
};

TEST_F(MessageTest, StackUpwardsOldestLowest) {
  // The 16-pixel font of screens 900 or more wide.
  Core.UiFonts[font::kText] =
      plat::LoadImageFont(std::string(PUFFWICK_SOURCE_DIR) + "/Files/Common/SVBasicManual.ttf", 16, 4);
  ASSERT_NE(Core.UiFonts[font::kText], 0);
  for (int i = 0; i < 10; i++) AddMessage("Message " + std::to_string(i), 1);
  std::vector<plat::DrawCall> calls = DrawOnce();
  ASSERT_EQ(calls.size(), 20u);
  for (int i = 0; i < 10; i++) {
    const plat::DrawCall& band = calls[2 * i];
    const plat::DrawCall& text = calls[2 * i + 1];
    ASSERT_EQ(band.kind, plat::DrawCall::kRect);
    ASSERT_EQ(text.kind, plat::DrawCall::kText);
    EXPECT_EQ(text.text, "Message " + std::to_string(i));
    EXPECT_DOUBLE_EQ(text.x, 0);
    EXPECT_DOUBLE_EQ(text.y, 960 - 16 - 14 * i);
    EXPECT_DOUBLE_EQ(band.y, text.y);
    EXPECT_DOUBLE_EQ(band.width, plat::TextWidth(text.text));
    EXPECT_DOUBLE_EQ(band.height, plat::TextHeight());
    EXPECT_DOUBLE_EQ(text.scaleX, 1);
  }
  EXPECT_EQ(Core.MessageList.front().c, 1);
}

TEST_F(MessageTest, FlashForASecondThenFadeAndGoAfterThree) {
  AddMessage("Saved Screenshot", 1);
  for (int frame = 1; frame <= 180; frame++) {
    if (frame == 100) AddMessage("Second", 1);
    std::vector<plat::DrawCall> calls = DrawOnce();
    ASSERT_GE(calls.size(), 2u);
    const plat::DrawCall& band = calls[0];
    const plat::DrawCall& text = calls[1];
    bool flashing = frame < 60;
    EXPECT_EQ(band.r, flashing ? 255 : 0) << "frame " << frame;
    EXPECT_EQ(band.g, flashing ? 255 : 0);
    EXPECT_EQ(band.b, 0);
    EXPECT_DOUBLE_EQ(band.alpha, 0.7);
    EXPECT_EQ(text.r, flashing ? 0 : 255) << "frame " << frame;
    EXPECT_EQ(text.b, flashing ? 0 : 255);
    EXPECT_DOUBLE_EQ(text.alpha, 1);
  }
  ASSERT_EQ(Core.MessageList.size(), 1u);
  EXPECT_EQ(Core.MessageList.front().txt, "Second");
  std::vector<plat::DrawCall> calls = DrawOnce();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_DOUBLE_EQ(calls[1].y, 960 - std::max(16, plat::TextHeight()));  // dropped into the place of the first
  EXPECT_EQ(Core.MessageList.front().tick, 82);
}

}  // namespace
