// The settings panel, driven frame by frame on the headless machine with the
// mouse placed in Core.MouseState (as EndFrame leaves it) or scripted through EndFrame.
#include <algorithm>
#include <climits>

#include "testkit/scratch.h"
#include "config/input.h"
#include "config/joysticks.h"
#include "config/settings_menu.h"
#include "platform/keycodes.h"

namespace {

constexpr int kRestY = 20;
constexpr int kAudioX = 1280 - 280;  // the audio column on a 1280 wide surface

class SettingsMenuTest : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    ASSERT_TRUE(plat::OpenDisplay(800, 600, 0, 60, 0));
    plat::SetVirtualResolution(1280, 960);
    Core.VirtualWidth = 1280;
    Core.VirtualHeight = 960;
    Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = 50000;
    Core.IconsCrisp = plat::CreateImage(16, 16, 64);
    Core.IconsFiltered = plat::CreateImage(16, 16, 64);
    Config.MenuY = -300;
    Config.BindingCaptureSlot = -1;
    Core.ControlMode = 1;
    Core.PlayerCount = 4;
    Config.JoystickCount = 0;
    for (int& e : Config.JoyEnabled) e = 0;
    Config.ModeCount = 0;
    machine_->SetRecording(true);
  }

  void OpenAtRest() {
    ::Frame.SettingsOpen = 1;
    Config.MenuY = kRestY;
  }

  // One frame of the panel with the mouse at (x, y) and the given clicks; returns
  // the draw calls it made.
  std::vector<plat::DrawCall> Frame(int x, int y, int clicks = 0, int rightClicks = 0) {
    Core.MouseState.x = x;
    Core.MouseState.y = y;
    Core.MouseState.MouseClicked = clicks;
    Core.MouseState.RightClicked = rightClicks;
    const size_t before = machine_->CurrentFrameCalls().size();
    DrawSettingsMenu();
    const std::vector<plat::DrawCall>& all = machine_->CurrentFrameCalls();
    return std::vector<plat::DrawCall>(all.begin() + static_cast<long>(before), all.end());
  }

  static const plat::DrawCall* Text(const std::vector<plat::DrawCall>& calls, const std::string& text) {
    auto it = std::find_if(calls.begin(), calls.end(), [&](const plat::DrawCall& c) {
      return c.kind == plat::DrawCall::kText && c.text == text;
    });
    return it == calls.end() ? nullptr : &*it;
  }

  void SetModes(const std::vector<std::pair<int, int>>& modes) {
    Config.ModeCount = static_cast<int>(modes.size());
    for (int i = 0; i < Config.ModeCount; i++) {
      Config.ModeList.width[i + 1] = modes[i].first;
      Config.ModeList.height[i + 1] = modes[i].second;
    }
  }
};

// Panel-relative row y of a widget to a point inside it, with the panel at rest.
int Inside(int rowY) { return rowY + kRestY + 16; }

TEST_F(SettingsMenuTest, TabSlidesThePanelInTenFramesAndOutAgain) {
  ::Frame.FrameHooks.DrawSettingsMenu = DrawSettingsMenu;
  machine_->ScriptInput().PressKey(plat::kKeyTab);
  std::vector<int> offsets;
  for (int frame = 0; frame < 11; frame++) {
    EndFrame(0);
    offsets.push_back(Config.MenuY);
  }
  const std::vector<int> opening = {-268, -236, -204, -172, -140, -108, -76, -44, -12, 20, 20};
  EXPECT_EQ(offsets, opening);
  EXPECT_NE(Text(machine_->LastFrameCalls(), "Graphics"), nullptr);

  machine_->ScriptInput().ReleaseKey(plat::kKeyTab);
  machine_->ScriptInput().PressKey(plat::kKeyTab);
  for (int frame = 0; frame < 10; frame++) EndFrame(0);
  EXPECT_EQ(Config.MenuY, -300);
  EXPECT_EQ(Text(machine_->LastFrameCalls(), "Graphics"), nullptr);  // hidden draws nothing
}

TEST_F(SettingsMenuTest, AClickReachesThePanelOnTheFrameAfterItHappened) {
  ::Frame.FrameHooks.DrawSettingsMenu = DrawSettingsMenu;
  OpenAtRest();
  plat::MoveVirtualMouse(30, Inside(30));  // the Windowed/Fullscreen option
  machine_->ScriptInput().PressMouse(plat::kMouseLeft);
  EndFrame(0);
  EXPECT_EQ(Core.Settings[slot::fullscreen], 0);  // EndFrame reads the click after the panel ran
  EXPECT_EQ(Core.MouseState.MouseClicked, 1);
  EndFrame(0);
  EXPECT_EQ(Core.Settings[slot::fullscreen], 1);
  EndFrame(0);
  EXPECT_EQ(Core.Settings[slot::fullscreen], 1);  // one click, one step
}

