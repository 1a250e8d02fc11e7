// Headless replay speed: records a scripted Easy game of about five minutes
// (18 000 frames, quit from the pause menu unless a station explodes first),
// then replays it headless from its text, as `--replay FILE --headless` does, and
// prints the frames, the seconds and the frames per second of the best of three.
//   build/<dir>/replay_bench [frames]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "../tests/replay/scripted_game.h"

int main(int argc, char** argv) {
  const int wanted = argc > 1 ? std::atoi(argv[1]) : 18000;
  plat::HeadlessBackend& machine = plat::UseHeadless();
  InstallServices();
  ScriptedGame g;
  g.difficulty = 0;
  g.quitAt = wanted - 40;  // the quit and name entry take the last frames
  ScriptedOutcome rec = RecordScriptedGame(machine, g);

  double best = 1e9;
  ReplayResult r;
  for (int run = 0; run < 3; ++run) {
    plat::UseHeadless();
    InstallServices();
    DrawLimit[1] = DrawLimit[2] = DrawLimit[3] = 50000;
    const auto start = std::chrono::steady_clock::now();
    r = PlayReplay(rec.text, "bench", false);
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (r.code != 0) {
      std::fprintf(stderr, "replay_bench: %s\n", r.line.c_str());
      return 1;
    }
    if (s < best) best = s;
  }
  std::printf("replay of %d frames (%zu bytes, score %d): %.3f s, %.0f frames per second\n", r.frames,
              rec.text.size(), r.score, best, r.frames / best);
  return 0;
}
