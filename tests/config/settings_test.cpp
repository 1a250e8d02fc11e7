#include "settings_fixture.h"

namespace {

TEST(GetField, SplitsTrimsAndMarksMissingFields) {
  const FieldCase cases[] = {
      {"a|b|c", "|", 3, "c"},
      {"a|b|c", "|", 4, "-+-"},
      {"abc", "|", 2, "abc"},
      {"abc", "|", 1, "abc"},
      {"abc", "|", 3, "-+-"},
      {"a||c", "|", 2, ""},
      {"a|", "|", 2, ""},
      {"a|", "|", 3, "-+-"},
      {" \t Width = 1024 \r", "=", 1, "Width "},
      {" \t Width = 1024 \r", "=", 2, " 1024"},
      {"Key=21,90", "=", 2, "21,90"},
      {"a=b=c", "=", 2, "b"},
      {"", "=", 1, ""},
      {"", "=", 2, ""},
      {"abc", "", 2, "abc"},
      {"abc", "|", 0, "abc"},
  };
  for (const FieldCase& c : cases) {
    EXPECT_EQ(GetField(c.text, c.sep, c.n), c.want) << "'" << c.text << "' field " << c.n;
  }
}

TEST_F(SetupFileTest, DefaultsWithoutAFileAndNothingCreated) {
  Core.Settings[slot::gfxEngine] = 2;  // left over from an earlier run
  Core.KeyBindings[50] = 7;
  LoadSetup();
  EXPECT_EQ(Core.Settings[slot::width], 800);
  EXPECT_EQ(Core.Settings[slot::height], 600);
  EXPECT_EQ(Core.Settings[slot::fullscreen], 0);
  EXPECT_EQ(Core.Settings[slot::gfxEngine], 0);
  EXPECT_EQ(Core.Settings[slot::slowSystem], 0);
  EXPECT_EQ(Core.Settings[slot::masterVolume], 50);
  EXPECT_EQ(Core.Settings[slot::soundVolume], 50);
  EXPECT_EQ(Core.Settings[slot::musicVolume], 50);
  const int defaults[][2] = {{0, 38}, {3, 37}, {5, 39}, {8, 40}, {10, 90}, {11, 88}, {12, 67}, {13, 86}};
  int bound = 0;
  for (int k : Core.KeyBindings) bound += k != 0;
  EXPECT_EQ(bound, 8);
  for (auto& d : defaults) EXPECT_EQ(Core.KeyBindings[d[0]], d[1]) << "slot " << d[0];
  EXPECT_EQ(plat::FileType("Setup.ini"), plat::kFileTypeNone);
}

struct LineCase {
  std::string file;
  int slotNumber;
  int want;
};

TEST_F(SetupFileTest, EachKeyByItsRules) {
  const LineCase cases[] = {
      {"fullscreen=on", slot::fullscreen, 1},
      {"FULLSCREEN = True", slot::fullscreen, 1},
      {"  FullScreen=ON\r\n", slot::fullscreen, 1},
      {"Fullscreen = Yes", slot::fullscreen, 0},
      {"Fullscreen = False", slot::fullscreen, 0},
      {"GfxEngine=dx7\r\nGFX Engine = OpenGL\r\n", slot::gfxEngine, 2},
      {"GFX Engine = DX9", slot::gfxEngine, 1},
      {"GFX Engine = DX8", slot::gfxEngine, 0},
      {"Width=-1024", slot::width, 1024},
      {"width = 1280 pixels", slot::width, 1280},
      {"Width=lots", slot::width, 0},
      {"Width", slot::width, 0},
      {"Width=", slot::width, 0},
      {"Width=$400", slot::width, 1024},
      {"Width=-2147483648", slot::width, INT_MAX},
      {"Width=99999999999999999999", slot::width, INT_MAX},
      {"Height=768\nHeight=480", slot::height, 480},
      {"ESS=0", slot::slowSystem, 1},
      {"ess", slot::slowSystem, 1},
      {"Master=250", slot::masterVolume, 250},
      {"sound = -30", slot::soundVolume, 30},
      {"MUSIC=7", slot::musicVolume, 7},
      {"[Graphics]\n; Width=10\nWidth=1600 = 900", slot::width, 1600},
  };
  for (const LineCase& c : cases) {
    LoadFrom(c.file);
    EXPECT_EQ(Core.Settings[c.slotNumber], c.want) << "file: " << c.file;
  }
}

TEST_F(SetupFileTest, KeyLinesBindSlotsOneToNinetyNine) {
  LoadFrom("Key=21,90\r\nKey=0,55\r\nKey=100,55\r\nKey=99,-301\r\nKey=-4,66\r\nKey=12\r\n");
  EXPECT_EQ(Core.KeyBindings[21], 90);
  EXPECT_EQ(Core.KeyBindings[0], 38);  // slot 0 is never read back
  EXPECT_EQ(Core.KeyBindings[100], 0);
  EXPECT_EQ(Core.KeyBindings[99], 301);
  EXPECT_EQ(Core.KeyBindings[4], 66);
  EXPECT_EQ(Core.KeyBindings[12], 12);  // without a comma the whole value is the code too
}

TEST_F(SetupFileTest, WritesItsLogLinesInOrder) {
  ASSERT_TRUE(OpenLog("Debug.txt"));
  LoadFrom("Fullscreen=True\nGFX Engine=DX9\nESS=1\nWidth=1024\nHeight=768\n");
  CloseLog();
  std::vector<std::string> want = {"\tReading Setup File",
                                   "\tSetting to Fullscreen",
                                   "\tDirectX 9 Mode",
                                   "\tAssuming Emergency Slow System values.",
                                   "Setting Audio Driver",
                                   "Set Audio Driver",
                                   "",
                                   "\tRequested Resolution : 1024x768",
                                   "\tSetup Loaded",
                                   ""};
  EXPECT_EQ(ReadLines("Debug.txt"), want);
}

TEST_F(SetupFileTest, NoReadingLineWithoutAFile) {
  ASSERT_TRUE(OpenLog("Debug.txt"));
  LoadSetup();
  CloseLog();
  std::vector<std::string> lines = ReadLines("Debug.txt");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "Setting Audio Driver");
}