TEST_F(SettingsMenuTest, OptionsCycleThroughTheirLabels) {
  OpenAtRest();
  struct Case {
    int slot, rowY;
    std::vector<int> afterClicks;
  } cases[] = {
      {slot::fullscreen, 30, {1, 0, 1}},
      {slot::slowSystem, 146, {1, 0}},
      {slot::gfxEngine, 184, {1, 2, 0, 1}},
  };
  for (const Case& c : cases) {
    Core.Settings[c.slot] = 0;
    std::vector<int> seen;
    for (size_t i = 0; i < c.afterClicks.size(); i++) {
      Frame(30, Inside(c.rowY), 1);
      seen.push_back(Core.Settings[c.slot]);
    }
    EXPECT_EQ(seen, c.afterClicks) << "slot " << c.slot;
  }
}

// A machine with our renderer only (a web page) shows that one choice, and a click
// leaves it chosen.
TEST_F(SettingsMenuTest, AMachineWithOneRendererOffersOnlyIt) {
  machine_->SetRendererChoices(1);
  OpenAtRest();
  Core.Settings[slot::gfxEngine] = 0;
  for (int click = 0; click < 2; click++) {
    std::vector<plat::DrawCall> calls = Frame(30, Inside(184), 1);
    EXPECT_EQ(Core.Settings[slot::gfxEngine], 0);
    EXPECT_NE(Text(calls, "OpenGL"), nullptr);
    EXPECT_EQ(Text(calls, "DirectX 9"), nullptr);
  }
}

TEST_F(SettingsMenuTest, OptionShowsTwoLineLabelsAndItsIconOrGlow) {
  OpenAtRest();
  Core.Settings[slot::gfxEngine] = 1;
  std::vector<plat::DrawCall> calls = Frame(600, 600);  // mouse away
  const plat::DrawCall* first = Text(calls, "DirectX 9");
  const plat::DrawCall* second = Text(calls, "Alternative");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->x, 58);
  EXPECT_EQ(second->x, 58);
  EXPECT_EQ(second->y - first->y, 16);  // field 1 at row + 8, field 2 at row + 24
  auto iconFrames = [](const std::vector<plat::DrawCall>& cs, plat::Image image) {
    std::vector<int> frames;
    for (const plat::DrawCall& c : cs) {
      if (c.kind == plat::DrawCall::kImage && c.image == image) frames.push_back(c.frame);
    }
    return frames;
  };
  std::vector<int> crisp = iconFrames(calls, Core.IconsCrisp);
  EXPECT_NE(std::find(crisp.begin(), crisp.end(), 18 + 1), crisp.end());
  EXPECT_TRUE(iconFrames(calls, Core.IconsFiltered).empty());

  calls = Frame(30, Inside(184));  // hovering the gfxEngine option glows it
  EXPECT_EQ(iconFrames(calls, Core.IconsFiltered), std::vector<int>{19});
  EXPECT_EQ(Core.Settings[slot::gfxEngine], 1);  // no click, no change
}

TEST_F(SettingsMenuTest, ResolutionButtonWrapsBothWaysAndTakesTheModeSize) {
  SetModes({{640, 480}, {800, 600}, {1024, 768}, {1280, 960}, {1920, 1080}});
  OpenAtRest();
  enum Input { kClick, kRightClick, kKeyRight, kKeyUp, kKeyLeft, kKeyDown };
  struct Case {
    int from;
    Input input;
    int to;
  } cases[] = {
      {5, kClick, 1},     {1, kRightClick, 5}, {3, kClick, 4},   {3, kRightClick, 2},
      {5, kKeyRight, 1},  {4, kKeyUp, 5},      {1, kKeyLeft, 5}, {2, kKeyDown, 1},
      {7, kRightClick, 5},  // an index left over from a longer list
  };
  for (const Case& c : cases) {
    Core.Settings[slot::resolutionIndex] = c.from;
    int clicks = 0, rightClicks = 0;
    switch (c.input) {
      case kClick: clicks = 1; break;
      case kRightClick: rightClicks = 1; break;
      case kKeyRight: machine_->ScriptInput().PressKey(plat::kKeyRight); break;
      case kKeyUp: machine_->ScriptInput().PressKey(plat::kKeyUp); break;
      case kKeyLeft: machine_->ScriptInput().PressKey(plat::kKeyLeft); break;
      case kKeyDown: machine_->ScriptInput().PressKey(plat::kKeyDown); break;
    }
    // Anywhere in the 200 by 70 area below the Resolution button counts.
    Frame(200, Inside(70) + 40, clicks, rightClicks);
    for (int key : {plat::kKeyRight, plat::kKeyUp, plat::kKeyLeft, plat::kKeyDown}) {
      machine_->ScriptInput().ReleaseKey(key);
    }
    SCOPED_TRACE("from " + std::to_string(c.from) + " input " + std::to_string(c.input));
    EXPECT_EQ(Core.Settings[slot::resolutionIndex], c.to);
    EXPECT_EQ(Core.Settings[slot::width], Config.ModeList.width[c.to]);
    EXPECT_EQ(Core.Settings[slot::height], Config.ModeList.height[c.to]);
  }
}

