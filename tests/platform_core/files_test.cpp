// Folders, file types and the one-byte-per-character text streams.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::UseHeadless();
    home_ = fs::current_path();
    dir_ = fs::path(PUFFWICK_BINARY_DIR) / ("platform_core_files_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "sub");
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(home_);
    fs::remove_all(dir_);
    plat::SetNoticeSink(nullptr);
  }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // The temporary files of saves left in a folder ("<name>.new" and "<name>.new-...").
  static std::vector<std::string> Temps(const std::string& folder = ".") {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) {
      const std::string name = e.path().filename().string();
      if (name.find(".new") != std::string::npos) out.push_back(name);
    }
    return out;
  }
  fs::path home_, dir_;
};

TEST_F(Files, WrittenLinesEndInCrLfAndKeepEveryByte) {
  plat::Stream s = plat::WriteFile("out.txt");
  ASSERT_NE(s, 0);
  EXPECT_TRUE(plat::WriteLine(s, "Fullscreen = 0"));
  EXPECT_TRUE(plat::WriteLine(s, ""));
  EXPECT_TRUE(plat::WriteLine(s, "caf\xe9"));
  EXPECT_FALSE(plat::StreamFailed(s));
  // Flushed per line: the log is on disk before it is closed.
  EXPECT_EQ(Bytes("out.txt"), "Fullscreen = 0\r\n\r\ncaf\xe9\r\n");
  plat::CloseStream(s);

  plat::Stream r = plat::ReadFile("out.txt");
  ASSERT_NE(r, 0);
  EXPECT_EQ(plat::ReadLine(r), "Fullscreen = 0");
  EXPECT_EQ(plat::ReadLine(r), "");
  EXPECT_FALSE(plat::Eof(r));
  EXPECT_EQ(plat::ReadLine(r), "caf\xe9");
  EXPECT_TRUE(plat::Eof(r));
  plat::CloseStream(r);
}

TEST_F(Files, ReadLineEndsAtLfZeroOrEndAndDropsEveryCr) {
  const char bytes[] = "a\rb\r\nunix\nzero\0after\n\r\r\nlast";
  Put("in.txt", std::string(bytes, sizeof bytes - 1));
  plat::Stream r = plat::ReadFile("in.txt");
  std::vector<std::string> lines;
  while (!plat::Eof(r)) lines.push_back(plat::ReadLine(r));
  plat::CloseStream(r);
  EXPECT_EQ(lines, (std::vector<std::string>{"ab", "unix", "zero", "after", "", "last"}));
}

TEST_F(Files, WritingEmptiesAnExistingFile) {
  Put("old.txt", "a much longer old content\r\n");
  plat::Stream s = plat::WriteFile("old.txt");
  plat::WriteLine(s, "new");
  plat::CloseStream(s);
  EXPECT_EQ(Bytes("old.txt"), "new\r\n");
}

TEST_F(Files, NoneAndClosedStreamsAreHarmless) {
  for (plat::Stream s : {0, 12345}) {
    EXPECT_EQ(plat::ReadLine(s), "");
    EXPECT_FALSE(plat::WriteLine(s, "x"));
    EXPECT_TRUE(plat::Eof(s));  // a read loop over none ends at once
    EXPECT_TRUE(plat::StreamFailed(s));
    plat::CloseStream(s);
  }
  plat::Stream s = plat::WriteFile("f.txt");
  plat::CloseStream(s);
  EXPECT_FALSE(plat::WriteLine(s, "after close"));
  plat::CloseStream(s);
  // Reading from a write stream and writing to a read stream do nothing.
  s = plat::WriteFile("g.txt");
  EXPECT_EQ(plat::ReadLine(s), "");
  plat::CloseStream(s);
  plat::Stream r = plat::ReadFile("g.txt");
  EXPECT_FALSE(plat::WriteLine(r, "x"));
  plat::CloseStream(r);
  EXPECT_EQ(Bytes("g.txt"), "");
}

TEST_F(Files, MissingOrUnusablePathsGiveNone) {
  std::vector<std::string> notices;
  plat::SetNoticeSink([&](const std::string& t) { notices.push_back(t); });
  EXPECT_EQ(plat::ReadFile("missing.txt"), 0);
  EXPECT_EQ(plat::ReadFile("sub"), 0);  // a folder is not a file
  EXPECT_EQ(plat::ReadFile(""), 0);
  EXPECT_TRUE(notices.empty()) << "a missing file is normal, not a problem";
  EXPECT_EQ(plat::WriteFile("sub"), 0);
  EXPECT_EQ(plat::WriteFile("nowhere/x.txt"), 0);
  EXPECT_EQ(notices.size(), 2u);
}

