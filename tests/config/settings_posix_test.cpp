// The settings tests of what only Linux has: child processes, signals, permission
// bits, links.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "settings_fixture.h"
#include "testkit/child.h"

namespace {

TEST_F(SaveTest, ASaveThatCannotReplaceTheFileLogsOneLine) {
  const struct {
    const char* what;
    mode_t mode;  // 0: a folder stands in the way
    const char* line;
  } cases[] = {
      {"a folder in the way", 0, "\tCould not write Setup.ini"},
      // The tests run as root, whom permission bits do not stop: the mode is the player's word.
      {"read-only", 0444, "\tSetup.ini is read-only, so it is kept as it is"},
      {"read-only for the owner", 0400, "\tSetup.ini is read-only, so it is kept as it is"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(At("Files/Setup.ini"));
    std::filesystem::remove(At("Files/Debug.txt"));
    const std::string old = "[Graphics]\r\nWidth = 640\r\n";
    if (c.mode == 0) {
      MakeDir("Files/Setup.ini");
    } else {
      WriteBytes("Files/Setup.ini", old);
      ASSERT_EQ(::chmod(At("Files/Setup.ini").c_str(), c.mode), 0);
    }
    ASSERT_TRUE(OpenLog(At("Files/Debug.txt")));
    int before[100];
    std::copy(std::begin(Core.Settings), std::end(Core.Settings), before);
    std::string here = plat::CurrentDir();
    SaveSetup();
    CloseLog();
    EXPECT_EQ(plat::CurrentDir(), here);
    for (int i = 0; i < 100; i++) EXPECT_EQ(Core.Settings[i], before[i]);
    if (c.mode != 0) {
      EXPECT_EQ(ReadBytes("Files/Setup.ini"), old);
      struct stat st;
      ASSERT_EQ(::stat(At("Files/Setup.ini").c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & 0777, c.mode);
    }
    EXPECT_TRUE(SaveTemps("Files/Setup.ini").empty());
    std::vector<std::string> lines = ReadLines("Files/Debug.txt");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), c.line);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("Setup.ini") != std::string::npos; }),
              1);
  }
}

// A Setup.ini this run cannot read holds the player's settings: the run uses the
// defaults, says so in one line, and saves beside the file, never over it (nor
// over what an earlier run left beside it).
TEST_F(SaveTest, AnUnreadableFileIsKeptAndTheSettingsSavedBesideIt) {
  const std::string theirs = "Width=1024\r\nMaster = 10\r\nKey=21,90\r\n";
  WriteBytes("Files/Setup.ini", theirs);
  WriteBytes("Files/Setup.ini.unsaved", "an earlier run's");
  ASSERT_EQ(::chmod(At("Files/Setup.ini").c_str(), 0600), 0);
  // Reachable and writable for the user the rights are dropped to (the tests run
  // as root, whom permission bits do not stop).
  ASSERT_EQ(::chmod(root_.c_str(), 0777), 0);
  ASSERT_EQ(::chmod(At("Files").c_str(), 0777), 0);
  ASSERT_TRUE(OpenLog(At("Files/Debug.txt")));
  const int status = ExitStatusOfChild(true, [&] {
    if (!plat::ChangeDir(At("Files"))) return 2;
    Core.Settings[slot::width] = 640;
    LoadSetup();
    const bool defaults = Core.Settings[slot::width] == 800 && Core.Settings[slot::masterVolume] == 50 && Core.KeyBindings[21] == 0;
    Core.Settings[slot::musicVolume] = 70;  // changed in the settings panel
    SaveSetup();
    SaveSetup();
    return defaults ? 0 : 1;
  });
  CloseLog();
  if (status == 77) GTEST_SKIP() << "cannot drop the root user's rights here";
  EXPECT_EQ(status, 0) << "the run did not start from the defaults";
  EXPECT_EQ(ReadBytes("Files/Setup.ini"), theirs);
  struct stat st;
  ASSERT_EQ(::stat(At("Files/Setup.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(ReadBytes("Files/Setup.ini.unsaved"), "an earlier run's");
  const std::vector<std::string> saved = ReadLines("Files/Setup.ini.unsaved2");
  EXPECT_NE(std::find(saved.begin(), saved.end(), "Music = 70"), saved.end());
  EXPECT_NE(std::find(saved.begin(), saved.end(), "Width=800"), saved.end());
  const std::vector<std::string> log = ReadLines("Files/Debug.txt");
  EXPECT_EQ(std::count(log.begin(), log.end(),
                       "\tSetup.ini could not be read, so it is kept as it is; this run uses the defaults and saves "
                       "its settings in Setup.ini.unsaved2"),
            1);
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& l) { return l.find("unsaved") != std::string::npos; }),
            1);
}

}  // namespace
