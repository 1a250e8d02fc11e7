// The shutdown tests of what only Linux has: child processes, signals, permission
// bits, links.
#include "shutdown_fixture.h"

namespace {

TEST_F(ShutdownTest, ATerminationSignalInAGameSavesAndEndsWithoutTheFarewell) {
  ASSERT_TRUE(plat::StartServices());
  Core.GameState = kStatePlaying;
  raise(SIGTERM);
  EXPECT_EQ(UntilEnd([] { EndFrame(1); }), 0);
  EXPECT_EQ(farewellShownAt_, -1) << "a farewell screen was shown";
  EXPECT_EQ(ReadLines("Files/Setup.ini").front(), "[Graphics]");
  EXPECT_EQ(ReadLines("Files/257/scores.dat").front().substr(0, 12), "1234|Tester|");
  EXPECT_EQ(LogTail(5), (std::vector<std::string>{"Closing Up", "", "Bye!", "", "Play again, soon!!"}));
  LogLine("after");
  EXPECT_EQ(ReadLines("Files/Debug.txt").back(), "Play again, soon!!");  // the log is closed
}

// On the farewell screen everything is saved already: a signal just ends it.
TEST_F(ShutdownTest, ATerminationSignalOnTheFarewellEndsItAtOnce) {
  ASSERT_TRUE(plat::StartServices());
  onFarewell_ = [] { raise(SIGHUP); };
  EXPECT_EQ(UntilEnd([] { Shutdown(); }), 0);
  EXPECT_GE(farewellShownAt_, 0);
  EXPECT_LE(endedAt_ - farewellShownAt_, 50);
  std::vector<std::string> log = ReadLines("Files/Debug.txt");
  EXPECT_EQ(std::count(log.begin(), log.end(), "Closing Up"), 1);
}

// The display connection gone: the save runs and the process ends at once with
// status 1 (in a child process, since it really ends).

}  // namespace
