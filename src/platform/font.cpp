// Image fonts: TrueType glyphs rendered once with FreeType into one atlas per font,
// then drawn as textured quads like images.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

#include "platform/gfx_internal.h"

namespace plat {
namespace {

enum FontStyle { kStyleBold = 1, kStyleItalic = 2, kStyleSmooth = 4 };
constexpr int kMaxPixelSize = 1000;

std::vector<std::unique_ptr<gfx::FontData>>& Fonts() {
  static std::vector<std::unique_ptr<gfx::FontData>> fonts(1);  // handle 0 is the built-in font
  return fonts;
}

FT_Library Library() {
  // Kept for the whole run: fonts may be loaded again after any display change.
  static FT_Library library = nullptr;
  static bool tried = false;
  if (!tried) {
    tried = true;
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
  }
  return library;
}

inline int Ceil26(FT_Pos v) { return static_cast<int>((v + 63) >> 6); }

// Renders the glyph of one Latin-1 code into `g` and its coverage; false if the face
// has no picture for it.
bool RenderGlyph(FT_Face face, int code, int style, int ascent, gfx::Glyph& g, std::vector<uint8_t>& cov) {
  FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
  if (index == 0) return false;
  const bool smooth = (style & kStyleSmooth) != 0;
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | (smooth ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO)) != 0) {
    return false;
  }
  FT_GlyphSlot slot = face->glyph;
  FT_Pos extra = 0;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (style & kStyleBold) {
      extra = std::max<FT_Pos>(32, FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24);
      FT_Outline_Embolden(&slot->outline, extra);
    }
    if (style & kStyleItalic) {
      FT_Matrix shear{0x10000, 0x3800, 0, 0x10000};  // about 12 degrees of slant
      FT_Outline_Transform(&slot->outline, &shear);
    }
  }
  if (FT_Render_Glyph(slot, smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) return false;
  const FT_Bitmap& bm = slot->bitmap;
  g.advance = static_cast<int>((slot->advance.x + extra + 32) >> 6);
  g.left = slot->bitmap_left;
  g.top = ascent - slot->bitmap_top;
  g.w = static_cast<int>(bm.width);
  g.h = static_cast<int>(bm.rows);
  cov.assign(static_cast<size_t>(g.w) * g.h, 0);
  for (int y = 0; y < g.h; ++y) {
    const uint8_t* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
    for (int x = 0; x < g.w; ++x) {
      uint8_t v = 0;
      if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
        v = bm.num_grays == 256 ? row[x] : static_cast<uint8_t>(row[x] * 255 / std::max(1, bm.num_grays - 1));
      } else if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
        v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      }
      cov[static_cast<size_t>(y) * g.w + x] = v;
    }
  }
  return true;
}

}  // namespace

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
}

}  // namespace gfx

Font LoadImageFont(const std::string& path, int pixelSize, int styleFlags) {
  if (pixelSize <= 0 || pixelSize > kMaxPixelSize || path.empty()) return 0;
  FT_Library lib = Library();
  if (!lib) return 0;
  FT_Face face = nullptr;
  if (FT_New_Face(lib, path.c_str(), 0, &face) != 0) return 0;
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
    FT_Done_Face(face);
    return 0;
  }
  const int style = styleFlags < 0 ? kStyleSmooth : styleFlags;
  auto font = std::make_unique<gfx::FontData>();
  font->smooth = (style & kStyleSmooth) != 0;
  const FT_Size_Metrics& m = face->size->metrics;
  const int ascent = Ceil26(m.ascender);
  const int descent = Ceil26(-m.descender);
  font->lineHeight = std::max({Ceil26(m.height), ascent + descent, 1});

  std::vector<std::vector<uint8_t>> coverage(256);
  for (int code = 32; code < 256; ++code) {
    if (code >= 127 && code < 160) continue;  // control codes in Latin-1
    if (!RenderGlyph(face, code, style, ascent, font->glyphs[code], coverage[code])) font->glyphs[code] = {};
  }
  // Characters the face lacks take the room of a space rather than vanishing.
  const int spaceAdvance = font->glyphs[' '].advance > 0 ? font->glyphs[' '].advance : (pixelSize + 2) / 3;
  for (int code = 32; code < 256; ++code) {
    if (font->glyphs[code].advance == 0 && font->glyphs[code].w == 0) font->glyphs[code].advance = spaceAdvance;
  }
  FT_Done_Face(face);
  gfx::BuildAtlas(*font, coverage);
  Fonts().push_back(std::move(font));
  return static_cast<int>(Fonts().size()) - 1;
}

void FreeFont(Font font) {
  if (!gfx::FontExists(font)) return;
  Fonts()[font]->atlas.Release();
  Fonts()[font].reset();
}

}  // namespace plat
