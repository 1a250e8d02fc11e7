#include "shell/startup.h"

#include "audio/music.h"
#include "config/display.h"
#include "config/joysticks.h"
#include "config/settings.h"
#include "config/settings_menu.h"
#include "core/game_table.h"
#include "core/log.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "platform/machines.h"
#include "platform/platform.h"
#include "scores/scores.h"
#include "shell/pause.h"
#include "shell/places.h"
#include "shell/shutdown.h"
#include "shell/title.h"

namespace {

void CreateSharedTables() {
  MessageList.clear();
  plat::HidePointer();  // the program draws its own pointer
  LastFrameTime = plat::Millisecs();
  DrawLimit[kBudgetMain] = 50000;
  DrawLimit[kBudgetGlow] = 50000;
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

void InstallServices() {
  FrameHooks.DrawPopups = ThisGame.DrawPopups;
  FrameHooks.SaveSetup = SaveSetup;
  FrameHooks.TakeScreenshot = TakeScreenshot;
  FrameHooks.PauseMenu = PauseMenu;
  FrameHooks.DrawSettingsMenu = DrawSettingsMenu;
  FrameHooks.UpdateSong = UpdateSong;
  FrameHooks.Shutdown = Shutdown;
  DisplayHooks.LoadScores = RefreshScores;
  DisplayHooks.LoadGameMedia = ThisGame.LoadMedia;
  plat::EndHooks.SaveForEnd = EndWithoutFarewell;
}

void StartUp() {
  SaveStage = EndSaveStage::kNothingRead;
  InstallServices();
  plat::StartServices();
  plat::SetWindowTitle(AppTitle);
  FillCredits();
  CreateSharedTables();

  // A missing folder leaves us where we are; files then land beside the program.
  plat::ChangeDir("Files/");
  FilesFolderPath = plat::CurrentDir();
  // With saving off the log goes nowhere (not to the terminal either).
  if (plat::SavingOn()) OpenLog("Debug.txt");
  WriteLogHeader();
  LoadSetup();
  SaveStage = EndSaveStage::kSettingsRead;
  LogLine("Grabbing Previous Scores");
  LogLine("");
  plat::ChangeDir(GameFolder);
  GameFolderPath = plat::CurrentDir();

  int loadingStart = plat::Millisecs();
  SetupDisplay();
  SaveStage = EndSaveStage::kAllRead;

  // The game's own tables join here when the game is built.
  ControlMode = 1;
  PlayerCount = 4;
  BadgeCount = 16;
  GameState = kStateTitle;
  LogLine("Finished Loading");

  // The loading screen stays up at least this long.
  while (MsBetween(loadingStart, plat::Millisecs()) < kLoadingMinimumMs) plat::Delay(1);
  Difficulty = 1;
  // Where files live was settled before start-up; what went wrong there shows on the
  // title screen (added now, so that the loading frames do not use up its time).
  for (size_t at = 0; at < FilePlacesProblem.size();) {
    size_t end = FilePlacesProblem.find('\n', at);
    if (end == std::string::npos) end = FilePlacesProblem.size();
    AddMessage(FilePlacesProblem.substr(at, end - at), 1);
    at = end + 1;
  }
}

void RunProgram() {
  static bool started = false;
  if (started) return;
  started = true;
  if (!plat::HasBackend()) plat::UseRealMachine();
  StartUp();
  RunTitleScreen();
  Shutdown();
}
