// The offscreen software renderer behind the headless backend.
//
// Drawing is lazy: DrawQuads only queues (already mapped to real pixels), and the
// queue is rasterised when someone asks for pixels (ReadPixels, FrontPixels). Tests
// that draw thousands of sprites a frame and never look at them therefore pay for
// little more than a vector append.
//
// A presented frame keeps its queue, so the back and front buffers share one frame
// record until the back buffer changes (copy on write). Textures are shared the same
// way: a queued frame pins the texture data it uses, and updating a pinned texture
// copies it first, so a frame always shows the texture as it was when drawn.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "platform/render/soft/soft_renderer.h"

namespace plat {
namespace {

struct TexData {
  int w = 0, h = 0;
  int bpp = 4;  // bytes per texel: 4 RGBA, 1 coverage of a white texel
  std::vector<uint8_t> rgba;
  uint64_t pinnedBy = 0;  // id of the last frame that pinned this data
};

struct Item {
  float x[4], y[4];  // real pixels
  float u[4], v[4];
  float r, g, b, a;  // r,g,b as 0..1 factors
  int blend;
  bool filtered;
  const TexData* tex;  // null: white texels
};

struct Frame {
  uint64_t id = 0;
  std::vector<uint8_t> pixels;  // empty: all opaque black
  std::vector<Item> queue;
  std::vector<std::shared_ptr<TexData>> pins;
};

// Texture ids are unique across renderer instances, so that a stale id kept from an
// earlier display never names another renderer's texture.
std::atomic<int> g_nextTextureId{1};
std::atomic<uint64_t> g_nextFrameId{1};

inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

class SoftRendererImpl final : public SoftRenderer {
 public:
  SoftRendererImpl(int width, int height)
      : w_(std::max(1, width)), h_(std::max(1, height)), vw_(w_), vh_(h_) {
    back_ = NewFrame();
  }

  int CreateTexture(int width, int height, const uint8_t* rgba, int flags) override {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return 0;
    auto t = std::make_shared<TexData>();
    t->w = width;
    t->h = height;
    t->bpp = (flags & kTextureAlpha8) ? 1 : 4;
    size_t bytes = static_cast<size_t>(width) * height * t->bpp;
    if (rgba) {
      t->rgba.assign(rgba, rgba + bytes);
    } else {
      t->rgba.assign(bytes, 0);
    }
    int id = g_nextTextureId++;
    textures_[id] = std::move(t);
    return id;
  }

  void UpdateTexture(int texture, int x, int y, int width, int height, const uint8_t* rgba) override {
    auto it = textures_.find(texture);
    if (it == textures_.end() || !rgba) return;
    auto& t = it->second;
    // A queued frame still reads the old pixels: give it the old copy.
    if (t.use_count() > 1) t = std::make_shared<TexData>(TexData{t->w, t->h, t->bpp, t->rgba, 0});
    const int bpp = t->bpp;
    for (int row = 0; row < height; ++row) {
      int ty = y + row;
      if (ty < 0 || ty >= t->h) continue;
      for (int col = 0; col < width; ++col) {
        int tx = x + col;
        if (tx < 0 || tx >= t->w) continue;
        std::memcpy(&t->rgba[(static_cast<size_t>(ty) * t->w + tx) * bpp],
                    rgba + (static_cast<size_t>(row) * width + col) * bpp, bpp);
      }
    }
  }

  void DestroyTexture(int texture) override { textures_.erase(texture); }

  void SetVirtualSize(double width, double height) override {
    vw_ = width > 0 ? width : w_;
    vh_ = height > 0 ? height : h_;
  }

