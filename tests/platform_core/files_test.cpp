#include "files_fixture.h"

namespace {

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
