#include "platform/render/sdl/sdl_renderer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/render/quad_runs.h"

namespace plat {

namespace {

constexpr int kMaxBatchQuads = 8192;

struct TextureSlot {
  SDL_Texture* texture = nullptr;
  int width = 0, height = 0;
  bool alpha8 = false;  // given as coverage bytes, kept by SDL as white RGBA
  int blend = -1;   // blend mode last set on it
  int filter = -1;  // scale mode last set on it
};

SDL_BlendMode SdlBlend(int blend) {
  switch (blend) {
    // No alpha test here: masked pixels are fully transparent or fully opaque in the
    // texture, so blending by texture alpha draws the same picture (the quad's own
    // alpha is settled per quad, see Draw).
    case kBlendMask: return SDL_BLENDMODE_BLEND;
    case kBlendSolid: return SDL_BLENDMODE_NONE;
    case kBlendLight: return SDL_BLENDMODE_ADD;
    // dst = src * dst on colour, destination alpha kept: (DST_COLOR, ZERO) exactly.
    case kBlendShade: return SDL_BLENDMODE_MOD;
    default: return SDL_BLENDMODE_BLEND;
  }
}

class SdlRenderer : public Renderer {
 public:
  explicit SdlRenderer(SDL_Renderer* renderer) : r_(renderer) {
    SDL_GetRendererOutputSize(r_, &width_, &height_);
    sx_ = sy_ = 1.0f;
    // The software renderer sets no limit; keep a sane one so a bad size fails cleanly.
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(r_, &info);
    maxTextureW_ = info.max_texture_width > 0 ? info.max_texture_width : 16384;
    maxTextureH_ = info.max_texture_height > 0 ? info.max_texture_height : 16384;
    // Untextured quads use a white texel so that they share the textured path.
    const uint32_t white = 0xFFFFFFFFu;
    white_.texture = SDL_CreateTexture(r_, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC, 1, 1);
    if (white_.texture) SDL_UpdateTexture(white_.texture, nullptr, &white, 4);
    white_.width = white_.height = 1;
    verts_.reserve(kMaxBatchQuads * 4);
    indices_.resize(kMaxBatchQuads * 6);
    for (int q = 0; q < kMaxBatchQuads; ++q) {
      int b = q * 4;
      int* p = &indices_[q * 6];
      p[0] = b, p[1] = b + 1, p[2] = b + 2, p[3] = b, p[4] = b + 2, p[5] = b + 3;
    }
    Clear();
  }

  ~SdlRenderer() override {
    for (TextureSlot& t : textures_) {
      if (t.texture) SDL_DestroyTexture(t.texture);
    }
    if (white_.texture) SDL_DestroyTexture(white_.texture);
    SDL_DestroyRenderer(r_);
  }

  int CreateTexture(int width, int height, const uint8_t* rgba, int flags) override {
    if (width <= 0 || height <= 0 || width > maxTextureW_ || height > maxTextureH_) return 0;
    SDL_Texture* t = SDL_CreateTexture(r_, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC, width, height);
    if (!t) return 0;
    TextureSlot slot{t, width, height, (flags & kTextureAlpha8) != 0, -1, -1};
    if (rgba) Upload(slot, nullptr, rgba, width);
    if (!free_.empty()) {
      int id = free_.back();
      free_.pop_back();
      textures_[id - 1] = slot;
      return id;
    }
    textures_.push_back(slot);
    return static_cast<int>(textures_.size());
  }

  void UpdateTexture(int texture, int x, int y, int width, int height, const uint8_t* rgba) override {
    TextureSlot* t = Slot(texture);
    if (!t || !rgba) return;
    int x0 = std::max(x, 0), y0 = std::max(y, 0);
    int x1 = std::min(x + width, t->width), y1 = std::min(y + height, t->height);
    if (x0 >= x1 || y0 >= y1) return;
    if (run_.texture == texture) Flush();
    SDL_Rect rect{x0, y0, x1 - x0, y1 - y0};
    Upload(*t, &rect, rgba + (size_t(y0 - y) * width + (x0 - x)) * (t->alpha8 ? 1 : 4), width);
  }

  void DestroyTexture(int texture) override {
    TextureSlot* t = Slot(texture);
    if (!t) return;
    if (run_.texture == texture) {
      Flush();
      run_.texture = -1;
    }
    SDL_DestroyTexture(t->texture);
    *t = TextureSlot{};
    free_.push_back(texture);
  }

  void SetVirtualSize(double width, double height) override {
    if (!(width > 0) || !(height > 0)) return;
    Flush();
    sx_ = static_cast<float>(width_ / width);
    sy_ = static_cast<float>(height_ / height);
  }

