#include "startup_fixture.h"

namespace {

TEST(Identity, TitleAndFolderFromTheGamesTable) {
  struct Case {
    int number;
    const char* title;
    const char* folder;
  } cases[] = {{257, "#257 : Puffwick Loopery", "257/"}, {7, "#7 : Puffwick Loopery", "007/"},
               {1234, "#1234 : Puffwick Loopery", "1234/"}};
  GameTable game = TestGameTable();
  for (const Case& c : cases) {
    game.number = c.number;
    UseGame(game);
    EXPECT_EQ(Core.WeekNumber, c.number);
    EXPECT_EQ(Core.AppTitle, c.title);
    EXPECT_EQ(Core.GameFolder, c.folder);
  }
  UseGame(TestGameTable());
}

TEST_F(StartUpTest, BuildsEverythingAndLogsInOrder) {
  MakeDir("Files/257");
  WriteBytes("Files/Setup.ini", "Width=1024\r\n");
  // A slow machine: the engine test gives up early, so loading is over well
  // before the loading screen's minimum.
  machine_->OnFrame([this](int) { machine_->AdvanceTime(5); });
  int64_t start = machine_->Now();
  StartUp();

  EXPECT_EQ(plat::CurrentDir(), At("Files/257"));
  std::vector<std::string> want = Header();
  for (const char* line :
       {"\tReading Setup File", "Setting Audio Driver",
        "Set Audio Driver", "", "\tRequested Resolution : 1024x600", "\tSetup Loaded", "",
        "Grabbing Previous Scores", "", "", "-=-=-=-=-=-=-=-=-=-=-=-=-=-", "Applying Graphical Settings"}) {
    want.push_back(line);
  }
  std::vector<std::string> log = ReadLines("Files/Debug.txt");
  ASSERT_GT(log.size(), want.size());
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + want.size()), want);
  EXPECT_EQ(log.back(), "Finished Loading");

  EXPECT_EQ(machine_->WindowTitle(), "#257 : Puffwick Loopery");
  EXPECT_FALSE(machine_->PointerVisible());
  EXPECT_TRUE(plat::DisplayIsOpen());
  EXPECT_FALSE(machine_->DisplayOpenedFullScreen());
  EXPECT_EQ(plat::GraphicsWidth(), 800);
  EXPECT_EQ(plat::GraphicsHeight(), 600);
  EXPECT_DOUBLE_EQ(plat::VirtualResolutionWidth(), 1280);
  EXPECT_DOUBLE_EQ(plat::VirtualResolutionHeight(), 960);
  EXPECT_EQ(Core.VirtualWidth, 1280);
  EXPECT_EQ(Core.VirtualHeight, 960);

  EXPECT_GE(machine_->Now() - start, 2500);  // the loading screen's minimum
  EXPECT_LT(machine_->Now() - start, 2510);
  EXPECT_EQ(Core.Difficulty, 1);
  EXPECT_EQ(Core.GameState, kStateTitle);
  EXPECT_EQ(Core.ControlMode, 1);
  EXPECT_EQ(Core.PlayerCount, 4);
  EXPECT_EQ(Core.BadgeCount, 16);
  EXPECT_EQ(Draw.DrawLimit[kBudgetMain], 1000);  // set by the engine test
  EXPECT_EQ(Draw.DrawLimit[kBudgetGlow], 500);
  EXPECT_EQ(Draw.DrawLimit[kBudgetParticles], 250);
  EXPECT_EQ(Core.Settings[slot::slowSystem], 1);  // the engine test found the machine too slow
  // The credits are the game's, one a line from 1.
  const std::vector<std::string> credits = TestGameTable().credits;
  ASSERT_EQ(Core.CreditCount, static_cast<int>(credits.size()) + 1);
  for (size_t i = 0; i < credits.size(); ++i) EXPECT_EQ(Core.CreditLines[i + 1], credits[i]) << i;
  EXPECT_EQ(Core.CreditLines[42], "");
}

TEST_F(StartUpTest, MissingFoldersLeaveTheCurrentFolder) {
  StartUp();
  EXPECT_EQ(plat::CurrentDir(), root_);
  std::vector<std::string> log = ReadLines("Debug.txt");  // beside the program
  ASSERT_GE(log.size(), 8u);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 8), Header());
  EXPECT_EQ(log.back(), "Finished Loading");
}

TEST_F(StartUpTest, WithoutTheGameFolderItStaysInFiles) {
  MakeDir("Files");
  StartUp();
  EXPECT_EQ(plat::CurrentDir(), At("Files"));
  EXPECT_EQ(plat::FileType(At("Files/Debug.txt")), plat::kFileTypeFile);
}

TEST_F(StartUpTest, AnUnwritableLogDoesNotStopTheProgram) {
  MakeDir("Files/257");
  MakeDir("Files/Debug.txt");
  WriteBytes("Files/Setup.ini", "Width=1024\r\nHeight=768\r\n");
  StartUp();
  EXPECT_EQ(Core.Settings[slot::width], 1024);
  EXPECT_EQ(Core.Difficulty, 1);
  EXPECT_EQ(plat::CurrentDir(), At("Files/257"));
}

TEST_F(StartUpTest, CountsAtMostFourJoysticks) {
  for (int i = 0; i < 5; i++) {
    plat::JoystickState stick;
    stick.name = "Stick " + std::to_string(i);
    machine_->PlugJoystick(stick);
  }
  StartUp();
  EXPECT_EQ(Config.JoystickCount, 4);
}

// A termination signal while the splash is up: the settings are saved, the score
// file (not read yet) is left as it was, the crash marker goes and the log closes.
TEST_F(StartUpTest, RunProgramRunsOnceUntilEscapeThenShutsDown) {
  MakeDir("Files/257");
  int titleFrames = 0;
  bool again = false;
  machine_->OnFrame([&](int) {
    // A second run would draw again: end it at its first frame.
    if (again) throw plat::ProcessEnded{99};
    // Loading ends by choosing Medium; Escape comes on the title's fourth frame,
    // and once the farewell shows, it is let go and a key pressed.
    if (Core.Difficulty != 1) return;
    ++titleFrames;
    if (titleFrames == 4) machine_->ScriptInput().PressKey(plat::kKeyEscape);
    if (titleFrames == 5) {
      machine_->ScriptInput().ReleaseKey(plat::kKeyEscape);
      machine_->At(machine_->Now() + 100, [](plat::InputState& in) { in.PressKey(plat::kKeySpace); });
    }
  });
  int code = -1;
  try {
    RunProgram();
  } catch (const plat::ProcessEnded& end) {
    code = end.code;
  }
  EXPECT_EQ(code, 0);
  EXPECT_EQ(titleFrames, 5);  // four title frames and the farewell screen
  std::vector<std::string> log = ReadLines("Files/Debug.txt");
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 5, log.end()),
            (std::vector<std::string>{"Closing Up", "", "Bye!", "", "Play again, soon!!"}));
  EXPECT_EQ(ReadLines("Files/Setup.ini").front(), "[Graphics]");
  EXPECT_TRUE(machine_->PointerVisible());

  // A second call returns at once: no frame, and the log of the first run stays.
  again = true;
  EXPECT_NO_THROW(RunProgram());
  EXPECT_EQ(ReadLines("Files/Debug.txt"), log);
}

}  // namespace
