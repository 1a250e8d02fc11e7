// The settings panel on a real window: Tab slides it in over the screen, and Apply
// to another listed size reopens the window at that size.
#include <gtest/gtest.h>

#include <SDL.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "config/display.h"
#include "config/settings.h"
#include "config/settings_menu.h"
#include "core/log.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "platform/backend.h"
#include "platform/platform.h"
#include "testkit/xvfb.h"

namespace {

void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1); }

void PushKey(Uint32 type, SDL_Keycode sym, SDL_Scancode code) {
  SDL_Event e{};
  e.type = type;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.sym = sym;
  e.key.keysym.scancode = code;
  Push(e);
}

// A left click at a virtual point, as the window would report it.
void PushClick(double vx, double vy) {
  const int x = static_cast<int>(vx * plat::GraphicsWidth() / Core.VirtualWidth);
  const int y = static_cast<int>(vy * plat::GraphicsHeight() / Core.VirtualHeight);
  for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
    SDL_Event e{};
    e.type = type;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    Push(e);
  }
}

// One screen frame: clear, then EndFrame (which runs the panel).
void ScreenFrame() {
  BeginFrameDrawing(1);
  EndFrame(0);
}

class SettingsPanelWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!realtest::EnsureXServer(&why)) GTEST_SKIP() << why;
    start_ = plat::CurrentDir();
    char pattern[] = "/tmp/puffwick_panel_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    std::filesystem::create_directories(root_ + "/Files/257");
    std::filesystem::create_directories(root_ + "/Files/Common");
    plat::UseBackend(plat::MakeSdlBackend());
    ASSERT_TRUE(plat::StartServices());
    ASSERT_TRUE(plat::ChangeDir(root_ + "/Files"));
    ASSERT_TRUE(OpenLog("Debug.txt"));
    Core.FilesFolderPath = root_ + "/Files";
    LoadSetup();
    ASSERT_TRUE(plat::ChangeDir("257/"));
    Config.DisplayHooks = DisplayServices{};
    Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = 50000;
    SetupDisplay();
    ASSERT_TRUE(plat::DisplayIsOpen());
    Frame.FrameHooks = FrameServices{};
    Frame.FrameHooks.SaveSetup = SaveSetup;
    Frame.FrameHooks.DrawSettingsMenu = DrawSettingsMenu;
    Frame.OverlayOn = 0;
    Core.ControlMode = 1;
    Frame.LastFrameTime = plat::Millisecs();
  }

  void TearDown() override {
    CloseLog();
    if (!start_.empty()) plat::ChangeDir(start_);
    if (!root_.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(root_, ignored);
    }
  }

  std::string ReadFile(const std::string& path) {
    std::ifstream in(root_ + "/" + path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string start_, root_;
};

TEST_F(SettingsPanelWindowTest, TabOpensThePanelAndApplyReopensTheWindowAtTheChosenSize) {
  const int firstWidth = plat::GraphicsWidth();
  PushKey(SDL_KEYDOWN, SDLK_TAB, SDL_SCANCODE_TAB);
  PushKey(SDL_KEYUP, SDLK_TAB, SDL_SCANCODE_TAB);
  for (int frame = 0; frame < 12; frame++) ScreenFrame();
  ASSERT_EQ(Frame.SettingsOpen, 1);
  ASSERT_EQ(Config.MenuY, 20);

  // The panel's bright bottom edge on the back buffer, at virtual y Config.MenuY + 298.
  BeginFrameDrawing(1);
  DrawSettingsMenu();
  const int edgeY = (Config.MenuY + 299) * plat::GraphicsHeight() / Core.VirtualHeight;
  plat::Pixmap shot = plat::GrabPixmap(0, 0, plat::GraphicsWidth(), plat::GraphicsHeight());
  const uint32_t edge = plat::PixmapPixel(shot, plat::GraphicsWidth() / 2, edgeY);
  const uint32_t below = plat::PixmapPixel(shot, plat::GraphicsWidth() / 2, edgeY + 10);
  plat::FreePixmap(shot);
  EXPECT_GT((edge >> 16) & 0xFF, 200u) << std::hex << edge;  // green part of (180, 255, 180)
  EXPECT_EQ(below & 0xFFFFFF00u, 0u) << std::hex << below;   // the cleared screen under it
  plat::Flip(0);

  // Step the resolution button to a listed size other than the open one.
  ASSERT_GT(Config.ModeCount, 0);
  int target = 0;
  for (int step = 0; step < Config.ModeCount + 1 && target == 0; step++) {
    PushClick(30, Config.MenuY + 70 + 16);
    ScreenFrame();
    ScreenFrame();  // the panel takes the click a frame after EndFrame read it
    if (Core.Settings[slot::width] != firstWidth) target = Core.Settings[slot::width];
  }
  if (target == 0) GTEST_SKIP() << "the X server lists no other usable size";
  const int targetHeight = Core.Settings[slot::height];

  PushClick(20, Config.MenuY + 261);
  ScreenFrame();
  ScreenFrame();
  EXPECT_EQ(Frame.SettingsOpen, 0);
  EXPECT_EQ(plat::GraphicsWidth(), target);
  EXPECT_EQ(plat::GraphicsHeight(), targetHeight);
  int w = 0, h = 0;
  SDL_Window* window = SDL_GL_GetCurrentWindow();
  if (window) {
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(w, target);
    EXPECT_EQ(h, targetHeight);
  }
  EXPECT_NE(ReadFile("Files/Setup.ini").find("Width=" + std::to_string(target) + "\r\n"), std::string::npos);
  EXPECT_NE(ReadFile("Files/Debug.txt").find("\tChanged Graphics Mode ingame."), std::string::npos);
}

}  // namespace