  void DrawQuads(const Quad* quads, int count) override {
    if (count <= 0 || !quads) return;
    Frame& f = WritableBack();
    const float sx = static_cast<float>(w_ / vw_), sy = static_cast<float>(h_ / vh_);
    for (int i = 0; i < count; ++i) {
      const Quad& q = quads[i];
      Item it;
      for (int k = 0; k < 4; ++k) {
        it.x[k] = q.v[k].x * sx;
        it.y[k] = q.v[k].y * sy;
        it.u[k] = q.v[k].u;
        it.v[k] = q.v[k].v;
      }
      it.r = q.r / 255.0f;
      it.g = q.g / 255.0f;
      it.b = q.b / 255.0f;
      it.a = Clamp01(q.a);
      it.blend = q.blend;
      it.filtered = q.filtered;
      it.tex = nullptr;
      if (q.texture != 0) {
        auto t = textures_.find(q.texture);
        if (t == textures_.end()) continue;  // a texture of no one: draw nothing
        if (t->second->pinnedBy != f.id) {
          t->second->pinnedBy = f.id;
          f.pins.push_back(t->second);
        }
        it.tex = t->second.get();
      }
      f.queue.push_back(it);
    }
  }

  void Clear() override {
    if (back_.use_count() > 1) {
      back_ = NewFrame();
    } else {
      back_->id = g_nextFrameId++;
      back_->pixels.clear();
      back_->queue.clear();
      back_->pins.clear();
    }
  }

  void ReadPixels(int x, int y, int width, int height, uint8_t* out) override {
    if (!out || width <= 0 || height <= 0) return;
    Rasterise(*back_);
    for (int row = 0; row < height; ++row) {
      for (int col = 0; col < width; ++col) {
        int px = x + col, py = y + row;
        uint8_t* d = out + (static_cast<size_t>(row) * width + col) * 4;
        if (px < 0 || py < 0 || px >= w_ || py >= h_ || back_->pixels.empty()) {
          d[0] = d[1] = d[2] = 0;
          d[3] = 255;
        } else {
          std::memcpy(d, &back_->pixels[(static_cast<size_t>(py) * w_ + px) * 4], 4);
        }
      }
    }
  }

  // The back buffer keeps its contents after a present, as a copy would.
  void Present(bool) override { front_ = back_; }

  int Width() const override { return w_; }
  int Height() const override { return h_; }

  std::vector<uint8_t> FrontPixels() override {
    if (!front_) return BlackPixels();
    Rasterise(*front_);
    return front_->pixels.empty() ? BlackPixels() : front_->pixels;
  }

 private:
  std::shared_ptr<Frame> NewFrame() {
    auto f = std::make_shared<Frame>();
    f->id = g_nextFrameId++;
    return f;
  }

  Frame& WritableBack() {
    if (back_.use_count() > 1) {
      auto copy = std::make_shared<Frame>(*back_);
      copy->id = g_nextFrameId++;
      for (auto& p : copy->pins) p->pinnedBy = copy->id;
      back_ = std::move(copy);
    }
    return *back_;
  }

  static void FillBlack(std::vector<uint8_t>& p) {
    for (size_t i = 0; i < p.size(); i += 4) {
      p[i] = p[i + 1] = p[i + 2] = 0;
      p[i + 3] = 255;
    }
  }

  std::vector<uint8_t> BlackPixels() const {
    std::vector<uint8_t> p(static_cast<size_t>(w_) * h_ * 4);
    FillBlack(p);
    return p;
  }

  // Rasterising does not change what a frame shows, so a frame shared by the back
  // and front buffers is rasterised in place for both.
  void Rasterise(Frame& f) {
    if (f.queue.empty() && !f.pixels.empty()) return;
    if (f.pixels.empty()) {
      f.pixels.resize(static_cast<size_t>(w_) * h_ * 4);  // reuses the cleared buffer's memory
      FillBlack(f.pixels);
    }
    for (const Item& it : f.queue) {
      DrawTriangle(f, it, 0, 1, 2);
      DrawTriangle(f, it, 0, 2, 3);
    }
    f.queue.clear();
    f.pins.clear();
  }

