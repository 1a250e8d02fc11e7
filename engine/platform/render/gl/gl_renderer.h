// Our batched 2D renderer on OpenGL 2.1 / GLSL 1.20 (runs on Mesa's software
// rasteriser as well as on real hardware). Quads are appended to one client-side
// vertex array and drawn with one call per run of equal texture, blend mode and
// filtering, through the plainest fragment program that run needs (plain colour,
// RGBA texels or coverage texels; with the mask test only for masked runs).
#pragma once

#include <SDL.h>

#include <memory>
#include <vector>

#include "platform/backend.h"

namespace plat {

class GlRenderer;

// Creates the renderer for a window that has a current OpenGL context (the
// renderer takes ownership of the context). Null, with a reason in `error`, when
// the context lacks what the renderer needs; the context is then left to the caller.
std::unique_ptr<GlRenderer> MakeGlRenderer(SDL_Window* window, SDL_GLContext context, std::string* error);

class GlRenderer : public Renderer {
 public:
  ~GlRenderer() override;

  int CreateTexture(int width, int height, const uint8_t* rgba, int flags) override;
  void UpdateTexture(int texture, int x, int y, int width, int height, const uint8_t* rgba) override;
  void DestroyTexture(int texture) override;
  void SetVirtualSize(double width, double height) override;
  void DrawQuads(const Quad* quads, int count) override;
  void Clear() override;
  void ReadPixels(int x, int y, int width, int height, uint8_t* rgbaOut) override;
  void Present(bool vsync) override;
  void FlushDrawing() override;
  int Width() const override;
  int Height() const override;

  // Draws what is batched (the benchmark uses it to time complete frames).
  void Flush();
  // Batches drawn since creation (for tests of the batching).
  long long DrawCallCount() const;

  // For a benchmark that replays our frame with bare GL calls in this context.
  struct TextureInfo {
    unsigned name = 0;  // GL texture name; 0 for plain quads and unknown ids
    bool alpha8 = false;
    bool mipmapped = false;
  };
  TextureInfo GlTexture(int texture) const;
  // While set, every quad drawn is appended to `sink`; Clear empties it, so it holds
  // the picture since the last clear. Null stops it.
  void TapQuads(std::vector<Quad>* sink);
  // Other code used the context: binds our buffers and vertex layout again and
  // forgets the GL state we assumed (program, texture, blend, filtering).
  void ForgetGlState();

  struct Impl;

 private:
  friend std::unique_ptr<GlRenderer> MakeGlRenderer(SDL_Window*, SDL_GLContext, std::string*);
  GlRenderer();
  std::unique_ptr<Impl> impl_;
};

}  // namespace plat
