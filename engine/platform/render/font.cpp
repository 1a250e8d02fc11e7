// Image fonts: TrueType glyphs rendered by the media codec into one atlas per font,
// each glyph when a text first shows it, then drawn as textured quads like images.
// The built-in font's glyphs are packed whole.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

#include "platform/render/gfx_internal.h"
#include "platform/platform_internal.h"
#include "platform/os.h"
#include "base/paths.h"
#include "media/glyphs.h"

namespace plat {
namespace {

using media::kStyleSmooth;
constexpr int kMaxPixelSize = 1000;

std::vector<std::unique_ptr<gfx::FontData>>& Fonts() {
  static std::vector<std::unique_ptr<gfx::FontData>> fonts(1);  // handle 0 is the built-in font
  return fonts;
}

// One open face per font file, shared by every size loaded from it: the game loads
// the same three files at a dozen sizes each.
using FaceFile = media::FontFace;

std::shared_ptr<FaceFile> OpenFace(const std::string& logical) {
  const std::string path = detail::ReadPath(logical);
  // The same file (by full path, size and time) shares its face; a file replaced
  // on disk is opened afresh.
  std::error_code error;
  std::string key = Utf8FromPath(std::filesystem::absolute(PathFromUtf8(path), error).lexically_normal());
  const sys::EntryInfo info = sys::Examine(path);
  if (info.kind != sys::EntryKind::File) return nullptr;
  key += "|" + std::to_string(info.size) + "|" + std::to_string(info.modified) + "." +
         std::to_string(info.modifiedNanos);
  static std::map<std::string, std::weak_ptr<FaceFile>> open;
  if (auto it = open.find(key); it != open.end()) {
    if (auto face = it->second.lock()) return face;
  }
  auto file = FaceFile::Open(gfx::ReadWholeFile(path, SIZE_MAX));
  if (!file) return nullptr;
  // Forget faces no font uses any more, so that the table stays small.
  for (auto it = open.begin(); it != open.end();) it = it->second.expired() ? open.erase(it) : std::next(it);
  open[key] = file;
  return file;
}

// Renders the glyph of one Latin-1 code into `g` and its coverage; false if the face
// has no picture for it. The font's size must be active.
bool RenderGlyph(media::FontSize& size, int code, gfx::Glyph& g, std::vector<uint8_t>& cov) {
  media::GlyphBitmap bitmap;
  if (!size.Render(code, bitmap)) return false;
  g.advance = bitmap.advance;
  g.left = bitmap.left;
  g.top = bitmap.top;
  g.w = bitmap.w;
  g.h = bitmap.h;
  cov = std::move(bitmap.coverage);
  return true;
}

int NextPowerOfTwo(int n, int from) {
  int p = from;
  while (p < n) p *= 2;
  return p;
}

// Finds room for a glyph box of gw x gh texels: the first shelf tall enough with
// room left, else a new shelf (a line high, so that later glyphs fit in it),
// growing the atlas downwards (by exactly the shelf: every texel is held twice, here
// and in the renderer) or widening it as needed. Existing glyphs keep
// their places; a resized atlas is uploaded as a new texture.
void PlaceInAtlas(gfx::FontData& font, int gw, int gh, int& outX, int& outY) {
  gfx::TextureStore& atlas = font.atlas;
  bool resized = false;
  if (gw > atlas.w) {
    const int wider = NextPowerOfTwo(gw, std::max(atlas.w, 1));
    std::vector<uint8_t> pixels(static_cast<size_t>(wider) * atlas.h, 0);
    for (int y = 0; y < atlas.h; ++y) {
      std::copy_n(&atlas.rgba[static_cast<size_t>(y) * atlas.w], atlas.w, &pixels[static_cast<size_t>(y) * wider]);
    }
    atlas.rgba = std::move(pixels);
    atlas.w = wider;
    resized = true;
  }
  gfx::FontData::Shelf* best = nullptr;
  for (gfx::FontData::Shelf& shelf : font.shelves) {
    if (shelf.h >= gh && shelf.x + gw <= atlas.w && (!best || shelf.h < best->h)) best = &shelf;
  }
  if (!best) {
    const int h = std::max(gh, font.lineHeight + 2);
    if (font.used + h > atlas.h) {
      atlas.h = font.used + h;
      atlas.rgba.resize(static_cast<size_t>(atlas.w) * atlas.h, 0);
      resized = true;
    }
    font.shelves.push_back({font.used, h, 0});
    font.used += h;
    best = &font.shelves.back();
  }
  outX = best->x;
  outY = best->y;
  best->x += gw;
  if (resized) {
    atlas.rgba.shrink_to_fit();
    atlas.Release();  // the next upload makes a texture of the new size
  }
}

}  // namespace

// The outlines of a loaded font: its size on the shared face, which renders with
// the metrics taken at load.
struct gfx::FontSource {
  std::unique_ptr<media::FontSize> size;
  void DropSize() { size->DropSize(); }
  bool Activate() { return size->Activate(); }
};

namespace gfx {

FontData& ResolveFont(int handle) {
  auto& table = Fonts();
  if (handle > 0 && handle < static_cast<int>(table.size()) && table[handle]) return *table[handle];
  return DefaultFont();
}

bool FontExists(int handle) {
  auto& table = Fonts();
  return handle > 0 && handle < static_cast<int>(table.size()) && table[handle] != nullptr;
}

// Shelf packing, tallest glyphs first so that each shelf wastes little height, and
// each glyph with a transparent pixel around it so that linear sampling of one
// glyph never picks up its neighbour.
void BuildAtlas(FontData& font, const std::vector<std::vector<uint8_t>>& coverage) {
  long long area = 0;
  int widest = 1;
  std::vector<int> order;
  for (int code = 0; code < static_cast<int>(font.glyphs.size()); ++code) {
    const Glyph& g = font.glyphs[code];
    if (g.w <= 0 || g.h <= 0) continue;
    area += static_cast<long long>(g.w + 2) * (g.h + 2);
    widest = std::max(widest, g.w + 2);
    order.push_back(code);
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return font.glyphs[a].h > font.glyphs[b].h; });
  int width = 64;
  while (width < 4096 && static_cast<long long>(width) * width < area * 2) width *= 2;
  width = std::max(width, widest);
  int x = 0, y = 0, shelf = 0;
  for (int code : order) {
    Glyph& g = font.glyphs[code];
    if (x + g.w + 2 > width) {
      x = 0;
      y += shelf;
      shelf = 0;
    }
    g.ax = x + 1;
    g.ay = y + 1;
    x += g.w + 2;
    shelf = std::max(shelf, g.h + 2);
  }
  TextureStore& atlas = font.atlas;
  atlas.w = width;
  atlas.h = std::max(1, y + shelf);
  atlas.flags = (font.smooth ? kTextureFiltered : 0) | kTextureAlpha8;
  atlas.rgba.assign(static_cast<size_t>(atlas.w) * atlas.h, 0);
  atlas.rgba.shrink_to_fit();
  for (size_t code = 0; code < font.glyphs.size() && code < coverage.size(); ++code) {
    const Glyph& g = font.glyphs[code];
    const std::vector<uint8_t>& cov = coverage[code];
    if (g.w <= 0 || g.h <= 0 || cov.size() < static_cast<size_t>(g.w) * g.h) continue;
    for (int gy = 0; gy < g.h; ++gy) {
      std::copy_n(&cov[static_cast<size_t>(gy) * g.w], g.w,
                  &atlas.rgba[static_cast<size_t>(g.ay + gy) * atlas.w + g.ax]);
    }
  }
  atlas.dirty = true;
  font.inAtlas.set();
}

FontData& DefaultFont() {
  static FontData font = [] {
    media::BuiltInFont art = media::BuiltInFontGlyphs();
    FontData built;
    built.lineHeight = art.lineHeight;
    built.smooth = false;
    std::vector<std::vector<uint8_t>> coverage(256);
    for (int code = 0; code < 256; ++code) {
      const media::GlyphBitmap& from = art.glyphs[code];
      Glyph& g = built.glyphs[code];
      g.advance = from.advance;
      g.left = from.left;
      g.top = from.top;
      g.w = from.w;
      g.h = from.h;
      coverage[code] = std::move(art.glyphs[code].coverage);
    }
    BuildAtlas(built, coverage);
    return built;
  }();
  return font;
}

long long ReleaseIdleFontTextures(int sweeps) {
  long long bytes = 0;
  for (auto& font : Fonts()) {
    if (font) bytes += ReleaseIfIdle(font->atlas, sweeps);
  }
  return bytes;
}

// Renders every glyph the atlas holds again, in its place: the atlas keeps no
// pixels once uploaded, and needs them for the next upload.
bool RebuildAtlas(FontData& font) {
  FontSource& src = *font.source;
  TextureStore& atlas = font.atlas;
  atlas.rgba.assign(static_cast<size_t>(atlas.w) * atlas.h, 0);
  if (!src.Activate()) return false;
  std::vector<uint8_t> cov;
  for (int code = 0; code < 256; ++code) {
    const Glyph& g = font.glyphs[code];
    if (!font.inAtlas[code] || g.w <= 0 || g.h <= 0) continue;
    Glyph again = g;
    if (!RenderGlyph(*src.size, code, again, cov) || again.w != g.w || again.h != g.h) {
      continue;
    }
    for (int gy = 0; gy < g.h; ++gy) {
      std::copy_n(&cov[static_cast<size_t>(gy) * g.w], g.w, &atlas.rgba[static_cast<size_t>(g.ay + gy) * atlas.w + g.ax]);
    }
  }
  return true;
}

void PrepareGlyphs(FontData& font, const std::string& text) {
  if (!font.source) return;
  FontSource& src = *font.source;
  bool activated = false;
  std::vector<uint8_t> cov;
  for (unsigned char c : text) {
    if (font.inAtlas[c]) continue;
    if (font.atlas.rgba.empty() && !RebuildAtlas(font)) return;
    font.inAtlas[c] = true;  // tried once: a glyph that fails stays blank
    Glyph& g = font.glyphs[c];
    if (!activated) {
      // The face is shared with other sizes: this font's size must be the active one.
      if (!src.Activate()) return;
      activated = true;
    }
    Glyph rendered = g;
    if (!RenderGlyph(*src.size, c, rendered, cov)) continue;
    rendered.advance = g.advance;  // the measured advance stands (a lacking glyph takes a space's room)
    g = rendered;
    if (g.w <= 0 || g.h <= 0) continue;
    PlaceInAtlas(font, g.w + 2, g.h + 2, g.ax, g.ay);
    ++g.ax;
    ++g.ay;
    for (int gy = 0; gy < g.h; ++gy) {
      std::copy_n(&cov[static_cast<size_t>(gy) * g.w], g.w,
                  &font.atlas.rgba[static_cast<size_t>(g.ay + gy) * font.atlas.w + g.ax]);
    }
    font.atlas.dirty = true;
  }
}

}  // namespace gfx