  static void Sample(const Item& it, float u, float v, float out[4]) {
    const TexData* t = it.tex;
    if (!t) {
      out[0] = out[1] = out[2] = out[3] = 1.0f;
      return;
    }
    if (!it.filtered) {
      int tx = std::clamp(static_cast<int>(std::floor(u * t->w)), 0, t->w - 1);
      int ty = std::clamp(static_cast<int>(std::floor(v * t->h)), 0, t->h - 1);
      if (t->bpp == 1) {
        out[0] = out[1] = out[2] = 1.0f;
        out[3] = t->rgba[static_cast<size_t>(ty) * t->w + tx] / 255.0f;
        return;
      }
      const uint8_t* p = &t->rgba[(static_cast<size_t>(ty) * t->w + tx) * 4];
      for (int c = 0; c < 4; ++c) out[c] = p[c] / 255.0f;
      return;
    }
    float fx = u * t->w - 0.5f, fy = v * t->h - 0.5f;
    int x0 = static_cast<int>(std::floor(fx)), y0 = static_cast<int>(std::floor(fy));
    float ax = fx - x0, ay = fy - y0;
    int x1 = std::clamp(x0 + 1, 0, t->w - 1), y1 = std::clamp(y0 + 1, 0, t->h - 1);
    x0 = std::clamp(x0, 0, t->w - 1);
    y0 = std::clamp(y0, 0, t->h - 1);
    if (t->bpp == 1) {
      const uint8_t* row0 = &t->rgba[static_cast<size_t>(y0) * t->w];
      const uint8_t* row1 = &t->rgba[static_cast<size_t>(y1) * t->w];
      float top = row0[x0] + (row0[x1] - row0[x0]) * ax;
      float bottom = row1[x0] + (row1[x1] - row1[x0]) * ax;
      out[0] = out[1] = out[2] = 1.0f;
      out[3] = (top + (bottom - top) * ay) / 255.0f;
      return;
    }
    const uint8_t* p00 = &t->rgba[(static_cast<size_t>(y0) * t->w + x0) * 4];
    const uint8_t* p10 = &t->rgba[(static_cast<size_t>(y0) * t->w + x1) * 4];
    const uint8_t* p01 = &t->rgba[(static_cast<size_t>(y1) * t->w + x0) * 4];
    const uint8_t* p11 = &t->rgba[(static_cast<size_t>(y1) * t->w + x1) * 4];
    for (int c = 0; c < 4; ++c) {
      float top = p00[c] + (p10[c] - p00[c]) * ax;
      float bottom = p01[c] + (p11[c] - p01[c]) * ax;
      out[c] = (top + (bottom - top) * ay) / 255.0f;
    }
  }

  static void Blend(uint8_t* d, const Item& it, const float texel[4]) {
    float sr = texel[0] * it.r, sg = texel[1] * it.g, sb = texel[2] * it.b, sa = texel[3] * it.a;
    float dr = d[0] / 255.0f, dg = d[1] / 255.0f, db = d[2] / 255.0f;
    switch (it.blend) {
      case kBlendMask:
        if (sa < 0.5f) return;
        dr = sr, dg = sg, db = sb;
        break;
      case kBlendSolid:
        dr = sr, dg = sg, db = sb;
        break;
      case kBlendLight:
        dr = std::min(1.0f, dr + sr * sa);
        dg = std::min(1.0f, dg + sg * sa);
        db = std::min(1.0f, db + sb * sa);
        break;
      case kBlendShade:
        dr *= sr, dg *= sg, db *= sb;
        break;
      default:  // alpha
        dr = sr * sa + dr * (1 - sa);
        dg = sg * sa + dg * (1 - sa);
        db = sb * sa + db * (1 - sa);
        break;
    }
    d[0] = static_cast<uint8_t>(Clamp01(dr) * 255.0f + 0.5f);
    d[1] = static_cast<uint8_t>(Clamp01(dg) * 255.0f + 0.5f);
    d[2] = static_cast<uint8_t>(Clamp01(db) * 255.0f + 0.5f);
    d[3] = 255;  // the screen is opaque
  }