TEST_F(SettingsMenuTest, ResolutionButtonIgnoresInputWhenNotUnderTheMouseOrWithoutModes) {
  SetModes({{640, 480}, {800, 600}});
  OpenAtRest();
  Core.Settings[slot::resolutionIndex] = 1;
  Core.Settings[slot::width] = 640;
  machine_->ScriptInput().PressKey(plat::kKeyRight);
  Frame(600, 600, 1, 1);
  EXPECT_EQ(Core.Settings[slot::resolutionIndex], 1);
  EXPECT_EQ(plat::KeyHit(plat::kKeyRight), 1);  // the press is left for the screen

  Config.ModeCount = 0;
  Frame(30, Inside(70), 1);
  EXPECT_EQ(Core.Settings[slot::resolutionIndex], 1);
  EXPECT_EQ(Core.Settings[slot::width], 640);
}

TEST_F(SettingsMenuTest, SizeTextAndQualityLabelFollowTheHeight) {
  OpenAtRest();
  struct Case {
    int height;
    const char* label;
    int r, g, b;
  } cases[] = {
      {899, "Small (Bit blurry)", 255, 180, 80},
      {900, "Native (Crisp, Clear)", 255, 255, 80},
      {960, "Native (Crisp, Clear)", 255, 255, 80},
      {1024, "Bigger! (High-Definition!)", 180, 255, 80},
  };
  for (const Case& c : cases) {
    Core.Settings[slot::width] = 1280;
    Core.Settings[slot::height] = c.height;
    std::vector<plat::DrawCall> calls = Frame(600, 600);
    SCOPED_TRACE(c.height);
    EXPECT_NE(Text(calls, "1280x" + std::to_string(c.height)), nullptr);
    const plat::DrawCall* label = Text(calls, c.label);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->x, 80);
    EXPECT_EQ(label->y, 108 + kRestY + 17);
    EXPECT_EQ(std::vector<int>({label->r, label->g, label->b}), std::vector<int>({c.r, c.g, c.b}));
    EXPECT_EQ(label->scaleX, 1);
  }
}

TEST_F(SettingsMenuTest, SlidersFollowTheHeldMouseAndSnapAtTheEnds) {
  OpenAtRest();
  const int x = kAudioX;
  struct Slider {
    int slot, y;
  } sliders[] = {{slot::masterVolume, kRestY + 70}, {slot::soundVolume, kRestY + 120},
                 {slot::musicVolume, kRestY + 170}};
  struct Case {
    int mouseOffset;  // from x; held over the slider
    int want;
  } cases[] = {{90, 92}, {-1, 0}, {3, 0}, {4, 6}, {92, 94}, {93, 100}, {97, 100}, {48, 50}};
  machine_->ScriptInput().PressMouse(plat::kMouseLeft);
  for (const Slider& s : sliders) {
    for (const Case& c : cases) {
      Core.Settings[s.slot] = 50;
      Frame(x + c.mouseOffset, s.y + 4);
      EXPECT_EQ(Core.Settings[s.slot], c.want) << "slot " << s.slot << " at x + " << c.mouseOffset;
    }
    // Dragged left past the end: the last position inside sets the value.
    Core.Settings[s.slot] = 50;
    for (int offset : {30, 10, 2, -2}) Frame(x + offset, s.y + 4);
    EXPECT_EQ(Core.Settings[s.slot], 0) << "slot " << s.slot;
  }
  // Not held: the value stays, but is still snapped.
  machine_->ScriptInput().ReleaseMouse(plat::kMouseLeft);
  const std::pair<int, int> snaps[] = {{95, 100}, {5, 0},          {6, 6},
                                       {94, 94},  {250, 100},      {INT_MAX, 100},
                                       {-7, 0},   {INT_MIN, 0}};
  for (auto [value, want] : snaps) {
    Core.Settings[slot::musicVolume] = value;
    std::vector<plat::DrawCall> calls = Frame(x + 50, kRestY + 170 + 4);
    EXPECT_EQ(Core.Settings[slot::musicVolume], want) << value;
    EXPECT_NE(Text(calls, "Music : " + std::to_string(value)), nullptr);  // shown before snapping
    // The knob (icon 23, drawn about its centre) stays on its track whatever the file held.
    auto knob = std::find_if(calls.begin(), calls.end(), [](const plat::DrawCall& c) {
      return c.kind == plat::DrawCall::kImage && c.frame == 23 && c.y > kRestY + 170;
    });
    ASSERT_NE(knob, calls.end());
    EXPECT_GE(knob->x, x - 1) << value;
    EXPECT_LE(knob->x, x + 99) << value;
  }
}