Font LoadImageFont(const std::string& path, int pixelSize, int styleFlags) {
  detail::CheckTermination();  // loading can be long: a termination signal ends it
  if (pixelSize <= 0 || pixelSize > kMaxPixelSize || path.empty()) return 0;
  std::shared_ptr<FaceFile> file = OpenFace(path);
  if (!file) return 0;
  const int style = styleFlags < 0 ? kStyleSmooth : styleFlags;
  auto src = std::make_shared<gfx::FontSource>();
  src->size = media::FontSize::Make(std::move(file), pixelSize, style);
  if (!src->size) return 0;
  auto font = std::make_unique<gfx::FontData>();
  font->smooth = (style & kStyleSmooth) != 0;
  font->lineHeight = pixelSize;

  // Advances only: measuring text needs no pictures. A character the face lacks
  // takes the room of a space rather than vanishing.
  std::bitset<256> lacking;
  for (int code = 32; code < 256; ++code) {
    if (code >= 127 && code < 160) {
      lacking[code] = true;  // control codes in Latin-1
      continue;
    }
    bool blank = false;
    if (!src->size->Measure(code, font->glyphs[code].advance, blank)) {
      lacking[code] = true;
      continue;
    }
    if (font->glyphs[code].advance == 0 && blank) lacking[code] = true;
    if (blank) font->inAtlas[code] = true;  // a space: nothing to render
  }
  const int spaceAdvance = font->glyphs[' '].advance > 0 ? font->glyphs[' '].advance : (pixelSize + 2) / 3;
  for (int code = 32; code < 256; ++code) {
    if (lacking[code]) font->glyphs[code] = gfx::Glyph{spaceAdvance};
  }
  font->inAtlas |= lacking;  // nothing to render for those
  src->DropSize();  // most fonts are only measured, if used at all
  for (int code = 0; code < 32; ++code) font->inAtlas[code] = true;

  // The atlas starts as one blank row as wide as a few lines of the largest glyphs
  // are likely to need; PrepareGlyphs fills and grows it.
  gfx::TextureStore& atlas = font->atlas;
  atlas.w = NextPowerOfTwo(std::min(4 * (font->lineHeight + 2), 4096), 64);
  atlas.h = 1;
  atlas.rgba.assign(static_cast<size_t>(atlas.w), 0);
  atlas.flags = (font->smooth ? kTextureFiltered : 0) | kTextureAlpha8;
  atlas.dirty = true;
  atlas.reload = [f = font.get()](gfx::TextureStore&) { return gfx::RebuildAtlas(*f); };
  font->source = std::move(src);
  Fonts().push_back(std::move(font));
  return static_cast<int>(Fonts().size()) - 1;
}

void FreeFont(Font font) {
  if (!gfx::FontExists(font)) return;
  Fonts()[font]->atlas.Release();
  Fonts()[font].reset();
}

}  // namespace plat
