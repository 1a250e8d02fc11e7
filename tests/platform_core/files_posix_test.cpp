// The files tests of what only Linux has: child processes, signals, permission
// bits, links.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files_fixture.h"

namespace {

TEST_F(Files, AWrittenFileReplacesALinkAtItsName) {
  Put("victim", "keep");
  std::filesystem::create_symlink(std::filesystem::absolute("victim"), "Debug.txt");
  plat::Stream s = plat::WriteFile("Debug.txt");
  ASSERT_NE(s, 0);
  EXPECT_TRUE(plat::WriteLine(s, "Loading"));
  plat::CloseStream(s);
  EXPECT_EQ(Bytes("victim"), "keep");
  EXPECT_FALSE(std::filesystem::is_symlink("Debug.txt"));
  EXPECT_EQ(Bytes("Debug.txt"), "Loading\r\n");
}

// ---------------------------------------------------------------- whole-file saves

TEST_F(Files, ReplacingWritesTheWholeFileAndLeavesNoTemporary) {
  Put("Setup.ini", "old text");
  ::chmod("Setup.ini", 0600);
  const std::string text(100000, 'x');
  ASSERT_TRUE(plat::ReplaceFileContents("Setup.ini", text));
  EXPECT_EQ(Bytes("Setup.ini"), text);
  ASSERT_TRUE(plat::ReplaceFileContents("sub/new.dat", ""));  // a new, empty file
  EXPECT_EQ(plat::FileType("sub/new.dat"), plat::kFileTypeFile);
  EXPECT_EQ(Bytes("sub/new.dat"), "");
  struct stat st;
  ASSERT_EQ(::stat("Setup.ini", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u) << "the old file's permissions are kept";
  EXPECT_EQ(Temps(), std::vector<std::string>{});
  // All but one: a file its owner could not read is replaced by one they can.
  ::chmod("Setup.ini", 0220);
  ASSERT_TRUE(plat::ReplaceFileContents("Setup.ini", "again"));
  ASSERT_EQ(::stat("Setup.ini", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0620u);
  EXPECT_EQ(Temps("sub"), std::vector<std::string>{});
}

// A save that fails partway (a full disk, a write error) must leave the old file
// exactly as it was and no temporary file behind.
TEST_F(Files, AReadOnlyFileIsNeverReplaced) {
  const struct {
    mode_t mode;
    bool readOnly;
  } cases[] = {{0444, true}, {0400, true}, {0555, true}, {0644, false}, {0600, false}, {0200, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    Put("Setup.ini", "old");
    ASSERT_EQ(::chmod("Setup.ini", c.mode), 0);
    EXPECT_EQ(plat::FileIsReadOnly("Setup.ini"), c.readOnly);
    EXPECT_EQ(plat::ReplaceFileContents("Setup.ini", "new"), !c.readOnly);
    ::chmod("Setup.ini", 0600);
    EXPECT_EQ(Bytes("Setup.ini"), c.readOnly ? "old" : "new");
    EXPECT_EQ(Temps(), std::vector<std::string>{});
    ::remove("Setup.ini");
  }
  EXPECT_FALSE(plat::FileIsReadOnly("missing.ini"));
  EXPECT_FALSE(plat::FileIsReadOnly("sub"));
  EXPECT_FALSE(plat::FileIsReadOnly(""));
}

// A link planted where a save might put its temporary file is never followed: the
// file it points to stays as it was.
TEST_F(Files, ASaveNeverWritesThroughAPlantedLink) {
  Put("victim", "precious");
  Put("Setup.ini", "old");
  ASSERT_EQ(::symlink((dir_ / "victim").c_str(), "Setup.ini.new"), 0);
  ASSERT_TRUE(plat::ReplaceFileContents("Setup.ini", "new"));
  EXPECT_EQ(Bytes("Setup.ini"), "new");
  EXPECT_EQ(Bytes("victim"), "precious");
  EXPECT_TRUE(fs::is_symlink("Setup.ini.new")) << "a fresh file of another's is left alone";
}

// A save killed midway leaves its temporary file. Fresh ones may be another
// process's save in progress and stay; the next save removes those older than an
// hour (a link among them without touching what it points to); other names stay.
TEST_F(Files, TheNextSaveRemovesTheLeftoversOfSavesKilledLongAgo) {
  Put("victim", "precious");
  for (const char* name : {"Setup.ini.new", "Setup.ini.new-k1ll3d", "Setup.ini.new-fresh0", "Setup.ini.new-abc",
                           "Setup.ini.unsaved", "Other.ini.new-k1ll3d"}) {
    Put(name, "half a save");
  }
  ASSERT_EQ(::symlink((dir_ / "victim").c_str(), "Setup.ini.new-l1nk00"), 0);
  const timespec twoHoursAgo[2] = {{std::time(nullptr) - 7200, 0}, {std::time(nullptr) - 7200, 0}};
  for (const char* name : {"Setup.ini.new", "Setup.ini.new-k1ll3d", "Setup.ini.new-abc", "Setup.ini.unsaved",
                           "Other.ini.new-k1ll3d", "Setup.ini.new-l1nk00"}) {
    ASSERT_EQ(::utimensat(AT_FDCWD, name, twoHoursAgo, AT_SYMLINK_NOFOLLOW), 0) << name;
  }
  ASSERT_TRUE(plat::ReplaceFileContents("Setup.ini", "new"));
  EXPECT_EQ(Bytes("Setup.ini"), "new");
  EXPECT_EQ(Bytes("victim"), "precious");
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(".")) left.push_back(e.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"Other.ini.new-k1ll3d", "Setup.ini", "Setup.ini.new-abc",
                                            "Setup.ini.new-fresh0", "Setup.ini.unsaved", "sub", "victim"}));
}

// Two processes save the same file over and over while a third reads it: every
// read finds one writer's text whole, and every save succeeds.
TEST_F(Files, TwoProcessesSavingAtOnceLeaveTheFileWholeForAReader) {
  const int kSaves = 150;  // per writer
  const std::string texts[2] = {std::string(20000, 'a') + "\r\n", std::string(30000, 'b') + "\r\n"};
  Put("Setup.ini", texts[0]);
  int go[2];
  ASSERT_EQ(::pipe(go), 0);
  pid_t writers[2];
  for (int w = 0; w < 2; w++) {
    writers[w] = ::fork();
    ASSERT_GE(writers[w], 0);
    if (writers[w] == 0) {
      char byte;
      if (::read(go[0], &byte, 1) != 1) _exit(100);
      int failed = 0;
      for (int i = 0; i < kSaves; i++) failed += !plat::ReplaceFileContents("Setup.ini", texts[w]);
      _exit(std::min(failed, 99));
    }
  }
  ::close(go[0]);
  ASSERT_EQ(::write(go[1], "!!", 2), 2);
  ::close(go[1]);
  // Reads until both writers are done, within bounds on count and time.
  int reads = 0, bad = 0, running = 2;
  int status[2] = {-1, -1};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (running > 0 && reads < 200000 && std::chrono::steady_clock::now() < deadline) {
    const std::string seen = Bytes("Setup.ini");
    reads++;
    if (seen != texts[0] && seen != texts[1]) bad++;
    for (int w = 0; w < 2; w++) {
      if (status[w] == -1 && ::waitpid(writers[w], &status[w], WNOHANG) == writers[w]) running--;
    }
  }
  for (int w = 0; w < 2; w++) {
    if (status[w] == -1) {
      ::kill(writers[w], SIGKILL);
      ::waitpid(writers[w], &status[w], 0);
    }
  }
  RecordProperty("saves_per_writer", kSaves);
  RecordProperty("reads", reads);
  RecordProperty("bad_reads", bad);
  EXPECT_EQ(bad, 0) << "empty or partial in " << bad << " of " << reads << " reads";
  for (int w = 0; w < 2; w++) {
    ASSERT_TRUE(WIFEXITED(status[w])) << "writer " << w << " did not finish in time";
    EXPECT_EQ(WEXITSTATUS(status[w]), 0) << "failed saves of writer " << w;
  }
  EXPECT_GT(reads, 0);
  const std::string last = Bytes("Setup.ini");
  EXPECT_TRUE(last == texts[0] || last == texts[1]);
  EXPECT_EQ(Temps(), std::vector<std::string>{});
}

}  // namespace
