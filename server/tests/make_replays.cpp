// Records the replays the server's tests submit, both short games on Easy:
// script.txt, whose player types the name "<script>alert(1)</script>", and base.txt,
// whose player types nothing, so that its name is its header's "player" line: a
// test makes many different replays of it by changing that line. With --long, one
// game of five minutes for the benchmark.
//   leaderboard-test-replays FOLDER | --long FILE
#include <cstdio>
#include <fstream>
#include <string>

#include "loopery/loopery.h"
#include "loopery_testkit/scripted_game.h"
#include "scores/scores.h"
#include "shell/reset.h"

namespace {

bool Record(const std::string& path, const std::string& name, int crashAt, int width = 1280, int height = 960) {
  ResetEngineState();
  plat::BlockFileWrites(true);  // the game's own saves (scores.dat) stay out of the working folder
  plat::HeadlessBackend& machine = plat::UseHeadless();
  InstallServices();
  HighScores.PlayerName.clear();  // the name entry starts empty: the name is exactly what is typed
  ScriptedGame g;
  g.name = name;
  g.crashAt = crashAt;
  g.width = width;
  g.height = height;
  const ScriptedOutcome out = RecordScriptedGame(machine, g);
  std::ofstream file(path, std::ios::binary);
  file << out.text;
  if (!file.flush()) {
    std::fprintf(stderr, "could not write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool longGame = argc == 3 && std::string(argv[1]) == "--long";
  if (argc != 2 && !longGame) {
    std::fprintf(stderr, "usage: leaderboard-test-replays FOLDER | --long FILE\n");
    return 2;
  }
  UseGame(LooperyTable());
  // A whole game on Easy, left to run to its own end: on this board, five
  // minutes of play (18 072 frames), for the benchmark.
  if (longGame) return Record(argv[2], "LONG", -1, 1440, 900) ? 0 : 1;
  const std::string folder = argv[1];
  return Record(folder + "/script.txt", "<script>alert(1)</script>", 100) && Record(folder + "/base.txt", "", 100) ? 0 : 1;
}
