// Memory of the program at the title screen, against a window that only clears.
//
//   memory_bench            all of the below, each in its own process
//   memory_bench title      the real start-up on the SDL backend under a private X
//                           server (800x600 window, OpenGL renderer, copied media),
//                           measured after 600 title frames
//   memory_bench clear      the same window and renderer, cleared and shown only
//   memory_bench headless   the fonts and media on the headless backend, stage by stage
//
// Prints the heap in use (mallinfo2: in-use chunks plus mapped blocks, the figure the
// debug overlay shows) and VmRSS. Run from the repository root (Files/ is read there).
#include <SDL.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/music.h"
#include "config/display_setup.h"
#include "frame/frame.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "shell/startup.h"
#include "shell/title.h"
#include "testkit/xvfb.h"
#include "testkit/test_game.h"

namespace {

namespace fs = std::filesystem;

// Ten seconds: long enough for the clean-up step to give back what the title no
// longer draws (the splash's pictures).
constexpr int kTitleFrames = 600;

double Mb(long long bytes) { return bytes / (1024.0 * 1024.0); }

long long RssBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
  }
  return 0;
}

void PrintFigures(const char* what) {
  std::printf("%-34s heap in use %7.2f MB   VmRSS %7.2f MB\n", what, Mb(plat::MemoryInUse()), Mb(RssBytes()));
  std::fflush(stdout);
}

// With MEMBENCH_STOP set, the process ends right at the measurement, so that a heap
// profiler's "leaked" figures are what was in use there.
void StopHereIfAsked(const std::string& tempRoot = {}) {
  if (!std::getenv("MEMBENCH_STOP")) return;
  std::error_code ignored;
  if (!tempRoot.empty()) fs::remove_all(tempRoot, ignored);
  usleep(200 * 1000);  // lets a profiler's writer catch up
  _exit(0);
}

// ------------------------------------------------------------------ title
int g_titleFrames = 0;
std::string g_titleRoot;

void AtTitleFrame() {
  UpdateSong();
  if (++g_titleFrames != kTitleFrames) return;
  PrintFigures("title (real start-up), 800x600");
  StopHereIfAsked(g_titleRoot);
  SDL_Event escape{};
  escape.type = SDL_KEYDOWN;
  escape.key.state = SDL_PRESSED;
  escape.key.keysym.sym = SDLK_ESCAPE;
  escape.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
  SDL_PushEvent(&escape);
}

int RunTitle() {
  const fs::path files = fs::current_path() / "Files";
  if (!fs::exists(files / "Common" / "logo.png")) {
    std::fprintf(stderr, "Run from the repository root (Files/Common not found)\n");
    return 1;
  }
  // A copy of the media, so that the log, settings and scores land outside the tree.
  char pattern[] = "/tmp/puffwick_membench_XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const fs::path root = pattern;
  fs::copy(files, root / "Files", fs::copy_options::recursive);
  fs::remove(root / "Files" / "257" / "scores.dat");
  fs::remove(root / "Files" / "Setup.ini");
  fs::current_path(root);
  g_titleRoot = root.string();

  plat::UseBackend(plat::MakeSdlBackend());
  StartUp();
  Frame.FrameHooks.UpdateSong = AtTitleFrame;
  RunTitleScreen();  // returns on the Escape pushed above
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return g_titleFrames >= kTitleFrames ? 0 : 1;
}

// ------------------------------------------------------------------ clear
int RunClear() {
  plat::UseBackend(plat::MakeSdlBackend());
  plat::StartServices();
  plat::SetGraphicsDriver(0);
  if (!plat::OpenDisplay(800, 600, 0, 60, 0)) {
    std::fprintf(stderr, "no window\n");
    return 1;
  }
  for (int frame = 1; frame <= kTitleFrames; ++frame) {
    plat::Cls();
    plat::Flip(1);
    if (frame % 2 == 0) plat::CollectMemory();  // as the frame cycle does
  }
  PrintFigures("clear-only window, 800x600");
  StopHereIfAsked();
  return 0;
}

// ------------------------------------------------------------------ headless
// The font files and sizes of the shared assets for a window `width` pixels wide
// (the program's font table).
struct FontLoad {
  const char* file;
  int size;
};

std::vector<FontLoad> SharedFonts(int width) {
  const FontSizes sizes = SharedFontSizes(width);
  std::vector<FontLoad> fonts;
  for (int i = 1; i <= 13; ++i) fonts.push_back({kUiFontFiles[i], sizes.ui[i]});
  for (int family = 0; family < 3; ++family) {
    for (int i = 0; i < 9; ++i) fonts.push_back({kFontFamilies[family], sizes.sized[family * 10 + i]});
  }
  return fonts;
}

