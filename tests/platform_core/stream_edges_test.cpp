// Text streams at their limits: empty files, very long lines and every byte value.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/headless/headless.h"
#include "platform/os.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

class StreamEdges : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::UseHeadless();
    home_ = fs::current_path();
    dir_ = fs::path(PUFFWICK_BINARY_DIR) / ("platform_core_edges_" + std::to_string(plat::sys::ProcessId()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(home_);
    fs::remove_all(dir_);
  }
  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::vector<std::string> ReadAll(const std::string& path) {
    std::vector<std::string> lines;
    plat::Stream s = plat::ReadFile(path);
    if (s == 0) return lines;
    // The loop callers use: read, then test for the end.
    do {
      lines.push_back(plat::ReadLine(s));
    } while (!plat::Eof(s));
    plat::CloseStream(s);
    return lines;
  }
  fs::path home_, dir_;
};

TEST_F(StreamEdges, AnEmptyFileReadsAsOneEmptyLine) {
  Put("empty.ini", "");
  plat::Stream s = plat::ReadFile("empty.ini");
  ASSERT_NE(s, 0);  // empty is still a file
  EXPECT_TRUE(plat::Eof(s));
  EXPECT_EQ(plat::ReadLine(s), "");
  EXPECT_EQ(plat::ReadLine(s), "");  // reading past the end stays harmless
  EXPECT_TRUE(plat::Eof(s));
  plat::CloseStream(s);
  EXPECT_EQ(ReadAll("empty.ini"), std::vector<std::string>{""});
}

TEST_F(StreamEdges, ALineOfMegabytesComesBackWholeWithoutItsCarriageReturns) {
  std::string line;
  line.reserve(2 << 20);
  for (int i = 0; i < (2 << 20) / 8; ++i) line += "abc\rdefg";
  Put("huge.txt", line + "\r\nnext");
  std::string expected = line;
  std::erase(expected, '\r');
  std::vector<std::string> lines = ReadAll("huge.txt");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), expected.size());
  EXPECT_TRUE(lines[0] == expected);
  EXPECT_EQ(lines[1], "next");
}

TEST_F(StreamEdges, EveryByteButTheTerminatorsRoundTrips) {
  // One byte per character: bytes above 127 are characters, not encodings.
  std::string all;
  for (int b = 1; b < 256; ++b) {
    if (b != '\n' && b != '\r') all += static_cast<char>(b);
  }
  plat::Stream w = plat::WriteFile("bytes.dat");
  ASSERT_NE(w, 0);
  EXPECT_TRUE(plat::WriteLine(w, all));
  EXPECT_TRUE(plat::WriteLine(w, "\xff\xe9"));
  plat::CloseStream(w);
  EXPECT_EQ(fs::file_size("bytes.dat"), all.size() + 2 + 4);
  EXPECT_EQ(ReadAll("bytes.dat"), (std::vector<std::string>{all, "\xff\xe9"}));
}

}  // namespace
