// The data and save folders mounted as one tree: reads fall back from the save
// folder to the data folder, writes go only to the save folder, and folder moves
// see both.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/headless/headless.h"
#include "platform/os.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

class FileView : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::UseHeadless();
    home_ = fs::current_path();
    dir_ = fs::path(PUFFWICK_BINARY_DIR) / ("platform_core_view_" + std::to_string(plat::sys::ProcessId()));
    fs::remove_all(dir_);
    data_ = (dir_ / "data").string();
    save_ = (dir_ / "save").string();
    fs::create_directories(data_ + "/Files/257");
    fs::create_directories(data_ + "/Files/Common");
    fs::create_directories(save_);
    Put(data_ + "/Files/257/title.ini", "from data\r\n");
    Put(data_ + "/Files/Setup.ini", "shipped\r\n");
    fs::current_path(dir_);  // the process's own folder must not matter
  }
  void TearDown() override {
    plat::UnmountFileRoots();
    fs::current_path(home_);
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string FirstLine(const std::string& path) {
    plat::Stream s = plat::ReadFile(path);
    std::string line = plat::ReadLine(s);
    plat::CloseStream(s);
    return line;
  }
  // Every file under the data folder, with its bytes, to show nothing changed there.
  std::map<std::string, std::string> DataTree() const {
    std::map<std::string, std::string> tree;
    for (const auto& e : fs::recursive_directory_iterator(data_)) tree[e.path().string()] = e.is_regular_file() ? Bytes(e.path().string()) : "/";
    return tree;
  }
  fs::path home_, dir_;
  std::string data_, save_;
};

TEST_F(FileView, ReadsPreferTheSaveFolderAndWritesGoOnlyThere) {
  auto before = DataTree();
  plat::MountFileRoots(data_, save_);
  EXPECT_EQ(plat::CurrentDir(), save_);
  // The start-up path: into Files/ (only in the data folder yet), then the game folder.
  ASSERT_TRUE(plat::ChangeDir("Files/"));
  EXPECT_EQ(plat::CurrentDir(), save_ + "/Files");
  EXPECT_EQ(FirstLine("Setup.ini"), "shipped");
  plat::Stream log = plat::WriteFile("Debug.txt");
  ASSERT_NE(log, 0);
  plat::WriteLine(log, "Loading");
  plat::CloseStream(log);
  EXPECT_TRUE(plat::ReplaceFileContents("Setup.ini", "mine\r\n"));
  EXPECT_EQ(FirstLine("Setup.ini"), "mine");  // the saved copy hides the shipped one

  ASSERT_TRUE(plat::ChangeDir("257/"));
  EXPECT_EQ(plat::FileType("title.ini"), plat::kFileTypeFile);
  EXPECT_EQ(FirstLine("title.ini"), "from data");
  // A new file in a folder the save folder lacks yet: the folder is made.
  EXPECT_TRUE(plat::ReplaceFileContents("scores.dat", "1\r\n"));
  EXPECT_TRUE(plat::MakeDir("replays/a"));
  // Moves through "../" see both folders; the current folder is the one asked for.
  ASSERT_TRUE(plat::ChangeDir("../"));
  ASSERT_TRUE(plat::ChangeDir("Common/"));
  EXPECT_EQ(plat::CurrentDir(), save_ + "/Files/Common");
  EXPECT_FALSE(plat::ChangeDir("Nowhere/"));
  EXPECT_EQ(plat::CurrentDir(), save_ + "/Files/Common");
  ASSERT_TRUE(plat::ChangeDir(save_ + "/Files/257"));  // absolute paths come back

  EXPECT_EQ(Bytes(save_ + "/Files/Debug.txt"), "Loading\r\n");
  EXPECT_EQ(Bytes(save_ + "/Files/Setup.ini"), "mine\r\n");
  EXPECT_EQ(Bytes(save_ + "/Files/257/scores.dat"), "1\r\n");
  EXPECT_TRUE(fs::is_directory(save_ + "/Files/257/replays/a"));
  EXPECT_FALSE(fs::exists(save_ + "/Files/Common"));  // moving in makes nothing
  EXPECT_EQ(DataTree(), before);
  EXPECT_FALSE(fs::exists(dir_ / "Files"));  // nor in the process's folder
}

