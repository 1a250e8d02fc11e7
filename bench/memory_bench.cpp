// Heap in use for the shared and game media on the headless backend: the 40 font
// slots at the sizes an 800x600 window uses (13 UI fonts and 3 families at 9
// sizes), the pictures of Files/Common and Files/257 and the sound effects.
// Prints the heap in use (mallinfo2) before and after each stage, and after every
// font has drawn a line of text (which makes its texture on the renderer).
// Run from the repository root:  build/<dir>/memory_bench [width]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/platform.h"

namespace {

// The font files and sizes of the shared assets for a window `width` pixels wide
// (the program's font table, repeated here so the bench stands on the platform only).
struct FontLoad {
  const char* file;
  int size;
};

std::vector<FontLoad> SharedFonts(int width) {
  const char* families[3] = {"SVBasicManual.ttf", "Blue Highway.ttf", "Acknowledge TT QVL.ttf"};
  const int uiFamily[14] = {0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 2, 2, 2, 2};
  double s1 = 1.0, s2 = 1.0;
  if (width < 900) s1 = 1.2, s2 = 1.4;
  if (width < 600) s1 = 1.5, s2 = 2.0;
  const double base[14] = {0, 24 * s1, 16 * s2, 16 * s2, 20 * s1, 96 * s1, 72 * s1, 32 * s1,
                           32 * s1, 14 * s1, 112, 96, 32, 20};
  std::vector<FontLoad> fonts;
  for (int i = 1; i <= 13; ++i) fonts.push_back({families[uiFamily[i]], static_cast<int>(base[i])});
  const int steps[9] = {8, 12, 18, 24, 32, 40, 52, 64, 96};
  for (int family = 0; family < 3; ++family) {
    for (int step : steps) fonts.push_back({families[family], static_cast<int>(step * s1)});
  }
  return fonts;
}

double Mb(long long bytes) { return bytes / (1024.0 * 1024.0); }

}  // namespace

int main(int argc, char** argv) {
  const int width = argc > 1 ? std::atoi(argv[1]) : 800;
  const int height = width * 3 / 4;
  plat::UseHeadless();
  plat::StartServices();
  if (!plat::ChangeDir("Files/Common")) {
    std::fprintf(stderr, "Run from the repository root (Files/Common not found)\n");
    return 1;
  }
  const long long start = plat::MemoryInUse();
  std::printf("heap in use at start                 %8.2f MB\n", Mb(start));
  plat::OpenDisplay(width, height, 0, 60, 0);
  plat::SetVirtualResolution(1280, 960);
  const long long display = plat::MemoryInUse();
  std::printf("display %dx%d open                  %8.2f MB  (+%.2f)\n", width, height, Mb(display),
              Mb(display - start));

  std::vector<plat::Font> fonts;
  for (const FontLoad& f : SharedFonts(width)) fonts.push_back(plat::LoadImageFont(f.file, f.size, 4));
  int loaded = 0;
  for (plat::Font f : fonts) loaded += f != 0;
  const long long afterFonts = plat::MemoryInUse();
  std::printf("%d of %zu fonts loaded                %8.2f MB  (+%.2f)\n", loaded, fonts.size(), Mb(afterFonts),
              Mb(afterFonts - display));

  plat::Cls();
  for (plat::Font f : fonts) {
    plat::SetImageFont(f);
    plat::DrawText("Puffwick Loopery 0123456789 !?", 10, 10);
  }
  plat::Flip(0);
  const long long afterDraw = plat::MemoryInUse();
  std::printf("every font drawn once                %8.2f MB  (+%.2f)\n", Mb(afterDraw), Mb(afterDraw - afterFonts));

  plat::AutoMidHandle(true);
  std::vector<plat::Image> images = {
      plat::LoadAnimImage("icons.png", 16, 16, 0, 64, -1), plat::LoadAnimImage("icons.png", 16, 16, 0, 64, 1),
      plat::LoadImage("logo.png", -1),  plat::LoadImage("Pellium.png", -1),
      plat::LoadAnimImage("badges.png", 64, 64, 0, 16, -1)};
  std::vector<plat::Sound> sounds = {plat::LoadSound("badgeget.wav")};
  plat::ChangeDir("../257");
  for (int k = 1; k <= 200; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.wav", k);
    if (plat::FileType(name) == 1) sounds.push_back(plat::LoadSound(name));
  }
  images.push_back(plat::LoadAnimImage("track.png", 32, 32, 0, 240, 3));
  images.push_back(plat::LoadImage("flash.png", 3));
  images.push_back(plat::LoadAnimImage("train.png", 64, 64, 0, 8, 3));
  images.push_back(plat::LoadAnimImage("bubbles.png", 32, 24, 0, 4, 3));
  const long long afterMedia = plat::MemoryInUse();
  std::printf("%zu images and %zu sounds loaded      %8.2f MB  (+%.2f)\n", images.size(), sounds.size(),
              Mb(afterMedia), Mb(afterMedia - afterDraw));
  std::printf("fonts (loaded and drawn)                       %8.2f MB\n", Mb(afterDraw - display));
  return 0;
}
