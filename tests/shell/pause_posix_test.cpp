// The pause tests of what only Linux has: child processes, signals, permission
// bits, links.
#include "pause_fixture.h"

namespace {

TEST_F(ScreenshotTest, ALinkAtTheNameIsReplacedNotFollowed) {
  WriteBytes("victim", "keep");
  std::filesystem::create_symlink(At("victim"), At("Files/" + kName));
  ShootFrame(0, 0, 200);
  EXPECT_EQ(ReadBytes("victim"), "keep");
  EXPECT_FALSE(std::filesystem::is_symlink(At("Files/" + kName)));
  plat::Pixmap shot = plat::LoadPixmap(At("Files/" + kName));
  ASSERT_NE(shot, 0);
  EXPECT_EQ(plat::PixmapPixel(shot, 400, 300), 0x0000C8FFu);
}

// A screenshot that was not saved says so, on the screen and with its reason in the
// log, and leaves no file behind.

}  // namespace
