// Frames a second of the frame cycle's pacing on this machine's OpenGL: each frame
// draws n rotated 32x32 sprites (the engine test's load), sleeps in 1 ms steps
// until 1000/60 - 2 ms after the previous frame, and flips; once as the frame cycle
// did before (the drawing handed to GL only at the flip) and once handing it on
// with plat::FlushDrawing before the sleep. With a software renderer the second
// draws during the sleep.
// Needs an X display; with DISPLAY unset it starts its own Xvfb. Run it from a
// Release build:  build/<dir>/frame_pacing_bench [seconds-per-case]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/platform.h"
#include "testkit/xvfb.h"

namespace {

constexpr int kScreenW = 800, kScreenH = 600;

struct Sprite {
  float x, y, angle;
};

// Frames a second over `seconds` of frames of `count` sprites.
double Run(plat::Image image, int count, bool flushFirst, double seconds) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> ux(0, 1280), uy(0, 960), ua(0, 360);
  std::vector<Sprite> sprites(count);
  for (Sprite& s : sprites) s = {ux(rng), uy(rng), ua(rng)};
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  int frames = 0;
  int last = plat::Millisecs();
  while (std::chrono::duration<double>(Clock::now() - start).count() < seconds) {
    plat::Cls();
    plat::SetScale(2, 2);
    for (const Sprite& s : sprites) {
      plat::SetRotation(s.angle);
      plat::DrawImage(image, s.x, s.y);
    }
    plat::SetRotation(0);
    plat::SetScale(1, 1);
    if (flushFirst) plat::FlushDrawing();
    do {
      plat::Delay(1);
    } while (plat::Millisecs() - last < 1000 / 60 - 2);
    plat::Flip(0);
    last = plat::Millisecs();
    ++frames;
  }
  return frames / std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  if (!(seconds > 0)) seconds = 2.0;
  std::string why;
  if (!realtest::EnsureXServer(&why)) {
    std::fprintf(stderr, "frame_pacing_bench: %s\n", why.c_str());
    return 1;
  }
  plat::UseBackend(plat::MakeSdlBackend());
  plat::StartServices();
  plat::SetGraphicsDriver(plat::kDriverOpenGL);
  if (!plat::OpenDisplay(kScreenW, kScreenH, 0, 0, 0)) {
    std::fprintf(stderr, "frame_pacing_bench: no display\n");
    return 1;
  }
  plat::SetVirtualResolution(1280, 960);
  // A 16x16 sprite: a filled square, mid-handled, as the engine test draws.
  plat::Cls();
  plat::SetColor(255, 200, 80);
  plat::DrawRect(0, 0, 16 * 1280.0 / kScreenW, 16 * 960.0 / kScreenH);
  plat::Image image = plat::CreateImage(16, 16, 1, plat::kImageMasked | plat::kImageFiltered);
  plat::GrabImage(image, 0, 0);
  plat::MidHandle(image);
  plat::SetColor(255, 255, 255);
  plat::SetAlpha(0.5);
  plat::SetBlend(plat::kBlendAlpha);

  std::printf("frame_pacing_bench: %dx%d window on %s, %.1f s per case, best of 2\n", kScreenW, kScreenH,
              std::getenv("DISPLAY"), seconds);
  std::printf("  sprites  flip only  flush before the sleep   (frames a second)\n");
  for (int count : {250, 500, 1000, 2000, 3000}) {
    double plain = 0, flushed = 0;
    for (int round = 0; round < 2; ++round) {
      plain = std::max(plain, Run(image, count, false, seconds));
      flushed = std::max(flushed, Run(image, count, true, seconds));
    }
    std::printf("  %7d  %9.1f  %22.1f\n", count, plain, flushed);
  }
  plat::EndProcess(0);
}
