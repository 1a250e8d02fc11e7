// The game's frame on a crowded board: every in-play cell of the 1280x960 board
// built (straights, curves, crossings), stations along the top and bottom edges
// holding 16 of each cargo, the train running. Prints
//   1. CPU time per game frame on the headless backend, recording off (the whole
//      frame order with quad submission; no pacing), and
//   2. frames per second with our OpenGL renderer in a 1024x768 window (Xvfb when
//      DISPLAY is unset) next to a bare batched GL loop drawing the same quads
//      from one texture.
// Run it from the repository root so that Files/257/ is found:
//   build/<dir>/game_bench [frames]
#include <SDL.h>
#include <SDL_opengl.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/assets.h"
#include "core/settings_table.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "game/board.h"
#include "game/effects.h"
#include "game/game.h"
#include "game/media.h"
#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "xvfb.h"

namespace {

constexpr int kWindowW = 1024, kWindowH = 768;

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

void LoadImages() {
  const std::string dir = plat::FileType("Files/257/track.png") == 1 ? "Files/257/" : "";
  plat::AutoMidHandle(true);
  TrackImage = plat::LoadAnimImage(dir + "track.png", 32, 32, 0, 240, 3);
  TrainImage = plat::LoadAnimImage(dir + "train.png", 64, 64, 0, 8, 3);
  BubbleImage = plat::LoadAnimImage(dir + "bubbles.png", 32, 24, 0, 4, 3);
  FlashImage = plat::LoadImage(dir + "flash.png", 3);
  if (!TrackImage) std::fprintf(stderr, "game_bench: no game images found; run from the repository root\n");
}

// The crowded board on top of a fresh game: the train keeps its starting loop.
void CrowdTheBoard() {
  Difficulty = 1;
  SetupGame();
  plat::SeedRnd(257);
  const int pattern[] = {kStraightWE, kCurveNE, kStraightNS, kCrossing, kCurveSW, kCurveWN, kCurveSE};
  for (int x = 0; x <= Game.BoardMaxX; x++) {
    for (int y = 0; y <= Game.BoardMaxY; y++) {
      int& code = Game.TrackGrid[CellIndex(x, y)];
      if (code == 0) code = pattern[(x * 3 + y) % 7];
    }
  }
  for (int x = 2; x <= Game.BoardMaxX - 2; x += 3) {
    auto station = [x](int y, int house, int track, int count) {
      Game.TrackGrid[CellIndex(x, y)] = house;
      Game.TrackGrid[CellIndex(x, y + 1)] = track;
      Game.BusyGrid[CellIndex(x, y)] = Game.BusyGrid[CellIndex(x, y + 1)] = kStationMarker;
      Game.PeopleGrid[CellIndex(x, y + 1)] = Game.ParcelGrid[CellIndex(x, y + 1)] = count;
    };
    station(1, kCollectHouseAbove, kCollectTrackWE, 16);
    station(Game.BoardMaxY - 1, kDeliverHouseAbove, kDeliverTrackWE, -16);
  }
  Game.StationCountdown = 1 << 30;
}

// One game frame without EndFrame's pacing: the frame's work, the popups, a flip.
// Full stations would end the game; their timers are kept short of exploding.
void BenchFrame() {
  DrawGameFrame();
  DrawPopups();
  plat::Flip(0);
  FinishGameFrame(0);
  for (int& f : Game.OverfullGrid) f = f > 200 ? 1 : f;
  Game.EndCounter = 0;
  Game.QuitFlag = 0;
}

// ------------------------------------------------------------------ the quads
struct BareQuad {
  float x[4], y[4];
  uint32_t rgba;
};

// The quads of one recorded frame, in window pixels, as the 2D layer would make them.
std::vector<BareQuad> QuadsOf(const std::vector<plat::DrawCall>& calls) {
  std::vector<BareQuad> quads;
  const float s = float(kWindowW) / 1280.0f;
  for (const plat::DrawCall& c : calls) {
    int pieces = 1;
    double w = c.width * c.scaleX, h = c.height * c.scaleY, cx = c.x, cy = c.y;
    if (c.kind == plat::DrawCall::kRect) cx += w / 2, cy += h / 2;
    if (c.kind == plat::DrawCall::kText) pieces = int(c.text.size()), w /= pieces > 0 ? pieces : 1;
    const double rad = c.rotation * M_PI / 180, co = std::cos(rad), si = std::sin(rad);
    for (int p = 0; p < pieces; p++) {
      BareQuad q{};
      const double px = c.kind == plat::DrawCall::kText ? c.x + w * (p + 0.5) : cx;
      const double py = c.kind == plat::DrawCall::kText ? c.y + h / 2 : cy;
      const double lx[4] = {-w / 2, w / 2, w / 2, -w / 2}, ly[4] = {-h / 2, -h / 2, h / 2, h / 2};
      for (int k = 0; k < 4; k++) {
        q.x[k] = float(px + lx[k] * co - ly[k] * si) * s;
        q.y[k] = float(py + lx[k] * si + ly[k] * co) * s;
      }
      q.rgba = uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16 | uint32_t(c.alpha * 255) << 24;
      quads.push_back(q);
    }
  }
  return quads;
}

const char* kBareVs = R"(#version 120
attribute vec2 aPos; attribute vec2 aUv; attribute vec4 aColor;
varying vec2 vUv; varying vec4 vColor;
void main() {
  gl_Position = vec4(aPos.x * (2.0 / 1024.0) - 1.0, 1.0 - aPos.y * (2.0 / 768.0), 0.0, 1.0);
  vUv = aUv; vColor = aColor;
})";
const char* kBareFs = R"(#version 120
uniform sampler2D uTex; varying vec2 vUv; varying vec4 vColor;
void main() { gl_FragColor = texture2D(uTex, vUv) * vColor; })";

