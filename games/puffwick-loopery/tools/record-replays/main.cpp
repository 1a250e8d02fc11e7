// Records the golden replays: three scripted games (Easy, Medium with a pause,
// Hard in slow-system mode) played headless from start click to name entry.
// Run it from the repository root after a deliberate change of the game's rules:
//   build/<dir>/puffwick-record-replays [FOLDER]     (default games/puffwick-loopery/tests/replays)
#include <cstdio>
#include <fstream>
#include <string>

#include "loopery_testkit/scripted_game.h"
#include "loopery/loopery.h"

int main(int argc, char** argv) {
  UseGame(LooperyTable());
  const std::string folder = argc > 1 ? argv[1] : "games/puffwick-loopery/tests/replays";
  struct Golden {
    const char* name;
    ScriptedGame game;
  } goldens[] = {
      {"easy", {0, 0, 1280, 960, -1, -1, "EASY", 300}},
      {"medium", {1, 0, 1600, 900, 40, -1, "MEDIUM", 900}},
      {"hard", {2, 1, 1440, 900, 41, -1, "HARD"}},
  };
  bool everything = false;
  // The games' own saves (scores.dat, the replay folder) stay out of the working folder.
  plat::BlockFileWrites(true);
  for (const Golden& g : goldens) {
    plat::HeadlessBackend& machine = plat::UseHeadless();
    InstallServices();
    ScriptedOutcome out = RecordScriptedGame(machine, g.game);
    const std::string path = folder + "/" + g.name + ".txt";
    std::ofstream file(path, std::ios::binary);
    file << out.text;
    if (!file.flush()) {
      std::fprintf(stderr, "could not write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s: score %d frames %d, new station %s, delivery %s, explosion %s, crash %s\n", path.c_str(),
                out.score, out.frames, out.newStation ? "yes" : "no", out.delivery ? "yes" : "no",
                out.exploded ? "yes" : "no", out.crashed ? "yes" : "no");
    everything = everything || (out.newStation && out.delivery && out.exploded);
  }
  if (!everything) std::fprintf(stderr, "no game reached a new station, a delivery and an explosion\n");
  return everything ? 0 : 1;
}