TEST_F(SettingsMenuTest, AudioDriverCyclesThroughAtMostSixDrivers) {
  OpenAtRest();
  struct Case {
    std::vector<std::string> names;
    std::vector<int> afterClicks;
  } cases[] = {
      {{"A", "B", "C"}, {1, 2, 0}},
      {{"A", "B", "C", "D", "E", "F", "G", "H"}, {1, 2, 3, 4, 5, 0}},
      {{}, {0}},
  };
  for (const Case& c : cases) {
    Core.AudioDriverNames = c.names;
    Core.Settings[slot::audioDriver] = 0;
    std::vector<int> seen;
    for (size_t i = 0; i < c.afterClicks.size(); i++) {
      Frame(kAudioX + 5, Inside(20), 1);
      seen.push_back(Core.Settings[slot::audioDriver]);
    }
    EXPECT_EQ(seen, c.afterClicks) << c.names.size() << " drivers";
  }

  Core.AudioDriverNames = {"OpenAL", "FreeAudio", "DirectSound"};
  Core.Settings[slot::audioDriver] = 2;
  std::vector<plat::DrawCall> calls = Frame(600, 600);
  EXPECT_NE(Text(calls, "Audio Driver"), nullptr);
  EXPECT_NE(Text(calls, "DirectSound"), nullptr);
  const plat::DrawCall* notice = Text(calls, "Changes require a Restart");
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(notice->x, kAudioX);
  EXPECT_EQ(notice->y, kRestY + 50);
}

TEST_F(SettingsMenuTest, ClickingAJoystickNameTogglesIt) {
  plat::JoystickState pad;
  pad.name = "Pad One";
  pad.buttons = {false, false};
  machine_->PlugJoystick(pad);
  pad.name = "Pad Two";
  machine_->PlugJoystick(pad);
  ReadJoysticks();
  ASSERT_EQ(Config.JoystickCount, 2);
  Config.JoyEnabled[1] = 1;
  Config.JoyEnabled[2] = 0;
  OpenAtRest();

  std::vector<plat::DrawCall> calls = Frame(600, 600);
  const plat::DrawCall* one = Text(calls, "Pad One");
  const plat::DrawCall* two = Text(calls, "Pad Two");
  ASSERT_NE(one, nullptr);
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(one->y, kRestY + 230);
  EXPECT_EQ(two->y, kRestY + 245);
  EXPECT_EQ(one->alpha, 1);
  EXPECT_EQ(two->alpha, 0.2);

  Frame(kAudioX + 3, kRestY + 245 + 5, 1);
  EXPECT_EQ(Config.JoyEnabled[2], 1);
  EXPECT_EQ(Config.JoyEnabled[1], 1);
  Frame(kAudioX + 3, kRestY + 245 + 5, 1);
  EXPECT_EQ(Config.JoyEnabled[2], 0);
  Frame(kAudioX + 3, kRestY + 245 + 5, 0);
  EXPECT_EQ(Config.JoyEnabled[2], 0);

  machine_->JoystickAt(0).buttons[0] = true;  // held first button lights the name
  calls = Frame(600, 600);
  one = Text(calls, "Pad One");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(std::vector<int>({one->r, one->g, one->b}), std::vector<int>({255, 255, 80}));
}