// Frames per second of a bare batched loop drawing `quads` from one 32x32 texture.
double BareFps(const std::vector<BareQuad>& quads, int frames) {
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_Window* w = SDL_CreateWindow("bench", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWindowW, kWindowH,
                                   SDL_WINDOW_OPENGL);
  SDL_GLContext ctx = w ? SDL_GL_CreateContext(w) : nullptr;
  if (!ctx) {
    if (w) SDL_DestroyWindow(w);
    return 0;
  }
  SDL_GL_SetSwapInterval(0);
  auto compile = [](GLenum type, const char* src) {
    GLuint sh = glCreateShader(type);
    glShaderSource(sh, 1, &src, nullptr);
    glCompileShader(sh);
    return sh;
  };
  GLuint prog = glCreateProgram();
  glAttachShader(prog, compile(GL_VERTEX_SHADER, kBareVs));
  glAttachShader(prog, compile(GL_FRAGMENT_SHADER, kBareFs));
  glBindAttribLocation(prog, 0, "aPos");
  glBindAttribLocation(prog, 1, "aUv");
  glBindAttribLocation(prog, 2, "aColor");
  glLinkProgram(prog);
  glUseProgram(prog);
  struct V {
    float x, y, u, v;
    uint32_t rgba;
  };
  const int n = int(quads.size());
  std::vector<uint32_t> idx(size_t(n) * 6);
  for (int q = 0; q < n; ++q) {
    uint32_t b = uint32_t(q * 4);
    uint32_t* p = &idx[size_t(q) * 6];
    p[0] = b, p[1] = b + 1, p[2] = b + 2, p[3] = b, p[4] = b + 2, p[5] = b + 3;
  }
  GLuint bufs[2];
  glGenBuffers(2, bufs);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, bufs[1]);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, idx.size() * 4, idx.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, bufs[0]);
  for (int a = 0; a < 3; ++a) glEnableVertexAttribArray(a);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(V), reinterpret_cast<void*>(0));
  glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(V), reinterpret_cast<void*>(8));
  glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(V), reinterpret_cast<void*>(16));
  std::vector<uint8_t> px(32 * 32 * 4, 200);
  GLuint tex;
  glGenTextures(1, &tex);
  glBindTexture(GL_TEXTURE_2D, tex);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 32, 32, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_DITHER);
  glViewport(0, 0, kWindowW, kWindowH);
  glClearColor(0, 0, 0, 1);
  std::vector<V> verts(size_t(n) * 4);
  const float uv[8] = {0, 0, 1, 0, 1, 1, 0, 1};
  auto frame = [&] {
    glClear(GL_COLOR_BUFFER_BIT);
    V* v = verts.data();
    for (const BareQuad& q : quads) {
      for (int k = 0; k < 4; ++k) *v++ = {q.x[k], q.y[k], uv[k * 2], uv[k * 2 + 1], q.rgba};
    }
    glBufferData(GL_ARRAY_BUFFER, verts.size() * sizeof(V), verts.data(), GL_STREAM_DRAW);
    glDrawElements(GL_TRIANGLES, n * 6, GL_UNSIGNED_INT, nullptr);
    SDL_GL_SwapWindow(w);
  };
  for (int i = 0; i < 5; i++) frame();
  glFinish();
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; i++) frame();
  glFinish();
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  glDeleteTextures(1, &tex);
  glDeleteBuffers(2, bufs);
  glDeleteProgram(prog);
  SDL_GL_DeleteContext(ctx);
  SDL_DestroyWindow(w);
  return frames / secs;
}

}  // namespace