void Stage(const char* what, long long& last) {
  const long long now = plat::MemoryInUse();
  std::printf("  %-38s %8.2f MB  (%+.2f)\n", what, Mb(now), Mb(now - last));
  last = now;
}

int RunHeadless() {
  const int width = 800, height = 600;
  plat::UseHeadless();
  plat::StartServices();
  if (!plat::ChangeDir("Files/Common")) {
    std::fprintf(stderr, "Run from the repository root (Files/Common not found)\n");
    return 1;
  }
  std::printf("headless backend, heap in use by stage:\n");
  long long last = plat::MemoryInUse();
  Stage("at start", last);
  plat::OpenDisplay(width, height, 0, 60, 0);
  plat::SetVirtualResolution(1280, 960);
  Stage("display 800x600 open", last);

  std::vector<plat::Font> fonts;
  for (const FontLoad& f : SharedFonts(width)) fonts.push_back(plat::LoadImageFont(f.file, f.size, 4));
  Stage("40 fonts loaded", last);
  plat::Cls();
  for (int i = 0; i < 8; ++i) {
    plat::SetImageFont(fonts[i]);
    plat::DrawText("Puffwick Loopery 0123456789 !?", 10, 10);
  }
  plat::Flip(0);
  Stage("8 fonts drawn", last);
  for (plat::Font f : fonts) {
    plat::SetImageFont(f);
    plat::DrawText("Puffwick Loopery 0123456789 !?", 10, 10);
  }
  plat::Flip(0);
  Stage("all 40 fonts drawn", last);

  plat::AutoMidHandle(true);
  std::vector<plat::Image> images = {
      plat::LoadAnimImage("icons.png", 16, 16, 0, 64, plat::kImageDefault),
      plat::LoadAnimImage("icons.png", 16, 16, 0, 64, plat::kImageMasked),
      plat::LoadImage("logo.png", plat::kImageDefault), plat::LoadImage("Pellium.png", plat::kImageDefault)};
  plat::ChangeDir("../257");
  images.push_back(plat::LoadAnimImage("badges.png", 64, 64, 0, 16, plat::kImageDefault));
  images.push_back(plat::LoadAnimImage("track.png", 32, 32, 0, 240, plat::kImageMasked | plat::kImageFiltered));
  images.push_back(plat::LoadImage("flash.png", plat::kImageMasked | plat::kImageFiltered));
  images.push_back(plat::LoadAnimImage("train.png", 64, 64, 0, 8, plat::kImageMasked | plat::kImageFiltered));
  images.push_back(plat::LoadAnimImage("bubbles.png", 32, 24, 0, 4, plat::kImageMasked | plat::kImageFiltered));
  Stage("9 images loaded", last);
  for (plat::Image image : images) plat::DrawImage(image, 100, 100, 0);
  plat::Flip(0);
  Stage("9 images drawn", last);
  std::vector<plat::Sound> sounds = {plat::LoadSound("../Common/badgeget.wav")};
  for (int k = 1; k <= 200; ++k) {
    char name[16];
    std::snprintf(name, sizeof name, "%03d.wav", k);
    if (plat::FileType(name) == plat::kFileTypeFile) sounds.push_back(plat::LoadSound(name));
  }
  Stage("sound effects loaded", last);
  return 0;
}

// Runs one mode in a child process, so that each figure is of a process of its own.
int RunChild(int (*mode)()) {
  std::fflush(stdout);
  pid_t pid = fork();
  if (pid == 0) {
    int rc = mode();
    std::fflush(stdout);
    _exit(rc);  // skips the X server's exit handler, which belongs to the parent
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) < 0) return 1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
  UseGame(TestGameTable());  // the engine's stand-in game
  const std::string mode = argc > 1 ? argv[1] : "all";
  if (mode == "headless") return RunHeadless();
  std::string why;
  if (!realtest::EnsureXServer(&why)) {
    std::fprintf(stderr, "no X server: %s\n", why.c_str());
    if (mode != "all") return 1;
  }
  if (mode == "title") return RunTitle();
  if (mode == "clear") return RunClear();
  int rc = RunChild(RunClear);
  rc |= RunChild(RunTitle);
  rc |= RunChild(RunHeadless);
  return rc;
}
