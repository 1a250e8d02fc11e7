// The program: start-up, the title screen and the game, until the player leaves.
#include <cstdio>
#include <string>
#include <vector>

#include "shell/options.h"
#include "shell/places.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
  ProgramOptions options;
  std::string error = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options);
  if (!error.empty()) {
    std::fprintf(stderr, "%s: %s\n%s", kProgramName, error.c_str(), UsageText().c_str());
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
  std::string problems = UseFilePlaces(places);
  if (!problems.empty()) std::fprintf(stderr, "%s\n", problems.c_str());
  RunProgram();
  return 0;
}
