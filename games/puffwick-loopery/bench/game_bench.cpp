// The game's frame on a crowded board: every in-play cell of the 1280x960 board
// built (straights, curves, crossings), stations along the top and bottom edges
// holding 16 of each cargo, the train running. Prints
//   1. CPU time per game frame on the headless backend, recording off (the whole
//      frame order with quad submission; no pacing), and
//   2. frames per second with our OpenGL renderer in a 1024x768 window (Xvfb when
//      DISPLAY is unset) next to a bare batched GL loop replaying one game frame's
//      quads (same textures, same order, same state changes). Neither includes
//      EndFrame's pacing: a frame is the game's work, the popups and Flip(0).
// Run it from the repository root so that Files/257/ is found:
//   build/<dir>/game_bench [frames]
#include <SDL.h>
#include <SDL_opengl.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/assets.h"
#include "core/settings_table.h"
#include "core/state.h"
#include "draw/helpers.h"
#include "frame/frame.h"
#include "loopery/board.h"
#include "loopery/effects.h"
#include "loopery/game.h"
#include "loopery/media.h"
#include "platform/backend.h"
#include "platform/render/gl/gl_renderer.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/render/quad_runs.h"
#include "testkit/xvfb.h"
#include "loopery/loopery.h"

namespace {

constexpr int kWindowW = 1024, kWindowH = 768;

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

void LoadImages() {
  const std::string dir = plat::FileType("Files/257/track.png") == plat::kFileTypeFile ? "Files/257/" : "";
  plat::AutoMidHandle(true);
  Loopery.TrackImage = plat::LoadAnimImage(dir + "track.png", 32, 32, 0, 240, plat::kImageMasked | plat::kImageFiltered);
  Loopery.TrainImage = plat::LoadAnimImage(dir + "train.png", 64, 64, 0, 8, plat::kImageMasked | plat::kImageFiltered);
  Loopery.BubbleImage = plat::LoadAnimImage(dir + "bubbles.png", 32, 24, 0, 4, plat::kImageMasked | plat::kImageFiltered);
  Loopery.FlashImage = plat::LoadImage(dir + "flash.png", plat::kImageMasked | plat::kImageFiltered);
  if (!Loopery.TrackImage) std::fprintf(stderr, "game_bench: no game images found; run from the repository root\n");
}

// The crowded board on top of a fresh game: the train keeps its starting loop.
void CrowdTheBoard() {
  Core.Difficulty = 1;
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

// ------------------------------------------------------------------ the bare loop
// One game frame's quads exactly as our renderer received them, replayed in the
// same context with as little GL as draws the same picture: the renderers' own run
// rule, and per run only the program, texture, filtering and blend changes it
// needs, one buffer upload and one glDrawArrays. The ceiling for this frame.
const char* kBareVs = R"(#version 120
attribute vec2 aPos; attribute vec2 aUv; attribute vec4 aColor;
uniform vec4 uProj;
varying vec2 vUv; varying vec4 vColor;
void main() {
  gl_Position = vec4(aPos.x * uProj.x + uProj.z, aPos.y * uProj.y + uProj.w, 0.0, 1.0);
  vUv = aUv; vColor = aColor;
})";
// RGBA texels, coverage texels (white at that alpha), and plain quads; each also
// dropping texels under half alpha, for the mask blend.
const char* kBareColour[3] = {"texture2D(uTex, vUv) * vColor",
                              "vec4(vColor.rgb, vColor.a * texture2D(uTex, vUv).a)", "vColor"};
std::string BareFs(int program) {
  return std::string("#version 120\nuniform sampler2D uTex; varying vec2 vUv; varying vec4 vColor;\n"
                     "void main() { vec4 c = ") +
         kBareColour[program % 3] + ";" + (program >= 3 ? " if (c.a < 0.5) discard;" : "") +
         " gl_FragColor = c; }";
}

class BareLoop {
 public:
  struct Counts {
    int quads = 0, runs = 0, programs = 0, binds = 0, filters = 0, blends = 0;
  };