TEST_F(SetupFileTest, SurvivesHostileFiles) {
  std::mt19937 random(7);
  std::string noise;
  for (int i = 0; i < 200000; i++) noise.push_back(static_cast<char>(random()));
  const std::string files[] = {
      "",
      noise,
      std::string(3 << 20, 'x') + "\nWidth=640",
      "Width=1024" + std::string(1, '\0') + "Height=700",  // a zero byte ends a line
      "Width=1111",                                        // no line end at all
      "=\n==\n=,=\nKEY=,\nKEY=$,%\nAUDIODRIVER\n\n\n",
      std::string{'\xff', '\xfe', '\0', '\x01'} + "Width=5\r\r\r\n",
  };
  for (const std::string& f : files) {
    LoadFrom(f);
    EXPECT_GE(Core.Settings[slot::width], 0);
  }
  LoadFrom(files[2]);
  EXPECT_EQ(Core.Settings[slot::width], 640);
  LoadFrom(files[3]);
  EXPECT_EQ(Core.Settings[slot::width], 1024);
  EXPECT_EQ(Core.Settings[slot::height], 700);
  LoadFrom(files[4]);
  EXPECT_EQ(Core.Settings[slot::width], 1111);
}

struct DriverCase {
  std::vector<std::string> offered;
  std::string file;
  int want;
  std::string selected;  // what the audio layer was asked to start; empty: nothing
};

TEST_F(SetupFileTest, DefaultDriverIsTheLastDirectElseTheFirstOpenALOrFree) {
  const DriverCase cases[] = {
      {{"OpenAL", "FreeAudio"}, "", 0, "OpenAL"},
      {{"Null", "FreeAudio ALSA", "OpenAL Soft"}, "", 1, "FreeAudio ALSA"},
      {{"FreeAudio", "DirectSound A", "OpenAL", "DirectSound B", "openal x"}, "", 3, "DirectSound B"},
      {{"Null", "directsound"}, "", 1, "directsound"},
      {{"Null", "Other"}, "", 0, "Null"},
      {{}, "", 0, ""},
      {{"A", "B"}, "AudioDriver = B", 1, "B"},
      {{"OpenAL", "B"}, "AudioDriver = b", 0, "OpenAL"},  // letter case counts, and no default follows
      {{"X", "OpenAL"}, "AudioDriver = Nothing", 0, "X"},
      {{"Null", "OpenAL USB"}, "AudioDriver = OpenAL USB", 1, "OpenAL USB"},
  };
  for (const DriverCase& c : cases) {
    plat::HeadlessOptions o;
    o.audioDrivers = c.offered;
    plat::HeadlessBackend& machine = plat::UseHeadless(o);
    ResetProgramState();
    plat::DeleteFile("Setup.ini");
    if (!c.file.empty()) WriteBytes("Setup.ini", c.file);
    LoadSetup();
    EXPECT_EQ(Core.AudioDriverNames, c.offered);
    EXPECT_EQ(Core.Settings[slot::audioDriver], c.want)
        << "file: " << c.file << ", offered: " << c.offered.size();
    EXPECT_EQ(machine.RequestedAudioDriver(), c.selected) << "file: " << c.file;
  }
}