  void DrawQuads(const Quad* quads, int count) override {
    for (int i = 0; i < count; ++i) {
      const Quad& q = quads[i];
      float a = q.a;
      if (q.blend == kBlendMask) {
        // The alpha test of mask mode, for the quad's own alpha: under 0.5 nothing
        // is drawn, otherwise opaque texels are drawn opaque.
        if (a < 0.5f) continue;
        a = 1.0f;
      }
      if (!run_.Takes(q, kMaxBatchQuads)) {
        Flush();
        if (q.texture != 0 && !Slot(q.texture)) continue;
        run_.Start(q);
      }
      float af = a * 255.0f + 0.5f;
      SDL_Color c{q.r, q.g, q.b, static_cast<Uint8>(!(af > 0) ? 0 : af >= 255 ? 255 : af)};  // NaN reads as 0
      for (int k = 0; k < 4; ++k) {
        verts_.push_back(SDL_Vertex{{q.v[k].x * sx_, q.v[k].y * sy_}, c, {q.v[k].u, q.v[k].v}});
      }
      ++run_.count;
    }
  }

  void Clear() override {
    verts_.clear();
    run_.count = 0;
    SDL_SetRenderDrawBlendMode(r_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(r_, 0, 0, 0, 255);
    SDL_RenderClear(r_);
  }

  void ReadPixels(int x, int y, int width, int height, uint8_t* rgbaOut) override {
    if (width <= 0 || height <= 0 || !rgbaOut) return;
    Flush();
    for (size_t i = 0; i < size_t(width) * height; ++i) {
      rgbaOut[i * 4 + 0] = rgbaOut[i * 4 + 1] = rgbaOut[i * 4 + 2] = 0;
      rgbaOut[i * 4 + 3] = 255;
    }
    int x0 = std::max(x, 0), y0 = std::max(y, 0);
    int x1 = std::min(x + width, width_), y1 = std::min(y + height, height_);
    if (x0 >= x1 || y0 >= y1) return;
    SDL_Rect rect{x0, y0, x1 - x0, y1 - y0};
    uint8_t* dst = rgbaOut + (size_t(y0 - y) * width + (x0 - x)) * 4;
    if (SDL_RenderReadPixels(r_, &rect, SDL_PIXELFORMAT_RGBA32, dst, width * 4) != 0) return;
    for (int r = 0; r < rect.h; ++r) {
      uint8_t* row = dst + size_t(r) * width * 4;
      for (int i = 0; i < rect.w; ++i) row[i * 4 + 3] = 255;  // the screen is opaque
    }
  }

  void Present(bool vsync) override {
    Flush();
    int want = vsync ? 1 : 0;
    if (vsync_ != want) {
      SDL_RenderSetVSync(r_, want);
      vsync_ = want;
    }
    SDL_RenderPresent(r_);
  }

  void FlushDrawing() override {
    Flush();
    SDL_RenderFlush(r_);
  }

  int Width() const override { return width_; }
  int Height() const override { return height_; }

 private:
  // SDL has no alpha-only texture format for every renderer: coverage bytes are
  // widened to white RGBA rows on the way in (only the upload is RGBA).
  void Upload(TextureSlot& t, const SDL_Rect* rect, const uint8_t* pixels, int rowPixels) {
    if (!t.alpha8) {
      SDL_UpdateTexture(t.texture, rect, pixels, rowPixels * 4);
      return;
    }
    const int w = rect ? rect->w : t.width, h = rect ? rect->h : t.height;
    std::vector<uint8_t> widened(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y) {
      const uint8_t* src = pixels + size_t(y) * rowPixels;
      uint8_t* dst = &widened[size_t(y) * w * 4];
      for (int x = 0; x < w; ++x, dst += 4) {
        dst[0] = dst[1] = dst[2] = 255;
        dst[3] = src[x];
      }
    }
    SDL_UpdateTexture(t.texture, rect, widened.data(), w * 4);
  }

  TextureSlot* Slot(int id) {
    if (id <= 0 || id > static_cast<int>(textures_.size()) || !textures_[id - 1].texture) return nullptr;
    return &textures_[id - 1];
  }

  void Flush() {
    if (run_.count == 0) return;
    TextureSlot* t = run_.texture == 0 ? &white_ : Slot(run_.texture);
    if (t && t->texture) {
      if (t->blend != run_.blend) {
        SDL_SetTextureBlendMode(t->texture, SdlBlend(run_.blend));
        t->blend = run_.blend;
      }
      int filter = run_.filtered ? 1 : 0;
      if (run_.texture != 0 && t->filter != filter) {
        SDL_SetTextureScaleMode(t->texture, run_.filtered ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        t->filter = filter;
      }
      SDL_RenderGeometry(r_, t->texture, verts_.data(), static_cast<int>(verts_.size()), indices_.data(),
                         run_.count * 6);
    }
    verts_.clear();
    run_.count = 0;
  }

  SDL_Renderer* r_;
  int width_ = 0, height_ = 0;
  int maxTextureW_ = 0, maxTextureH_ = 0;
  float sx_, sy_;
  std::vector<TextureSlot> textures_;
  std::vector<int> free_;
  TextureSlot white_;
  std::vector<SDL_Vertex> verts_;
  std::vector<int> indices_;
  QuadRun run_;
  int vsync_ = -1;
};

}  // namespace

std::unique_ptr<Renderer> MakeSdlRenderer(SDL_Window* window, Uint32 flags, std::string* error) {
  // SDL batches its own commands only when asked to once a driver is forced.
  SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
  SDL_Renderer* r = SDL_CreateRenderer(window, -1, flags);
  if (!r) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  return std::make_unique<SdlRenderer>(r);
}

}  // namespace plat