  BareLoop(plat::GlRenderer& gl, const std::vector<plat::Quad>& quads, double virtualW, double virtualH)
      : quads_(quads) {
    for (int p = 0; p < 6; ++p) {
      programs_[p] = glCreateProgram();
      glAttachShader(programs_[p], Compile(GL_VERTEX_SHADER, kBareVs));
      glAttachShader(programs_[p], Compile(GL_FRAGMENT_SHADER, BareFs(p).c_str()));
      glBindAttribLocation(programs_[p], 0, "aPos");
      glBindAttribLocation(programs_[p], 1, "aUv");
      glBindAttribLocation(programs_[p], 2, "aColor");
      glLinkProgram(programs_[p]);
      glUseProgram(programs_[p]);
      glUniform4f(glGetUniformLocation(programs_[p], "uProj"), float(2 / virtualW), float(-2 / virtualH), -1, 1);
      if (p % 3 != 2) glUniform1i(glGetUniformLocation(programs_[p], "uTex"), 0);
    }
    plat::QuadRun run;
    for (int i = 0; i < int(quads.size()); ++i) {
      const plat::Quad& q = quads[i];
      if (!run.Takes(q, 1 << 30)) {
        run.Start(q);
        const plat::GlRenderer::TextureInfo info = gl.GlTexture(q.texture);
        const int program = (q.texture == 0 ? 2 : info.alpha8 ? 1 : 0) + (q.blend == plat::kBlendMask ? 3 : 0);
        runs_.push_back({i, 0, info.name, program, q.blend, q.filtered, info.mipmapped});
      }
      ++run.count;
      ++runs_.back().count;
    }
    glGenBuffers(1, &vbo_);
    verts_.resize(quads.size() * 6);
  }

  ~BareLoop() {
    for (GLuint p : programs_) glDeleteProgram(p);
    glDeleteBuffers(1, &vbo_);
  }

