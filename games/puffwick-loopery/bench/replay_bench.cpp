// Headless replay speed: records a scripted Easy game of up to five minutes
// (18 000 frames: quit from the pause menu unless a station explodes first), then
// replays it headless from its text, as `--replay FILE --headless` does, back to
// back until 18 000 frames have played, and prints the seconds (wall clock and
// CPU; the best of three) and the frames per second.
//   build/<dir>/replay_bench [frames]
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "loopery_testkit/scripted_game.h"
#include "loopery/loopery.h"

namespace {

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
  UseGame(LooperyTable());
  const int wanted = argc > 1 ? std::atoi(argv[1]) : 18000;
  plat::BlockFileWrites(true);  // the game's own saves stay out of the working folder
  plat::HeadlessBackend& machine = plat::UseHeadless();
  InstallServices();
  ScriptedGame g;
  g.difficulty = 0;
  g.quitAt = wanted - 40;  // the quit and name entry take the last frames
  ScriptedOutcome rec = RecordScriptedGame(machine, g);

  double bestWall = 1e9, bestCpu = 1e9;
  int frames = 0;
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = CpuSeconds();
    frames = 0;
    while (frames < wanted) {
      plat::UseHeadless();
      InstallServices();
      Draw.DrawLimit[kBudgetMain] = Draw.DrawLimit[kBudgetGlow] = Draw.DrawLimit[kBudgetParticles] = 50000;
      ReplayResult r = PlayReplay(rec.text, "bench", false);
      if (r.code != 0) {
        std::fprintf(stderr, "replay_bench: %s\n", r.line.c_str());
        return 1;
      }
      frames += r.frames;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (wall < bestWall) bestWall = wall;
    if (CpuSeconds() - cpu < bestCpu) bestCpu = CpuSeconds() - cpu;
  }
  std::printf("game of %d frames (%zu bytes, score %d) replayed to %d frames: %.3f s wall, %.3f s CPU; "
              "%.0f frames per second (wall), %.0f (CPU)\n",
              rec.frames, rec.text.size(), rec.score, frames, bestWall, bestCpu, frames / bestWall,
              frames / bestCpu);
  return 0;
}
