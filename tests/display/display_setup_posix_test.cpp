// The display setup tests of what only Linux has: child processes, signals, permission
// bits, links.
#include <unistd.h>

#include "display_setup_fixture.h"

namespace {

TEST_F(DisplaySetupTest, ACrashMarkerLinkIsNeverWrittenThrough) {
  WriteBytes("victim", "precious");
  ASSERT_EQ(::symlink(At("victim").c_str(), At("Files/257/crash.dat").c_str()), 0);
  SetupDisplay();
  EXPECT_EQ(ReadBytes("victim"), "precious");
  EXPECT_FALSE(std::filesystem::is_symlink(At("Files/257/crash.dat")));
}

}  // namespace