  // Forgets the state left by other code in the context (our renderer's frames).
  void Enter() {
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(V), reinterpret_cast<void*>(0));
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(V), reinterpret_cast<void*>(8));
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(V), reinterpret_cast<void*>(16));
    program_ = -1, bound_ = 0, blend_ = -1;
    filters_.clear();
  }

  void Frame(SDL_Window* window, Counts* counts = nullptr) {
    Counts c;
    glClear(GL_COLOR_BUFFER_BIT);
    static const int kCorner[6] = {0, 1, 2, 0, 2, 3};
    V* v = verts_.data();
    for (const plat::Quad& q : quads_) {
      float a = q.a * 255.0f + 0.5f;
      uint32_t rgba = uint32_t(q.r) | uint32_t(q.g) << 8 | uint32_t(q.b) << 16 |
                      (a >= 255.0f ? 255u : a > 0.0f ? uint32_t(a) : 0u) << 24;
      for (int k : kCorner) *v++ = {q.v[k].x, q.v[k].y, q.v[k].u, q.v[k].v, rgba};
    }
    for (const Run& r : runs_) {
      if (r.program != program_) {
        glUseProgram(programs_[r.program]);
        program_ = r.program;
        ++c.programs;
      }
      if (r.program % 3 != 2) {
        if (r.texture != bound_) {
          glBindTexture(GL_TEXTURE_2D, r.texture);
          bound_ = r.texture;
          ++c.binds;
        }
        auto known = filters_.find(r.texture);
        if (known == filters_.end() || known->second != r.filtered) {
          glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, r.filtered ? GL_LINEAR : GL_NEAREST);
          glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                          r.filtered ? (r.mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR) : GL_NEAREST);
          filters_[r.texture] = r.filtered;
          ++c.filters;
        }
      }
      if (r.blend != blend_) {
        SetBlend(r.blend);
        ++c.blends;
      }
      glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(r.count) * 6 * sizeof(V), &verts_[size_t(r.first) * 6],
                   GL_STREAM_DRAW);
      glDrawArrays(GL_TRIANGLES, 0, r.count * 6);
    }
    SDL_GL_SwapWindow(window);
    c.quads = int(quads_.size());
    c.runs = int(runs_.size());
    if (counts) *counts = c;
  }

 private:
  struct V {
    float x, y, u, v;
    uint32_t rgba;
  };
  struct Run {
    int first, count;
    GLuint texture;
    int program;
    int blend;
    bool filtered, mipmapped;
  };

  static GLuint Compile(GLenum type, const char* src) {
    GLuint sh = glCreateShader(type);
    glShaderSource(sh, 1, &src, nullptr);
    glCompileShader(sh);
    return sh;
  }

  void SetBlend(int blend) {
    blend_ = blend;
    switch (blend) {
      case plat::kBlendMask:
      case plat::kBlendSolid:
        glDisable(GL_BLEND);
        break;
      case plat::kBlendLight:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
      case plat::kBlendShade:
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        break;
      default:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    }
  }

  const std::vector<plat::Quad>& quads_;
  std::vector<Run> runs_;
  std::vector<V> verts_;
  GLuint programs_[6] = {};
  GLuint vbo_ = 0;
  int program_ = -1;
  GLuint bound_ = 0;
  int blend_ = -1;
  std::map<GLuint, bool> filters_;
};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  UseGame(LooperyTable());
  int frames = argc > 1 ? std::atoi(argv[1]) : 2000;
  if (frames <= 0) frames = 2000;
  for (int i = 0; i < 20; i++) Draw.DrawLimit[i] = 1000000;
  Core.Settings[slot::soundVolume] = Core.Settings[slot::masterVolume] = 0;
  Core.ControlMode = 1;
  Core.VirtualWidth = 1280;
  Core.VirtualHeight = 960;

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

  // ---- 2. our OpenGL renderer against the bare loop, in turns so that other load
  // on the machine falls on both alike
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
  auto* gl = dynamic_cast<plat::GlRenderer*>(plat::CurrentBackend().renderer());
  SDL_Window* window = SDL_GL_GetCurrentWindow();
  if (!gl || !window) {
    std::printf("  OpenGL: our renderer did not start\n");
    return 0;
  }
  plat::SetVirtualResolution(1280, 960);
  LoadImages();
  CrowdTheBoard();
  for (int i = 0; i < 10; i++) BenchFrame();
  std::vector<plat::Quad> quads;
  gl->TapQuads(&quads);
  BenchFrame();
  gl->TapQuads(nullptr);
  const long long calls0 = gl->DrawCallCount();
  BenchFrame();
  const long long oursDraws = gl->DrawCallCount() - calls0;

  BareLoop bare(*gl, quads, 1280, 960);
  BareLoop::Counts counts;
  bare.Enter();
  for (int i = 0; i < 5; i++) bare.Frame(window, &counts);
  std::printf("  one frame: %d quads in %d runs; the bare loop changes program %d, texture %d, filtering %d,\n"
              "  blend %d times (our renderer: %lld draws)\n",
              counts.quads, counts.runs, counts.programs, counts.binds, counts.filters, counts.blends, oursDraws);

  constexpr int kTurns = 4;
  const int perTurn = std::max(1, frames / kTurns);
  double oursSecs = 0, bareSecs = 0, worst = 1e9, best = 0;
  for (int turn = 0; turn < kTurns; turn++) {
    gl->ForgetGlState();
    glFinish();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < perTurn; i++) BenchFrame();
    glFinish();
    const double ours = Seconds(start);
    bare.Enter();
    glFinish();
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < perTurn; i++) bare.Frame(window);
    glFinish();
    const double bareTurn = Seconds(start);
    oursSecs += ours, bareSecs += bareTurn;
    worst = std::min(worst, bareTurn / ours), best = std::max(best, bareTurn / ours);
  }
  const double oursFps = kTurns * perTurn / oursSecs, bareFps = kTurns * perTurn / bareSecs;
  std::printf("  OpenGL, our renderer (game frame)  %.1f frames/s\n", oursFps);
  std::printf("  bare GL loop, the same quads       %.1f frames/s\n", bareFps);
  std::printf("  ratio ours/bare %.2f, turns %.2f..%.2f (target >= 0.90)\n", oursFps / bareFps, worst, best);
  gl->ForgetGlState();
  plat::CloseDisplay();
  plat::EndProcess(0);
}