TEST_F(SaveTest, WritesTheExactLayoutIntoFilesAndStaysInTheGameFolder) {
  Core.Settings[slot::fullscreen] = 1;
  Core.Settings[slot::gfxEngine] = 1;
  Core.Settings[slot::width] = 1024;
  Core.Settings[slot::height] = 768;
  Core.Settings[slot::slowSystem] = 0;
  Core.Settings[slot::masterVolume] = 50;
  Core.Settings[slot::soundVolume] = 40;
  Core.Settings[slot::musicVolume] = 30;
  Core.Settings[slot::audioDriver] = 1;
  std::string here = plat::CurrentDir();
  SaveSetup();
  EXPECT_EQ(plat::CurrentDir(), here);
  EXPECT_EQ(plat::FileType("Setup.ini"), plat::kFileTypeNone);
  EXPECT_EQ(ReadBytes("Files/Setup.ini"),
            "[Graphics]\r\nFullscreen = True\r\nGFX Engine = DX9\r\nWidth=1024\r\nHeight=768\r\n\r\n"
            "[Audio]\r\nMaster = 50\r\nSound = 40\r\nMusic = 30\r\nAudioDriver = B\r\n"
            "; AudioDriver = A\r\n; AudioDriver = B\r\n\r\n[Controls]\r\n"
            "Key=0,38\r\nKey=3,37\r\nKey=5,39\r\nKey=8,40\r\n"
            "Key=10,90\r\nKey=11,88\r\nKey=12,67\r\nKey=13,86\r\n");
}

TEST_F(SaveTest, OptionalLinesAndBindingRange) {
  Core.Settings[slot::fullscreen] = 5;  // neither value: no line
  Core.Settings[slot::gfxEngine] = 2;
  Core.Settings[slot::slowSystem] = 1;
  Core.KeyBindings[99] = 301;
  Core.KeyBindings[100] = 12;  // never written
  Core.KeyBindings[40] = -3;   // not a code
  SaveSetup();
  std::vector<std::string> lines = ReadLines("Files/Setup.ini");
  std::vector<std::string> head(lines.begin(), lines.begin() + 6);
  std::vector<std::string> want = {
      "[Graphics]", "GFX Engine = DX7", "Width=800", "Height=600",
      "ESS=1 ; This is a slow system, and things must run a wee bit slower for it.  Awww..", ""};
  EXPECT_EQ(head, want);
  EXPECT_EQ(lines.back(), "Key=99,301");
}

TEST_F(SaveTest, WhatIsSavedLoadsBackTheSame) {
  Core.Settings[slot::fullscreen] = 1;
  Core.Settings[slot::gfxEngine] = 2;
  Core.Settings[slot::width] = 1440;
  Core.Settings[slot::height] = 900;
  Core.Settings[slot::slowSystem] = 1;
  Core.Settings[slot::masterVolume] = 100;
  Core.Settings[slot::soundVolume] = 0;
  Core.Settings[slot::musicVolume] = 250;
  Core.Settings[slot::audioDriver] = 1;
  Core.KeyBindings[21] = 90;
  Core.KeyBindings[3] = 65;
  int settings[100], keys[101];
  std::copy(std::begin(Core.Settings), std::end(Core.Settings), settings);
  std::copy(std::begin(Core.KeyBindings), std::end(Core.KeyBindings), keys);
  SaveSetup();
  ASSERT_TRUE(plat::ChangeDir(".."));
  LoadSetup();
  for (int i = 0; i < 100; i++) EXPECT_EQ(Core.Settings[i], settings[i]) << "slot " << i;
  for (int i = 1; i < 101; i++) EXPECT_EQ(Core.KeyBindings[i], keys[i]) << "key slot " << i;
}

TEST_F(SaveTest, UnknownDriverWritesTheFirstOfferedBack) {
  WriteBytes("Files/Setup.ini", "AudioDriver = Z\r\n");
  ASSERT_TRUE(plat::ChangeDir(".."));
  LoadSetup();
  ASSERT_TRUE(plat::ChangeDir("257"));
  EXPECT_EQ(Core.Settings[slot::audioDriver], 0);
  SaveSetup();
  std::vector<std::string> lines = ReadLines("Files/Setup.ini");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "AudioDriver = A"), lines.end());
}

// A save that cannot or may not replace the file leaves it as it was and logs one line.
TEST_F(SaveTest, SavesIntoTheFolderStartUpEnteredFromAnyFolder) {
  ASSERT_TRUE(plat::ChangeDir(".."));
  ASSERT_TRUE(plat::ChangeDir(".."));
  SaveSetup();
  EXPECT_EQ(plat::FileType(At("Files/Setup.ini")), plat::kFileTypeFile);
  EXPECT_EQ(plat::FileType(At("Setup.ini")), plat::kFileTypeNone);
  EXPECT_EQ(plat::CurrentDir(), root_);
}

// Started in a folder that happens to be called 257 with no Files/ inside it:
// start-up stays there, reads ./Setup.ini, and the save must land beside it.
TEST_F(SaveTest, AStartFolderNamed257WithoutFilesKeepsItsSettings) {
  MakeDir("elsewhere/257");
  ASSERT_TRUE(plat::ChangeDir(At("elsewhere/257")));
  Core.FilesFolderPath = At("elsewhere/257");
  Core.Settings[slot::width] = 1024;
  SaveSetup();
  EXPECT_EQ(plat::FileType(At("elsewhere/257/Setup.ini")), plat::kFileTypeFile);
  EXPECT_EQ(plat::FileType(At("elsewhere/Setup.ini")), plat::kFileTypeNone);
  LoadSetup();
  EXPECT_EQ(Core.Settings[slot::width], 1024);
}

}  // namespace
