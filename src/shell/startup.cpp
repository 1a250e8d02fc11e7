#include "shell/startup.h"

#include "config/display.h"
#include "config/joysticks.h"
#include "config/settings.h"
#include "draw/helpers.h"
#include "platform/backend.h"
#include "platform/platform.h"
#include "shell/frame.h"
#include "shell/log.h"
#include "shell/shutdown.h"
#include "shell/title.h"

const std::string TitleFirst = "Puffwick";
const std::string TitleSecond = "Loopery";
const std::string AppTitle = "#" + std::to_string(WeekNumber) + " : " + TitleFirst + " " + TitleSecond;
// The number as three digits with leading zeros.
const std::string GameFolder =
    ("000" + std::to_string(WeekNumber)).substr(std::to_string(WeekNumber).size()) + "/";

std::string CreditLines[100];
int CreditCount = 0;
int Difficulty = 0;
int GameState = 0;
int GameStartTime = 0;
int ControlMode = 0;
int PlayerCount = 0;
int BadgeCount = 0;

namespace {

const char* const kCredits[] = {
    "A Game by Corvell",
    "Find more at the Brindlewood community pages",
    "",
    "Name half suggested by Ruddle",
    "and half suggested by Kobb",
    "",
    "Game",
    "Made with Quillon",
    "using Corvell's Framework",
    "",
    "Graphics",
    "Font : SVBasicManual by Strom",
    "Font : Blue Highway by Lavendry",
    "Font : Acknowledge TT by Okwell",
    "All other graphics by Corvell",
    "",
    "Sound",
    "Title Music by Corvell",
    "Sound Effects by Corvell",
    "",
    "",
    "Instructions",
    "",
    "Collect and deliver parcels",
    "and people from the stations.",
    "",
    "The numbers on the train show",
    "how empty/full your carriage is.",
    "",
    "Head in the right direction and",
    "pass through the station to",
    "drop off/pick up, and carry on.",
    "",
    "For reasons best unknown,",
    "stations will explode if they",
    "reach more than 16 people/parcels.",
    "",
    "Keep the flow of cargo moving.",
    "",
    "You'll earn money as you go,",
    "and spend money on track.",
};

void FillCredits() {
  CreditCount = 1;
  for (const char* line : kCredits) CreditLines[CreditCount++] = line;
}

void CreateSharedTables() {
  MessageList.clear();
  plat::HidePointer();  // the program draws its own pointer
  LastFrameTime = plat::Millisecs();
  DrawLimit[1] = 50000;
  DrawLimit[2] = 50000;
  ReadJoysticks();
  // Memory is only cleaned up when EndFrame asks, every other frame.
}

void WriteLogHeader() {
  LogLine("Corvell's Brindlewood Engine");
  LogLine("----------------------------");
  LogLine("Week #" + std::to_string(WeekNumber));
  LogLine("----------------------------");
  LogLine(AppTitle);
  LogLine("----------------------------");
  LogLine("");
  LogLine("Loading");
}

}  // namespace

void StartUp() {
  plat::StartServices();
  plat::SetWindowTitle(AppTitle);
  FillCredits();
  CreateSharedTables();

  // A missing folder leaves us where we are; files then land beside the program.
  plat::ChangeDir("Files/");
  OpenLog("Debug.txt");
  WriteLogHeader();
  LoadSetup();
  LogLine("Grabbing Previous Scores");
  LogLine("");
  plat::ChangeDir(GameFolder);

  int loadingStart = plat::Millisecs();
  SetupDisplay();

  // The game's own tables join here when the game is built.
  ControlMode = 1;
  PlayerCount = 4;
  BadgeCount = 16;
  GameState = 0;
  LogLine("Finished Loading");

  // The loading screen stays up at least this long.
  while (MsBetween(loadingStart, plat::Millisecs()) < kLoadingMinimumMs) plat::Delay(1);
  Difficulty = 1;
}

void RunProgram() {
  static bool started = false;
  if (started) return;
  started = true;
  if (!plat::HasBackend()) plat::UseBackend(plat::MakeSdlBackend());
  StartUp();
  RunTitleScreen();
  Shutdown();
}