  // Edge-function rasteriser with a top-left fill rule, so that the two triangles of
  // a quad (and neighbouring quads) share their edges without gaps or double hits.
  void DrawTriangle(Frame& f, const Item& it, int i0, int i1, int i2) {
    double x0 = it.x[i0], y0 = it.y[i0], x1 = it.x[i1], y1 = it.y[i1], x2 = it.x[i2], y2 = it.y[i2];
    double area = (x1 - x0) * (y2 - y0) - (y1 - y0) * (x2 - x0);
    if (!(std::fabs(area) > 1e-12)) return;
    if (area < 0) {  // make the winding positive
      std::swap(x1, x2);
      std::swap(y1, y2);
      std::swap(i1, i2);
      area = -area;
    }
    if (!std::isfinite(area)) return;
    // Clamped while still real numbers: far-off coordinates must not overflow an int.
    auto clampTo = [](double v, int limit) { return static_cast<int>(std::clamp(v, -1.0, double(limit))); };
    int minX = std::max(0, clampTo(std::floor(std::min({x0, x1, x2})), w_));
    int maxX = std::min(w_ - 1, clampTo(std::ceil(std::max({x0, x1, x2})), w_));
    int minY = std::max(0, clampTo(std::floor(std::min({y0, y1, y2})), h_));
    int maxY = std::min(h_ - 1, clampTo(std::ceil(std::max({y0, y1, y2})), h_));
    if (minX > maxX || minY > maxY) return;

    struct Edge {
      double a, b, c;
      bool topLeft;
    };
    // E(P) > 0 inside for a positive winding; (a, b) points inwards, so a "left"
    // edge has a > 0 and a "top" edge (horizontal, interior below) has b > 0.
    auto makeEdge = [](double ax, double ay, double bx, double by) {
      Edge e{ay - by, bx - ax, ax * by - ay * bx, false};
      e.topLeft = (e.a > 0) || (e.a == 0 && e.b > 0);
      return e;
    };
    // Edge k is opposite vertex k, so E_k / area is vertex k's barycentric weight.
    Edge e0 = makeEdge(x1, y1, x2, y2), e1 = makeEdge(x2, y2, x0, y0), e2 = makeEdge(x0, y0, x1, y1);
    auto eval = [](const Edge& e, double px, double py) { return e.a * px + e.b * py + e.c; };
    const float u0 = it.u[i0], u1 = it.u[i1], u2 = it.u[i2];
    const float v0 = it.v[i0], v1 = it.v[i1], v2 = it.v[i2];
    const double inv = 1.0 / area;
    float texel[4];
    for (int py = minY; py <= maxY; ++py) {
      double cy = py + 0.5;
      // Narrow the row to the span the edges allow (one pixel of slack each side;
      // the exact test below decides), so rotated and thin shapes cost little.
      double lo = minX, hi = maxX;
      for (const Edge* e : {&e0, &e1, &e2}) {
        double rest = e->b * cy + e->c;
        if (e->a > 0) {
          lo = std::max(lo, std::floor(-rest / e->a - 0.5));
        } else if (e->a < 0) {
          hi = std::min(hi, std::ceil(-rest / e->a - 0.5));
        } else if (rest < 0) {
          hi = lo - 1;
        }
      }
      uint8_t* row = &f.pixels[static_cast<size_t>(py) * w_ * 4];
      for (int px = static_cast<int>(lo), end = static_cast<int>(hi); px <= end; ++px) {
        double cx = px + 0.5;
        double w0 = eval(e0, cx, cy), w1 = eval(e1, cx, cy), w2 = eval(e2, cx, cy);
        if (w0 < 0 || w1 < 0 || w2 < 0) continue;
        if ((w0 == 0 && !e0.topLeft) || (w1 == 0 && !e1.topLeft) || (w2 == 0 && !e2.topLeft)) continue;
        float b0 = static_cast<float>(w0 * inv), b1 = static_cast<float>(w1 * inv);
        float b2 = 1.0f - b0 - b1;
        Sample(it, b0 * u0 + b1 * u1 + b2 * u2, b0 * v0 + b1 * v1 + b2 * v2, texel);
        Blend(row + px * 4, it, texel);
      }
    }
  }

  int w_, h_;
  double vw_, vh_;
  std::unordered_map<int, std::shared_ptr<TexData>> textures_;
  std::shared_ptr<Frame> back_;
  std::shared_ptr<Frame> front_;
};

}  // namespace

std::unique_ptr<SoftRenderer> MakeSoftRendererImpl(int width, int height) {
  return std::make_unique<SoftRendererImpl>(width, height);
}

std::unique_ptr<Renderer> MakeSoftRenderer(int width, int height) { return MakeSoftRendererImpl(width, height); }

}  // namespace plat
