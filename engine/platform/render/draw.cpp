// The 2D drawing state and the draw calls: each call becomes quads for the current
// renderer and, when the backend records, one DrawCall with the state of the moment.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/render/gfx_internal.h"

namespace plat {
namespace {

struct DrawState {
  int r = 255, g = 255, b = 255;
  double alpha = 1;
  int blend = kBlendAlpha;
  double rotation = 0;
  double cosR = 1, sinR = 0;  // kept with the rotation so draws need no trigonometry
  double sx = 1, sy = 1;
  Font font = 0;
};

DrawState& State() {
  static DrawState state;
  return state;
}

// Maps a point of the unrotated, unscaled shape (relative to its origin) to the
// screen: scale, then rotate (clockwise on a y-down screen), then move to ox,oy.
inline void Place(QuadVertex& v, double lx, double ly, double ox, double oy, float u, float t) {
  const DrawState& s = State();
  double X = lx * s.sx, Y = ly * s.sy;
  v.x = static_cast<float>(ox + X * s.cosR - Y * s.sinR);
  v.y = static_cast<float>(oy + X * s.sinR + Y * s.cosR);
  v.u = u;
  v.v = t;
}

// Fills the quad with the rectangle (lx0,ly0)-(lx1,ly1) in shape space and the
// texture rectangle (u0,v0)-(u1,v1), plus the colour state.
inline void MakeQuad(Quad& q, double lx0, double ly0, double lx1, double ly1, double ox, double oy, float u0,
                     float v0, float u1, float v1, int texture, bool filtered) {
  const DrawState& s = State();
  Place(q.v[0], lx0, ly0, ox, oy, u0, v0);
  Place(q.v[1], lx1, ly0, ox, oy, u1, v0);
  Place(q.v[2], lx1, ly1, ox, oy, u1, v1);
  Place(q.v[3], lx0, ly1, ox, oy, u0, v1);
  q.r = static_cast<uint8_t>(s.r);
  q.g = static_cast<uint8_t>(s.g);
  q.b = static_cast<uint8_t>(s.b);
  q.a = static_cast<float>(s.alpha);
  q.blend = s.blend;
  q.texture = texture;
  q.filtered = filtered;
}

void Record(const gfx::Target& t, DrawCall::Kind kind, int handle, int frame, double x, double y, double w,
            double h, const std::string* text) {
  if (!t.backend->RecordingDrawCalls()) return;
  const DrawState& s = State();
  DrawCall c;
  c.kind = kind;
  c.image = handle;
  c.frame = frame;
  c.x = x;
  c.y = y;
  c.width = w;
  c.height = h;
  if (text) c.text = *text;
  c.r = s.r;
  c.g = s.g;
  c.b = s.b;
  c.alpha = s.alpha;
  c.blend = s.blend;
  c.rotation = s.rotation;
  c.scaleX = s.sx;
  c.scaleY = s.sy;
  t.backend->RecordDrawCall(c);
}

}  // namespace

namespace gfx {

Target CurrentTarget() {
  // The identity of the renderer instance; a change of any part means textures
  // uploaded before are gone.
  static Backend* lastBackend = nullptr;
  static Renderer* lastRenderer = nullptr;
  static int lastGeneration = 0;
  static uint64_t serial = 1;
  Target t;
  if (!HasBackend()) return t;
  t.backend = &CurrentBackend();
  t.renderer = t.backend->renderer();
  int generation = t.backend->DisplayGeneration();
  if (t.backend != lastBackend || t.renderer != lastRenderer || generation != lastGeneration) {
    lastBackend = t.backend;
    lastRenderer = t.renderer;
    lastGeneration = generation;
    ++serial;
  }
  t.serial = serial;
  return t;
}

int TextureStore::Ensure(Renderer* r, uint64_t currentSerial) {
  if (!r || w <= 0 || h <= 0) return 0;
  idleSweeps = 0;
  if (texture != 0 && serial == currentSerial) {
    if (dirty) {
      r->UpdateTexture(texture, 0, 0, w, h, rgba.data());
      dirty = false;
      AfterUpload();
    }
    return texture;
  }
  if (rgba.empty() && !(reload && reload(*this))) return 0;
  texture = r->CreateTexture(w, h, rgba.data(), flags);
  serial = currentSerial;
  dirty = false;
  if (texture != 0) AfterUpload();
  return texture;
}

void TextureStore::Release() {
  if (texture == 0) return;
  Target t = CurrentTarget();
  if (t.renderer && serial == t.serial) t.renderer->DestroyTexture(texture);
  texture = 0;
}

}  // namespace gfx

void SetColor(int r, int g, int b) {
  DrawState& s = State();
  s.r = std::clamp(r, 0, 255);
  s.g = std::clamp(g, 0, 255);
  s.b = std::clamp(b, 0, 255);
}

void GetColor(int& r, int& g, int& b) {
  const DrawState& s = State();
  r = s.r;
  g = s.g;
  b = s.b;
}

void SetAlpha(double alpha) {
  if (std::isnan(alpha)) return;
  State().alpha = std::clamp(alpha, 0.0, 1.0);
}

double GetAlpha() { return State().alpha; }

void SetBlend(int mode) {
  if (mode >= kBlendMask && mode <= kBlendShade) State().blend = mode;
}

int GetBlend() { return State().blend; }

void SetRotation(double degrees) {
  if (!std::isfinite(degrees)) return;
  DrawState& s = State();
  s.rotation = degrees;
  double rad = degrees * (std::numbers::pi / 180.0);
  s.cosR = std::cos(rad);
  s.sinR = std::sin(rad);
}

double GetRotation() { return State().rotation; }

void SetScale(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  State().sx = x;
  State().sy = y;
}

void GetScale(double& x, double& y) {
  x = State().sx;
  y = State().sy;
}

void DrawRect(double x, double y, double width, double height) {
  gfx::Target t = gfx::CurrentTarget();
  if (!t.renderer) return;
  Quad q;
  MakeQuad(q, 0, 0, width, height, x, y, 0, 0, 1, 1, 0, false);
  t.renderer->DrawQuads(&q, 1);
  Record(t, DrawCall::kRect, 0, 0, x, y, width, height, nullptr);
}

void DrawImage(Image image, double x, double y, int frame) {
  gfx::ImageData* img = gfx::FindImage(image);
  if (!img || frame < 0 || frame >= img->frames) return;
  gfx::Target t = gfx::CurrentTarget();
  if (!t.renderer) return;
  int tex = img->store.Ensure(t.renderer, t.serial);
  if (tex == 0) return;
  const float tw = static_cast<float>(img->store.w), th = static_cast<float>(img->store.h);
  const int cx = img->CellX(frame), cy = img->CellY(frame);
  Quad q;
  MakeQuad(q, -img->hx, -img->hy, img->w - img->hx, img->h - img->hy, x, y, cx / tw, cy / th,
           (cx + img->w) / tw, (cy + img->h) / th, tex, (img->flags & kImageFiltered) != 0);
  t.renderer->DrawQuads(&q, 1);
  Record(t, DrawCall::kImage, image, frame, x, y, img->w, img->h, nullptr);
}

void DrawText(const std::string& text, double x, double y) {
  gfx::Target t = gfx::CurrentTarget();
  if (!t.renderer || text.empty()) return;
  gfx::FontData& font = gfx::ResolveFont(State().font);
  gfx::PrepareGlyphs(font, text);
  int tex = font.atlas.Ensure(t.renderer, t.serial);
  if (tex == 0) return;
  // Reused between calls: drawing text allocates nothing once warmed up.
  static std::vector<Quad> quads;
  quads.clear();
  const float tw = static_cast<float>(font.atlas.w), th = static_cast<float>(font.atlas.h);
  // Each glyph's quad takes in the clear texel the atlas keeps around it. A quad
  // only as big as the glyph's ink covers no pixel centre when a thin stem (a
  // hinted one-pixel 'l') is drawn smaller than a screen pixel, and the stroke
  // vanishes; with the margin the quad always reaches the nearest pixels, and
  // filtering spreads the stem's coverage over them.
  constexpr int kMargin = 1;
  int pen = 0;
  for (unsigned char c : text) {
    const gfx::Glyph& g = font.glyphs[c];
    if (g.w > 0 && g.h > 0) {
      quads.emplace_back();
      const double lx = pen + g.left - kMargin, ly = g.top - kMargin;
      const int ax = g.ax - kMargin, ay = g.ay - kMargin, w = g.w + 2 * kMargin, h = g.h + 2 * kMargin;
      MakeQuad(quads.back(), lx, ly, lx + w, ly + h, x, y, ax / tw, ay / th, (ax + w) / tw, (ay + h) / th, tex,
               font.smooth);
    }
    pen += g.advance;
  }
  if (!quads.empty()) t.renderer->DrawQuads(quads.data(), static_cast<int>(quads.size()));
  Record(t, DrawCall::kText, GetImageFont(), 0, x, y, pen, font.lineHeight, &text);
}

int TextWidth(const std::string& text) {
  const gfx::FontData& font = gfx::ResolveFont(State().font);
  int width = 0;
  for (unsigned char c : text) width += font.glyphs[c].advance;
  return width;
}

int TextHeight() { return gfx::ResolveFont(State().font).lineHeight; }

bool TextInkBox(const std::string& text, int& left, int& top, int& right, int& bottom) {
  gfx::FontData& font = gfx::ResolveFont(State().font);
  gfx::PrepareGlyphs(font, text);  // the pictures' boxes are known once rendered
  bool any = false;
  int pen = 0;
  for (unsigned char c : text) {
    const gfx::Glyph& g = font.glyphs[c];
    if (g.w > 0 && g.h > 0) {
      const int l = pen + g.left, t = g.top;
      left = any ? std::min(left, l) : l;
      top = any ? std::min(top, t) : t;
      right = any ? std::max(right, l + g.w) : l + g.w;
      bottom = any ? std::max(bottom, t + g.h) : t + g.h;
      any = true;
    }
    pen += g.advance;
  }
  return any;
}

void SetImageFont(Font font) { State().font = gfx::FontExists(font) ? font : 0; }

Font GetImageFont() {
  Font f = State().font;
  return gfx::FontExists(f) ? f : 0;
}

}  // namespace plat
