// The title screen in a real window: start-up on the SDL backend under a private
// X server, then the title's own picture read back from the window.
#include <gtest/gtest.h>

#include <SDL.h>
#include <stdlib.h>

#include <filesystem>

#include "core/assets.h"
#include "core/settings_table.h"
#include "frame/frame.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/startup.h"
#include "shell/title.h"
#include "testkit/xvfb.h"

namespace {

namespace fs = std::filesystem;

int g_frames = 0;
double g_blueShare = 0;  // share of the window in stripe blue
int g_promptPixels = 0;  // pink or white (under the mouse) where the prompt belongs

void PushEscape(Uint32 type) {
  SDL_Event escape{};
  escape.type = type;
  escape.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  escape.key.keysym.sym = SDLK_ESCAPE;
  escape.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
  SDL_PushEvent(&escape);
}

// Runs in EndFrame every frame, after the title has drawn its picture. On frame
// 45 Escape is tapped: pressed and let go before the title looks at it. A title
// that misses the tap gets a held Escape much later, so that the test ends.
void WatchTitle() {
  ++g_frames;
  if (g_frames == 200) PushEscape(SDL_KEYDOWN);
  if (g_frames != 45) return;
  const int gw = plat::GraphicsWidth(), gh = plat::GraphicsHeight();
  plat::Pixmap shot = plat::GrabPixmap(0, 0, gw, gh);
  int blue = 0;
  for (int y = 0; y < gh; y += 4) {
    for (int x = 0; x < gw; x += 4) {
      const uint32_t p = plat::PixmapPixel(shot, x, y);
      if ((p >> 16 & 0xFFFF) == 0 && (p >> 8 & 0xFF) > 50) ++blue;
    }
  }
  g_blueShare = blue / ((gh / 4.0) * (gw / 4.0));
  // The prompt's box: 400 by 80 virtual pixels around the centre.
  const double sx = gw / static_cast<double>(Core.VirtualWidth), sy = gh / static_cast<double>(Core.VirtualHeight);
  for (int y = static_cast<int>(gh / 2 - 40 * sy); y < gh / 2 + 40 * sy; ++y) {
    for (int x = static_cast<int>(gw / 2 - 200 * sx); x < gw / 2 + 200 * sx; ++x) {
      const uint32_t p = plat::PixmapPixel(shot, x, y);
      const int r = p >> 24, g = p >> 16 & 0xFF, b = p >> 8 & 0xFF;
      if (r > 200 && g > 100 && b > 100) ++g_promptPixels;
    }
  }
  plat::FreePixmap(shot);
  PushEscape(SDL_KEYDOWN);
  PushEscape(SDL_KEYUP);
}

TEST(TitleWindow, ShowsTheTitleUntilAnEscapeTap) {
  std::string why;
  if (!realtest::EnsureXServer(&why)) GTEST_SKIP() << why;
  const fs::path files = fs::path(PUFFWICK_SOURCE_DIR) / "Files";
  if (!fs::exists(files / "Common" / "logo.png")) GTEST_SKIP() << "no media";
  char pattern[] = "/tmp/puffwick_title_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path root = pattern;
  fs::copy(files, root / "Files", fs::copy_options::recursive);
  fs::remove(root / "Files" / "257" / "scores.dat");
  const fs::path start = fs::current_path();
  fs::current_path(root);

  plat::UseBackend(plat::MakeSdlBackend());
  StartUp();
  Frame.FrameHooks.UpdateSong = WatchTitle;
  RunTitleScreen();  // returns on Escape
  EXPECT_EQ(g_frames, 45) << "the Escape tap was not acted on";
  plat::UseHeadless();  // closes the window

  // Stripes fill most of the window; the prompt is drawn over them.
  EXPECT_GT(g_blueShare, 0.3);
  EXPECT_GT(g_promptPixels, 50);

  fs::current_path(start);
  std::error_code ignored;
  fs::remove_all(root, ignored);
}

}  // namespace
