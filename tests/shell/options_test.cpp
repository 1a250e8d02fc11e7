#include "options_fixture.h"

namespace {

TEST(Options, ParsesEachFormAndRefusesWhatItDoesNotKnow) {
  UseGame(TestGameTable());  // the usage and version name the game
  struct Case {
    std::vector<std::string> args;
    std::string error;  // "" when accepted
    std::string data, save;
    bool help, version;
  };
  const std::vector<Case> cases = {
      {{}, "", "", "", false, false},
      {{"--data", "/d", "--save=/s"}, "", "/d", "/s", false, false},
      {{"-h"}, "", "", "", true, false},
      {{"--help", "--version"}, "", "", "", true, true},
      {{"--bogus"}, "unknown option --bogus", "", "", false, false},
      {{"--bogus=1"}, "unknown option --bogus", "", "", false, false},
      {{"-x"}, "unknown option -x", "", "", false, false},
      {{"stray"}, "unexpected argument stray", "", "", false, false},
      {{"--data"}, "option --data needs a value (DIR)", "", "", false, false},
      {{"--save="}, "option --save needs a value (DIR)", "", "", false, false},
      {{"--version=2"}, "option --version takes no value", "", "", false, false},
  };
  for (const Case& c : cases) {
    ProgramOptions o;
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    SCOPED_TRACE(joined);
    EXPECT_EQ(ParseOptions(c.args, o), c.error);
    if (!c.error.empty()) continue;
    EXPECT_EQ(o.dataFolder, c.data);
    EXPECT_EQ(o.saveFolder, c.save);
    EXPECT_EQ(o.help, c.help);
    EXPECT_EQ(o.version, c.version);
  }
  const std::string usage = UsageText();
  for (const char* name : {"--data DIR", "--save DIR", "-h, --help", "--version"}) {
    EXPECT_NE(usage.find(name), std::string::npos) << name;
  }
  EXPECT_EQ(VersionText(), "puffwick-loopery 0.0.0-test");
}

TEST(FilePlacesChoice, WorkingFilesFirstThenBesideTheProgramAndTheUsersFolder) {
  UseGame(TestGameTable());  // the shared and save folders are named after the game
  MachinePlaces checkout{"/src/game", true, "/src/game/build", "/home/u/.local/share", ""};
  MachinePlaces installed{"/tmp", false, "/opt/pl/bin", "/home/u/.local/share", ""};
  MachinePlaces homeless{"/tmp", false, "/usr/bin", "", "HOME is not set"};
  auto folders = [](const std::string& data, const std::string& save) {
    ProgramOptions o;
    o.dataFolder = data;
    o.saveFolder = save;
    return o;
  };
  struct Case {
    const char* what;
    MachinePlaces machine;
    ProgramOptions options;
    bool mount;
    std::string data, save;
  };
  const std::vector<Case> cases = {
      {"checkout", checkout, {}, false, "", ""},
      {"installed", installed, {}, true, "/opt/pl/share/puffwick-loopery", "/home/u/.local/share/puffwick-loopery"},
      {"no home", homeless, {}, true, "/usr/share/puffwick-loopery", ""},
      {"--save in a checkout", checkout, folders("", "../s/"), true, "/src/game", "/src/s"},
      {"--data installed", installed, folders("d", ""), true, "/tmp/d", "/home/u/.local/share/puffwick-loopery"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FilePlaces p = ChooseFilePlaces(c.options, c.machine);
    EXPECT_EQ(p.mount, c.mount);
    EXPECT_EQ(p.data, c.data);
    EXPECT_EQ(p.save, c.save);
  }
}

TEST_F(SavingOff, AnUncreatableSaveFolderIsSaidOnceAndTheGameRunsWithoutSaving) {
  MakeDir("data/Files/257");
  WriteBytes("data/Files/Setup.ini", "Width=1024\r\nHeight=768\r\n");
  // A home that is a file: no folder can be made below it, whoever runs the test
  // (root writes into read-only folders; the installed-game test covers that case).
  WriteBytes("home", "");
  FilePlaces places{true, At("data"), At("home/.local/share/puffwick-loopery"), ""};
  std::string problem = UseFilePlaces(places);
  EXPECT_EQ(problem, "Cannot create the save folder " + At("home/.local/share/puffwick-loopery") +
                         " (Not a directory): settings, scores and screenshots will not be saved");
  EXPECT_FALSE(plat::SavingOn());

  StartUp();
  ASSERT_EQ(Core.MessageList.size(), 1u);
  EXPECT_EQ(Core.MessageList.front().txt, "No save folder: settings, scores and screenshots will not be saved");
  EXPECT_EQ(Core.Settings[slot::width], 1024);  // settings still read from the data folder
  SaveSetup();
  TakeScreenshot();
  // Nothing new anywhere: not in the data folder, not in the working folder.
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root_)) files.push_back(e.path().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{At("data"), At("data/Files"), At("data/Files/257"),
                                             At("data/Files/Setup.ini"), At("home")}));
}

TEST_F(SavingOff, MissingMediaAreSaidButTheSaveFolderIsMade) {
  FilePlaces places{true, At("nowhere"), At("save"), ""};
  EXPECT_EQ(UseFilePlaces(places), "No game media in " + At("nowhere") + "/Files (start with --data DIR)");
  EXPECT_TRUE(plat::SavingOn());
  EXPECT_EQ(plat::FileType(At("save/Files")), plat::kFileTypeFolder);
}

// Without a save folder the message says what is wrong with HOME.

}  // namespace
