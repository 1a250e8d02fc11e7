// The startup tests of what only Linux has: child processes, signals, permission
// bits, links.
#include "startup_fixture.h"

namespace {

TEST_F(StartUpTest, ATerminationSignalDuringLoadingSavesOnlyWhatWasRead) {
  MakeDir("Files/257");
  WriteBytes("Files/Setup.ini", "Width=1024\r\n");
  const std::string scores = "500|Kept|0|0|0|0|0|0\r\n\r\n";
  WriteBytes("Files/257/scores.dat", scores);
  bool markerWhileLoading = false;
  machine_->OnFrame([&](int frame) {
    if (frame != 0) return;  // the splash
    markerWhileLoading = plat::FileType(At("Files/257/crash.dat")) == plat::kFileTypeFile;
    raise(SIGTERM);
    plat::Delay(1);
  });
  int code = -1;
  try {
    StartUp();
  } catch (const plat::ProcessEnded& end) {
    code = end.code;
  }
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(markerWhileLoading);
  EXPECT_EQ(plat::FileType(At("Files/257/crash.dat")), plat::kFileTypeNone);
  EXPECT_EQ(ReadBytes("Files/257/scores.dat"), scores);
  EXPECT_EQ(ReadLines("Files/Setup.ini").front(), "[Graphics]");
  std::vector<std::string> log = ReadLines("Files/Debug.txt");
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
            (std::vector<std::string>{"Closing Up", "", "Bye!", "", "Play again, soon!!"}));
}

}  // namespace