int main(int argc, char** argv) {
  int frames = argc > 1 ? std::atoi(argv[1]) : 2000;
  if (frames <= 0) frames = 2000;
  for (int i = 0; i < 20; i++) DrawLimit[i] = 1000000;
  Settings[slot::soundVolume] = Settings[slot::masterVolume] = 0;
  ControlMode = 1;
  VirtualWidth = 1280;
  VirtualHeight = 960;

  // ---- 1. headless, recording off
  plat::HeadlessBackend& headless = plat::UseHeadless();
  plat::OpenDisplay(1280, 960, 0, 60, 0);
  plat::SetVirtualResolution(1280, 960);
  LoadImages();
  CrowdTheBoard();
  for (int i = 0; i < 10; i++) BenchFrame();
  double cpu0 = CpuSeconds();
  for (int i = 0; i < frames; i++) BenchFrame();
  const double headlessMs = (CpuSeconds() - cpu0) * 1000 / frames;
  headless.SetRecording(true);
  BenchFrame();
  const std::vector<plat::DrawCall> calls = headless.LastFrameCalls();
  headless.SetRecording(false);
  std::printf("game_bench: 1280x960 board, %d built cells, %d frames\n", (Game.BoardMaxX + 1) * (Game.BoardMaxY + 1),
              frames);
  std::printf("  draw calls a frame                 %zu\n", calls.size());
  std::printf("  headless CPU time a frame          %.3f ms (target <= 1 ms)\n", headlessMs);

  // ---- 2. our OpenGL renderer against a bare batched loop
  std::string why;
  if (!realtest::EnsureXServer(&why)) {
    std::printf("  OpenGL: skipped (%s)\n", why.c_str());
    return 0;
  }
  plat::UseBackend(plat::MakeSdlBackend());
  plat::StartServices();
  plat::SetGraphicsDriver(plat::kDriverOpenGL);
  if (!plat::OpenDisplay(kWindowW, kWindowH, 0, 0, 0)) {
    std::printf("  OpenGL: no window\n");
    return 0;
  }
  plat::SetVirtualResolution(1280, 960);
  LoadImages();
  CrowdTheBoard();
  for (int i = 0; i < 10; i++) BenchFrame();
  uint8_t sync[4];
  plat::CurrentBackend().renderer()->ReadPixels(0, 0, 1, 1, sync);
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; i++) BenchFrame();
  plat::CurrentBackend().renderer()->ReadPixels(0, 0, 1, 1, sync);
  const double oursFps = frames / std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  plat::CloseDisplay();
  const std::vector<BareQuad> quads = QuadsOf(calls);
  const double bareFps = BareFps(quads, frames);
  std::printf("  OpenGL, our renderer (game frame)  %.0f frames/s\n", oursFps);
  std::printf("  bare batched GL loop, %zu quads  %.0f frames/s\n", quads.size(), bareFps);
  std::printf("  ratio ours/bare %.2f (target >= 0.90)\n", bareFps > 0 ? oursFps / bareFps : 0.0);
  plat::EndProcess(0);
}