TEST_F(SettingsMenuTest, BindingRowsOnlyForKeyboardGames) {
  OpenAtRest();
  Core.KeyBindings[10] = plat::kKeyZ;
  Core.KeyBindings[20] = plat::kKeyUp;
  EXPECT_EQ(Text(Frame(600, 600), "Player 1"), nullptr);

  Core.ControlMode = 0;
  Core.PlayerCount = 2;
  std::vector<plat::DrawCall> calls = Frame(600, 600);
  EXPECT_NE(Text(calls, "Player 2"), nullptr);
  EXPECT_EQ(Text(calls, "Player 3"), nullptr);
  const std::string row = "Action 10 : " + KeyName(plat::kKeyZ);
  const plat::DrawCall* found = Text(calls, row);
  ASSERT_NE(found, nullptr);
  Frame(static_cast<int>(found->x) + 3, static_cast<int>(found->y) + 5, 1);
  EXPECT_EQ(Config.BindingCaptureSlot, 10);
}

// Display setup's folders and log, for Apply.
class SettingsMenuApplyTest : public SettingsMenuTest {
 protected:
  void SetUp() override {
    SettingsMenuTest::SetUp();
    MakeDir("Files/257");
    MakeDir("Files/Common");
    ASSERT_TRUE(plat::ChangeDir(At("Files")));
    ASSERT_TRUE(OpenLog("Debug.txt"));
    ASSERT_TRUE(plat::ChangeDir("257/"));
    Core.FilesFolderPath = At("Files");
    Config.GraphicsStarted = 0;
    Core.ScreenWidth = 800;
    Core.ScreenHeight = 600;
    Core.Settings[slot::width] = 800;
    Core.Settings[slot::height] = 600;
    Core.AudioDriverNames = {"OpenAL"};
    SetupDisplay();
    machine_->SetRecording(true);
  }

  int Count(const std::string& line) {
    std::vector<std::string> lines = ReadLines("Files/Debug.txt");
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
  }
};

TEST_F(SettingsMenuApplyTest, ApplySavesTheSetupAndReopensTheDisplayAtTheChosenSize) {
  ASSERT_EQ(Core.Settings[slot::resolutionIndex], 2);  // 800x600 of the headless modes
  ASSERT_EQ(Config.ModeCount, 6);                        // ... 1280x960, 1280x800, 1920x1080
  ASSERT_EQ(Config.ModeList.width[6], 1920);
  OpenAtRest();
  Frame(30, Inside(70), 0, 1);
  Frame(30, Inside(70), 0, 1);  // back past 1 to the last mode
  ASSERT_EQ(Core.Settings[slot::width], 1920);

  std::vector<plat::DrawCall> calls = Frame(600, 600);
  const plat::DrawCall* apply = Text(calls, "Apply");
  ASSERT_NE(apply, nullptr);
  EXPECT_EQ(apply->y, kRestY + 260);
  EXPECT_EQ(Count("Applying Graphical Settings"), 1);
  Frame(20, kRestY + 261, 1);

  EXPECT_EQ(::Frame.SettingsOpen, 0);
  std::vector<std::string> setup = ReadLines("Files/Setup.ini");
  EXPECT_NE(std::find(setup.begin(), setup.end(), "Width=1920"), setup.end());
  EXPECT_NE(std::find(setup.begin(), setup.end(), "Height=1080"), setup.end());
  EXPECT_EQ(Count("Applying Graphical Settings"), 2);
  EXPECT_EQ(Count("\tChanged Graphics Mode ingame."), 1);
  EXPECT_EQ(plat::GraphicsWidth(), 1920);
  EXPECT_EQ(Core.VirtualWidth, 1600);
  EXPECT_EQ(Core.VirtualHeight, 900);
  EXPECT_EQ(Core.MouseState.MouseClicked, 0);  // nothing after Apply takes the same click
}

// A frame of the engine test during Apply, with the panel still showing and the
// player clicking Apply again.
void ClickApplyAgainWhileLoading() {
  ::Frame.SettingsOpen = 1;
  Config.MenuY = kRestY;
  Core.MouseState.x = 20;
  Core.MouseState.y = kRestY + 261;
  Core.MouseState.MouseClicked = 1;
  DrawSettingsMenu();
}

TEST_F(SettingsMenuApplyTest, ASecondApplyFromTheLoadingFramesIsIgnored) {
  Config.DisplayHooks.LoadGameMedia = ClickApplyAgainWhileLoading;
  OpenAtRest();
  Frame(20, kRestY + 261, 1);
  EXPECT_EQ(Count("Applying Graphical Settings"), 2);  // start-up's and this Apply's
  EXPECT_EQ(Count("\tChanged Graphics Mode ingame."), 1);
}

}  // namespace