TEST_F(FileView, DeletingReachesOnlySavedFiles) {
  plat::MountFileRoots(data_, save_);
  plat::ChangeDir("Files");
  EXPECT_FALSE(plat::DeleteFile("Setup.ini"));  // shipped with the game: stays
  EXPECT_TRUE(fs::exists(data_ + "/Files/Setup.ini"));
  ASSERT_TRUE(plat::ReplaceFileContents("257/crash.dat", "x"));
  EXPECT_EQ(plat::FileType("257/crash.dat"), plat::kFileTypeFile);
  EXPECT_TRUE(plat::DeleteFile("257/crash.dat"));
  EXPECT_EQ(plat::FileType("257/crash.dat"), plat::kFileTypeNone);
}

TEST_F(FileView, LoadersReadMediaThroughTheView) {
  const std::string src = std::string(PUFFWICK_SOURCE_DIR) + "/Files/";
  fs::copy_file(src + "Common/logo.png", data_ + "/Files/Common/logo.png");
  fs::copy_file(src + "Common/SVBasicManual.ttf", data_ + "/Files/Common/SVBasicManual.ttf");
  fs::copy_file(src + "Common/badgeget.wav", data_ + "/Files/Common/badgeget.wav");
  plat::MountFileRoots(data_, save_);
  ASSERT_TRUE(plat::ChangeDir("Files/Common"));
  plat::Pixmap logo = plat::LoadPixmap("logo.png");
  EXPECT_GT(plat::PixmapWidth(logo), 0);
  EXPECT_NE(plat::LoadImageFont("SVBasicManual.ttf", 20), 0);
  EXPECT_NE(plat::LoadSound("badgeget.wav"), 0);
  // The PNG writer saves into the save folder.
  EXPECT_TRUE(plat::SavePixmapPNG(logo, "../shot.png", 9));
  EXPECT_TRUE(fs::is_regular_file(save_ + "/Files/shot.png"));
  plat::FreePixmap(logo);
}

TEST_F(FileView, WithSavingOffNothingIsWrittenAnywhere) {
  const std::string absent = (dir_ / "readonly" / "save").string();
  fs::create_directories(dir_ / "readonly");
  auto before = DataTree();
  plat::MountFileRoots(data_, absent, false);
  EXPECT_FALSE(plat::SavingOn());
  ASSERT_TRUE(plat::ChangeDir("Files/257"));
  EXPECT_EQ(FirstLine("title.ini"), "from data");
  EXPECT_EQ(plat::WriteFile("../Debug.txt"), 0);
  EXPECT_FALSE(plat::ReplaceFileContents("scores.dat", "1"));
  EXPECT_FALSE(plat::MakeDir("replays"));
  EXPECT_FALSE(plat::DeleteFile("title.ini"));
  plat::Pixmap p = plat::LoadPixmap(std::string(PUFFWICK_SOURCE_DIR) + "/Files/Common/logo.png");
  ASSERT_NE(p, 0);  // paths outside the save folder are read as they are
  EXPECT_FALSE(plat::SavePixmapPNG(p, "shot.png", 9));
  plat::FreePixmap(p);
  EXPECT_FALSE(fs::exists(absent));
  EXPECT_EQ(DataTree(), before);
}

TEST_F(FileView, UnmountedPathsAreTheMachinesOwn) {
  plat::MountFileRoots(data_, save_);
  plat::UnmountFileRoots();
  EXPECT_TRUE(plat::SavingOn());
  EXPECT_EQ(plat::CurrentDir(), dir_.string());
  EXPECT_EQ(plat::FileType("data/Files/Setup.ini"), plat::kFileTypeFile);
  EXPECT_TRUE(plat::MakeDir("made/here"));
  EXPECT_TRUE(fs::is_directory(dir_ / "made/here"));
}

}  // namespace
