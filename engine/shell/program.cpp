#include "shell/program.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/paths.h"
#include "frame/frame.h"
#include "platform/platform.h"
#include "shell/options.h"
#include "shell/places.h"
#include "shell/replay.h"
#include "shell/startup.h"
#include "shell/target.h"

int RunEngine(int argc, char** argv, const GameTable& game) {
  // Before anything else: a signal from here on ends the program in order.
  plat::CatchTerminationSignals();
  UseGame(game);
  ProgramOptions options;
  std::string error = ParseOptions(ProgramArguments(argc, argv), options);
  ApplyTargetDefaults(options);
  if (error.empty() && options.headless && options.replayFile.empty()) error = "option --headless needs --replay";
  if (!error.empty()) {
    std::fprintf(stderr, "%s: %s\n%s", Core.ThisGame.programName.c_str(), error.c_str(), UsageText().c_str());
    return 2;
  }
  FilePlaces places = ChooseFilePlaces(options, AskMachinePlaces());
  if (options.help) {
    std::printf("%s\n%s", UsageText().c_str(), DescribeFilePlaces(places).c_str());
    return 0;
  }
  if (options.version) {
    std::printf("%s\n", VersionText().c_str());
    return 0;
  }
  // A replay named relative to where the program was started, not to the save folder.
  std::string replayFile;
  if (!options.replayFile.empty()) {
    std::error_code ignored;
    replayFile = plat::Utf8FromPath(std::filesystem::absolute(plat::PathFromUtf8(options.replayFile), ignored));
  }
  FileNeeds needs;
  if (!replayFile.empty()) needs = {.media = !options.headless, .saving = false};
  std::string problems = UseFilePlaces(places, needs);
  if (!problems.empty()) std::fprintf(stderr, "%s\n", problems.c_str());
  if (!replayFile.empty()) return ReplayCommand(replayFile, options.headless);
  Shell.LeaderboardOverride = options.leaderboard;
  RunProgram();
  return 0;
}
