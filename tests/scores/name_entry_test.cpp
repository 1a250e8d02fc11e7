// The name-entry screen, driven frame by frame with scripted input.
#include <functional>
#include <vector>

#include "platform/keycodes.h"
#include "scores/name_entry.h"
#include "scores_fixture.h"

namespace {

class NameEntryTest : public ScoresTest {
 protected:
  void SetUp() override {
    ScoresTest::SetUp();
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
    plat::SetVirtualResolution(1280, 960);
    machine_->SetFrameCap(100);  // a screen that never ends fails instead of hanging
    Frame.LastFrameTime = plat::Millisecs();
  }

  plat::InputState& In() { return machine_->ScriptInput(); }
  void Tap(int key) {
    In().PressKey(key);
    In().ReleaseKey(key);
  }
  // Runs the screen; `script` is called as each frame is presented (0 for the first).
  void Run(std::function<void(int)> script) {
    machine_->OnFrame(std::move(script));
    EnterName();
  }
};

TEST_F(NameEntryTest, BackspaceRemovesOneCharacterAFrameDownToEmpty) {
  const struct {
    int backspaces;
    const char* name;
  } cases[] = {{1, "Playe"}, {6, ""}, {7, ""}};
  for (const auto& c : cases) {
    HighScores.PlayerName = "Player";
    int start = machine_->FramesPresented();
    Run([&](int frame) { Tap(frame - start < c.backspaces ? plat::kKeyBackspace : plat::kKeyEnter); });
    EXPECT_EQ(HighScores.PlayerName, c.name) << c.backspaces;
    EXPECT_EQ(machine_->FramesPresented() - start, c.backspaces + 1);
  }
}

TEST_F(NameEntryTest, TypingIntoAnEmptyNameShowsItCentredWithTheCursor) {
  HighScores.PlayerName = "";
  machine_->SetRecording(true);
  std::vector<plat::DrawCall> shown;
  Run([&](int frame) {
    if (frame == 0) In().typed.push_back('A');
    if (frame == 1) {
      shown = machine_->CurrentFrameCalls();
      Tap(plat::kKeyEnter);
    }
  });
  EXPECT_EQ(HighScores.PlayerName, "A");

  const plat::DrawCall *title = nullptr, *name = nullptr;
  for (const plat::DrawCall& c : shown) {
    if (c.kind != plat::DrawCall::kText) continue;
    if (c.text == "Enter Your Name") title = &c;
    if (c.text == "A_" || c.text == "A ") name = &c;
  }
  ASSERT_NE(title, nullptr);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(std::tie(title->r, title->g, title->b), std::make_tuple(0, 255, 0));
  EXPECT_EQ(title->x, 640 - static_cast<int>(title->width) / 2);
  EXPECT_EQ(name->x, 640 - plat::TextWidth("A") / 2);  // centred by the name alone
  // The backdrop: rotated stripes from purple towards blue.
  const plat::DrawCall& stripe = shown.front();
  EXPECT_EQ(stripe.kind, plat::DrawCall::kRect);
  EXPECT_EQ(stripe.rotation, -45);
  EXPECT_EQ(std::tie(stripe.r, stripe.g, stripe.b), std::make_tuple(49, 0, 50));
}

TEST_F(NameEntryTest, EnterHeldFromTheGameDoesNotSkipTheScreen) {
  In().PressKey(plat::kKeyEnter);
  const int64_t release = machine_->Now() + 200;
  machine_->At(release, [](plat::InputState& in) { in.ReleaseKey(plat::kKeyEnter); });
  int64_t firstFrame = 0;
  Run([&](int frame) {
    if (frame == 0) firstFrame = machine_->Now();
    if (frame == 2) Tap(plat::kKeyEnter);
  });
  EXPECT_GE(firstFrame, release);
  EXPECT_EQ(machine_->FramesPresented(), 3);
  EXPECT_EQ(HighScores.PlayerName, "Player");
}

TEST_F(NameEntryTest, AClickOrEscapeAcceptsTheNameAndWaitsForRelease) {
  const struct {
    const char* what;
    std::function<void(plat::InputState&)> press, release;
  } cases[] = {
      {"click", [](plat::InputState& in) { in.PressMouse(plat::kMouseLeft); },
       [](plat::InputState& in) { in.ReleaseMouse(plat::kMouseLeft); }},
      {"escape", [](plat::InputState& in) { in.PressKey(plat::kKeyEscape); },
       [](plat::InputState& in) { in.ReleaseKey(plat::kKeyEscape); }},
  };
  for (const auto& c : cases) {
    HighScores.PlayerName = "Player";
    int start = machine_->FramesPresented();
    int64_t release = 0;
    Run([&](int frame) {
      if (frame == start) In().typed.push_back('Z');
      if (frame == start + 1) {
        c.press(In());
        release = machine_->Now() + 50;
        machine_->At(release, c.release);
      }
    });
    EXPECT_EQ(HighScores.PlayerName, "PlayerZ") << c.what;
    EXPECT_EQ(machine_->FramesPresented() - start, 2) << c.what;
    EXPECT_GE(machine_->Now(), release) << c.what;
  }
}

TEST_F(NameEntryTest, OneTypedCharacterAFrameAndNoneThatBreakTheFile) {
  std::vector<std::string> names;
  Run([&](int frame) {
    if (frame == 0) In().typed = {'x', 'y', '|', '\r', '\n', 300, 'z'};
    if (frame > 0) names.push_back(HighScores.PlayerName);
    if (frame == 7) Tap(plat::kKeyEnter);
  });
  EXPECT_EQ(names, (std::vector<std::string>{"Playerx", "Playerxy", "Playerxy", "Playerxy", "Playerxy", "Playerxy",
                                             "Playerxyz"}));
}

TEST_F(NameEntryTest, ANameHasNoLengthLimit) {
  const std::string thirty(30, 'n');
  HighScores.PlayerName = thirty;
  Run([&](int frame) {
    if (frame == 0) In().typed.push_back('x');
    if (frame == 2) Tap(plat::kKeyEnter);
  });
  EXPECT_EQ(HighScores.PlayerName, thirty + "x");
}

}  // namespace