// The log is written afresh at every start: a link planted at its name is
// replaced, and what it pointed to stays as it was.
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
TEST_F(Files, AWriteFailingHalfwayLeavesTheOldFile) {
  const std::string old = "[Graphics]\r\nWidth=800\r\n";
  const std::string text(64 * 1024, 'n');
  for (long long budget : {0LL, 1LL, 4096LL, 32 * 1024LL, 64 * 1024LL - 1}) {
    SCOPED_TRACE(budget);
    Put("Setup.ini", old);
    plat::FailFileWritesAfter(budget);
    EXPECT_FALSE(plat::ReplaceFileContents("Setup.ini", text));
    plat::FailFileWritesAfter(-1);
    EXPECT_EQ(Bytes("Setup.ini"), old);
    EXPECT_EQ(Temps(), std::vector<std::string>{});
  }
  plat::FailFileWritesAfter(64 * 1024);  // exactly enough
  EXPECT_TRUE(plat::ReplaceFileContents("Setup.ini", text));
  plat::FailFileWritesAfter(-1);
  EXPECT_EQ(Bytes("Setup.ini"), text);

  // Nowhere to put the temporary file: refused, nothing touched.
  EXPECT_FALSE(plat::ReplaceFileContents("missing/Setup.ini", text));
  EXPECT_FALSE(plat::ReplaceFileContents("", text));
  EXPECT_FALSE(plat::ReplaceFileContents("sub", text));
  EXPECT_EQ(plat::FileType("sub"), plat::kFileTypeFolder) << "a folder stays a folder";
  EXPECT_EQ(Temps(), std::vector<std::string>{});
}

// A rename replaces a file whatever its mode, so the mode is checked first: a file
// the player made read-only is never replaced (the tests run as root, whom
// permission bits do not stop, so the bits themselves decide).
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

TEST_F(Files, FileTypesAndDeleting) {
  Put("a.dat", "");
  EXPECT_EQ(plat::FileType("a.dat"), plat::kFileTypeFile);
  EXPECT_EQ(plat::FileType("sub"), plat::kFileTypeFolder);
  EXPECT_EQ(plat::FileType("sub/"), plat::kFileTypeFolder);
  EXPECT_EQ(plat::FileType("nothing"), plat::kFileTypeNone);
  EXPECT_EQ(plat::FileType(""), plat::kFileTypeNone);
  EXPECT_FALSE(plat::DeleteFile("sub"));
  EXPECT_EQ(plat::FileType("sub"), plat::kFileTypeFolder);
  EXPECT_TRUE(plat::DeleteFile("a.dat"));
  EXPECT_EQ(plat::FileType("a.dat"), plat::kFileTypeNone);
  EXPECT_FALSE(plat::DeleteFile("a.dat"));
}

TEST_F(Files, ChangeDirMovesRelativelyAndStaysPutOnFailure) {
  const std::string start = plat::CurrentDir();
  EXPECT_EQ(fs::path(start), fs::canonical(dir_));
  EXPECT_FALSE(plat::ChangeDir("Files/"));
  EXPECT_FALSE(plat::ChangeDir(""));
  EXPECT_EQ(plat::CurrentDir(), start);
  ASSERT_TRUE(plat::ChangeDir("sub/"));
  EXPECT_EQ(fs::path(plat::CurrentDir()), fs::canonical(dir_ / "sub"));
  // Files now land in the new folder.
  plat::CloseStream(plat::WriteFile("here.txt"));
  EXPECT_EQ(plat::FileType("../sub/here.txt"), plat::kFileTypeFile);
  ASSERT_TRUE(plat::ChangeDir("../"));
  EXPECT_EQ(plat::CurrentDir(), start);
}

TEST_F(Files, AFailingWriteIsReportedOnceAndRemembered) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  std::vector<std::string> notices;
  plat::SetNoticeSink([&](const std::string& t) { notices.push_back(t); });
  plat::Stream s = plat::WriteFile("/dev/full");
  ASSERT_NE(s, 0);
  EXPECT_FALSE(plat::WriteLine(s, "disk is full"));
  EXPECT_FALSE(plat::WriteLine(s, "still full"));
  EXPECT_TRUE(plat::StreamFailed(s));
  plat::CloseStream(s);
  EXPECT_EQ(notices.size(), 1u);
}

TEST_F(Files, ANoticeSinkThatFailsDoesNotReportItselfForever) {
  plat::Stream broken = plat::WriteFile("/dev/full");
  if (broken == 0) GTEST_SKIP() << "no /dev/full";
  int calls = 0;
  plat::SetNoticeSink([&](const std::string& t) {
    ++calls;
    plat::WriteLine(broken, t);  // a log that cannot be written
  });
  plat::Notice("first");
  EXPECT_EQ(calls, 1);
  plat::SetNoticeSink(nullptr);
  plat::CloseStream(broken);
}

}  // namespace
