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
#include "shell/leaderboard.h"
#include "shell/pause.h"
#include "shell/places.h"
#include "shell/shutdown.h"
#include "shell/title.h"

namespace {

void CreateSharedTables() {
  Core.MessageList.clear();
  plat::HidePointer();  // the program draws its own pointer
  Frame.LastFrameTime = plat::Millisecs();
  Draw.DrawLimit[kBudgetMain] = 50000;
  Draw.DrawLimit[kBudgetGlow] = 50000;
  ReadJoysticks();
  // Memory is only cleaned up when EndFrame asks, every other frame.
}

void WriteLogHeader() {
  LogLine("Corvell's Brindlewood Engine");
  LogLine("----------------------------");
  LogLine("Week #" + std::to_string(Core.WeekNumber));
  LogLine("----------------------------");
  LogLine(Core.AppTitle);
  LogLine("----------------------------");
  LogLine("");
  LogLine("Loading");
}

}  // namespace

void InstallServices() {
  Frame.FrameHooks.DrawPopups = Core.ThisGame.DrawPopups;
  Frame.FrameHooks.SaveSetup = SaveSetup;
  Frame.FrameHooks.TakeScreenshot = TakeScreenshot;
  Frame.FrameHooks.PauseMenu = PauseMenu;
  Frame.FrameHooks.DrawSettingsMenu = DrawSettingsMenu;
  Frame.FrameHooks.UpdateSong = UpdateSong;
  Frame.FrameHooks.Shutdown = Shutdown;
  Frame.FrameHooks.EachFrame = CollectLeaderboardAnswers;
  Config.DisplayHooks.LoadScores = RefreshScores;
  Config.DisplayHooks.LoadGameMedia = Core.ThisGame.LoadMedia;
  plat::EndHooks.SaveForEnd = EndWithoutFarewell;
}

void StartUp() {
  Shell.SaveStage = EndSaveStage::kNothingRead;
  InstallServices();
  plat::StartServices();
  plat::SetWindowTitle(Core.AppTitle);
  FillCredits();
  CreateSharedTables();

  // A missing folder leaves us where we are; files then land beside the program.
  plat::ChangeDir("Files/");
  Core.FilesFolderPath = plat::CurrentDir();
  // With saving off the log goes nowhere (not to the terminal either).
  if (plat::SavingOn()) OpenLog("Debug.txt");
  WriteLogHeader();
  LoadSetup();
  Shell.SaveStage = EndSaveStage::kSettingsRead;
  LogLine("Grabbing Previous Scores");
  LogLine("");
  plat::ChangeDir(Core.GameFolder);
  Core.GameFolderPath = plat::CurrentDir();

  int loadingStart = plat::Millisecs();
  SetupDisplay();
  Shell.SaveStage = EndSaveStage::kAllRead;

  // The game's own tables join here when the game is built.
  Core.ControlMode = 1;
  Core.PlayerCount = 4;
  Core.BadgeCount = 16;
  Core.GameState = kStateTitle;
  LogLine("Finished Loading");

  // The loading screen stays up at least this long.
  while (MsBetween(loadingStart, plat::Millisecs()) < kLoadingMinimumMs) plat::Delay(1);
  Core.Difficulty = 1;
  // Where files live was settled before start-up; what went wrong there shows on the
  // title screen (added now, so that the loading frames do not use up its time).
  for (size_t at = 0; at < Shell.FilePlacesProblem.size();) {
    size_t end = Shell.FilePlacesProblem.find('\n', at);
    if (end == std::string::npos) end = Shell.FilePlacesProblem.size();
    AddMessage(Shell.FilePlacesProblem.substr(at, end - at), 1);
    at = end + 1;
  }
}

void RunProgram() {
  if (Shell.ProgramRan) return;
  Shell.ProgramRan = true;
  if (!plat::HasBackend()) plat::UseRealMachine();
  StartUp();
  ResendUnsentReplays();
  RunTitleScreen();
  Shutdown();
}
